// The file-system port over POSIX calls, with drive letters mapped to host
// folders and Wine's view of names and attributes.
#include "platform/file_system_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <optional>

#include "platform/file_system_memory.h"

namespace hs {

namespace {

constexpr std::uint32_t kFsDiskFull = 112;
constexpr char kDosAttribute[] = "user.DOSATTRIB";

void SetError(std::uint32_t* error, std::uint32_t code) {
    if (error != nullptr) *error = code;
}

// Reports code through error and answers false: a failed call's last step.
bool Failed(std::uint32_t* error, std::uint32_t code) {
    SetError(error, code);
    return false;
}

// The Win32 code of an errno; notFound is what ENOENT means at that point
// (2 for the last component, 3 for a folder on the way).
std::uint32_t FromErrno(int code, std::uint32_t notFound, std::uint32_t otherwise = kFsAccessDenied) {
    switch (code) {
    case ENOENT:
        return notFound;
    case ENOTDIR:
    case ELOOP:
        return kFsPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case ENXIO:  // a FIFO without a reader, a device without a driver
        return kFsAccessDenied;
    case ENAMETOOLONG:
        return kFsFilenameTooLong;
    case ENOSPC:
    case EDQUOT:
        return kFsDiskFull;
    default:
        return otherwise;
    }
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string WithoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting close's own failure (a delayed write error).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The hidden and system bits of a DOSATTRIB text such as "0x6"; Wine reads
// only that form and only these two bits.
std::uint32_t DosAttributeBits(const std::string& hostPath) {
    char value[64];
    const ssize_t length = ::getxattr(hostPath.c_str(), kDosAttribute, value, sizeof value - 1);
    if (length <= 2 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return 0;
    value[length] = '\0';
    char* end = nullptr;
    const unsigned long bits = std::strtoul(value + 2, &end, 16);
    if (end == value + 2 || *end != '\0') return 0;
    return static_cast<std::uint32_t>(bits) & (kAttrHidden | kAttrSystem);
}

bool IsDotName(const std::string& name) { return name == "." || name == ".."; }

// The entry of folder called name: the exact name, else the first (in byte
// order) that equals it without regard to case. 0 when found; 2 when the
// folder holds no such entry; another code when the folder cannot be read.
std::uint32_t FindEntry(const std::string& folder, const std::string& name, std::string& found) {
    struct stat info {};
    if (::lstat(Join(folder, name).c_str(), &info) == 0) {
        found = name;
        return 0;
    }
    if (errno != ENOENT) return FromErrno(errno, kFsFileNotFound);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return FromErrno(errno, kFsPathNotFound);
    const std::string key = FoldCase(name);
    bool any = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (IsDotName(candidate) || FoldCase(candidate) != key) continue;
        if (!any || candidate < found) found = candidate;
        any = true;
    }
    ::closedir(dir);
    return any ? 0 : kFsFileNotFound;
}

// The Windows attributes Wine reports for a host entry: the mode of what it
// names (a link followed), the name's leading dot and the DOSATTRIB text;
// kInvalidFileAttributes for a missing entry or a dangling link. target
// receives the stat of what the entry names.
std::uint32_t HostAttributesOf(const std::string& hostPath, const std::string& name, struct stat* target) {
    struct stat info {};
    if (::lstat(hostPath.c_str(), &info) != 0) return kInvalidFileAttributes;
    std::uint32_t attributes = 0;
    if (S_ISLNK(info.st_mode)) {
        if (::stat(hostPath.c_str(), &info) != 0) return kInvalidFileAttributes;  // dangling
        // Wine calls a link to a folder a reparse point, a link to a file not.
        if (S_ISDIR(info.st_mode)) attributes |= kAttrReparsePoint;
    }
    attributes |= S_ISDIR(info.st_mode) ? kAttrDirectory : kAttrArchive;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kAttrReadOnly;
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
    attributes |= DosAttributeBits(hostPath);
    if (target != nullptr) *target = info;
    return attributes;
}

} // namespace

struct PosixFileSystem::State {
    std::map<char, PosixDrive> drives;
    PosixFolders folders;
    struct Search {
        std::vector<FindData> matches;
        std::size_t next = 0;
    };
    std::map<FindHandle, Search> searches;
    FindHandle nextHandle = 1;

