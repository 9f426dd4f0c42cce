// The in-memory file-system stand-in, and the volume facts and short paths
// it shares with the POSIX stand-in.
#include "platform/file_system_memory.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace hs {

// ---- Path rules ----

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

void SetError(std::uint32_t* error, std::uint32_t code) {
    if (error != nullptr) *error = code;
}

bool HasInvalidNameCharacterIn(const std::vector<std::string>& components) {
    for (const auto& component : components)
        if (HasInvalidNameCharacter(component)) return true;
    return false;
}

// 123 when a component of path holds a wildcard or another character that
// no Windows name can hold.
std::uint32_t NameError(const std::string& path) {
    return HasInvalidNameCharacterIn(ParseWindowsPath(path).components) ? kFsInvalidName : 0;
}

} // namespace

bool StandInVolumeInfo(char drive, bool ready, const std::string& label, std::uint32_t labelBufferSize,
                       VolumeInfo& info, std::uint32_t* error) {
    if (!ready) {
        SetError(error, kFsNotReady);
        return false;
    }
    // A label that does not fit the caller's buffer fails rather than being
    // cut (0 means the caller asked for no label).
    if (labelBufferSize != 0 && label.size() + 1 > labelBufferSize) {
        SetError(error, kFsBadLength);
        return false;
    }
    info.label = label;
    info.serialNumber = static_cast<std::uint32_t>(static_cast<unsigned char>(drive)) << 24;
    info.maxComponentLength = 255;
    info.flags = 0x0A;
    info.fileSystem = "NTFS";
    return true;
}

std::string StandInShortPath(FileSystem& files, const std::string& path, std::uint32_t* error) {
    std::uint32_t code = 0;
    if (files.GetFileAttributes(path, &code) == kInvalidFileAttributes) {
        SetError(error, code == kFsPathNotFound ? kFsFileNotFound : code);  // a missing folder too
        return "";
    }
    return path;
}

std::uint32_t VolumeRootError(const std::string& root) {
    const bool hasLetter = root.size() >= 2 && root[1] == ':' &&
                           ((root[0] >= 'A' && root[0] <= 'Z') || (root[0] >= 'a' && root[0] <= 'z'));
    if (!hasLetter) return kFsInvalidName;
    std::size_t rest = 2;
    while (rest < root.size() && IsSeparator(root[rest])) ++rest;
    if (rest == root.size()) return 0;
    return root.find_first_of("\\/", rest) != std::string::npos ? kFsDirNotRoot : kFsInvalidName;
}

// ---- The stand-in ----

struct MemoryFileSystem::Node {
    std::string name;
    std::uint32_t attributes = kAttrDirectory;
    bool unreadable = false;
    std::string contents;
    Node* parent = nullptr;
    std::map<std::string, std::unique_ptr<Node>> children;  // by FoldCase(name)

    bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
    Node* Child(const std::string& name) const {
        auto found = children.find(FoldCase(name));
        return found == children.end() ? nullptr : found->second.get();
    }
};

struct MemoryFileSystem::Drive {
    int type = kDriveFixed;
    bool ready = true;
    std::string label;
    Node root;
};

