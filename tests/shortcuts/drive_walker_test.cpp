// The drive walker: what it hands to the reader and in which order, the
// labels, cancel, the subfolder cap, and the folders it does not enter.
#include "shortcuts/drive_walker.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "shortcuts/shell_links.h"
#include "tests/shortcuts/walk_fixture.h"
#include "tests/support/null_file_system.h"
#include "tests/support/test_host.h"
#include "tools/link_writer.h"

namespace hs {
namespace {

using fakes::Walk;

class DriveWalkerTest : public ::testing::Test {
protected:
    DriveWalkerTest() : walk_(files_) { files_.AddDrive('C', kDriveFixed); }
    ~DriveWalkerTest() override { EXPECT_EQ(0u, files_.OpenSearchCount()) << "a search was left open"; }

    MemoryFileSystem files_;
    Walk walk_;
};

TEST_F(DriveWalkerTest, FilesOfAFolderBeforeItsSubfoldersDepthFirst) {
    files_.AddFile("C:\\b.lnk");
    files_.AddFile("C:\\A\\x.url");
    files_.AddFile("C:\\A\\Deep\\y.lnk");
    files_.AddFile("C:\\A\\z.txt");
    files_.AddFile("C:\\c.pif");
    files_.AddFile("C:\\B\\w.lnk");
    files_.AddFolder("C:\\Empty");
    ScanDriveForShortcuts(walk_.context, "C:");  // the root without its backslash
    EXPECT_EQ((std::vector<std::string>{"C:\\b.lnk", "C:\\c.pif", "C:\\A\\x.url", "C:\\A\\z.txt",
                                        "C:\\A\\Deep\\y.lnk", "C:\\B\\w.lnk"}),
              walk_.links.paths);
}

TEST_F(DriveWalkerTest, HandsOverEveryFileWithADotWhateverItsAttributes) {
    files_.AddFile("C:\\d\\noext");
    files_.AddFile("C:\\d\\.hidden", "", kAttrArchive | kAttrHidden);
    files_.AddFile("C:\\d\\sys.lnk", "", kAttrHidden | kAttrSystem);
    files_.AddFile("C:\\d\\ro.lnk", "", kAttrReadOnly);
    files_.AddFile("C:\\d\\normal.lnk", "", kAttrNormal);
    files_.AddFile("C:\\d\\temp.lnk", "", 0x100);
    files_.AddFile("C:\\d\\compressed.lnk", "", 0x800);  // no bit the walker looks for
    files_.AddFolder("C:\\d\\Hidden Folder", kAttrHidden | kAttrSystem);
    files_.AddFile("C:\\d\\Hidden Folder\\in.lnk");
    files_.AddFolder("C:\\d\\folder.lnk");
    ScanDriveForShortcuts(walk_.context, "C:\\");
    EXPECT_EQ((std::vector<std::string>{"C:\\d\\.hidden", "C:\\d\\normal.lnk", "C:\\d\\ro.lnk", "C:\\d\\sys.lnk",
                                        "C:\\d\\temp.lnk", "C:\\d\\Hidden Folder\\in.lnk"}),
              walk_.links.paths);
}

TEST_F(DriveWalkerTest, DoesNotEnterReparsePoints) {
    files_.AddFolder("C:\\Junction", kAttrReparsePoint);
    files_.AddFile("C:\\Junction\\loop.lnk");
    files_.AddFile("C:\\Real\\found.lnk");
    ScanDriveForShortcuts(walk_.context, "C:\\");
    EXPECT_EQ(std::vector<std::string>{"C:\\Real\\found.lnk"}, walk_.links.paths);
}

TEST_F(DriveWalkerTest, SkipsDrivesThatAreNotReadyOrCannotBeListed) {
    files_.AddDrive('E', kDriveFixed, false);
    files_.AddDrive('G', kDriveFixed);
    files_.AddFile("C:\\x.lnk");
    files_.SetUnreadable("C:\\");
    const int searches = files_.SearchCount();
    ScanDriveForShortcuts(walk_.context, "E:\\");
    EXPECT_EQ(searches, files_.SearchCount()) << "a drive that is not ready is not listed";
    ScanDriveForShortcuts(walk_.context, "G:\\");
    ScanDriveForShortcuts(walk_.context, "C:\\");
    ScanDriveForShortcuts(walk_.context, "Q:\\");
    EXPECT_TRUE(walk_.links.paths.empty());
}

TEST_F(DriveWalkerTest, LabelsShowEachEntry) {
    files_.AddFile("C:\\Dir\\a.lnk");
    files_.AddFile("C:\\Dir\\b");
    ScanFolderForShortcuts(walk_.context, "C:\\Dir");
    using Step = std::pair<Label, std::string>;
    const auto entry = [](const std::string& name) {
        return std::vector<Step>{{Label::lblRegistryFilesScan, "C:\\Dir\\" + name},
                                 {Label::lblRegistryScan, "C:\\Dir\\"},
                                 {Label::lblRegistryFilesScan, name}};
    };
    std::vector<Step> expected;
    auto add = [&](const std::string& name, int times) {
        for (int i = 0; i < times; ++i)
            for (const Step& step : entry(name)) expected.push_back(step);
    };
    add(".", 1);
    add("..", 1);
    add("a.lnk", 3);  // listed, examined, handed over
    add("b", 2);      // no dot: not handed over
    EXPECT_EQ(expected, walk_.sink.captions);
}

TEST_F(DriveWalkerTest, CancelStopsEveryFolderAndClosesEverySearch) {
    for (const char* path : {"C:\\A\\B\\C\\1.lnk", "C:\\A\\B\\C\\2.lnk", "C:\\A\\B\\C\\3.lnk", "C:\\A\\B\\late.lnk",
                             "C:\\A\\Later\\x.lnk", "C:\\Z\\y.lnk"})
        files_.AddFile(path);
    int searchesAtCancel = -1;
    walk_.links.onItem = [&](const std::string& path) {
        if (path == "C:\\A\\B\\C\\2.lnk") {
            walk_.context.state.CancelRequested = kTrue16;
            searchesAtCancel = files_.SearchCount();
        }
    };
    ScanDriveForShortcuts(walk_.context, "C:\\");
    EXPECT_EQ((std::vector<std::string>{"C:\\A\\B\\late.lnk", "C:\\A\\B\\C\\1.lnk", "C:\\A\\B\\C\\2.lnk"}),
              walk_.links.paths);
    EXPECT_EQ(searchesAtCancel, files_.SearchCount()) << "no folder was listed after the cancel";
    // The destructor checks that no search is left open.
}

TEST_F(DriveWalkerTest, CancelDuringAYieldStopsBeforeTheNextEntry) {
    files_.AddFile("C:\\a.lnk");
    files_.AddFile("C:\\b.lnk");
    files_.AddFile("C:\\Sub\\c.lnk");
    // The second turn comes after the first entry; the flag is tested again
    // before the next one is looked at.
    walk_.host.At(2, [&] { walk_.context.state.CancelRequested = kTrue16; });
    ScanDriveForShortcuts(walk_.context, "C:\\");
    EXPECT_EQ(std::vector<std::string>{"C:\\a.lnk"}, walk_.links.paths);
    EXPECT_EQ(2, walk_.host.yields);
}

// A drive whose root holds more subfolders than the walker descends into;
// every subfolder, when listed, is noted and cannot be read further.
class ManyFoldersFileSystem final : public fakes::NullFileSystem {
public:
    explicit ManyFoldersFileSystem(int count) : count_(count) {}
    static std::string Name(int i) { return "d" + std::to_string(100000 + i); }

