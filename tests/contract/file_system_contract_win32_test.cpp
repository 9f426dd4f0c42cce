// The file-system contract against the real kernel32 calls, in a fresh
// folder below the temporary folder.
#include <windows.h>

#include "platform/file_system_win32.h"
#include "tests/contract/file_system_contract.h"
#include "tests/contract/file_system_folders_contract.h"
#include "tests/support/win32_scratch.h"

namespace hs::contract {

namespace {

using fakes::RemoveTree;
using fakes::RunningOnWine;

} // namespace

class Win32FsEnvironment : public FileSystemEnvironment {
public:
    Win32FsEnvironment() {
        static int counter = 0;
        scratch_ = fs_.TempFolder() + "hsfs-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        EXPECT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr)) << scratch_ << " " << GetLastError();
    }
    ~Win32FsEnvironment() override { RemoveTree(scratch_); }
    FileSystem& Fs() override { return fs_; }
    std::string Scratch() override { return scratch_; }
    FsFlavor Flavor() const override { return RunningOnWine() ? FsFlavor::kWine : FsFlavor::kWindows; }
    void MakeFile(const std::string& relative, const std::string& contents) override {
        HANDLE file = CreateFileA(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << relative << " " << GetLastError();
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr));
        CloseHandle(file);
    }
    void MakeFolder(const std::string& relative) override {
        EXPECT_TRUE(CreateDirectoryA(Path(relative).c_str(), nullptr)) << relative << " " << GetLastError();
    }
    bool SetAttributes(const std::string& relative, std::uint32_t attributes) override {
        const DWORD bits = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        return SetFileAttributesA(Path(relative).c_str(), bits != 0 ? bits : FILE_ATTRIBUTE_NORMAL) != FALSE;
    }
    std::optional<std::string> Read(const std::string& relative) override {
        HANDLE file = CreateFileA(Path(relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return std::nullopt;
        std::string bytes;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read != 0) bytes.append(buffer, read);
        CloseHandle(file);
        return bytes;
    }

private:
    std::string Path(const std::string& relative) const { return scratch_ + "\\" + relative; }
    Win32FileSystem fs_;
    std::string scratch_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, Win32FsEnvironment);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemFolderContract, Win32FsEnvironment);

} // namespace hs::contract
