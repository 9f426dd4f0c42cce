// The drive and folder walker of the shortcut scan.
#include "shortcuts/drive_walker.h"

#include <cstdint>
#include <vector>

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

void ScanFolderForShortcuts(ScanContext& context, const std::string& folderPath) {
    std::string folder = folderPath;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    FileSystem& files = context.files;
    std::vector<std::string> subfolders;
    FindData entry;
    const FindHandle search = files.FindFirstFile(folder + "*", entry, nullptr);
    if (search != kInvalidFindHandle) {
        SearchCloser closer(files, search);
        // The folder's short form is the same for each of its entries: asked once.
        const std::string shortFolder = ShortPathForDisplay(context, folder);
        bool more = true;
        while (more) {
            if (context.state.Cancelled()) return;
            context.host.Yield();
            const std::string name = EntryName(entry);
            ShowEntry(context, folder, shortFolder, name);
            if (name != "." && name != "..") {
                ShowEntry(context, folder, shortFolder, name);
                const std::uint32_t attributes = files.GetFileAttributes(folder + name, nullptr);
                if (attributes == kInvalidFileAttributes) {
                    // Passed over: it cannot be read.
                } else if ((attributes & kAttrDirectory) != 0) {
                    // A junction or symbolic link to a folder is not entered:
                    // it can lead back up the tree, or onto a whole other
                    // file system.
                    if ((attributes & kAttrReparsePoint) == 0 &&
                        subfolders.size() < static_cast<std::size_t>(kMaxSubfoldersPerFolder))
                        subfolders.push_back(name);
                } else if ((attributes & kCandidateFileBits) != 0 && name.find('.') != std::string::npos) {
                    ShowEntry(context, folder, shortFolder, name);
                    CheckShortcutFile(context, folder + name);
                }
            }
            more = files.FindNextFile(search, entry, nullptr);
            if (context.state.Cancelled()) return;
            context.host.Yield();
        }
    }

    for (const std::string& name : subfolders) {
        if (context.state.Cancelled()) return;
        ScanFolderForShortcuts(context, folder + name + "\\");
        context.host.Yield();
        if (context.state.Cancelled()) return;
    }
}

std::string ShortPathForDisplay(ScanContext& context, const std::string& path) {
    std::string shortPath = context.files.GetShortPathName(path, nullptr);
    if (shortPath.size() > kShortPathLimit) return {};
    return shortPath;
}

} // namespace hs
