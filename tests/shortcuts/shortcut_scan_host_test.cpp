// The shortcut scan over host folders (native build): shortcut files written
// by the link writer, read back by the program's own reader through the
// POSIX file system, next to the things a real disk holds that must neither
// hang nor loop the walk.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system_posix.h"
#include "platform/registry_memory.h"
#include "shortcuts/drive_walker.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_host.h"
#include "tools/link_writer.h"

namespace hs {
namespace {

class ShortcutScanHostTest : public ::testing::Test {
protected:
    ShortcutScanHostTest() {
        std::filesystem::create_directories(root_ / "C");
        std::filesystem::create_directories(root_ / "E");
        files_ = std::make_unique<PosixFileSystem>(
            std::vector<PosixDrive>{{'C', (root_ / "C").string(), kDriveFixed, true, ""},
                                    {'E', (root_ / "E").string(), kDriveRemovable, true, ""}},
            PosixFolders{"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\Temp\\", ""});
        context_ = std::make_unique<ScanContext>(registry_, settings_, host_, sound_, *files_);
    }
    // A host path below drive C: ("Desktop/x.lnk").
    std::string Host(const std::string& relative) const { return (root_ / "C" / relative).string(); }
    void Write(const std::string& relative, const std::string& bytes) {
        std::string error;
        ASSERT_TRUE(tools::WriteHostFile(Host(relative), bytes, &error)) << error;
    }
    std::vector<std::string> Recorded() const {
        std::vector<std::string> paths;
        for (const auto& row : context_->lvwShortcut.Rows()) paths.push_back(row.path);
        return paths;
    }

    fakes::TempFolder temp_{"hs-links-"};
    const std::filesystem::path root_ = temp_.Path();
    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    std::unique_ptr<PosixFileSystem> files_;
    std::unique_ptr<ScanContext> context_;
};

TEST_F(ShortcutScanHostTest, FindsBrokenShortcutsAmongHealthyOnes) {
    Write("Apps/editor.exe", "MZ");
    Write("Desktop/Editor.lnk", tools::MakeShellLink(tools::LinkTo("C:\\Apps\\editor.exe", "C:\\Apps")));
    Write("Desktop/Old Game.lnk", tools::MakeShellLink(tools::LinkTo("C:\\Games\\old.exe")));
    Write("Desktop/Stick.lnk", tools::MakeShellLink(tools::LinkTo("E:\\tool.exe")));
    Write("Desktop/Share.lnk", tools::MakeShellLink(tools::LinkToShare("\\\\server\\share", "x.exe")));
    Write("Desktop/Control Panel.lnk", tools::MakeShellLink(tools::LinkToVirtualFolder()));
    Write("Favorites/Web.url", tools::MakeInternetShortcut("https://example.com/"));
    Write("Favorites/Notes.url", tools::MakeInternetShortcut(tools::FileUrl("C:\\Docs\\notes.txt")));
    ScanDriveForShortcuts(*context_, "C:\\");
    EXPECT_EQ((std::vector<std::string>{"C:\\Desktop\\Old Game.lnk", "C:\\Favorites\\Notes.url"}), Recorded());
}

TEST_F(ShortcutScanHostTest, NeitherHangsOnPipesNorLoopsThroughLinks) {
    std::filesystem::create_directories(Host("Pipes"));
    ASSERT_EQ(0, ::mkfifo(Host("Pipes/waiting.lnk").c_str(), 0600));
    ASSERT_EQ(0, ::mkfifo(Host("Pipes/waiting.url").c_str(), 0600));
    // A folder link back to the root, and one out of the drive.
    std::filesystem::create_directory_symlink(Host(""), Host("Pipes/loop"));
    std::filesystem::create_directories(root_ / "outside");
    std::filesystem::create_directory_symlink(root_ / "outside", Host("away"));
    Write("Pipes/Broken.lnk", tools::MakeShellLink(tools::LinkTo("C:\\Gone\\x.exe")));
    ASSERT_TRUE(tools::WriteHostFile((root_ / "outside" / "Far.lnk").string(),
                                     tools::MakeShellLink(tools::LinkTo("C:\\Gone\\far.exe"))));
    // A file far above the size of any shortcut is not read.
    Write("Big.lnk", tools::MakeShellLink(tools::LinkTo("C:\\Gone\\big.exe")));
    std::filesystem::resize_file(Host("Big.lnk"), 64u << 20);
    ScanDriveForShortcuts(*context_, "C:\\");
    EXPECT_EQ(std::vector<std::string>{"C:\\Pipes\\Broken.lnk"}, Recorded());
}

} // namespace
} // namespace hs

#endif
