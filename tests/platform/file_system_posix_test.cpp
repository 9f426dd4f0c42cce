// The POSIX stand-in's host-specific behaviour: Wine's attribute model
// (dot files, DOSATTRIB, symbolic links), drive mapping and readiness, host
// paths, names that differ only in case, and files that are not regular.
// The POSIX stand-in is built natively only.
#ifndef _WIN32
#include "platform/file_system_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace hs {
namespace {

namespace stdfs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (stdfs::temp_directory_path() / "hsfsp-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        root_ = pattern;
        fs_ = std::make_unique<PosixFileSystem>(
            std::vector<PosixDrive>{{'t', root_.string(), kDriveFixed, true, "SCRATCH"},
                                    {'E', (root_ / "no-medium").string(), kDriveRemovable, false, ""}},
            PosixFolders{"C:\\WINDOWS\\system32\\", "C:\\WINDOWS", "/tmp/hs", "C:\\"});
    }
    void TearDown() override {
        std::error_code ignored;
        stdfs::remove_all(root_, ignored);
    }
    void Make(const std::string& relative, const std::string& contents = "") {
        std::ofstream(root_ / relative, std::ios::binary) << contents;
    }
    bool SetDosAttribute(const std::string& relative, const std::string& value) {
        const std::string path = (root_ / relative).string();
        return ::setxattr(path.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
    }
    std::vector<std::string> Names(const std::string& pattern) {
        std::vector<std::string> names;
        FindData data;
        const FindHandle search = fs_->FindFirstFile(pattern, data, nullptr);
        if (search == kInvalidFindHandle) return names;
        do names.push_back(data.name);
        while (fs_->FindNextFile(search, data, nullptr));
        EXPECT_TRUE(fs_->FindClose(search));
        return names;
    }

    stdfs::path root_;
    std::unique_ptr<PosixFileSystem> fs_;
};

TEST_F(PosixFileSystemTest, AttributesFromModeDotNamesAndDosAttrib) {
    stdfs::create_directory(root_ / "dir");
    stdfs::create_directory(root_ / "rodir");
    ::chmod((root_ / "rodir").c_str(), 0555);
    for (const char* name : {"plain", ".dot", "ro", "hs", "one", "arch", "junk", "tail", "blob"}) Make(name);
    ::chmod((root_ / "ro").c_str(), 0444);
    if (!SetDosAttribute("hs", "0x6")) GTEST_SKIP() << "no user extended attributes here";
    // Only the hidden and system bits of a well-formed text count.
    SetDosAttribute("one", "0x1");
    SetDosAttribute("arch", "0x26");
    SetDosAttribute("junk", "hidden");
    SetDosAttribute("tail", "0x2z");
    SetDosAttribute("blob", std::string("\x02\x00\x00\x00", 4));
    SetDosAttribute("dir", "0x2");
    const struct {
        const char* name;
        std::uint32_t attributes;
    } cases[] = {
        {"dir", kAttrDirectory | kAttrHidden},
        {"rodir", kAttrDirectory | kAttrReadOnly},
        {"plain", kAttrArchive},
        {".dot", kAttrArchive | kAttrHidden},
        {"ro", kAttrArchive | kAttrReadOnly},
        {"hs", kAttrArchive | kAttrHidden | kAttrSystem},
        {"one", kAttrArchive},
        {"arch", kAttrArchive | kAttrHidden | kAttrSystem},
        {"junk", kAttrArchive},
        {"tail", kAttrArchive},
        {"blob", kAttrArchive},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.attributes, fs_->GetFileAttributes(std::string("T:\\") + c.name, nullptr)) << c.name;
    ::chmod((root_ / "rodir").c_str(), 0755);
}

TEST_F(PosixFileSystemTest, SymbolicLinksAsWineShowsThem) {
    stdfs::create_directory(root_ / "real");
    Make("real/f.txt", "data");
    stdfs::create_directory_symlink("real", root_ / "linkdir");
    stdfs::create_symlink("real/f.txt", root_ / "linkfile");
    stdfs::create_symlink("nowhere", root_ / "dangling");

    EXPECT_EQ(kAttrDirectory | kAttrReparsePoint, fs_->GetFileAttributes("T:\\LinkDir", nullptr));
    EXPECT_EQ(kAttrArchive, fs_->GetFileAttributes("T:\\linkfile", nullptr));
    EXPECT_EQ(kAttrArchive, fs_->GetFileAttributes("T:\\linkdir\\F.TXT", nullptr));
    // A dangling link is left out of listings and is not found.
    EXPECT_EQ((std::vector<std::string>{"linkdir", "linkfile", "real"}), Names("T:\\*"));
    std::uint32_t error = 0;
    EXPECT_EQ(kInvalidFileAttributes, fs_->GetFileAttributes("T:\\dangling", &error));
    EXPECT_EQ(kFsFileNotFound, error);
    FindData data;
    EXPECT_EQ(kInvalidFindHandle, fs_->FindFirstFile("T:\\dangling", data, &error));
    EXPECT_EQ(kFsNoMoreFiles, error);
    EXPECT_FALSE(fs_->DeleteFile("T:\\dangling", &error));
    EXPECT_EQ(kFsFileNotFound, error);
}

TEST_F(PosixFileSystemTest, NamesDifferingInCaseAndHostOnlyNames) {
    Make("Case.txt", "upper\r\n");
    Make("case.TXT", "lower\r\n");
    Make("trail.", "");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs_->ReadLines("T:\\case.TXT", lines, nullptr));  // the exact name wins
    EXPECT_EQ(std::vector<std::string>{"lower"}, lines);
    ASSERT_TRUE(fs_->ReadLines("T:\\CASE.txt", lines, nullptr));  // else the first in byte order
    EXPECT_EQ(std::vector<std::string>{"upper"}, lines);
    EXPECT_EQ((std::vector<std::string>{"Case.txt", "case.TXT", "trail."}), Names("T:\\*"));
    // A host name ending in a dot is listed but cannot be reached by it.
    std::uint32_t error = 0;
    EXPECT_EQ(kInvalidFileAttributes, fs_->GetFileAttributes("T:\\trail.", &error));
    EXPECT_EQ(kFsFileNotFound, error);
}

