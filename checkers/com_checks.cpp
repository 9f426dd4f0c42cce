// The COM class and application path checkers.
#include "checkers/com_checks.h"

#include <span>
#include <string_view>

#include "checkers/paths.h"

namespace hs {
namespace {

// How the two checkers differ.
struct ModuleRules {
    std::span<const std::string_view> extensions;
    std::span<const std::string_view> placeholders;
    bool fixedDrivesOnly;   // a path off the fixed drives is never tested
    bool skipLeadingDot;    // a bare name starting with a dot is never tested
};

bool MatchesAny(std::string_view text, std::span<const std::string_view> choices) {
    for (std::string_view choice : choices) {
        if (EqualsNoCase(text, choice)) return true;
    }
    return false;
}

bool ContainsAny(std::string_view text, std::span<const std::string_view> pieces) {
    for (std::string_view piece : pieces) {
        if (ContainsNoCase(text, piece)) return true;
    }
    return false;
}

void CheckModuleEntry(const ModuleRules& rules, ScanContext& context, std::int32_t root, const std::string& rootName,
                      const std::string& valueName, std::string& dataText, const std::string& sectionName,
                      const std::string& keyPath) {
    if (IsBlank(dataText)) return;
    StripQuotesInPlace(dataText);
    // The extension is everything after the last dot, so a value with
    // arguments or a resource index behind the file name is passed over.
    if (!MatchesAny(TrimSpaces(FileExtensionView(dataText)), rules.extensions)) return;
    if (ContainsAny(dataText, rules.placeholders)) {
        CheckPlaceholderPath(context, root, rootName, valueName, dataText, sectionName, keyPath);
        return;
    }
    if (dataText.find('\\') != std::string::npos) {
        if (rules.fixedDrivesOnly && !IsOnFixedDrive(context, dataText)) return;
        if (FileExists(context, dataText)) return;
        RecordProblem(context, root, rootName, valueName, sectionName, keyPath, dataText, false);
        return;
    }
    if (rules.skipLeadingDot && dataText.front() == '.') return;
    std::string path = AddBackslash(GetSystemFolder(context));
    path += dataText;
    if (FileExists(context, path)) return;
    RecordProblem(context, root, rootName, valueName, sectionName, keyPath, path, true);
}

constexpr std::string_view kComExtensions[] = {"OCX", "AX", "EXE", "DLL"};
constexpr std::string_view kComPlaceholders[] = {"%Systemroot%", "%Sysroot%", "%ProgramFiles%",
                                                 "%commonprogramfiles%"};
constexpr ModuleRules kComRules{kComExtensions, kComPlaceholders, true, true};

constexpr std::string_view kAppPathExtensions[] = {"EXE", "DLL", "OCX"};
constexpr std::string_view kAppPathPlaceholders[] = {"%Systemroot%", "%ProgramFiles%", "%commonprogramfiles%"};
constexpr ModuleRules kAppPathRules{kAppPathExtensions, kAppPathPlaceholders, false, false};

} // namespace

void CheckComEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                   const std::string& valueName, std::string& dataText, const std::string& sectionName,
                   const std::string& keyPath) {
    CheckModuleEntry(kComRules, context, root, rootName, valueName, dataText, sectionName, keyPath);
}

void CheckAppPathEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                       const std::string& valueName, std::string& dataText, const std::string& sectionName,
                       const std::string& keyPath) {
    CheckModuleEntry(kAppPathRules, context, root, rootName, valueName, dataText, sectionName, keyPath);
}

} // namespace hs