    FindHandle FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) override {
        if (pattern != "C:\\*") {
            listed.push_back(pattern);
            if (error) *error = kFsAccessDenied;
            return kInvalidFindHandle;
        }
        next_ = 0;
        ++open;
        return FindNextFile(1, data, error) ? 1 : kInvalidFindHandle;
    }
    bool FindNextFile(FindHandle, FindData& data, std::uint32_t* error) override {
        if (next_ >= count_) {
            if (error) *error = kFsNoMoreFiles;
            return false;
        }
        data = FindData{kAttrDirectory, 0, Name(next_++), ""};
        return true;
    }
    bool FindClose(FindHandle) override {
        --open;
        return true;
    }
    std::uint32_t GetFileAttributes(const std::string&, std::uint32_t*) override { return kAttrDirectory; }
    bool GetVolumeInformation(const std::string&, std::uint32_t, VolumeInfo&, std::uint32_t*) override { return true; }
    std::string GetShortPathName(const std::string& path, std::uint32_t*) override { return path; }

    std::vector<std::string> listed;
    int open = 0;

private:
    int count_;
    int next_ = 0;
};

TEST(DriveWalkerCapTest, DescendsIntoTheFirst32767SubfoldersOnly) {
    ManyFoldersFileSystem files(kMaxSubfoldersPerFolder + 2);
    Walk walk(files);
    walk.context.view.SetSink(nullptr);
    ScanDriveForShortcuts(walk.context, "C:\\");
    ASSERT_EQ(static_cast<std::size_t>(kMaxSubfoldersPerFolder), files.listed.size());
    EXPECT_EQ("C:\\" + ManyFoldersFileSystem::Name(0) + "\\*", files.listed.front());
    EXPECT_EQ("C:\\" + ManyFoldersFileSystem::Name(kMaxSubfoldersPerFolder - 1) + "\\*", files.listed.back());
    EXPECT_EQ(0, files.open);
}

} // namespace
} // namespace hs