    // Where a Windows path leads on the host.
    struct Resolved {
        WindowsPath path;
        bool root = false;   // a drive root or "/"
        std::string folder;  // the host folder holding the last component (the root itself for a root)
        std::string name;    // the last component as the host spells it, or as given when missing
        bool exists = false;
        std::string Full() const { return root ? folder : Join(folder, name); }
    };

    // Resolves every folder of path and looks the last component up; 0 when
    // the folder holding the last component exists.
    std::uint32_t Resolve(const std::string& path, Resolved& out) const {
        if (path.size() > kFsMaxPath) return kFsFilenameTooLong;
        if (path.find('\0') != std::string::npos) return kFsInvalidName;
        out.path = ParseWindowsPath(path, true);
        std::string folder;
        switch (out.path.kind) {
        case WindowsPath::Kind::kDrive: {
            auto drive = drives.find(out.path.drive);
            if (drive == drives.end()) return kFsPathNotFound;
            if (!drive->second.ready) return kFsNotReady;
            folder = WithoutTrailingSlash(drive->second.hostFolder);
            break;
        }
        case WindowsPath::Kind::kHostAbsolute:
            folder = "/";
            break;
        default:
            return kFsPathNotFound;  // no current folder, no network
        }
        const auto& components = out.path.components;
        if (components.empty()) {
            out.root = true;
            out.folder = folder;
            out.exists = true;
            return 0;
        }
        for (std::size_t i = 0; i + 1 < components.size(); ++i) {
            std::string found;
            const std::uint32_t code = FindEntry(folder, components[i], found);
            if (code == kFsFileNotFound) return kFsPathNotFound;
            if (code != 0) return code;
            folder = Join(folder, found);
            struct stat info {};
            if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return kFsPathNotFound;
        }
        out.folder = folder;
        const std::uint32_t code = FindEntry(folder, components.back(), out.name);
        if (code == kFsFileNotFound) {
            out.name = components.back();
            return 0;
        }
        if (code != 0) return code;
        out.exists = true;
        return 0;
    }

    // The regular file a write goes to; 0 when it may be written (it may
    // not exist yet): not a folder, nor a file with a refused attribute.
    std::uint32_t WriteTarget(const std::string& path, std::uint32_t refused, Resolved& target) const {
        if (const std::uint32_t code = ResolveNamed(path, target)) return code;
        struct stat info {};
        const std::uint32_t attributes =
            target.exists ? HostAttributesOf(target.Full(), target.name, &info) : kInvalidFileAttributes;
        const bool folder = attributes != kInvalidFileAttributes && (attributes & kAttrDirectory) != 0;
        if (target.root || target.path.trailingSeparator) return folder ? kFsAccessDenied : kFsInvalidName;
        if (!target.exists) return 0;
        if (attributes == kInvalidFileAttributes) return kFsAccessDenied;  // a dangling link
        if (folder || (attributes & refused) != 0 || !S_ISREG(info.st_mode)) return kFsAccessDenied;
        return 0;
    }

    // Resolve, for a path that must name a file: a name no Windows file can
    // have is refused first.
    std::uint32_t ResolveNamed(const std::string& path, Resolved& where) const {
        if (const std::uint32_t code = NameError(path)) return code;
        return Resolve(path, where);
    }