// Where a path leads: its drive, the folder that holds its last component
// and the entry itself (null when missing).
struct MemoryFileSystem::Located {
    WindowsPath path;
    Drive* drive = nullptr;
    Node* parent = nullptr;
    Node* node = nullptr;
    bool unreadable = false;  // the folder searched, or one above it, cannot be listed
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

void MemoryFileSystem::AddDrive(char letter, int type, bool ready, std::string label) {
    auto& drive = drives_[UpperAscii(letter)];
    if (!drive) drive = std::make_unique<Drive>();
    drive->type = type;
    drive->ready = ready;
    drive->label = std::move(label);
}

MemoryFileSystem::Node& MemoryFileSystem::MakeFolders(const std::string& path, bool includeLast) {
    WindowsPath parsed = ParseWindowsPath(path);
    if (parsed.kind != WindowsPath::Kind::kDrive) throw std::invalid_argument("not a drive path: " + path);
    if (!drives_.count(parsed.drive)) AddDrive(parsed.drive, kDriveFixed);
    Node* folder = &drives_[parsed.drive]->root;
    std::size_t count = parsed.components.size();
    if (!includeLast) {
        if (count == 0) throw std::invalid_argument("no file name: " + path);
        --count;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& name = parsed.components[i];
        Node* child = folder->Child(name);
        if (child == nullptr) {
            auto made = std::make_unique<Node>();
            made->name = name;
            made->parent = folder;
            child = made.get();
            folder->children[FoldCase(name)] = std::move(made);
        } else if (!child->IsFolder()) {
            throw std::invalid_argument("a file is in the way: " + path);
        }
        folder = child;
    }
    return *folder;
}

void MemoryFileSystem::AddFolder(const std::string& path, std::uint32_t extraAttributes) {
    MakeFolders(path, true).attributes = kAttrDirectory | extraAttributes;
}

void MemoryFileSystem::AddFile(const std::string& path, std::string contents, std::uint32_t attributes) {
    Node& folder = MakeFolders(path, false);
    const std::string name = ParseWindowsPath(path).components.back();
    Node* file = folder.Child(name);
    if (file == nullptr) {
        auto made = std::make_unique<Node>();
        made->name = name;
        made->parent = &folder;
        file = made.get();
        folder.children[FoldCase(name)] = std::move(made);
    } else if (file->IsFolder()) {
        throw std::invalid_argument("a folder is in the way: " + path);
    }
    file->attributes = attributes & ~kAttrDirectory;
    file->contents = std::move(contents);
}

void MemoryFileSystem::SetUnreadable(const std::string& folderPath) { MakeFolders(folderPath, true).unreadable = true; }

void MemoryFileSystem::FailWrite(int n) { failWriteIn_ = n > 0 ? n : 0; }

void MemoryFileSystem::SetFolders(std::string system, std::string windows, std::string temp, std::string program) {
    systemFolder_ = std::move(system);
    windowsFolder_ = std::move(windows);
    tempFolder_ = std::move(temp);
    programFolder_ = std::move(program);
}

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
    std::uint32_t error = 0;
    Located where = Locate(path, error);
    if (error != 0 || where.node == nullptr || where.node->IsFolder()) return std::nullopt;
    return where.node->contents;
}

std::size_t MemoryFileSystem::OpenSearchCount() const { return searches_.size(); }

int MemoryFileSystem::SearchCount() const { return searchCount_; }

// Resolves every folder of the path; error stays 0 when the folder that
// holds the last component exists (the entry itself may be missing).
MemoryFileSystem::Located MemoryFileSystem::Locate(const std::string& path, std::uint32_t& error) const {
    Located where;
    error = 0;
    if (path.size() > kFsMaxPath) {
        error = kFsFilenameTooLong;
        return where;
    }
    where.path = ParseWindowsPath(path);
    if (where.path.kind != WindowsPath::Kind::kDrive) {
        error = kFsPathNotFound;  // no current folder, no network
        return where;
    }
    auto drive = drives_.find(where.path.drive);
    if (drive == drives_.end()) {
        error = kFsPathNotFound;
        return where;
    }
    where.drive = drive->second.get();
    if (!where.drive->ready) {
        error = kFsNotReady;
        return where;
    }
    Node* folder = &where.drive->root;
    where.unreadable = folder->unreadable;
    const auto& components = where.path.components;
    if (components.empty()) {
        where.node = folder;
        return where;
    }
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        Node* child = folder->Child(components[i]);
        if (child == nullptr || !child->IsFolder()) {
            error = kFsPathNotFound;
            return where;
        }
        folder = child;
        where.unreadable = where.unreadable || folder->unreadable;
    }
    where.parent = folder;
    where.node = folder->Child(components.back());
    return where;
}

