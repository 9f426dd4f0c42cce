// A file system in which everything fails (nothing found, nothing written)
// and drive C: is the only, fixed drive: the base of test doubles that
// answer only the few calls a test is about.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace hs::fakes {

class NullFileSystem : public FileSystem {
public:
    FindHandle FindFirstFile(const std::string&, FindData&, std::uint32_t* error) override {
        return Fail(error), kInvalidFindHandle;
    }
    bool FindNextFile(FindHandle, FindData&, std::uint32_t* error) override { return Fail(error), false; }
    bool FindClose(FindHandle) override { return false; }
    std::uint32_t GetFileAttributes(const std::string&, std::uint32_t* error) override {
        return Fail(error), kInvalidFileAttributes;
    }
    bool GetVolumeInformation(const std::string&, std::uint32_t, VolumeInfo&, std::uint32_t* error) override {
        return Fail(error), false;
    }
    std::string GetShortPathName(const std::string&, std::uint32_t* error) override { return Fail(error), ""; }
    bool CopyFile(const std::string&, const std::string&, std::uint32_t* error) override { return Fail(error), false; }
    bool DeleteFile(const std::string&, std::uint32_t* error) override { return Fail(error), false; }
    bool WriteNewFile(const std::string&, const std::string&, std::uint32_t* error) override {
        return Fail(error), false;
    }
    bool AppendToFile(const std::string&, const std::string&, std::uint32_t* error) override {
        return Fail(error), false;
    }
    bool ReadLines(const std::string&, std::vector<std::string>&, std::uint32_t* error) override {
        return Fail(error), false;
    }
    bool ReadFileBytes(const std::string&, std::uint64_t, std::string&, std::uint32_t* error) override {
        return Fail(error), false;
    }
    std::vector<DriveInfo> Drives() override { return {{'C', kDriveFixed, true}}; }
    std::string SystemFolder() override { return {}; }
    std::string WindowsFolder() override { return {}; }
    std::string TempFolder() override { return {}; }
    std::string ProgramFolder() override { return {}; }

protected:
    static void Fail(std::uint32_t* error) {
        if (error != nullptr) *error = kFsFileNotFound;
    }
};

} // namespace hs::fakes
