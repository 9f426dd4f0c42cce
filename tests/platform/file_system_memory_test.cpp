// The in-memory file system's own set-up calls, its injected failures and the
// shared path rules; the behaviour every implementation shares is in the
// file-system contract.
#include "platform/file_system_memory.h"

#include <gtest/gtest.h>

namespace hs {
namespace {

std::vector<std::string> List(MemoryFileSystem& fs, const std::string& pattern, std::uint32_t* error = nullptr) {
    std::vector<std::string> names;
    FindData data;
    FindHandle search = fs.FindFirstFile(pattern, data, error);
    if (search == kInvalidFindHandle) return names;
    do names.push_back(data.name);
    while (fs.FindNextFile(search, data, nullptr));
    EXPECT_TRUE(fs.FindClose(search));
    return names;
}

TEST(MemoryFileSystemTest, WildcardTable) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*", "a", true},          {"*.*", "a", true},         {"*.*", "a.b.c", true},  {"*.ini", "A.INI", true},
        {"*.ini", "a.ini.bak", false}, {"*.ini", "ini", false}, {"?", "a", true},        {"?", "ab", false},
        {"a?", "ab", true},        {"a?", "a", false},         {"a.*", "a", true},      {"a*b", "axxb", true},
        {"a*b", "axxbc", false},   {"*b*", "abc", true},       {"?.?", ".", false},     {"??", "..", true},
        {"x", "X", true},          {"*.txt", ".txt", true},    {"s*.dll", "shell32.DLL", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, MatchesWildcard(c.pattern, c.name)) << c.pattern << " vs " << c.name;
}

TEST(MemoryFileSystemTest, PathParsing) {
    WindowsPath p = ParseWindowsPath("c:/Dir\\\\sub\\..\\x.txt. .");
    EXPECT_EQ(WindowsPath::Kind::kDrive, p.kind);
    EXPECT_EQ('C', p.drive);
    EXPECT_EQ((std::vector<std::string>{"Dir", "x.txt"}), p.components);
    EXPECT_FALSE(p.trailingSeparator);

    p = ParseWindowsPath("C:\\sub\\ ");
    EXPECT_EQ(std::vector<std::string>{"sub"}, p.components);
    EXPECT_TRUE(p.trailingSeparator);
    p = ParseWindowsPath("C:\\sub\\.");
    EXPECT_EQ(std::vector<std::string>{"sub"}, p.components);
    EXPECT_FALSE(p.trailingSeparator);

    EXPECT_EQ(WindowsPath::Kind::kUnc, ParseWindowsPath("\\\\server\\share\\x").kind);
    EXPECT_EQ(WindowsPath::Kind::kDrive, ParseWindowsPath("\\\\?\\C:\\x").kind);
    EXPECT_EQ(WindowsPath::Kind::kRelative, ParseWindowsPath("/tmp/x").kind);
    EXPECT_EQ(WindowsPath::Kind::kHostAbsolute, ParseWindowsPath("/tmp/x", true).kind);
    EXPECT_EQ(WindowsPath::Kind::kEmpty, ParseWindowsPath("").kind);
}

TEST(MemoryFileSystemTest, LinesEndAtCrLfAndLoneCr) {
    EXPECT_EQ((std::vector<std::string>{"a", "b\nc", "", "d"}), SplitCrLines("a\r\nb\nc\r\rd"));
    EXPECT_EQ((std::vector<std::string>{"a"}), SplitCrLines("a\r\n"));
    EXPECT_TRUE(SplitCrLines("").empty());
}

TEST(MemoryFileSystemTest, SetUpCreatesParentsDrivesAndKeepsCase) {
    MemoryFileSystem fs;
    fs.AddDrive('d', kDriveCdRom, false);
    fs.AddFile("C:\\Windows\\System32\\Shell32.dll", "MZ");
    fs.AddFolder("c:\\WINDOWS\\Fonts", kAttrSystem);

    const auto drives = fs.Drives();
    ASSERT_EQ(2u, drives.size());
    EXPECT_EQ('C', drives[0].letter);
    EXPECT_EQ(kDriveFixed, drives[0].type);
    EXPECT_TRUE(drives[0].ready);
    EXPECT_EQ('D', drives[1].letter);
    EXPECT_EQ(kDriveCdRom, drives[1].type);
    EXPECT_FALSE(drives[1].ready);

    EXPECT_EQ((std::vector<std::string>{".", "..", "Fonts", "System32"}), List(fs, "C:\\windows\\*"));
    EXPECT_EQ(kAttrDirectory | kAttrSystem, fs.GetFileAttributes("C:\\Windows\\fonts", nullptr));
    EXPECT_EQ(kAttrArchive, fs.GetFileAttributes("C:\\windows\\system32\\SHELL32.DLL", nullptr));
    EXPECT_EQ("MZ", fs.Contents("c:\\windows\\system32\\shell32.dll").value_or("?"));
    EXPECT_FALSE(fs.Contents("C:\\Windows").has_value());
    EXPECT_FALSE(fs.Contents("C:\\nothing").has_value());

    std::uint32_t error = 0;
    EXPECT_EQ(kInvalidFindHandle, [&] {
        FindData data;
        return fs.FindFirstFile("D:\\*", data, &error);
    }());
    EXPECT_EQ(kFsNotReady, error);

    EXPECT_THROW(fs.AddFile("C:\\Windows\\System32\\Shell32.dll\\x"), std::invalid_argument);
    EXPECT_THROW(fs.AddFile("relative\\x"), std::invalid_argument);
}

TEST(MemoryFileSystemTest, UnreadableFolderFailsSearchesInAndBelow) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\locked\\inner\\f.txt");
    fs.SetUnreadable("C:\\locked");
    for (const char* pattern : {"C:\\locked\\*", "C:\\locked\\f.txt", "C:\\locked\\inner\\f.txt"}) {
        std::uint32_t error = 0;
        EXPECT_TRUE(List(fs, pattern, &error).empty()) << pattern;
        EXPECT_EQ(kFsAccessDenied, error) << pattern;
    }
    // Its own entry is still found in the folder above.
    EXPECT_EQ(std::vector<std::string>{"locked"}, List(fs, "C:\\LOCKED"));
}