FindHandle MemoryFileSystem::FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) {
    ++searchCount_;
    const WindowsPath parsed = ParseWindowsPath(pattern);
    if (pattern.size() <= kFsMaxPath && parsed.trailingSeparator) {
        // Wine opens no search without a name to match: "C:\dir\" and "C:\"
        // fail with 2 whether the folder exists or not.
        SetError(error, kFsFileNotFound);
        return kInvalidFindHandle;
    }
    for (std::size_t i = 0; i + 1 < parsed.components.size(); ++i) {
        if (HasInvalidNameCharacter(parsed.components[i])) {
            SetError(error, kFsInvalidName);
            return kInvalidFindHandle;
        }
    }
    std::uint32_t code = 0;
    Located where = Locate(pattern, code);
    if (code == 0 && where.parent == nullptr) code = kFsFileNotFound;  // a drive root without a name
    if (code == 0 && where.unreadable) code = kFsAccessDenied;
    if (code != 0) {
        SetError(error, code);
        return kInvalidFindHandle;
    }

    auto entry = [](const Node& node, std::string name) {
        FindData found;
        found.attributes = node.attributes;
        found.size = node.IsFolder() ? 0 : node.contents.size();
        found.name = std::move(name);
        return found;
    };
    Search search;
    const std::string& last = where.path.components.back();
    if (!HasWildcard(last)) {
        if (const std::string device = DosDeviceName(last); !device.empty()) {
            FindData found;
            found.attributes = kAttrArchive;
            found.name = device;
            search.matches.push_back(found);
        } else if (where.node != nullptr) {
            search.matches.push_back(entry(*where.node, where.node->name));
        }
    } else {
        const Node& folder = *where.parent;
        if (folder.parent != nullptr) {
            if (MatchesWildcard(last, ".")) search.matches.push_back(entry(folder, "."));
            if (MatchesWildcard(last, "..")) search.matches.push_back(entry(*folder.parent, ".."));
        }
        for (const auto& [key, child] : folder.children)
            if (MatchesWildcard(last, child->name)) search.matches.push_back(entry(*child, child->name));
    }
    if (search.matches.empty()) {
        SetError(error, kFsFileNotFound);
        return kInvalidFindHandle;
    }
    data = search.matches.front();
    search.next = 1;
    const FindHandle handle = nextHandle_++;
    searches_.emplace(handle, std::move(search));
    return handle;
}

bool MemoryFileSystem::FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) {
    auto found = searches_.find(search);
    if (found == searches_.end()) {
        SetError(error, kFsInvalidHandle);
        return false;
    }
    Search& state = found->second;
    if (state.next >= state.matches.size()) {
        SetError(error, kFsNoMoreFiles);
        return false;
    }
    data = state.matches[state.next++];
    return true;
}

bool MemoryFileSystem::FindClose(FindHandle search) { return searches_.erase(search) == 1; }

std::uint32_t MemoryFileSystem::GetFileAttributes(const std::string& path, std::uint32_t* error) {
    // Wine answers 66 for a share it cannot reach.
    std::uint32_t code = ParseWindowsPath(path).kind == WindowsPath::Kind::kUnc ? kFsBadDevType : NameError(path);
    Located where;
    if (code == 0) where = Locate(path, code);
    if (code == 0 && where.parent != nullptr && !where.path.trailingSeparator &&
        !DosDeviceName(where.path.components.back()).empty())
        return kAttrArchive;
    if (code == 0 && where.node == nullptr) code = kFsFileNotFound;
    if (code == 0 && where.path.trailingSeparator && !where.node->IsFolder()) code = kFsPathNotFound;
    if (code != 0) {
        SetError(error, code);
        return kInvalidFileAttributes;
    }
    return where.node->attributes;
}

bool MemoryFileSystem::GetVolumeInformation(const std::string& root, std::uint32_t labelBufferSize, VolumeInfo& info,
                                            std::uint32_t* error) {
    // The shape of the root is checked before the drive is looked for.
    if (const std::uint32_t shape = VolumeRootError(root)) {
        SetError(error, shape);
        return false;
    }
    const WindowsPath parsed = ParseWindowsPath(root);
    auto found = drives_.find(parsed.drive);
    if (found == drives_.end()) {
        SetError(error, kFsPathNotFound);
        return false;
    }
    const Drive& drive = *found->second;
    return StandInVolumeInfo(parsed.drive, drive.ready, drive.label, labelBufferSize, info, error);
}

std::string MemoryFileSystem::GetShortPathName(const std::string& path, std::uint32_t* error) {
    return StandInShortPath(*this, path, error);
}

bool MemoryFileSystem::CountWrite(std::uint32_t* error) {
    if (failWriteIn_ > 0 && --failWriteIn_ == 0) {
        SetError(error, kFsWriteFault);
        return false;
    }
    return true;
}

