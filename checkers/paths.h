// The path helpers every section checker uses: cleaning and cutting value
// text, folder look-ups and placeholders, the existence test, the fixed-drive
// test, and the one way a problem is recorded.
//
// Text rules: positions count from 1; searches for a piece of text inside
// another ignore letter case (ASCII letters); whole-text comparisons are
// exact. Text is in the ANSI code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "scan/scan_context.h"

namespace hs {

// Where piece occurs in text, letter case ignored (0-based); npos when it
// does not. An empty piece is found at 0.
std::size_t FindNoCase(std::string_view text, std::string_view piece);
inline bool ContainsNoCase(std::string_view text, std::string_view piece) {
    return FindNoCase(text, piece) != std::string_view::npos;
}
// Whole texts equal, letter case ignored.
bool EqualsNoCase(std::string_view left, std::string_view right);
// The text without spaces at either end (other blanks stay).
std::string_view TrimSpaces(std::string_view text);
// True when the text is empty or only spaces.
bool IsBlank(std::string_view text);

// Removes leading double quotes, CRs and spaces, and trailing double quotes,
// LFs and spaces.
std::string StripQuotes(std::string_view text);
// The same, rewriting the text in place (no new string).
void StripQuotesInPlace(std::string& text);
// The extension after the last dot of the last component, in lower case;
// empty when a ':' or '\' comes first or there is no dot.
std::string GetFileExtension(std::string_view path);
// The same extension as it stands in the path (case kept), without a copy.
std::string_view FileExtensionView(std::string_view path);
// The text cut before its first '/' or ',' (the comma decides when both
// occur), quotes stripped; the text unchanged when the cut would be empty.
std::string CutArguments(std::string_view text);
// The folder ending in a backslash; empty when the folder is only blanks.
std::string AddBackslash(std::string_view folder);

// Folder look-ups without a trailing backslash; empty when they fail. Taken
// once per scan run while the context's look-up cache is on, else asked
// again at every use. The system and Windows folders come from the file
// system; Program Files and Common Files from the values "ProgramFilesDir"
// and "CommonFilesDir" of the key
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion, without
// surrounding spaces.
std::string GetSystemFolder(ScanContext& context);
std::string GetWindowsFolder(ScanContext& context);
std::string GetProgramFilesFolder(ScanContext& context);
std::string GetCommonFilesFolder(ScanContext& context);

// The text after "%Systemroot%" or else "%ProgramFiles%" (found without
// regard to case), or empty.
std::string StripRootPlaceholder(std::string_view text);
// The text after "%commonprogramfiles%", or empty.
std::string StripCommonFilesPlaceholder(std::string_view text);

// True when the path still holds an unexpanded placeholder: a '%', one or
// more characters other than '%' and '\', and another '%'
// ("%ProgramFiles(x86)%\foo.exe"). Such a path was never resolved, so its
// absence proves nothing; RecordProblem refuses it.
bool HoldsPlaceholder(std::string_view path);

// Whether a file of that name exists, as the six attribute-masked directory
// searches of the program decide it, from one search. (The full rule is
// written down at the definition.) The drive list comes from the context's
// look-up cache when it is on.
bool FileExists(ScanContext& context, const std::string& path);
// The same outside a scan, asking the file system for the drive list.
bool FileExists(FileSystem& files, const std::string& path);

// Whether the path's first character is the letter of a fixed drive.
// Yields after each drive that does not match.
bool IsOnFixedDrive(ScanContext& context, const std::string& path);

// Expands %Systemroot%, %ProgramFiles% or %commonprogramfiles% in the value
// and records a problem when the file is missing. Records nothing when the
// value holds none of the three (a bare "%Sysroot%"), when the folder
// look-up fails or gives blank text, or when the expanded path still holds
// a placeholder: none of these shows that a file is missing.
void CheckPlaceholderPath(ScanContext& context, std::int32_t root, const std::string& rootName,
                          const std::string& valueName, std::string& dataText, const std::string& sectionName,
                          const std::string& keyPath);

// When a problem's KeyName becomes "(Default)".
enum class DefaultName {
    kWhenBlank,  // the value name is empty after removing spaces (the rule everywhere else)
    kWhenEmpty,  // the value name is empty as it stands (a name of spaces is kept)
};

// Appends a ProblemRecord for the tested path to lvwErrors and calls the
// problem-found hook. joined: the path is the system folder joined with a
// bare name from the registry (DefaultOrNot "Yes"). A tested path that
// holds a placeholder (HoldsPlaceholder) is not recorded.
void RecordProblem(ScanContext& context, std::int32_t root, const std::string& rootName,
                   const std::string& valueName, const std::string& sectionName, const std::string& keyPath,
                   const std::string& testedPath, bool joined, DefaultName defaultName = DefaultName::kWhenBlank);

} // namespace hs
