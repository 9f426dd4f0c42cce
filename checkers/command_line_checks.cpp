// Startup and uninstall command-line checkers. Indexes here count from 0.
#include "checkers/command_line_checks.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "checkers/install_checks.h"
#include "checkers/paths.h"

namespace hs {

namespace {

constexpr auto npos = std::string::npos;

// The first count characters, or the whole text when it is shorter.
std::string Left(const std::string& text, std::size_t count) { return text.substr(0, std::min(count, text.size())); }

// The text from index start on; empty when start lies past the end.
std::string From(const std::string& text, std::size_t start) {
    return start >= text.size() ? std::string() : text.substr(start);
}

// A path whose first dot is not followed by a three-character extension
// (quotes and blanks aside) keeps only three characters after that dot.
std::string ShortenAfterExtension(const std::string& path) {
    const std::size_t dot = path.find('.');
    if (dot == npos) return path;
    if (StripQuotes(From(path, dot + 1)).size() == 3) return path;
    return Left(path, dot + 4);
}

// The short form: no backslash after the first dot. The program is cut off
// its arguments and dash switches; a plain file argument after it takes its
// place.
void CheckShortForm(ScanContext& context, std::int32_t root, const std::string& rootName,
                    const std::string& valueName, const std::string& data, const std::string& sectionName,
                    const std::string& keyPath) {
    std::string s = CutArguments(data);
    // A dash inside a folder name stays: a backslash follows it.
    const std::size_t dash = s.find('-');
    if (dash != npos && s.find('\\', dash) == npos) s.resize(dash);
    s = StripQuotes(s);
    const std::size_t space = s.find(' ');
    if (space != npos && s.find('\\', space) == npos) s = s.substr(space + 1);
    const std::size_t dot = s.find('.');
    if (dot == npos || TrimSpaces(std::string_view(s).substr(dot + 1)).size() != 3) return;
    if (s.find(":\\") != npos) {
        RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath, s, false);
    } else {
        RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath,
                          AddBackslash(GetSystemFolder(context)) + s, true);
    }
}

} // namespace

void CheckUninstallEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                         const std::string& valueName, std::string& dataText, const std::string& sectionName,
                         const std::string& keyPath) {
    // The name in upper case, untrimmed, against the upper-case names.
    auto is = [&valueName](std::string_view name) { return EqualsNoCase(valueName, name); };
    if (is("UNINSTALLSTRING") || is("UNINSTALLPATH")) {
        CheckCommandLineEntry(context, root, rootName, valueName, dataText, sectionName, keyPath);
    } else if (is("QUIETUNINSTALLSTRING")) {
        CheckQuietUninstallEntry(context, root, rootName, valueName, dataText, sectionName, keyPath);
    } else if (is("INSTALLSOURCE") || is("MODIFYPATH") || is("DISPLAYICON")) {
        CheckInstallPathEntry(context, root, rootName, valueName, dataText, sectionName, keyPath);
    }
}

void CheckCommandLineEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                           const std::string& valueName, std::string& dataText, const std::string& sectionName,
                           const std::string& keyPath) {
    if (IsBlank(dataText)) return;
    dataText = StripQuotes(dataText);
    const std::size_t firstDot = dataText.find('.');
    if (firstDot == npos) return;
    const std::size_t backslash = dataText.find('\\', firstDot + 1);
    if (backslash == npos) {
        CheckShortForm(context, root, rootName, valueName, dataText, sectionName, keyPath);
        return;
    }
    // The long form: a dot in a folder name. Without a dot after that folder
    // there is no file name to test.
    if (dataText.find('.', backslash + 1) != npos) {
        CheckDrivePaths(context, root, rootName, valueName, dataText, sectionName, keyPath);
    }
}

void CheckQuietUninstallEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                              const std::string& valueName, std::string& dataText, const std::string& sectionName,
                              const std::string& keyPath) {
    const std::string& command = dataText;
    const std::size_t firstDot = command.find('.');
    if (firstDot == npos) return;
    // The drive paths are looked for after this many characters: up to the
    // first dot, or up to the first space of the second candidate's text
    // (none there: 0, and no drive path is looked for).
    std::size_t after = firstDot + 1;

    // The text up to three characters past the first dot: a program without a
    // drive.
    std::string candidate = Left(command, firstDot + 4);
    if (candidate.find(":\\") == npos) {
        CheckBareProgram(context, root, rootName, valueName, candidate, sectionName, keyPath);
    }

    // The text up to three characters past the second dot: a bare name after
    // the program's first space.
    const std::size_t secondDot = command.find('.', firstDot + 1);
    if (secondDot != npos) {
        const std::string prefix = Left(command, secondDot + 4);
        const std::size_t space = prefix.find(' ');
        after = space == npos ? 0 : space + 1;
        if (after > 0) {
            candidate = prefix.find('\\', after) != npos ? StripQuotes(prefix) : StripQuotes(prefix.substr(after));
            if (candidate.find('\\') == npos) {
                CheckBareProgram(context, root, rootName, valueName, candidate, sectionName, keyPath);
            }
        }
    }

    if (after == 0) return;
    const std::size_t backslash = command.find('\\', after);
    if (backslash != npos && command.find('.', backslash + 1) != npos) {
        CheckDrivePaths(context, root, rootName, valueName, dataText, sectionName, keyPath);
    }
}

void CheckDrivePaths(ScanContext& context, std::int32_t root, const std::string& rootName,
                     const std::string& valueName, std::string& dataText, const std::string& sectionName,
                     const std::string& keyPath) {
    const std::size_t first = dataText.find(":\\");
    if (first == npos) return;
    const std::size_t second = dataText.find(":\\", first + 1);
    if (second == npos) {
        dataText = CutArguments(FromDriveLetter(dataText, first + 1));
        RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath, dataText, false);
        return;
    }
    // The first path runs from its drive letter for as many characters as
    // stand in front of the second drive letter; text in front of the first
    // drive letter makes it run further, and the shortening after its
    // extension cuts it back. A value that opens with ":\" has an empty
    // first path.
    std::string firstPath = first == 0 ? std::string() : dataText.substr(first - 1, second - 1);
    firstPath = ShortenAfterExtension(CutArguments(firstPath));
    RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath, firstPath, false);

    const std::string secondPath = ShortenAfterExtension(CutArguments(dataText.substr(second - 1)));
    RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath, secondPath, false);
}

void CheckBareProgram(ScanContext& context, std::int32_t root, const std::string& rootName,
                      const std::string& valueName, std::string& dataText, const std::string& sectionName,
                      const std::string& keyPath) {
    const std::string& candidate = dataText;
    const std::size_t dot = candidate.find('.');
    if (dot == npos) return;
    // The extension is the text after the dot, up to dot + 5 characters long
    // (dot being the dot's index), and it must have exactly three.
    if (candidate.substr(dot + 1, dot + 5).size() != 3) return;
    if (candidate.find(":\\") != npos) {
        RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath, candidate, false);
        return;
    }
    const std::size_t space = candidate.find(' ');
    const std::string name = space == npos ? candidate : candidate.substr(space + 1);
    RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath,
                      AddBackslash(GetSystemFolder(context)) + name, true);
}

} // namespace hs