    static std::uint32_t NameError(const std::string& path) {
        for (const auto& component : ParseWindowsPath(path, true).components)
            if (HasInvalidNameCharacter(component)) return kFsInvalidName;
        return 0;
    }
};

PosixFileSystem::PosixFileSystem(std::vector<PosixDrive> drives, PosixFolders folders)
    : state_(std::make_unique<State>()) {
    for (auto& drive : drives) {
        drive.letter = static_cast<char>(drive.letter >= 'a' && drive.letter <= 'z' ? drive.letter - 'a' + 'A'
                                                                                    : drive.letter);
        state_->drives[drive.letter] = std::move(drive);
    }
    state_->folders = std::move(folders);
}

PosixFileSystem::~PosixFileSystem() = default;

std::string PosixFileSystem::HostPath(const std::string& path) {
    State::Resolved resolved;
    if (state_->Resolve(path, resolved) != 0) return "";
    return resolved.Full();
}

FindHandle PosixFileSystem::FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) {
    auto fail = [&](std::uint32_t code) {
        SetError(error, code);
        return kInvalidFindHandle;
    };
    const WindowsPath parsed = ParseWindowsPath(pattern, true);
    // Wine opens no search without a name to match.
    if (pattern.size() <= kFsMaxPath && parsed.trailingSeparator) return fail(kFsFileNotFound);
    for (std::size_t i = 0; i + 1 < parsed.components.size(); ++i)
        if (HasInvalidNameCharacter(parsed.components[i])) return fail(kFsInvalidName);

    State::Resolved where;
    if (const std::uint32_t code = state_->Resolve(pattern, where)) return fail(code);
    if (where.root) return fail(kFsFileNotFound);
    const std::string& last = where.path.components.back();
    // '<', '>', '|' and '"' make a pattern that matches nothing.
    if (last.find_first_of("<>|\"") != std::string::npos) return fail(kFsFileNotFound);

    State::Search search;
    auto add = [&](const std::string& hostPath, const std::string& name) {
        struct stat info {};
        const std::uint32_t attributes = HostAttributesOf(hostPath, name, &info);
        if (attributes == kInvalidFileAttributes) return false;
        FindData entry;
        entry.attributes = attributes;
        entry.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
        entry.name = name;
        search.matches.push_back(std::move(entry));
        return true;
    };
    if (!HasWildcard(last)) {
        if (const std::string device = DosDeviceName(last); !device.empty()) {
            search.matches.push_back(FindData{kAttrArchive, 0, device, ""});
        } else if (!where.exists) {
            return fail(kFsFileNotFound);
        } else if (!add(where.Full(), where.name)) {
            // Wine finds a dangling link by its exact name and then has
            // nothing to report.
            return fail(kFsNoMoreFiles);
        }
    } else {
        DIR* dir = ::opendir(where.folder.c_str());
        if (dir == nullptr) return fail(FromErrno(errno, kFsPathNotFound));
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (!IsDotName(name) && MatchesWildcard(last, name)) names.push_back(name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            const std::string foldedA = FoldCase(a), foldedB = FoldCase(b);
            return foldedA != foldedB ? foldedA < foldedB : a < b;
        });
        const bool atDriveRoot = where.path.components.size() == 1 && where.path.kind == WindowsPath::Kind::kDrive;
        const bool atHostRoot = where.folder == "/";
        if (!atDriveRoot && !atHostRoot) {
            if (MatchesWildcard(last, ".")) add(where.folder, ".");
            if (MatchesWildcard(last, "..")) add(Join(where.folder, ".."), "..");
        }
        for (const auto& name : names) add(Join(where.folder, name), name);  // dangling links drop out here
    }
    if (search.matches.empty()) return fail(kFsFileNotFound);
    data = search.matches.front();
    search.next = 1;
    const FindHandle handle = state_->nextHandle++;
    state_->searches.emplace(handle, std::move(search));
    return handle;
}

bool PosixFileSystem::FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) {
    auto found = state_->searches.find(search);
    if (found == state_->searches.end()) {
        SetError(error, kFsInvalidHandle);
        return false;
    }
    auto& state = found->second;
    if (state.next >= state.matches.size()) {
        SetError(error, kFsNoMoreFiles);
        return false;
    }
    data = state.matches[state.next++];
    return true;
}

bool PosixFileSystem::FindClose(FindHandle search) { return state_->searches.erase(search) == 1; }

