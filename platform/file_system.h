// The file-system port: the kernel32 file calls the program makes, in their
// ANSI shape, plus the drive list, the system folders and the few whole-file
// operations of the backup, restore and report code.
//
// Paths are Windows paths in the ANSI code page ("C:\dir\file.txt"). Every
// call that can fail reports the Win32 error code (GetLastError's value)
// through its error argument, which may be null.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hs {

// Win32 error codes the program tells apart.
inline constexpr std::uint32_t kFsFileNotFound = 2;
inline constexpr std::uint32_t kFsPathNotFound = 3;
inline constexpr std::uint32_t kFsAccessDenied = 5;
inline constexpr std::uint32_t kFsNoMoreFiles = 18;
inline constexpr std::uint32_t kFsNotReady = 21;
inline constexpr std::uint32_t kFsWriteFault = 29;
inline constexpr std::uint32_t kFsBadNetPath = 53;
inline constexpr std::uint32_t kFsBadDevType = 66;
inline constexpr std::uint32_t kFsBadNetName = 67;
inline constexpr std::uint32_t kFsInvalidParameter = 87;
inline constexpr std::uint32_t kFsInsufficientBuffer = 122;
inline constexpr std::uint32_t kFsInvalidName = 123;
inline constexpr std::uint32_t kFsDirNotRoot = 144;
inline constexpr std::uint32_t kFsFileTooLarge = 223;
inline constexpr std::uint32_t kFsFilenameTooLong = 206;
inline constexpr std::uint32_t kFsDirNotEmpty = 145;
inline constexpr std::uint32_t kFsAlreadyExists = 183;
inline constexpr std::uint32_t kFsDirectoryName = 267;

// File attributes.
inline constexpr std::uint32_t kAttrReadOnly = 0x1;
inline constexpr std::uint32_t kAttrHidden = 0x2;
inline constexpr std::uint32_t kAttrSystem = 0x4;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;

// Drive types in the program's numbering (the FileSystemObject's), which is
// GetDriveTypeA's minus one.
inline constexpr int kDriveUnknown = 0;
inline constexpr int kDriveRemovable = 1;
inline constexpr int kDriveFixed = 2;
inline constexpr int kDriveNetwork = 3;
inline constexpr int kDriveCdRom = 4;
inline constexpr int kDriveRamDisk = 5;

struct DriveInfo {
    char letter;  // upper case
    int type;     // kDrive*
    bool ready;   // a medium is present and can be read
};

// One match of a directory search (WIN32_FIND_DATAA's fields the program uses).
struct FindData {
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::string name;           // cFileName
    std::string alternateName;  // cAlternateFileName: empty when name is already 8.3
};

// A search handle; kInvalidFindHandle when a search could not be opened.
using FindHandle = std::int64_t;
inline constexpr FindHandle kInvalidFindHandle = -1;

struct VolumeInfo {
    std::string label;
    std::uint32_t serialNumber = 0;
    std::uint32_t maxComponentLength = 0;
    std::uint32_t flags = 0;
    std::string fileSystem;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // FindFirstFileA: the first match of pattern (wildcards * and ? in its
    // last component), or kInvalidFindHandle and the error (2 nothing
    // matches, 3 a folder of the path is missing, ...). Matches come as the
    // system lists them, "." and ".." included except at a drive root.
    virtual FindHandle FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) = 0;
    // FindNextFileA: false and 18 after the last match.
    virtual bool FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) = 0;
    virtual bool FindClose(FindHandle search) = 0;

    // GetFileAttributesA: kInvalidFileAttributes and the error on failure.
    virtual std::uint32_t GetFileAttributes(const std::string& path, std::uint32_t* error) = 0;

    // GetVolumeInformationA of a root such as "C:\", with a label buffer of
    // labelBufferSize characters including the NUL (the program passes 14).
    virtual bool GetVolumeInformation(const std::string& root, std::uint32_t labelBufferSize, VolumeInfo& info,
                                      std::uint32_t* error) = 0;

    // GetShortPathNameA: the short form of an existing path; empty and the
    // error when the path does not exist.
    virtual std::string GetShortPathName(const std::string& path, std::uint32_t* error) = 0;

    // CopyFileA with failIfExists false: replaces an existing target unless
    // it is read-only (5).
    virtual bool CopyFile(const std::string& from, const std::string& to, std::uint32_t* error) = 0;
    // DeleteFileA: a read-only file is refused with 5.
    virtual bool DeleteFile(const std::string& path, std::uint32_t* error) = 0;
    // The three calls below change folders and names. Every real file
    // system gives all three; a test double that never writes may leave
    // them out, and they then fail with 50 (not supported).
    //
    // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH:
    // renames a file, replacing a file at the target; the rename is on the
    // disk when it returns true. A missing source gives 2, a missing target
    // folder 3, a folder at the target 5. Windows also refuses to replace a
    // read-only file (5); Wine replaces it, and so do the stand-ins.
    virtual bool MoveFileReplacing(const std::string& from, const std::string& to, std::uint32_t* error) {
        return NotSupported(from + to, error);
    }
    // CreateDirectoryA: 183 when a file or folder of that name exists, 3 when
    // its parent folder is missing.
    virtual bool CreateFolder(const std::string& path, std::uint32_t* error) { return NotSupported(path, error); }
    // RemoveDirectoryA: removes an empty folder; 145 when it is not empty,
    // 2 when it is missing, 267 when it is a file.
    virtual bool RemoveFolder(const std::string& path, std::uint32_t* error) { return NotSupported(path, error); }

    // Creates (or empties) a file and writes bytes to it.
    virtual bool WriteNewFile(const std::string& path, const std::string& bytes, std::uint32_t* error) = 0;
    // Appends bytes to a file, creating it when missing, and flushes them to
    // the disk before returning true.
    virtual bool AppendToFile(const std::string& path, const std::string& bytes, std::uint32_t* error) = 0;
    // Reads a text file line by line: CR LF or a lone CR ends a line (a lone
    // LF stays in the line); a last line without an ending counts.
    virtual bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::uint32_t* error) = 0;
    // Reads a whole regular file into bytes without waiting on it: a folder,
    // a device name, a pipe or anything else that is not a regular file is
    // refused with 5, a file of more than maxBytes bytes with 223; bytes is
    // left alone on failure.
    virtual bool ReadFileBytes(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                               std::uint32_t* error) = 0;

    // The machine's drives, in the system's order.
    virtual std::vector<DriveInfo> Drives() = 0;

    // Folders without a trailing backslash (but for a drive root); empty
    // when the system cannot tell.
    virtual std::string SystemFolder() = 0;
    virtual std::string WindowsFolder() = 0;
    // GetTempPathA's answer, which ends with a backslash.
    virtual std::string TempFolder() = 0;
    // The folder of the program's executable file.
    virtual std::string ProgramFolder() = 0;

private:
    static bool NotSupported(const std::string&, std::uint32_t* error) {
        if (error != nullptr) *error = 50;
        return false;
    }
};

} // namespace hs