TEST(MemoryFileSystemTest, CountsSearchesAndOpenHandles) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\a.txt");
    FindData data;
    FindHandle first = fs.FindFirstFile("C:\\*", data, nullptr);
    ASSERT_NE(kInvalidFindHandle, first);
    EXPECT_EQ(kInvalidFindHandle, fs.FindFirstFile("C:\\missing", data, nullptr));
    EXPECT_EQ(2, fs.SearchCount());
    EXPECT_EQ(1u, fs.OpenSearchCount());
    EXPECT_TRUE(fs.FindClose(first));
    EXPECT_FALSE(fs.FindClose(first));
    EXPECT_EQ(0u, fs.OpenSearchCount());
    std::uint32_t error = 0;
    EXPECT_FALSE(fs.FindNextFile(first, data, &error));
    EXPECT_EQ(kFsInvalidHandle, error);
}

TEST(MemoryFileSystemTest, InjectedWriteFailureWritesNothing) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\keep.txt", "old");
    fs.FailWrite(2);
    std::uint32_t error = 0;
    EXPECT_TRUE(fs.AppendToFile("C:\\log.txt", "one", &error));
    EXPECT_FALSE(fs.WriteNewFile("C:\\keep.txt", "new", &error));
    EXPECT_EQ(kFsWriteFault, error);
    EXPECT_EQ("old", fs.Contents("C:\\keep.txt").value_or("?"));
    EXPECT_TRUE(fs.CopyFile("C:\\keep.txt", "C:\\copy.txt", &error));  // one-shot

    fs.FailWrite(1);
    EXPECT_FALSE(fs.CopyFile("C:\\keep.txt", "C:\\copy2.txt", &error));
    EXPECT_EQ(kFsWriteFault, error);
    EXPECT_FALSE(fs.Contents("C:\\copy2.txt").has_value());
    fs.FailWrite(1);
    fs.FailWrite(0);
    EXPECT_TRUE(fs.AppendToFile("C:\\log.txt", "two", &error));
    EXPECT_EQ("onetwo", fs.Contents("C:\\log.txt").value_or("?"));
}

TEST(MemoryFileSystemTest, VolumeInformation) {
    MemoryFileSystem fs;
    fs.AddDrive('C', kDriveFixed, true, "SYSTEM");
    fs.AddDrive('E', kDriveRemovable, false);
    fs.AddDrive('F', kDriveFixed, true, "A LABEL OF 14C");
    fs.AddFolder("C:\\Windows");

    VolumeInfo info;
    ASSERT_TRUE(fs.GetVolumeInformation("C:\\", 14, info, nullptr));
    EXPECT_EQ("SYSTEM", info.label);
    EXPECT_EQ(0x43000000u, info.serialNumber);
    EXPECT_EQ(255u, info.maxComponentLength);
    EXPECT_EQ("NTFS", info.fileSystem);

    struct Case {
        const char* root;
        std::uint32_t error;
    } failures[] = {
        {"Q:\\", kFsPathNotFound}, {"E:\\", kFsNotReady},   {"C:\\Windows\\", kFsDirNotRoot},
        {"C:\\Windows", kFsInvalidName}, {"F:\\", kFsBadLength},
    };
    for (const auto& c : failures) {
        std::uint32_t error = 0;
        EXPECT_FALSE(fs.GetVolumeInformation(c.root, 14, info, &error)) << c.root;
        EXPECT_EQ(c.error, error) << c.root;
    }
    EXPECT_TRUE(fs.GetVolumeInformation("F:\\", 15, info, nullptr));
    EXPECT_EQ("A LABEL OF 14C", info.label);
}

TEST(MemoryFileSystemTest, FoldersAsSetAndShortNamesAsGiven) {
    MemoryFileSystem fs;
    EXPECT_EQ("", fs.SystemFolder());
    fs.SetFolders("C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\TEMP\\", "C:\\Program Files\\Hivesweep");
    EXPECT_EQ("C:\\WINDOWS\\system32", fs.SystemFolder());
    EXPECT_EQ("C:\\WINDOWS", fs.WindowsFolder());
    EXPECT_EQ("C:\\TEMP\\", fs.TempFolder());
    EXPECT_EQ("C:\\Program Files\\Hivesweep", fs.ProgramFolder());

    fs.AddFile("C:\\Program Files\\Hivesweep\\hivesweep.exe");
    EXPECT_EQ("c:\\program files\\hivesweep\\HIVESWEEP.EXE",
              fs.GetShortPathName("c:\\program files\\hivesweep\\HIVESWEEP.EXE", nullptr));
    std::uint32_t error = 0;
    EXPECT_EQ("", fs.GetShortPathName("C:\\nodir\\x.exe", &error));
    EXPECT_EQ(kFsFileNotFound, error);
}

TEST(MemoryFileSystemTest, CopyOntoItselfKeepsTheFile) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\a.txt", "data");
    std::uint32_t error = 0;
    EXPECT_FALSE(fs.CopyFile("C:\\a.txt", "c:\\A.TXT", &error));
    EXPECT_EQ(kFsSharingViolation, error);
    EXPECT_EQ("data", fs.Contents("C:\\a.txt").value_or("?"));
}

} // namespace
} // namespace hs
