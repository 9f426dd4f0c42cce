// The file-system port on a POSIX host, with drive letters mapped to host
// folders and the Windows view of them that Wine gives.
//
// "X:\a\b" names a file below the folder mapped to X:; an absolute host path
// ("/tmp/x") is taken as it is, with '\' separating its components too (the
// program appends "\name" to folders). Components are looked up without
// regard to case (the exact name first); trailing dots and spaces of the last
// component are ignored. Attributes follow Wine: a folder is 0x10, a file
// 0x20 always; read-only when the mode has no write bit for anyone; hidden
// from a leading dot; hidden and system from the "user.DOSATTRIB" extended
// attribute ("0x<hex>"); a symbolic link carries kAttrReparsePoint and its
// target's kind; a dangling link is left out of listings and not found.
// Listings are sorted by upper-cased name, "." and ".." first but at a drive
// root; device names ("nul", "con.txt") exist in every folder. There are no
// 8.3 names. As on Windows, CopyFile refuses a read-only or hidden target,
// WriteNewFile a read-only, hidden or system file, DeleteFile a read-only
// one (5), whatever the host's permissions. Files are opened without
// blocking, anything that is not a regular file is refused, a copy is
// written beside its target and renamed over it, and writes are flushed to
// the disk before they report success.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace hs {

struct PosixDrive {
    char letter;             // 'A'..'Z' (either case)
    std::string hostFolder;  // absolute host folder the drive's root maps to
    int type = kDriveFixed;  // kDrive*
    bool ready = true;       // false: every access fails with 21
    std::string label;       // the volume label
};

// The folders the port reports, as Windows paths ("C:\WINDOWS\system32") or
// host paths; given as they should be answered.
struct PosixFolders {
    std::string system;
    std::string windows;
    std::string temp;  // a backslash is appended when it ends without a separator
    std::string program;
};

class PosixFileSystem final : public FileSystem {
public:
    PosixFileSystem(std::vector<PosixDrive> drives, PosixFolders folders);
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    // The host path a Windows path leads to, letters' case resolved, or
    // empty when a folder of it is missing (for tools and tests).
    std::string HostPath(const std::string& path);

    FindHandle FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) override;
    bool FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) override;
    bool FindClose(FindHandle search) override;
    std::uint32_t GetFileAttributes(const std::string& path, std::uint32_t* error) override;
    bool GetVolumeInformation(const std::string& root, std::uint32_t labelBufferSize, VolumeInfo& info,
                              std::uint32_t* error) override;
    std::string GetShortPathName(const std::string& path, std::uint32_t* error) override;
    bool CopyFile(const std::string& from, const std::string& to, std::uint32_t* error) override;
    bool DeleteFile(const std::string& path, std::uint32_t* error) override;
    bool MoveFileReplacing(const std::string& from, const std::string& to, std::uint32_t* error) override;
    bool CreateFolder(const std::string& path, std::uint32_t* error) override;
    bool RemoveFolder(const std::string& path, std::uint32_t* error) override;
    bool WriteNewFile(const std::string& path, const std::string& bytes, std::uint32_t* error) override;
    bool AppendToFile(const std::string& path, const std::string& bytes, std::uint32_t* error) override;
    bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::uint32_t* error) override;
    bool ReadFileBytes(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                       std::uint32_t* error) override;
    std::vector<DriveInfo> Drives() override;
    std::string SystemFolder() override;
    std::string WindowsFolder() override;
    std::string TempFolder() override;
    std::string ProgramFolder() override;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace hs
