// The floors: the scan's registry calls and file tests without the scan.
#include "bench/floor.h"

#include <cstring>
#include <vector>

#include "scan/catalogue.h"
#include "tools/bench_system.h"

namespace hs::bench {

// ---------------------------------------------------------------------------
// ProbeFileSystem

FindHandle ProbeFileSystem::FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) {
    const UncountedScope off(uncounted);
    ++calls;
    const FindHandle search = inner_.FindFirstFile(pattern, data, error);
    const bool listing = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, "\\*") == 0;
    if (listing) {
        listedFolder_ = pattern.substr(0, pattern.size() - 1);
        lastEntry_ = search == kInvalidFindHandle ? std::string() : listedFolder_ + data.name;
    } else if (recording) {
        searchedPaths.push_back(pattern);
    }
    return search;
}

bool ProbeFileSystem::FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) {
    const UncountedScope off(uncounted);
    ++calls;
    const bool more = inner_.FindNextFile(search, data, error);
    if (more && !listedFolder_.empty()) lastEntry_ = listedFolder_ + data.name;
    return more;
}

std::uint32_t ProbeFileSystem::GetFileAttributes(const std::string& path, std::uint32_t* error) {
    const UncountedScope off(uncounted);
    ++calls;
    if (recording && path != lastEntry_) queriedPaths.push_back(path);
    return inner_.GetFileAttributes(path, error);
}

std::string ProbeFileSystem::SystemFolder() {
    const UncountedScope off(uncounted);
    ++calls;
    return kBenchSystemFolder;
}

std::string ProbeFileSystem::WindowsFolder() {
    const UncountedScope off(uncounted);
    ++calls;
    return kBenchWindowsFolder;
}

// ---------------------------------------------------------------------------
// Registry floor

namespace {

constexpr std::uint32_t kBuffer = 255;

void FloorValues(Registry& registry, RegKey root, const std::string& path, FloorCounts& counts) {
    RegKey key = 0;
    if (registry.OpenKey(root, path.c_str(), &key) != kErrorSuccess) return;
    for (std::uint32_t index = 0;; ++index) {
        char name[kBuffer];
        std::uint8_t data[kBuffer];
        std::uint32_t nameLength = kBuffer, dataLength = kBuffer;
        if (registry.EnumValue(key, index, name, &nameLength, nullptr, data, &dataLength) != kErrorSuccess) break;
        ++counts.values;
        // The second read, for the data as text.
        std::uint32_t type = 0, size = 0;
        if (registry.QueryValueEx(key, name, &type, nullptr, &size) != kErrorSuccess) continue;
        // Into a buffer of exactly the size told, as ReadValueText reads.
        if (type == kRegSz || type == kRegMultiSz || type == kRegDword) {
            std::uint8_t text[4096];
            std::vector<std::uint8_t> large;
            std::uint8_t* into = text;
            std::uint32_t room = type == kRegDword ? 4 : size;
            if (room > sizeof text) {
                large.resize(room);
                into = large.data();
            }
            if (room > 0) static_cast<void>(registry.QueryValueEx(key, name, nullptr, into, &room));
        }
    }
    static_cast<void>(registry.CloseKey(key));
}

void FloorKeys(Registry& registry, RegKey root, const std::string& path, FloorCounts& counts) {
    RegKey key = 0;
    if (registry.OpenKeyEx(root, path.c_str(), kKeyEnumerateSubKeys, &key) != kErrorSuccess) return;
    std::string subkeyPath = path;
    subkeyPath += '\\';
    const std::size_t stem = subkeyPath.size();
    for (std::uint32_t index = 0;; ++index) {
        char name[kBuffer];
        char className[kBuffer];
        std::uint32_t nameLength = kBuffer, classLength = kBuffer;
        if (registry.EnumKeyEx(key, index, name, &nameLength, className, &classLength) != kErrorSuccess) break;
        ++counts.keys;
        subkeyPath.resize(stem);
        subkeyPath.append(name, nameLength);
        FloorValues(registry, root, subkeyPath, counts);
        FloorKeys(registry, root, subkeyPath, counts);
    }
    static_cast<void>(registry.CloseKey(key));
}

void FloorListing(Registry& registry, RegKey root, const std::string& path, FloorCounts& counts) {
    RegKey key = 0;
    if (registry.OpenKey(root, path.c_str(), &key) != kErrorSuccess) return;
    for (std::uint32_t index = 0;; ++index) {
        char name[kBuffer];
        char className[kBuffer];
        std::uint32_t nameLength = kBuffer, classLength = kBuffer;
        if (registry.EnumKeyEx(key, index, name, &nameLength, className, &classLength) != kErrorSuccess) break;
        ++counts.keys;
    }
    static_cast<void>(registry.CloseKey(key));
}

} // namespace

void RegistryFloor(Registry& registry, std::int32_t platformId, FloorCounts& counts) {
    for (const ScanSection& section : FixedSections(platformId)) {
        for (const StartKey& start : section.startKeys) {
            const std::string path(start.path);
            switch (section.walk) {
            case WalkKind::ClassListing:
                FloorListing(registry, start.root, path, counts);
                break;
            case WalkKind::ValueWalk:
                FloorValues(registry, start.root, path, counts);
                break;
            case WalkKind::KeyWalk:
            case WalkKind::ConfigWalk:
                FloorKeys(registry, start.root, path, counts);
                break;
            case WalkKind::DriveWalk:
                break;
            }
        }
    }
}

void ExistenceFloor(FileSystem& files, const std::vector<std::string>& paths, FloorCounts& counts) {
    FindData data;
    for (const std::string& path : paths) {
        ++counts.tests;
        const FindHandle search = files.FindFirstFile(path, data, nullptr);
        if (search != kInvalidFindHandle) static_cast<void>(files.FindClose(search));
    }
}

// ---------------------------------------------------------------------------
// Directory floor

namespace {

bool EndsWithNoCase(const std::string& name, const char* ending) {
    const std::size_t length = std::strlen(ending);
    if (name.size() < length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        char c = name[name.size() - length + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ending[i]) return false;
    }
    return true;
}

void FloorFolder(FileSystem& files, const std::string& folder, FloorCounts& counts) {
    ++counts.folders;
    std::vector<std::string> subfolders;
    FindData entry;
    const FindHandle search = files.FindFirstFile(folder + "*", entry, nullptr);
    if (search == kInvalidFindHandle) return;
    std::string bytes;
    do {
        if (entry.name == "." || entry.name == "..") continue;
        if ((entry.attributes & kAttrDirectory) != 0) {
            subfolders.push_back(entry.name);
        } else if (EndsWithNoCase(entry.name, ".lnk") || EndsWithNoCase(entry.name, ".url")) {
            ++counts.linkFiles;
            static_cast<void>(files.ReadFileBytes(folder + entry.name, 4u << 20, bytes, nullptr));
        }
    } while (files.FindNextFile(search, entry, nullptr));
    static_cast<void>(files.FindClose(search));
    for (const std::string& name : subfolders) FloorFolder(files, folder + name + "\\", counts);
}

} // namespace

void DirectoryFloor(FileSystem& files, const std::string& root, const std::vector<std::string>& targets,
                    FloorCounts& counts) {
    FloorFolder(files, root, counts);
    for (const std::string& target : targets) {
        ++counts.tests;
        static_cast<void>(files.GetFileAttributes(target, nullptr));
    }
}

} // namespace hs::bench
