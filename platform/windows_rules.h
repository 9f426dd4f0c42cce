// Windows path, name and line rules, kept in one place for the stand-ins,
// the Win32 file system and the code that must tell whether two spellings
// name one file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hs {

// Error codes of the Windows calls that the header names no constant for.
inline constexpr std::uint32_t kFsInvalidHandle = 6;
inline constexpr std::uint32_t kFsBadLength = 24;
inline constexpr std::uint32_t kFsSharingViolation = 32;

// The longest path the ANSI calls take (MAX_PATH without the NUL).
inline constexpr std::size_t kFsMaxPath = 260;

// A Windows path taken apart.
struct WindowsPath {
    enum class Kind { kDrive, kUnc, kHostAbsolute, kRelative, kEmpty };
    Kind kind = Kind::kEmpty;
    char drive = 0;                       // upper case, for kDrive
    std::vector<std::string> components;  // "." and ".." resolved; the last one without trailing dots and spaces
    bool trailingSeparator = false;       // the path ended with '\' or '/'
};

// Splits path at '\' and '/'. "X:..." is a drive path (relative to the
// drive's root: there is no current folder), "\\..." a UNC path, "/..." a
// host path (only when hostPaths is set), anything else relative.
WindowsPath ParseWindowsPath(const std::string& path, bool hostPaths = false);

// The Windows (and Wine) wildcard match of one name: '*' any run of
// characters, '?' exactly one, letters without regard to case; trailing '.'
// and '*' of the pattern may match nothing, so "*.*" and "a.*" match "a".
bool MatchesWildcard(const std::string& pattern, const std::string& name);

// True when text holds '*' or '?'.
bool HasWildcard(const std::string& text);
// True when text holds a character that is invalid in a Windows name
// ('*', '?', '<', '>', '|', '"').
bool HasInvalidNameCharacter(const std::string& text);

// The device a last path component names ("nul", "con.txt", "COM1",
// "aux:"), spelled as given without extension; empty for an ordinary name.
// Such names exist in every folder, as attributes 0x20 and size 0.
std::string DosDeviceName(const std::string& lastComponent);

// Upper-cases ASCII letters (the key that orders and compares names).
std::string FoldCase(const std::string& text);

// Splits text into lines: CR LF or a lone CR ends a line, a lone LF stays in
// the line, and a last line without an ending counts.
std::vector<std::string> SplitCrLines(const std::string& text);

} // namespace hs