std::uint32_t PosixFileSystem::GetFileAttributes(const std::string& path, std::uint32_t* error) {
    auto fail = [&](std::uint32_t code) {
        SetError(error, code);
        return kInvalidFileAttributes;
    };
    if (ParseWindowsPath(path, true).kind == WindowsPath::Kind::kUnc) return fail(kFsBadDevType);
    State::Resolved where;
    if (const std::uint32_t code = state_->ResolveNamed(path, where)) return fail(code);
    if (!where.root && !where.path.trailingSeparator && !DosDeviceName(where.path.components.back()).empty())
        return kAttrArchive;
    if (!where.exists) return fail(kFsFileNotFound);
    const std::uint32_t attributes = HostAttributesOf(where.Full(), where.root ? "" : where.name, nullptr);
    if (attributes == kInvalidFileAttributes) return fail(kFsFileNotFound);
    if (where.path.trailingSeparator && (attributes & kAttrDirectory) == 0) return fail(kFsPathNotFound);
    return attributes;
}

bool PosixFileSystem::GetVolumeInformation(const std::string& root, std::uint32_t labelBufferSize, VolumeInfo& info,
                                           std::uint32_t* error) {
    // The shape of the root is checked before the drive is looked for.
    if (const std::uint32_t shape = VolumeRootError(root)) {
        SetError(error, shape);
        return false;
    }
    const WindowsPath parsed = ParseWindowsPath(root);
    auto found = state_->drives.find(parsed.drive);
    if (found == state_->drives.end()) {
        SetError(error, kFsPathNotFound);
        return false;
    }
    const PosixDrive& drive = found->second;
    return StandInVolumeInfo(parsed.drive, drive.ready, drive.label, labelBufferSize, info, error);
}

std::string PosixFileSystem::GetShortPathName(const std::string& path, std::uint32_t* error) {
    return StandInShortPath(*this, path, error);
}