TEST_F(PosixFileSystemTest, HostPathsTakeBackslashes) {
    stdfs::create_directory(root_ / "BackUp 1");
    const std::string folder = (root_ / "backup 1").string();
    ASSERT_TRUE(fs_->WriteNewFile(folder + "\\Report.txt", "a\r\nb", nullptr));
    EXPECT_TRUE(stdfs::exists(root_ / "BackUp 1" / "Report.txt"));
    std::vector<std::string> lines;
    ASSERT_TRUE(fs_->ReadLines(root_.string() + "/BACKUP 1\\report.TXT", lines, nullptr));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), lines);
    EXPECT_EQ(kAttrDirectory, fs_->GetFileAttributes(root_.string(), nullptr));
    EXPECT_EQ((root_ / "BackUp 1" / "Report.txt").string(), fs_->HostPath("t:\\backup 1\\REPORT.TXT"));
    EXPECT_EQ("", fs_->HostPath("T:\\nodir\\x"));
}

TEST_F(PosixFileSystemTest, DrivesReadinessAndVolumes) {
    const auto drives = fs_->Drives();
    ASSERT_EQ(2u, drives.size());
    EXPECT_EQ('E', drives[0].letter);
    EXPECT_FALSE(drives[0].ready);
    EXPECT_EQ(kDriveRemovable, drives[0].type);
    EXPECT_EQ('T', drives[1].letter);
    EXPECT_TRUE(drives[1].ready);

    std::uint32_t error = 0;
    FindData data;
    EXPECT_EQ(kInvalidFindHandle, fs_->FindFirstFile("E:\\*", data, &error));
    EXPECT_EQ(kFsNotReady, error);
    EXPECT_EQ(kInvalidFindHandle, fs_->FindFirstFile("Q:\\*", data, &error));
    EXPECT_EQ(kFsPathNotFound, error);
    VolumeInfo info;
    EXPECT_FALSE(fs_->GetVolumeInformation("E:\\", 14, info, &error));
    EXPECT_EQ(kFsNotReady, error);
    ASSERT_TRUE(fs_->GetVolumeInformation("T:\\", 14, info, nullptr));
    EXPECT_EQ("SCRATCH", info.label);
    EXPECT_EQ(0x54000000u, info.serialNumber);
    EXPECT_FALSE(fs_->GetVolumeInformation("T:\\", 7, info, &error));
    EXPECT_EQ(24u, error);
}

TEST_F(PosixFileSystemTest, NonRegularFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(0, ::mkfifo((root_ / "pipe").c_str(), 0644));
    Make("plain.txt", "x");
    std::vector<std::string> lines;
    std::uint32_t error = 0;
    EXPECT_FALSE(fs_->ReadLines("T:\\pipe", lines, &error));
    EXPECT_EQ(kFsAccessDenied, error);
    EXPECT_FALSE(fs_->CopyFile("T:\\pipe", "T:\\copy.txt", &error));
    EXPECT_EQ(kFsAccessDenied, error);
    EXPECT_FALSE(fs_->WriteNewFile("T:\\pipe", "x", &error));
    EXPECT_EQ(kFsAccessDenied, error);
    EXPECT_FALSE(fs_->AppendToFile("T:\\pipe", "x", &error));
    EXPECT_EQ(kFsAccessDenied, error);
    EXPECT_FALSE(fs_->CopyFile("T:\\plain.txt", "T:\\pipe", &error));
    EXPECT_EQ(kFsAccessDenied, error);
    EXPECT_FALSE(stdfs::exists(root_ / "copy.txt"));
}

TEST_F(PosixFileSystemTest, CopyCarriesAttributesAndLeavesNoLitter) {
    Make("src.txt", "body");
    ::chmod((root_ / "src.txt").c_str(), 0444);
    if (!SetDosAttribute("src.txt", "0x2")) GTEST_SKIP() << "no user extended attributes here";
    ASSERT_TRUE(fs_->CopyFile("T:\\src.txt", "T:\\dst.txt", nullptr));
    EXPECT_EQ(kAttrArchive | kAttrHidden | kAttrReadOnly, fs_->GetFileAttributes("T:\\dst.txt", nullptr));
    // A read-only target refuses the next copy; the copies leave no
    // temporary file behind.
    Make("other.txt", "other");
    std::uint32_t error = 0;
    EXPECT_FALSE(fs_->CopyFile("T:\\other.txt", "T:\\dst.txt", &error));
    EXPECT_EQ(kFsAccessDenied, error);
    EXPECT_EQ((std::vector<std::string>{"dst.txt", "other.txt", "src.txt"}), Names("T:\\*"));
}

TEST_F(PosixFileSystemTest, FoldersAsConfigured) {
    EXPECT_EQ("C:\\WINDOWS\\system32", fs_->SystemFolder());
    EXPECT_EQ("C:\\WINDOWS", fs_->WindowsFolder());
    EXPECT_EQ("/tmp/hs\\", fs_->TempFolder());
    EXPECT_EQ("C:\\", fs_->ProgramFolder());
}

} // namespace
} // namespace hs

#endif
