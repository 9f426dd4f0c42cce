// The backup manager's list and its Restore and Delete buttons.
#include "results/backup_manager.h"

#include <gtest/gtest.h>

#include "tests/results/repair_machine.h"

namespace hs {
namespace {

using fakes::kBackupFolder;
using fakes::Kept;
using fakes::RegistryRecord;
using fakes::ShortcutRecord;

constexpr const char* kTool = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe";

std::string InFolder(const std::string& name) { return JoinPath(kBackupFolder, name); }

std::vector<std::string> Names(const std::vector<BackupRow>& rows) {
    std::vector<std::string> names;
    for (const BackupRow& row : rows) names.push_back(row.name);
    return names;
}

class BackupManagerTest : public ::testing::Test {
protected:
    BackupManagerTest() {
        machine_.Load("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe]\n");
    }
    // A backup file that restores one value of tool.exe.
    void AddBackup(const std::string& name, const std::string& valueName) {
        machine_.WriteBackup(InFolder(name), {Kept(RegistryRecord("HKEY_LOCAL_MACHINE", kTool, valueName, "x"),
                                                   RawValue{kRegSz, fakes::Utf16(u"back")})});
    }
    void Tick(const std::vector<std::string>& names) {
        for (BackupRow& row : model_.lvwBackUp) {
            row.checked = std::find(names.begin(), names.end(), row.name) != names.end();
        }
    }

    fakes::RepairMachine machine_;
    ScanContext& context_ = machine_.context;
    BackupManagerModel model_;
};

TEST_F(BackupManagerTest, ListsNormalFilesNamedBackupWithDateTimeAndSize) {
    MemoryFileSystem& files = machine_.files;
    files.AddFile(InFolder("BackUp 08-12-25 21-14-03"), "12345");
    files.AddFile(InFolder("OldBackup.txt"), "");
    files.AddFile(InFolder("notes.txt"), "x");
    files.AddFile(InFolder("BackUp hidden"), "", kAttrArchive | kAttrHidden);
    files.AddFile(InFolder("BackUp system"), "", kAttrArchive | kAttrSystem);
    files.AddFolder(InFolder("BackUp folder"));
    files.AddFolder(ShortcutCopiesFolder(InFolder("BackUp 08-12-25 21-14-03")));
    FillBackupList(context_, model_);
    ASSERT_EQ(2u, model_.lvwBackUp.size());
    const BackupRow& first = model_.lvwBackUp[0];
    EXPECT_EQ("BackUp 08-12-25 21-14-03", first.name);
    EXPECT_EQ("08/12/25", first.date);
    EXPECT_EQ("21:14:03", first.time);
    EXPECT_EQ("5", first.size);
    EXPECT_FALSE(first.checked);
    const BackupRow& second = model_.lvwBackUp[1];
    EXPECT_EQ("OldBackup.txt", second.name);
    EXPECT_EQ("", second.date);
    EXPECT_EQ("", second.time);
    EXPECT_EQ("0", second.size);
    EXPECT_EQ("", GetFileSizeText(files, InFolder("missing")));

    // A blank folder setting means the program's folder.
    ASSERT_TRUE(machine_.settings.Write("txtBackup", "  "));
    EXPECT_EQ(2u, ListBackups(context_).size());
    ASSERT_TRUE(machine_.settings.Write("txtBackup", "C:\\Nowhere"));
    EXPECT_TRUE(ListBackups(context_).empty());
}

TEST_F(BackupManagerTest, RestoreHandlesEveryTickedRowOnce) {
    AddBackup("BackUp 01-01-26 10-00-00", "A");
    AddBackup("BackUp 01-01-26 10-00-01", "B");
    AddBackup("BackUp 01-01-26 10-00-02", "C");
    // One that cannot be put back whole: it stays listed.
    machine_.WriteBackup(
        InFolder("BackUp 01-01-26 10-00-03"),
        {Kept(RegistryRecord("HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Evil", "x"),
              RawValue{kRegSz, {}})});
    FillBackupList(context_, model_);
    Tick({"BackUp 01-01-26 10-00-00", "BackUp 01-01-26 10-00-01", "BackUp 01-01-26 10-00-03"});
    const auto results = imgRestoreMouseMove_Click(context_, model_);
    ASSERT_EQ(3u, results.size());
    EXPECT_TRUE(results[0].complete);
    EXPECT_TRUE(results[1].complete);
    EXPECT_FALSE(results[2].complete);
    EXPECT_EQ(results.size(), model_.lastRestore.size());
    EXPECT_EQ((std::vector<std::string>{"BackUp 01-01-26 10-00-02", "BackUp 01-01-26 10-00-03"}),
              Names(model_.lvwBackUp));
    EXPECT_TRUE(machine_.Value(kHkeyLocalMachine, kTool, "A").has_value());
    EXPECT_TRUE(machine_.Value(kHkeyLocalMachine, kTool, "B").has_value());
    EXPECT_FALSE(machine_.Value(kHkeyLocalMachine, kTool, "C").has_value());

    // A row whose file has gone is left as it is.
    machine_.files.DeleteFile(InFolder("BackUp 01-01-26 10-00-02"), nullptr);
    Tick({"BackUp 01-01-26 10-00-02"});
    const auto gone = imgRestoreMouseMove_Click(context_, model_);
    ASSERT_EQ(1u, gone.size());
    EXPECT_FALSE(gone[0].found);
    EXPECT_EQ(2u, model_.lvwBackUp.size());
}

TEST_F(BackupManagerTest, DeleteAsksForEveryTickedRow) {
    AddBackup("BackUp 01-01-26 10-00-00", "A");
    AddBackup("BackUp 01-01-26 10-00-01", "B");
    AddBackup("BackUp 01-01-26 10-00-02", "C");
    machine_.files.AddFile(ShortcutCopyPath(InFolder("BackUp 01-01-26 10-00-01"), "C:\\x\\a.lnk"), "copy");
    FillBackupList(context_, model_);
    Tick({"BackUp 01-01-26 10-00-00", "BackUp 01-01-26 10-00-01", "BackUp 01-01-26 10-00-02"});
    machine_.host.Answer("NO");
    machine_.host.Answer(" yes ");
    // The third question finds no answer left: "NO".
    ImgDeleteMouseMove_Click(context_, model_);
    EXPECT_EQ(std::vector<std::string>(3, kDeleteBackupQuestion), machine_.host.questions);
    EXPECT_EQ((std::vector<std::string>{"BackUp 01-01-26 10-00-00", "BackUp 01-01-26 10-00-02"}),
              Names(model_.lvwBackUp));
    EXPECT_FALSE(machine_.files.Contents(InFolder("BackUp 01-01-26 10-00-01")).has_value());
    EXPECT_EQ(kInvalidFileAttributes,
              machine_.files.GetFileAttributes(ShortcutCopiesFolder(InFolder("BackUp 01-01-26 10-00-01")), nullptr));
    EXPECT_TRUE(machine_.files.Contents(InFolder("BackUp 01-01-26 10-00-00")).has_value());
}

} // namespace
} // namespace hs
