// The floors the scan is measured against: the same registry calls and file
// tests in bare loops, with no labels, yields, records or checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "bench/heap_counter.h"

namespace hs::bench {

// Forwards every call to a file system, answers the bench's system and
// Windows folders, and, while recording, notes the existence tests made:
// the searches for one path (not a folder listing), and the attribute
// queries that are not of an entry the last listing returned.
class ProbeFileSystem final : public FileSystem {
public:
    explicit ProbeFileSystem(FileSystem& inner) : inner_(inner) {}

    bool recording = false;
    // While set, what the file system allocates inside its calls (its
    // listing buffers, the names it hands back) is kept out of the heap
    // counts, as the system's own memory is on Windows.
    bool uncounted = false;
    std::vector<std::string> searchedPaths;  // FindFirstFile patterns without "*"
    std::vector<std::string> queriedPaths;   // GetFileAttributes of other than listed entries
    std::uint64_t calls = 0;

    FindHandle FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) override;
    bool FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) override;
    bool FindClose(FindHandle search) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.FindClose(search);
    }
    std::uint32_t GetFileAttributes(const std::string& path, std::uint32_t* error) override;
    bool GetVolumeInformation(const std::string& root, std::uint32_t labelBufferSize, VolumeInfo& info,
                              std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.GetVolumeInformation(root, labelBufferSize, info, error);
    }
    std::string GetShortPathName(const std::string& path, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.GetShortPathName(path, error);
    }
    bool CopyFile(const std::string& from, const std::string& to, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.CopyFile(from, to, error);
    }
    bool DeleteFile(const std::string& path, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.DeleteFile(path, error);
    }
    bool MoveFileReplacing(const std::string& from, const std::string& to, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.MoveFileReplacing(from, to, error);
    }
    bool CreateFolder(const std::string& path, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.CreateFolder(path, error);
    }
    bool RemoveFolder(const std::string& path, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.RemoveFolder(path, error);
    }
    bool WriteNewFile(const std::string& path, const std::string& bytes, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.WriteNewFile(path, bytes, error);
    }
    bool AppendToFile(const std::string& path, const std::string& bytes, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.AppendToFile(path, bytes, error);
    }
    bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.ReadLines(path, lines, error);
    }
    bool ReadFileBytes(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                       std::uint32_t* error) override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.ReadFileBytes(path, maxBytes, bytes, error);
    }
    std::vector<DriveInfo> Drives() override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.Drives();
    }
    std::string SystemFolder() override;
    std::string WindowsFolder() override;
    std::string TempFolder() override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.TempFolder();
    }
    std::string ProgramFolder() override {
        const UncountedScope off(uncounted);
        return ++calls, inner_.ProgramFolder();
    }

private:
    FileSystem& inner_;
    std::string listedFolder_;  // the folder of the last listing, ending in '\'
    std::string lastEntry_;     // its last entry, full path
};

// Counts of one floor pass, to show that it did the scan's amount of work.
struct FloorCounts {
    std::uint64_t keys = 0;
    std::uint64_t values = 0;
    std::uint64_t tests = 0;
    std::uint64_t folders = 0;
    std::uint64_t linkFiles = 0;
};

// The registry walks of catalogue entries 1 to 11, call for call as the
// walker makes them (opens, enumerations with the walker's buffers, the two
// queries per value), each value's text built and dropped.
void RegistryFloor(Registry& registry, std::int32_t platformId, FloorCounts& counts);

// One existence test per path: a search for it, closed at once.
void ExistenceFloor(FileSystem& files, const std::vector<std::string>& paths, FloorCounts& counts);

// A bare walk of every folder below root that reads every .lnk and .url
// file, then one attribute query per target path.
void DirectoryFloor(FileSystem& files, const std::string& root, const std::vector<std::string>& targets,
                    FloorCounts& counts);

} // namespace hs::bench
