// The shortcut check: the stops, the shell's answers, and the test of the
// target.
#include "shortcuts/shortcut_reader.h"

#include <array>
#include <vector>

#include "checkers/paths.h"
#include "shortcuts/shell_links.h"

namespace hs {

namespace {

constexpr std::array<std::string_view, 2> kExcludedPathWords = {"NetHood", "System Volume Information"};
constexpr std::array<std::string_view, 3> kExcludedTypes = {"Shortcut to MS-DOS Program", "SpeedDial",
                                                            "Microsoft Access Report Shortcut"};
constexpr std::string_view kExcludedWorkingDirectory = "%HOMEDRIVE%%HOMEPATH%";

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The last three characters of the name, blanks trimmed, are LNK or URL.
bool HasShortcutEnding(std::string_view name) {
    const std::string_view ending = TrimSpaces(name.size() > 3 ? name.substr(name.size() - 3) : name);
    return EqualsNoCase(ending, "LNK") || EqualsNoCase(ending, "URL");
}

// Records only what the system reports as plainly not there: a target whose
// attributes cannot be read for another reason (no access, a name too long
// or malformed, a drive not ready) may well exist.
bool TargetIsMissing(ScanContext& context, const std::string& path) {
    std::uint32_t error = 0;
    if (context.files.GetFileAttributes(path, &error) != kInvalidFileAttributes) return false;
    return error == kFsFileNotFound || error == kFsPathNotFound;
}

// The folder of a placeholder name, or nothing when it is not one of ours.
std::optional<std::string> PlaceholderFolder(ScanContext& context, std::string_view name) {
    if (EqualsNoCase(name, "SystemRoot") || EqualsNoCase(name, "windir")) return GetWindowsFolder(context);
    if (EqualsNoCase(name, "ProgramFiles")) return GetProgramFilesFolder(context);
    if (EqualsNoCase(name, "CommonProgramFiles")) return GetCommonFilesFolder(context);
    return std::nullopt;
}

// The shell item of a file. While the scan's look-up cache is on, the
// program's own reader takes each file type from the registry once per run
// (the type depends only on the extension): asked per file, those registry
// reads cost several times the walk itself. A shell plugged in by a test is
// always asked.
bool GetItem(ScanContext& context, ShellLinks& shell, const std::string& path, ShellItem& item) {
    if (context.links != nullptr || !context.cacheLookups) return shell.GetItem(path, item);
    auto& types = context.lookups.fileTypes;
    const std::string_view extension = ExtensionOf(path);
    if (const auto found = types.find(extension); found != types.end()) {
        item = ShellItem{found->second.isLink, found->second.type};
        return true;
    }
    if (!shell.GetItem(path, item)) return false;
    types.emplace(std::string(extension), ScanContext::Lookups::FileType{item.isLink, item.type});
    return true;
}

} // namespace

bool PathExists(ScanContext& context, const std::string& path) {
    return context.files.GetFileAttributes(path, nullptr) != kInvalidFileAttributes;
}

std::optional<std::string> ExpandLinkTarget(ScanContext& context, std::string_view target) {
    std::string expanded;
    std::size_t at = 0;
    while (at < target.size()) {
        const std::size_t open = target.find('%', at);
        if (open == std::string_view::npos) break;
        const std::size_t close = target.find('%', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view name = target.substr(open + 1, close - open - 1);
        expanded += target.substr(at, open - at);
        if (std::optional<std::string> folder = PlaceholderFolder(context, name)) {
            if (IsBlank(*folder)) return std::nullopt;
            expanded += *folder;
            at = close + 1;
        } else {
            // Not one of ours: keep the '%' and look again from the next one.
            expanded += '%';
            at = open + 1;
        }
    }
    expanded += target.substr(at);
    if (HoldsPlaceholder(expanded)) return std::nullopt;
    return expanded;
}

bool IsOnLocalFixedDrive(ScanContext& context, std::string_view path) {
    if (path.size() < 3 || !IsLetter(path[0]) || path[1] != ':' || path[2] != '\\') return false;
    std::vector<DriveInfo> fresh;
    const std::vector<DriveInfo>* drives = &fresh;
    if (context.cacheLookups) {
        if (!context.lookups.drives) context.lookups.drives = context.files.Drives();
        drives = &*context.lookups.drives;
    } else {
        fresh = context.files.Drives();
    }
    for (const DriveInfo& drive : *drives)
        if (EqualsNoCase(std::string_view(&drive.letter, 1), path.substr(0, 1))) return drive.type == kDriveFixed;
    return false;
}

void CheckShortcutFile(ScanContext& context, const std::string& fullPath) {
    const std::string_view trimmed = TrimSpaces(fullPath);
    for (std::string_view word : kExcludedPathWords)
        if (ContainsNoCase(trimmed, word)) return;
    if (fullPath.empty()) return;

    const std::size_t lastSeparator = trimmed.rfind('\\');
    if (lastSeparator == std::string_view::npos) return;  // no folder to open
    const std::string_view name = trimmed.substr(lastSeparator + 1);
    if (TrimSpaces(name) == "." || TrimSpaces(name) == ".." || TrimSpaces(name).empty()) return;
    const std::string path(trimmed);

    FileShellLinks ownReader(context.files, context.access);
    ShellLinks& shell = context.links != nullptr ? *context.links : ownReader;
    ShellItem item;
    if (!GetItem(context, shell, path, item) || !item.isLink) return;
    const std::string_view type = TrimSpaces(item.type);
    for (std::string_view excluded : kExcludedTypes)
        if (EqualsNoCase(type, excluded)) return;
    if (!HasShortcutEnding(name)) return;
    ShellLink link;
    if (!shell.GetLink(path, link)) return;
    if (EqualsNoCase(TrimSpaces(link.workingDirectory), kExcludedWorkingDirectory)) return;

    // The target: the cheap exclusions first, so that no network path and
    // no removable drive is ever touched; the existence test last.
    if (!link.targetKnown) return;
    const std::string_view stored = TrimSpaces(link.path);
    if (stored.empty()) return;
    const std::optional<std::string> target = ExpandLinkTarget(context, stored);
    if (!target || !IsOnLocalFixedDrive(context, *target)) return;
    if (!TargetIsMissing(context, *target)) return;

    context.lvwShortcut.Add(ShortcutProblem{fullPath});
    static_cast<void>(OnProblemFound(context));
}

} // namespace hs
