// The drive and folder walker of the shortcut scan.
#include "shortcuts/drive_walker.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/windows_rules.h"
#include "shortcuts/shortcut_reader.h"

namespace hs {

namespace {

// Attribute bits of a file that may be handed to the reader.
constexpr std::uint32_t kCandidateFileBits =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | kAttrNormal | 0x100 /* temporary */;

// The longest short path the progress label shows.
constexpr std::size_t kShortPathLimit = 164;

// Closes a directory search however the listing ends.
class SearchCloser {
public:
    SearchCloser(FileSystem& files, FindHandle search) : files_(files), search_(search) {}
    ~SearchCloser() { Close(); }
    SearchCloser(const SearchCloser&) = delete;
    SearchCloser& operator=(const SearchCloser&) = delete;
    void Close() {
        if (search_ != kInvalidFindHandle) static_cast<void>(files_.FindClose(search_));
        search_ = kInvalidFindHandle;
    }

private:
    FileSystem& files_;
    FindHandle search_;
};

// The two progress labels for one entry: the full path, then the folder's
// short form, then the name alone.
void ShowEntry(ScanContext& context, const std::string& folder, const std::string& shortFolder,
               const std::string& name) {
    context.view.SetCaption(Label::lblRegistryFilesScan, folder + name);
    context.view.SetCaption(Label::lblRegistryScan, shortFolder);
    context.view.SetCaption(Label::lblRegistryFilesScan, name);
}

// The entry's name as the listing gave it, up to a NUL it may hold.
std::string EntryName(const FindData& data) {
    const std::size_t nul = data.name.find('\0');
    return nul == std::string::npos ? data.name : data.name.substr(0, nul);
}

} // namespace

void ScanDriveForShortcuts(ScanContext& context, const std::string& driveRoot) {
    std::string root = driveRoot;
    if (root.empty() || root.back() != '\\') root += '\\';
    // Only the answer matters, not the label: no label buffer is passed, so
    // a label longer than a buffer could hold cannot make the drive look
    // not ready.
    VolumeInfo volume;
    if (!context.files.GetVolumeInformation(root, 0, volume, nullptr)) return;
    ScanFolderForShortcuts(context, root);
}

namespace {

// The attributes of a listed entry, as GetFileAttributesA(folder + name)
// gives them. The listing holds the same directory entry's attributes, so
// the system is asked again only where folder + name might not name exactly
// that entry: a name the path rules change (a trailing dot or blank, a
// device name), one holding a character the ANSI listing put in place of
// another ('?') or any other that a Windows name cannot hold, one cut at a
// NUL, or a path near the length the call takes. (Asked for every entry,
// the second query costs about as much as the listing itself.)
std::uint32_t EntryAttributes(FileSystem& files, const std::string& path, const std::string& name,
                              const FindData& entry) {
    const bool exact = name == entry.name && !name.empty() && name.back() != '.' && name.back() != ' ' &&
                       name.find_first_of("?*<>|\":\\/") == std::string::npos && DosDeviceName(name).empty() &&
                       path.size() + 20 < kFsMaxPath;
    return exact ? entry.attributes : files.GetFileAttributes(path, nullptr);
}

// The display form of a folder's short path: empty when it is longer than
// the label takes.
std::string ShortForDisplay(std::string shortPath) {
    if (shortPath.size() > kShortPathLimit) return {};
    return shortPath;
}

// A listed subfolder: its name, and its short name when it has one.
struct Subfolder {
    std::string name;
    std::string shortName;
};

// The walk of one folder. shortFolder is the folder's short form when the
// caller knows it (its parent's short form and the short name the parent's
// listing gave), else nothing and the system is asked.
void WalkFolder(ScanContext& context, const std::string& folderPath, const std::optional<std::string>& shortFolder) {
    std::string folder = folderPath;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    FileSystem& files = context.files;
    std::vector<Subfolder> subfolders;
    FindData entry;
    // The folder's short form, whole, to compose its subfolders' from.
    std::string shortPath;
    const FindHandle search = files.FindFirstFile(folder + "*", entry, nullptr);
    if (search != kInvalidFindHandle) {
        SearchCloser closer(files, search);
        // The folder's short form is the same for each of its entries: taken once.
        shortPath = shortFolder ? *shortFolder : files.GetShortPathName(folder, nullptr);
        const std::string shownFolder = ShortForDisplay(shortPath);
        bool more = true;
        while (more) {
            if (context.state.Cancelled()) return;
            context.host.Yield();
            const std::string name = EntryName(entry);
            ShowEntry(context, folder, shownFolder, name);
            if (name != "." && name != "..") {
                ShowEntry(context, folder, shownFolder, name);
                const std::uint32_t attributes = EntryAttributes(files, folder + name, name, entry);
                if (attributes == kInvalidFileAttributes) {
                    // Passed over: it cannot be read.
                } else if ((attributes & kAttrDirectory) != 0) {
                    // A junction or symbolic link to a folder is not entered:
                    // it can lead back up the tree, or onto a whole other
                    // file system.
                    if ((attributes & kAttrReparsePoint) == 0 &&
                        subfolders.size() < static_cast<std::size_t>(kMaxSubfoldersPerFolder))
                        subfolders.push_back({name, name == entry.name ? entry.alternateName : std::string()});
                } else if ((attributes & kCandidateFileBits) != 0 && name.find('.') != std::string::npos) {
                    ShowEntry(context, folder, shownFolder, name);
                    CheckShortcutFile(context, folder + name);
                }
            }
            more = files.FindNextFile(search, entry, nullptr);
            if (context.state.Cancelled()) return;
            context.host.Yield();
        }
    }

    // A subfolder's short form is this folder's and the subfolder's short
    // name (its name when it has none), as GetShortPathNameA composes it;
    // without this folder's, the system is asked for each.
    const bool compose = !shortPath.empty() && shortPath.back() == '\\';
    for (const Subfolder& subfolder : subfolders) {
        if (context.state.Cancelled()) return;
        std::optional<std::string> shortSubfolder;
        if (compose) {
            shortSubfolder = shortPath + (subfolder.shortName.empty() ? subfolder.name : subfolder.shortName) + "\\";
        }
        WalkFolder(context, folder + subfolder.name + "\\", shortSubfolder);
        context.host.Yield();
        if (context.state.Cancelled()) return;
    }
}

} // namespace

void ScanFolderForShortcuts(ScanContext& context, const std::string& folderPath) {
    WalkFolder(context, folderPath, std::nullopt);
}

std::string ShortPathForDisplay(ScanContext& context, const std::string& path) {
    return ShortForDisplay(context.files.GetShortPathName(path, nullptr));
}

} // namespace hs