// The file a write goes to, created empty when missing; null (and the
// error) when the path cannot be written or the file has one of the
// refused attributes.
MemoryFileSystem::Node* MemoryFileSystem::WritableTarget(const std::string& path, std::uint32_t refused,
                                                         std::uint32_t* error) {
    std::uint32_t code = NameError(path);
    Located where;
    if (code == 0) where = Locate(path, code);
    if (code == 0 && (where.parent == nullptr || where.path.trailingSeparator))
        code = where.node != nullptr && where.node->IsFolder() ? kFsAccessDenied : kFsInvalidName;
    if (code == 0 && where.node != nullptr && (where.node->IsFolder() || (where.node->attributes & refused)))
        code = kFsAccessDenied;
    if (code != 0) {
        SetError(error, code);
        return nullptr;
    }
    if (where.node == nullptr) {
        auto made = std::make_unique<Node>();
        made->name = where.path.components.back();
        made->attributes = kAttrArchive;
        made->parent = where.parent;
        where.node = made.get();
        where.parent->children[FoldCase(made->name)] = std::move(made);
    }
    return where.node;
}

bool MemoryFileSystem::CopyFile(const std::string& from, const std::string& to, std::uint32_t* error) {
    if (!CountWrite(error) || Denied(to, error)) return false;
    std::uint32_t code = NameError(from);
    Located source;
    if (code == 0) source = Locate(from, code);
    if (code == 0 && source.path.trailingSeparator) code = kFsInvalidName;
    if (code == 0 && source.node == nullptr) code = kFsFileNotFound;
    if (code == 0 && source.node->IsFolder()) code = kFsAccessDenied;
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    std::uint32_t targetCode = 0;
    Located existing = Locate(to, targetCode);
    if (targetCode == 0 && existing.node == source.node) {
        SetError(error, kFsSharingViolation);  // never truncate the source
        return false;
    }
    // CopyFileA refuses a hidden or read-only target.
    Node* target = WritableTarget(to, kAttrReadOnly | kAttrHidden, error);
    if (target == nullptr) return false;
    target->contents = source.node->contents;
    target->attributes = source.node->attributes | kAttrArchive;
    return true;
}

bool MemoryFileSystem::DeleteFile(const std::string& path, std::uint32_t* error) {
    if (Denied(path, error)) return false;
    std::uint32_t code = NameError(path);
    Located where;
    if (code == 0) where = Locate(path, code);
    if (code == 0 && where.node == nullptr) code = kFsFileNotFound;
    if (code == 0 && where.path.trailingSeparator && !where.node->IsFolder()) code = kFsInvalidName;
    if (code == 0 && (where.node->IsFolder() || (where.node->attributes & kAttrReadOnly))) code = kFsAccessDenied;
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    where.parent->children.erase(FoldCase(where.node->name));
    return true;
}

bool MemoryFileSystem::MoveFileReplacing(const std::string& from, const std::string& to, std::uint32_t* error) {
    if (!CountWrite(error) || Denied(from, error) || Denied(to, error)) return false;
    std::uint32_t code = NameError(from);
    Located source;
    if (code == 0) source = Locate(from, code);
    if (code == 0 && (source.node == nullptr || source.parent == nullptr)) code = kFsFileNotFound;
    if (code == 0 && source.node->IsFolder()) code = kFsAccessDenied;  // files only
    Located target;
    if (code == 0) code = NameError(to);
    if (code == 0) target = Locate(to, code);
    if (code == 0 && (target.parent == nullptr || target.path.trailingSeparator)) code = kFsInvalidName;
    if (code == 0 && target.node == source.node) return true;
    if (code == 0 && target.node != nullptr && target.node->IsFolder()) code = kFsAccessDenied;
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    auto moved = std::move(source.parent->children[FoldCase(source.node->name)]);
    source.parent->children.erase(FoldCase(moved->name));
    moved->name = target.path.components.back();
    moved->parent = target.parent;
    target.parent->children[FoldCase(moved->name)] = std::move(moved);
    return true;
}

bool MemoryFileSystem::CreateFolder(const std::string& path, std::uint32_t* error) {
    if (!CountWrite(error) || Denied(path, error)) return false;
    std::uint32_t code = NameError(path);
    Located where;
    if (code == 0) where = Locate(path, code);
    if (code == 0 && where.parent == nullptr) code = kFsAlreadyExists;  // a drive root
    if (code == 0 && where.node != nullptr) code = kFsAlreadyExists;
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    auto made = std::make_unique<Node>();
    made->name = where.path.components.back();
    made->parent = where.parent;
    where.parent->children[FoldCase(made->name)] = std::move(made);
    return true;
}