bool PosixFileSystem::CopyFile(const std::string& from, const std::string& to, std::uint32_t* error) {
    const auto fail = [error](std::uint32_t code) { return Failed(error, code); };
    State::Resolved source;
    if (const std::uint32_t code = state_->ResolveNamed(from, source)) return fail(code);
    if (source.path.trailingSeparator) return fail(kFsInvalidName);
    if (!source.exists) return fail(kFsFileNotFound);
    struct stat sourceInfo {};
    const std::uint32_t sourceAttributes = HostAttributesOf(source.Full(), source.name, &sourceInfo);
    if (sourceAttributes == kInvalidFileAttributes) return fail(kFsFileNotFound);
    if ((sourceAttributes & kAttrDirectory) != 0 || !S_ISREG(sourceInfo.st_mode)) return fail(kFsAccessDenied);

    State::Resolved target;
    // CopyFileA refuses a hidden or read-only target.
    if (const std::uint32_t code = state_->WriteTarget(to, kAttrReadOnly | kAttrHidden, target)) return fail(code);
    const std::string targetPath = target.Full();
    struct stat targetInfo {};
    if (target.exists && ::stat(targetPath.c_str(), &targetInfo) == 0 && targetInfo.st_dev == sourceInfo.st_dev &&
        targetInfo.st_ino == sourceInfo.st_ino)
        return fail(kFsSharingViolation);  // never truncate the source

    Fd in(::open(source.Full().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0) return fail(FromErrno(errno, kFsFileNotFound));
    // The copy is written beside the target and renamed over it, so a
    // failed copy leaves the old target whole.
    std::string temporary = Join(target.folder, ".hs-copy-XXXXXX");
    Fd out(::mkstemp(temporary.data()));
    if (out.get() < 0) return fail(FromErrno(errno, kFsPathNotFound));
    auto discard = [&](std::uint32_t code) {
        out.Close();
        ::unlink(temporary.c_str());
        return fail(code);
    };
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return discard(FromErrno(errno, kFsFileNotFound, kFsWriteFault));
        if (n == 0) break;
        if (!WriteAll(out.get(), std::string(buffer, static_cast<std::size_t>(n))))
            return discard(FromErrno(errno, kFsWriteFault, kFsWriteFault));
    }
    // The copy takes the source's attributes, read-only, hidden and system
    // included.
    (void)::fchmod(out.get(), sourceInfo.st_mode & 07777);
    char dosValue[64];
    const ssize_t dosLength = ::fgetxattr(in.get(), kDosAttribute, dosValue, sizeof dosValue);
    if (dosLength > 0) (void)::fsetxattr(out.get(), kDosAttribute, dosValue, static_cast<std::size_t>(dosLength), 0);
    if (::fsync(out.get()) != 0 || !out.Close()) return discard(FromErrno(errno, kFsWriteFault, kFsWriteFault));
    if (::rename(temporary.c_str(), targetPath.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return fail(FromErrno(code, kFsPathNotFound));
    }
    return true;
}

bool PosixFileSystem::DeleteFile(const std::string& path, std::uint32_t* error) {
    const auto fail = [error](std::uint32_t code) { return Failed(error, code); };
    State::Resolved where;
    if (const std::uint32_t code = state_->ResolveNamed(path, where)) return fail(code);
    if (!where.exists) return fail(kFsFileNotFound);
    const std::uint32_t attributes = HostAttributesOf(where.Full(), where.name, nullptr);
    if (attributes == kInvalidFileAttributes) return fail(kFsFileNotFound);
    if (where.path.trailingSeparator && (attributes & kAttrDirectory) == 0) return fail(kFsInvalidName);
    if ((attributes & (kAttrDirectory | kAttrReadOnly)) != 0) return fail(kFsAccessDenied);
    if (::unlink(where.Full().c_str()) != 0) return fail(FromErrno(errno, kFsFileNotFound));
    return true;
}

bool PosixFileSystem::MoveFileReplacing(const std::string& from, const std::string& to, std::uint32_t* error) {
    const auto fail = [error](std::uint32_t code) { return Failed(error, code); };
    State::Resolved source;
    if (const std::uint32_t code = state_->ResolveNamed(from, source)) return fail(code);
    if (!source.exists || source.root) return fail(kFsFileNotFound);
    State::Resolved target;
    if (const std::uint32_t code = state_->WriteTarget(to, 0, target)) return fail(code);
    if (::rename(source.Full().c_str(), target.Full().c_str()) != 0) return fail(FromErrno(errno, kFsFileNotFound));
    // The new name is on the disk once its folder is.
    Fd folder(::open(target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 || ::fsync(folder.get()) != 0) return fail(kFsWriteFault);
    return true;
}

bool PosixFileSystem::CreateFolder(const std::string& path, std::uint32_t* error) {
    const auto fail = [error](std::uint32_t code) { return Failed(error, code); };
    State::Resolved where;
    if (const std::uint32_t code = state_->ResolveNamed(path, where)) return fail(code);
    if (where.exists) return fail(kFsAlreadyExists);
    if (::mkdir(where.Full().c_str(), 0777) != 0) return fail(FromErrno(errno, kFsPathNotFound));
    return true;
}

bool PosixFileSystem::RemoveFolder(const std::string& path, std::uint32_t* error) {
    const auto fail = [error](std::uint32_t code) { return Failed(error, code); };
    State::Resolved where;
    if (const std::uint32_t code = state_->ResolveNamed(path, where)) return fail(code);
    if (!where.exists) return fail(kFsFileNotFound);
    if (where.root) return fail(kFsAccessDenied);
    struct stat info {};
    if (::lstat(where.Full().c_str(), &info) != 0) return fail(FromErrno(errno, kFsFileNotFound));
    if (!S_ISDIR(info.st_mode)) return fail(kFsDirectoryName);
    if (::rmdir(where.Full().c_str()) != 0) {
        if (errno == ENOTEMPTY || errno == EEXIST) return fail(kFsDirNotEmpty);
        return fail(FromErrno(errno, kFsFileNotFound));
    }
    return true;
}

namespace {

// Opens the checked target of a write and writes bytes, flushed to the disk.
bool WriteFlushed(const std::string& hostPath, int flags, const std::string& bytes, std::uint32_t* error) {
    Fd fd(::open(hostPath.c_str(), flags | O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        SetError(error, FromErrno(errno, kFsPathNotFound));
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        SetError(error, kFsAccessDenied);
        return false;
    }
    if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.Close()) {
        SetError(error, FromErrno(errno, kFsWriteFault, kFsWriteFault));
        return false;
    }
    return true;
}

} // namespace

bool PosixFileSystem::WriteNewFile(const std::string& path, const std::string& bytes, std::uint32_t* error) {
    State::Resolved target;
    // CREATE_ALWAYS with plain attributes refuses a hidden or system file.
    if (const std::uint32_t code = state_->WriteTarget(path, kAttrReadOnly | kAttrHidden | kAttrSystem, target)) {
        SetError(error, code);
        return false;
    }
    return WriteFlushed(target.Full(), O_TRUNC, bytes, error);
}

bool PosixFileSystem::AppendToFile(const std::string& path, const std::string& bytes, std::uint32_t* error) {
    State::Resolved target;
    if (const std::uint32_t code = state_->WriteTarget(path, kAttrReadOnly, target)) {
        SetError(error, code);
        return false;
    }
    return WriteFlushed(target.Full(), O_APPEND, bytes, error);
}

bool PosixFileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines, std::uint32_t* error) {
    const auto fail = [error](std::uint32_t code) { return Failed(error, code); };
    State::Resolved where;
    if (const std::uint32_t code = state_->ResolveNamed(path, where)) return fail(code);
    if (!where.exists) return fail(where.path.trailingSeparator ? kFsInvalidName : kFsFileNotFound);
    Fd fd(::open(where.Full().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return fail(FromErrno(errno, kFsFileNotFound));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return fail(kFsAccessDenied);
    if (where.path.trailingSeparator) return fail(kFsInvalidName);
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(FromErrno(errno, kFsFileNotFound, kFsAccessDenied));
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    lines = SplitCrLines(text);
    return true;
}

bool PosixFileSystem::ReadFileBytes(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                                    std::uint32_t* error) {
    const auto fail = [error](std::uint32_t code) { return Failed(error, code); };
    State::Resolved where;
    if (const std::uint32_t code = state_->ResolveNamed(path, where)) return fail(code);
    if (!where.root && !where.path.trailingSeparator && !DosDeviceName(where.path.components.back()).empty())
        return fail(kFsAccessDenied);
    if (!where.exists) return fail(where.path.trailingSeparator ? kFsInvalidName : kFsFileNotFound);
    // Opened without blocking, so that a FIFO or a device never holds the
    // caller; then refused unless it is a regular file.
    Fd fd(::open(where.Full().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return fail(FromErrno(errno, kFsFileNotFound));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return fail(kFsAccessDenied);
    if (where.path.trailingSeparator) return fail(kFsInvalidName);
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return fail(kFsFileTooLarge);
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(FromErrno(errno, kFsFileNotFound, kFsAccessDenied));
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        // The file may grow while it is read.
        if (text.size() > maxBytes) return fail(kFsFileTooLarge);
    }
    bytes = std::move(text);
    return true;
}

std::vector<DriveInfo> PosixFileSystem::Drives() {
    std::vector<DriveInfo> drives;
    for (const auto& [letter, drive] : state_->drives) drives.push_back({letter, drive.type, drive.ready});
    return drives;
}

namespace {

// A folder without its trailing separators, but for a root ("C:\", "/").
std::string FolderAnswer(std::string folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        const bool driveRoot = folder.size() == 3 && folder[1] == ':';
        if (driveRoot || folder.size() == 1) break;
        folder.pop_back();
    }
    return folder;
}

} // namespace

std::string PosixFileSystem::SystemFolder() { return FolderAnswer(state_->folders.system); }
std::string PosixFileSystem::WindowsFolder() { return FolderAnswer(state_->folders.windows); }
std::string PosixFileSystem::ProgramFolder() { return FolderAnswer(state_->folders.program); }

std::string PosixFileSystem::TempFolder() {
    std::string folder = state_->folders.temp;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

} // namespace hs
