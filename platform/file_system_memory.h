// The in-memory stand-in for the file-system port, with the Windows path
// rules and error codes (as Wine gives them where Windows and Wine differ).
//
// Drives are letters with a type, a readiness flag and a label. Paths are
// "X:\a\b" ('/' separates too, doubled separators are accepted, "." and ".."
// are resolved); names match without regard to case and keep the case given
// at creation; trailing dots and spaces of the last component are ignored.
// Searches list matches sorted by upper-cased name, "." and ".." first in
// every folder but a drive root (where the pattern matches them); device
// names ("nul", "con.txt") exist in every folder. CopyFile refuses a
// read-only or hidden target, WriteNewFile a read-only, hidden or system
// file, DeleteFile a read-only one (5). There are no 8.3 names:
// GetShortPathName answers an existing path unchanged.
//
// The path rules both stand-ins follow are in platform/windows_rules.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/windows_rules.h"

namespace hs {

class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    // Set-up. A path naming a missing drive adds it as a fixed, ready drive;
    // a path through an existing file throws std::invalid_argument.
    void AddDrive(char letter, int type, bool ready = true, std::string label = "");
    // Creates the folder and its parents; its attributes become
    // kAttrDirectory | extraAttributes.
    void AddFolder(const std::string& path, std::uint32_t extraAttributes = 0);
    // Creates (or replaces) a file, creating its parent folders.
    void AddFile(const std::string& path, std::string contents = "", std::uint32_t attributes = kAttrArchive);
    // Searches in that folder and below fail with 5 (the folder is created
    // when missing).
    void SetUnreadable(const std::string& folderPath);
    // The n-th write from now (WriteNewFile, AppendToFile, CopyFile,
    // MoveFileReplacing and CreateFolder calls count, from 1) fails with 29
    // and writes nothing; 0 turns it off.
    void FailWrite(int n);
    // Every write, copy, rename, deletion and folder change in that folder
    // or below it fails with 5, as in a folder the user may only read.
    void DenyWritesUnder(const std::string& folderPath);
    void SetFolders(std::string system, std::string windows, std::string temp, std::string program);

    // A file's bytes; nothing when it is missing or a folder.
    std::optional<std::string> Contents(const std::string& path) const;
    // Searches opened and not closed yet.
    std::size_t OpenSearchCount() const;
    // FindFirstFile calls so far, failed ones included.
    int SearchCount() const;

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
    std::string SystemFolder() override { return systemFolder_; }
    std::string WindowsFolder() override { return windowsFolder_; }
    std::string TempFolder() override { return tempFolder_; }
    std::string ProgramFolder() override { return programFolder_; }

    struct Node;
    struct Drive;

private:
    struct Search {
        std::vector<FindData> matches;
        std::size_t next = 0;
    };
    struct Located;

    Node& MakeFolders(const std::string& path, bool includeLast);
    Located Locate(const std::string& path, std::uint32_t& error) const;
    bool CountWrite(std::uint32_t* error);
    bool Denied(const std::string& path, std::uint32_t* error) const;
    Node* WritableTarget(const std::string& path, std::uint32_t refused, std::uint32_t* error);

    std::map<char, std::unique_ptr<Drive>> drives_;
    std::map<FindHandle, Search> searches_;
    FindHandle nextHandle_ = 1;
    int searchCount_ = 0;
    int failWriteIn_ = 0;
    std::vector<std::string> deniedFolders_;
    std::string systemFolder_, windowsFolder_, tempFolder_, programFolder_;
};

// ---- Stand-in volume facts and short paths ----

// GetVolumeInformation's check of a root's shape: 0 for "X:", "X:", "X:/";
// 144 when a folder follows the drive and ends in or holds a separator
// ("C:\Windows", "C:"); 123 for "C:\Windows" and anything else.
std::uint32_t VolumeRootError(const std::string& root);

// The volume facts both stand-ins report for a found drive: Wine's serial
// (the letter shifted left 24 bits), 255, flags 0x0A, "NTFS"; 21 when the
// drive is not ready, 24 when the label does not fit labelBufferSize - 1
// characters (0: no label asked for).
bool StandInVolumeInfo(char drive, bool ready, const std::string& label, std::uint32_t labelBufferSize,
                       VolumeInfo& info, std::uint32_t* error);

// The stand-ins have no 8.3 names: an existing path is its own short form;
// a missing file or folder gives 2.
std::string StandInShortPath(FileSystem& files, const std::string& path, std::uint32_t* error);

} // namespace hs
