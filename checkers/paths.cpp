// The path helpers of the section checkers: text cutting, folder look-ups,
// placeholders, the existence and fixed-drive tests, and problem recording.
#include "checkers/paths.h"

#include <optional>
#include <utility>
#include <vector>

#include "platform/registry_access.h"
#include "platform/roots.h"

namespace hs {
namespace {

constexpr std::string_view kSystemRootPlaceholder = "%Systemroot%";
constexpr std::string_view kProgramFilesPlaceholder = "%ProgramFiles%";
constexpr std::string_view kCommonFilesPlaceholder = "%commonprogramfiles%";
constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLeadingQuoteBlank(char c) { return c == '"' || c == '\r' || c == ' '; }
bool IsTrailingQuoteBlank(char c) { return c == '"' || c == '\n' || c == ' '; }

// The bounds [first, last) of the text StripQuotes keeps.
std::pair<std::size_t, std::size_t> QuoteBounds(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsLeadingQuoteBlank(text[first])) ++first;
    while (last > first && IsTrailingQuoteBlank(text[last - 1])) --last;
    return {first, last};
}

// Takes a look-up once per scan run while the context caches, else every time.
template <typename Lookup>
std::string CachedText(ScanContext& context, std::optional<std::string>& slot, Lookup lookup) {
    if (!context.cacheLookups) return lookup();
    if (!slot) slot = lookup();
    return *slot;
}

std::string ReadFolderValue(ScanContext& context, const char* valueName) {
    std::optional<std::string> text = context.access.ReadTextValue(kHkeyLocalMachine, kCurrentVersionKey, valueName);
    return text ? std::string(TrimSpaces(*text)) : std::string();
}

// A character that no Windows file name can hold anywhere in a path.
bool IsForbiddenPathChar(char c) {
    return c == '"' || c == '<' || c == '>' || c == '|' || (c >= 1 && c < 32);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// True when the path cannot name a file the search could tell about, so
// that FileExists answers "found" without searching (see FileExists).
bool AnswerWithoutSearch(std::string_view path, const std::vector<DriveInfo>& drives) {
    if (path.empty() || IsSeparator(path.back())) return true;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;
    std::size_t lastSeparator = path.find_last_of("\\/");
    for (std::size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (IsForbiddenPathChar(c) || (c == ':' && i != 1)) return true;
        if ((c == '*' || c == '?') && lastSeparator != std::string_view::npos && i < lastSeparator) return true;
    }
    if (path.size() >= 2 && path[1] == ':') {
        char letter = FoldAscii(path[0]);
        for (const DriveInfo& drive : drives) {
            if (FoldAscii(drive.letter) == letter) return !drive.ready;
        }
        return true;  // no such drive
    }
    return false;
}

// The existence rule of FileExists once the drive list is known.
bool FileExistsOn(FileSystem& files, const std::vector<DriveInfo>& drives, const std::string& path) {
    if (AnswerWithoutSearch(path, drives)) return true;
    FindData data;
    std::uint32_t error = 0;
    FindHandle search = files.FindFirstFile(path, data, &error);
    if (search == kInvalidFindHandle) {
        return !(error == kFsFileNotFound || error == kFsPathNotFound || error == kFsNoMoreFiles);
    }
    bool found = false;
    do {
        bool folder = (data.attributes & kAttrDirectory) != 0;
        bool hiddenSystem = (data.attributes & (kAttrHidden | kAttrSystem)) == (kAttrHidden | kAttrSystem);
        if (!folder && !hiddenSystem) found = true;
    } while (!found && files.FindNextFile(search, data, nullptr));
    (void)files.FindClose(search);
    return found;
}

// The drive list of a scan: from the look-up cache while it is on.
const std::vector<DriveInfo>& DrivesOf(ScanContext& context, std::vector<DriveInfo>& fresh) {
    if (!context.cacheLookups) {
        fresh = context.files.Drives();
        return fresh;
    }
    if (!context.lookups.drives) context.lookups.drives = context.files.Drives();
    return *context.lookups.drives;
}

} // namespace

std::size_t FindNoCase(std::string_view text, std::string_view piece) {
    if (piece.size() > text.size()) return std::string_view::npos;
    for (std::size_t start = 0; start + piece.size() <= text.size(); ++start) {
        std::size_t i = 0;
        while (i < piece.size() && FoldAscii(text[start + i]) == FoldAscii(piece[i])) ++i;
        if (i == piece.size()) return start;
    }
    return std::string_view::npos;
}

bool EqualsNoCase(std::string_view left, std::string_view right) {
    return left.size() == right.size() && FindNoCase(left, right) == 0;
}

std::string_view TrimSpaces(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string StripQuotes(std::string_view text) {
    auto [first, last] = QuoteBounds(text);
    return std::string(text.substr(first, last - first));
}

void StripQuotesInPlace(std::string& text) {
    auto [first, last] = QuoteBounds(text);
    text.erase(last);
    text.erase(0, first);
}

std::string_view FileExtensionView(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        char c = path[i - 1];
        if (c == '.') return path.substr(i);
        if (c == ':' || c == '\\') return {};
    }
    return {};
}

std::string GetFileExtension(std::string_view path) {
    std::string extension(FileExtensionView(path));
    for (char& c : extension) c = LowerAscii(c);
    return extension;
}

std::string CutArguments(std::string_view text) {
    // The comma's cut replaces the slash's cut, even when the slash comes first.
    std::size_t cut = text.find(',');
    if (cut == std::string_view::npos) cut = text.find('/');
    if (cut != std::string_view::npos) {
        auto [first, last] = QuoteBounds(text.substr(0, cut));
        if (first < last) return std::string(text.substr(first, last - first));
    }
    return std::string(text);
}

std::string AddBackslash(std::string_view folder) {
    if (IsBlank(folder)) return {};
    std::string result(folder);
    if (result.back() != '\\') result += '\\';
    return result;
}

std::string GetSystemFolder(ScanContext& context) {
    return CachedText(context, context.lookups.systemFolder, [&] { return context.files.SystemFolder(); });
}

std::string GetWindowsFolder(ScanContext& context) {
    return CachedText(context, context.lookups.windowsFolder, [&] { return context.files.WindowsFolder(); });
}

std::string GetProgramFilesFolder(ScanContext& context) {
    return CachedText(context, context.lookups.programFilesFolder,
                      [&] { return ReadFolderValue(context, "ProgramFilesDir"); });
}

std::string GetCommonFilesFolder(ScanContext& context) {
    return CachedText(context, context.lookups.commonFilesFolder,
                      [&] { return ReadFolderValue(context, "CommonFilesDir"); });
}

std::string StripRootPlaceholder(std::string_view text) {
    std::size_t at = FindNoCase(text, kSystemRootPlaceholder);
    if (at != std::string_view::npos) return std::string(text.substr(at + kSystemRootPlaceholder.size()));
    at = FindNoCase(text, kProgramFilesPlaceholder);
    if (at != std::string_view::npos) return std::string(text.substr(at + kProgramFilesPlaceholder.size()));
    return {};
}

std::string StripCommonFilesPlaceholder(std::string_view text) {
    std::size_t at = FindNoCase(text, kCommonFilesPlaceholder);
    if (at != std::string_view::npos) return std::string(text.substr(at + kCommonFilesPlaceholder.size()));
    return {};
}

bool HoldsPlaceholder(std::string_view path) {
    std::size_t open = path.find('%');
    while (open != std::string_view::npos) {
        std::size_t close = path.find_first_of("%\\", open + 1);
        if (close == std::string_view::npos) return false;
        if (path[close] == '%' && close > open + 1) return true;
        // An empty "%%" or a '\' in between: the next '%' may open a placeholder.
        open = path[close] == '%' ? close : path.find('%', close + 1);
    }
    return false;
}

// The program's existence test stands for six directory searches of the
// path, with the attribute masks none, hidden, archive, read-only, none and
// system; a match counts in one of them unless it is a folder or is both
// hidden and system. So one search is enough: a match counts when it is not
// a folder and not both hidden and system.
//
// What a search error means is decided before searching, the same way on
// Windows and under Wine, so that a value is reported (or not) alike on both:
// - an empty path, and a path ending in '\' (or '/'), count as found:
//   neither names a file;
// - a network path (starting with two backslashes) counts as found: its
//   share cannot be reached from here, and the search would answer with a
//   plain not-found under Wine where Windows gives a network error;
// - a path holding a character no file name can hold ('"', '<', '>', '|',
//   a control character, a ':' anywhere but after the drive letter, or
//   '*'/'?' before the last component) counts as found: Windows rejects it
//   as malformed or reads it as a pattern, Wine treats some as patterns that
//   match nothing;
// - a path whose drive (the character before a ':' in second place) is not
//   in the drive list, or is not ready, counts as found.
// Only then is the path searched: failing with 2 (no match), 3 (a folder is
// missing) or 18 (Wine's answer for a dangling link) means not found; any
// other error (access denied, name too long, ...) means found.
bool FileExists(ScanContext& context, const std::string& path) {
    std::vector<DriveInfo> fresh;
    return FileExistsOn(context.files, DrivesOf(context, fresh), path);
}

bool FileExists(FileSystem& files, const std::string& path) {
    return FileExistsOn(files, files.Drives(), path);
}

bool IsOnFixedDrive(ScanContext& context, const std::string& path) {
    // The answer is taken from the drive list first and the yields follow,
    // one per drive before the match: a yield may run a handler that drops
    // the look-up cache, and with it the list.
    bool fixed = false;
    std::size_t misses = 0;
    {
        std::vector<DriveInfo> fresh;
        const std::vector<DriveInfo>& drives = DrivesOf(context, fresh);
        // Trimming the first character leaves nothing when it is a space.
        char letter = (path.empty() || path[0] == ' ') ? '\0' : FoldAscii(path[0]);
        for (const DriveInfo& drive : drives) {
            if (letter != '\0' && FoldAscii(drive.letter) == letter) {
                fixed = drive.type == kDriveFixed;
                break;
            }
            ++misses;
        }
    }
    for (std::size_t i = 0; i < misses; ++i) context.host.Yield();
    return fixed;
}

void CheckPlaceholderPath(ScanContext& context, std::int32_t root, const std::string& rootName,
                          const std::string& valueName, std::string& dataText, const std::string& sectionName,
                          const std::string& keyPath) {
    std::string folder;
    std::string remainder;
    DefaultName defaultName = DefaultName::kWhenEmpty;
    if (ContainsNoCase(dataText, kSystemRootPlaceholder)) {
        folder = GetWindowsFolder(context);
        remainder = StripRootPlaceholder(dataText);
    } else if (ContainsNoCase(dataText, kProgramFilesPlaceholder)) {
        folder = GetProgramFilesFolder(context);
        remainder = StripRootPlaceholder(dataText);
    } else if (ContainsNoCase(dataText, kCommonFilesPlaceholder)) {
        folder = GetCommonFilesFolder(context);
        remainder = StripCommonFilesPlaceholder(dataText);
        defaultName = DefaultName::kWhenBlank;
    } else {
        return;  // "%Sysroot%" alone: no folder is known for it
    }
    // Without its folder the remainder (\Foo\foo.ocx) names some other file.
    if (IsBlank(folder)) return;
    std::string path = std::move(folder);
    path += remainder;
    if (HoldsPlaceholder(path) || FileExists(context, path)) return;
    RecordProblem(context, root, rootName, valueName, sectionName, keyPath, path, false, defaultName);
}

void RecordProblem(ScanContext& context, std::int32_t root, const std::string& rootName,
                   const std::string& valueName, const std::string& sectionName, const std::string& keyPath,
                   const std::string& testedPath, bool joined, DefaultName defaultName) {
    // An unexpanded placeholder was never resolved to a file: its absence
    // proves nothing, and a repair would delete a sound value.
    if (HoldsPlaceholder(testedPath)) return;
    bool isDefault = defaultName == DefaultName::kWhenEmpty ? valueName.empty() : IsBlank(valueName);
    ProblemRecord row;
    row.MainKey = std::to_string(root);
    row.KeyName = isDefault ? "(Default)" : valueName;
    row.KeyValue = testedPath;
    row.RegistryScanners = sectionName;
    row.FullKeyPath = keyPath;
    row.mainkeyname = rootName;
    if (joined) row.DefaultOrNot = "Yes";
    context.lvwErrors.Add(std::move(row));
    (void)OnProblemFound(context);
}

} // namespace hs