bool MemoryFileSystem::RemoveFolder(const std::string& path, std::uint32_t* error) {
    if (Denied(path, error)) return false;
    std::uint32_t code = NameError(path);
    Located where;
    if (code == 0) where = Locate(path, code);
    if (code == 0 && where.parent == nullptr) code = kFsAccessDenied;  // a drive root
    if (code == 0 && where.node == nullptr) code = kFsFileNotFound;
    if (code == 0 && !where.node->IsFolder()) code = kFsDirectoryName;
    if (code == 0 && !where.node->children.empty()) code = kFsDirNotEmpty;
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    where.parent->children.erase(FoldCase(where.node->name));
    return true;
}

void MemoryFileSystem::DenyWritesUnder(const std::string& folderPath) {
    deniedFolders_.push_back(FoldCase(folderPath));
}

// True (and 5) when path lies in a folder whose writes are refused.
bool MemoryFileSystem::Denied(const std::string& path, std::uint32_t* error) const {
    const WindowsPath parsed = ParseWindowsPath(FoldCase(path));
    for (const std::string& folder : deniedFolders_) {
        const WindowsPath denied = ParseWindowsPath(folder);
        if (denied.drive != parsed.drive || denied.components.size() > parsed.components.size()) continue;
        if (std::equal(denied.components.begin(), denied.components.end(), parsed.components.begin())) {
            SetError(error, kFsAccessDenied);
            return true;
        }
    }
    return false;
}

bool MemoryFileSystem::WriteNewFile(const std::string& path, const std::string& bytes, std::uint32_t* error) {
    if (!CountWrite(error) || Denied(path, error)) return false;
    // CREATE_ALWAYS with plain attributes refuses a hidden or system file.
    Node* file = WritableTarget(path, kAttrReadOnly | kAttrHidden | kAttrSystem, error);
    if (file == nullptr) return false;
    file->contents = bytes;
    file->attributes |= kAttrArchive;
    return true;
}

bool MemoryFileSystem::AppendToFile(const std::string& path, const std::string& bytes, std::uint32_t* error) {
    if (!CountWrite(error) || Denied(path, error)) return false;
    Node* file = WritableTarget(path, kAttrReadOnly, error);
    if (file == nullptr) return false;
    file->contents += bytes;
    file->attributes |= kAttrArchive;
    return true;
}

bool MemoryFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines, std::uint32_t* error) {
    std::uint32_t code = NameError(path);
    Located where;
    if (code == 0) where = Locate(path, code);
    if (code == 0 && where.node == nullptr) code = where.path.trailingSeparator ? kFsInvalidName : kFsFileNotFound;
    if (code == 0 && where.node->IsFolder()) code = kFsAccessDenied;
    if (code == 0 && where.path.trailingSeparator) code = kFsInvalidName;
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    lines = SplitCrLines(where.node->contents);
    return true;
}

bool MemoryFileSystem::ReadFileBytes(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                                     std::uint32_t* error) {
    std::uint32_t code = NameError(path);
    Located where;
    if (code == 0) where = Locate(path, code);
    // A device name opens the device, which is no file.
    if (code == 0 && !where.path.trailingSeparator && !where.path.components.empty() &&
        !DosDeviceName(where.path.components.back()).empty())
        code = kFsAccessDenied;
    if (code == 0 && where.node == nullptr) code = where.path.trailingSeparator ? kFsInvalidName : kFsFileNotFound;
    if (code == 0 && where.node->IsFolder()) code = kFsAccessDenied;
    if (code == 0 && where.path.trailingSeparator) code = kFsInvalidName;
    if (code == 0 && where.node->contents.size() > maxBytes) code = kFsFileTooLarge;
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    bytes = where.node->contents;
    return true;
}

std::vector<DriveInfo> MemoryFileSystem::Drives() {
    std::vector<DriveInfo> drives;
    for (const auto& [letter, drive] : drives_) drives.push_back({letter, drive->type, drive->ready});
    return drives;
}

} // namespace hs
