// The file-system contract against the in-memory stand-in (every build) and
// the POSIX stand-in (native build).
#include "tests/contract/file_system_contract.h"
#include "tests/contract/file_system_folders_contract.h"

#include "platform/file_system_memory.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_system_posix.h"
#endif

namespace hs::contract {

// A fresh stand-in with a fixed drive T: and an empty folder on it; every
// search must be closed by the end of a case.
class MemoryFsEnvironment : public FileSystemEnvironment {
public:
    MemoryFsEnvironment() {
        fs_.AddDrive('T', kDriveFixed);
        fs_.AddFolder(kScratch);
        fs_.AddFolder("T:\\Temp");
        fs_.SetFolders("T:\\Windows\\system32", "T:\\Windows", "T:\\Temp\\", "T:\\Program");
    }
    ~MemoryFsEnvironment() override { EXPECT_EQ(0u, fs_.OpenSearchCount()); }
    FileSystem& Fs() override { return fs_; }
    std::string Scratch() override { return kScratch; }
    FsFlavor Flavor() const override { return FsFlavor::kStandIn; }
    void MakeFile(const std::string& relative, const std::string& contents) override {
        fs_.AddFile(Path(relative), contents);
    }
    void MakeFolder(const std::string& relative) override { fs_.AddFolder(Path(relative)); }
    bool SetAttributes(const std::string& relative, std::uint32_t attributes) override {
        const std::uint32_t kept = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem);
        if (auto contents = fs_.Contents(Path(relative)))
            fs_.AddFile(Path(relative), *contents, kAttrArchive | kept);
        else
            fs_.AddFolder(Path(relative), kept);
        return true;
    }
    std::optional<std::string> Read(const std::string& relative) override { return fs_.Contents(Path(relative)); }

private:
    static constexpr const char* kScratch = "T:\\Scratch";
    static std::string Path(const std::string& relative) { return std::string(kScratch) + "\\" + relative; }
    MemoryFileSystem fs_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, FileSystemContract, MemoryFsEnvironment);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, FileSystemFolderContract, MemoryFsEnvironment);

#ifndef _WIN32

// A fresh host folder mapped as the fixed drive T:, with the scratch folder
// in it; removed at the end of each case.
class PosixFsEnvironment : public FileSystemEnvironment {
public:
    PosixFsEnvironment() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hsfs-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp";
        root_ = pattern;
        std::filesystem::create_directory(root_ / "scratch");
        fs_ = std::make_unique<PosixFileSystem>(std::vector<PosixDrive>{{'T', root_.string(), kDriveFixed, true, ""}},
                                                PosixFolders{"T:\\Windows\\system32", "T:\\Windows", "T:\\", ""});
    }
    ~PosixFsEnvironment() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FileSystem& Fs() override { return *fs_; }
    std::string Scratch() override { return "T:\\scratch"; }
    FsFlavor Flavor() const override { return FsFlavor::kStandIn; }
    void MakeFile(const std::string& relative, const std::string& contents) override {
        std::ofstream(Host(relative), std::ios::binary) << contents;
    }
    void MakeFolder(const std::string& relative) override { std::filesystem::create_directory(Host(relative)); }
    bool SetAttributes(const std::string& relative, std::uint32_t attributes) override {
        const std::string host = Host(relative).string();
        struct stat info {};
        if (::stat(host.c_str(), &info) != 0) return false;
        const mode_t mode = (attributes & kAttrReadOnly) ? (info.st_mode & 0555) : (info.st_mode | 0200);
        if (::chmod(host.c_str(), mode) != 0) return false;
        // Wine's form: "0x" and the bits in hexadecimal (one digit here).
        const std::string value = std::string("0x") + "0123456789"[attributes & (kAttrHidden | kAttrSystem)];
        return ::setxattr(host.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
    }
    std::optional<std::string> Read(const std::string& relative) override {
        std::ifstream in(Host(relative), std::ios::binary);
        if (!in) return std::nullopt;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

private:
    std::filesystem::path Host(std::string relative) const {
        for (char& c : relative)
            if (c == '\\') c = '/';
        return root_ / "scratch" / relative;
    }
    std::filesystem::path root_;
    std::unique_ptr<PosixFileSystem> fs_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemContract, PosixFsEnvironment);
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemFolderContract, PosixFsEnvironment);

#endif

} // namespace hs::contract
