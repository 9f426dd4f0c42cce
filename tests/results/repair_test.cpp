// The repair: order, records before changes, the unnamed value, the panels,
// and what is left (and told) when a backup or a change fails.
#include "results/repair.h"

#include <gtest/gtest.h>

#include "results/backup_manager.h"
#include "scan/catalogue.h"
#include "tests/results/repair_machine.h"

namespace hs {
namespace {

using fakes::kBackupFolder;
using fakes::kBackupPath;

constexpr const char* kTool = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe";
constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";

constexpr const char* kMachine = R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tool.exe]
@="C:\\Gone\\tool.exe"
"Path"="C:\\Gone"
"Other"="kept"
"A"="C:\\Gone\\a.exe"
"B"="C:\\Gone\\b.exe"
"C"="C:\\Gone\\c.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\Help]
"first.hlp"="C:\\Gone"
)";

ProblemRecord Row(const std::string& path, const std::string& name, const std::string& keyValue,
                  std::string_view section = kSectionAppPaths) {
    ProblemRecord row;
    row.MainKey = "-2147483646";
    row.mainkeyname = "HKEY_LOCAL_MACHINE";
    row.FullKeyPath = path;
    row.KeyName = name;
    row.KeyValue = keyValue;
    row.RegistryScanners = std::string(section);
    return row;
}

std::vector<std::string> KeyNames(const ScanContext& context) {
    std::vector<std::string> names;
    for (const ProblemRecord& row : context.lvwErrors.Rows()) names.push_back(row.KeyName);
    return names;
}

class RepairTest : public ::testing::Test {
protected:
    RepairTest() { machine_.Load(kMachine); }

    // Lists rows as a scan would: in lvwErrors, with their summary rows.
    void List(const std::vector<ProblemRecord>& rows) {
        for (const ProblemRecord& row : rows) context_.lvwErrors.Add(row);
        RebuildResultsViews(context_);
        context_.panels.PicResults = true;
    }
    void ListNamed(const std::vector<std::string>& names) {
        std::vector<ProblemRecord> rows;
        for (const std::string& name : names) rows.push_back(Row(kTool, name, "C:\\Gone\\" + name));
        List(rows);
    }
    std::optional<RawValue> Tool(const std::string& name) { return machine_.Value(kHkeyLocalMachine, kTool, name); }
    std::vector<std::string> BackupLines() {
        std::vector<std::string> lines;
        machine_.files.ReadLines(kBackupPath, lines, nullptr);
        return lines;
    }

    fakes::RepairMachine machine_;
    ScanContext& context_ = machine_.context;
};

TEST_F(RepairTest, EveryRowInOrderEachAfterItsRecord) {
    List({Row(kTool, "(Default)", "C:\\Gone\\tool.exe"),
          Row(kHelp, "first.hlp", "C:\\Gone\\first.hlp", kSectionHelpFiles), Row(kTool, "", "C:\\Gone\\x.exe"),
          Row(kTool, "Path", "C:\\Gone")});
    bool checkedDuringRepair = false;
    machine_.host.At(1, [&] {
        const MainPanels& panels = context_.panels;
        EXPECT_FALSE(panels.lvwRegistryProblemsVisible);
        EXPECT_FALSE(panels.lvwRegistryErrorsDetailVisible);
        EXPECT_FALSE(panels.ImgRepairNormalEnabled);
        EXPECT_FALSE(panels.ImgReturnNormalEnabled);
        EXPECT_TRUE(panels.lblDeletingCourrutpfils);
        EXPECT_TRUE(panels.ImgDeleteProgress);
        EXPECT_EQ(10, panels.ImgDeleteProgressInside);
        // The first change is made, and its record is on the disk.
        EXPECT_EQ(1u, BackupLines().size());
        checkedDuringRepair = true;
    });
    context_.state.CancelRequested = kTrue16;
    int refreshed = 0;
    const RepairResult result = ImgRepairMouseMove_Click(context_, [&] { ++refreshed; });
    EXPECT_TRUE(checkedDuringRepair);

    EXPECT_EQ(3u, result.repaired);
    EXPECT_EQ(0u, result.left);
    EXPECT_EQ(1u, result.dropped);
    EXPECT_EQ(kBackupPath, result.backupFilePath);
    // The unnamed value stays, empty; the named ones are gone; the rest stays.
    EXPECT_EQ((RawValue{kRegSz, {}}), Tool(""));
    EXPECT_FALSE(Tool("Path").has_value());
    EXPECT_FALSE(machine_.Value(kHkeyLocalMachine, kHelp, "first.hlp").has_value());
    EXPECT_TRUE(Tool("Other").has_value());
    EXPECT_TRUE(Tool("A").has_value());

    // One record per change, in order, each with the value it removed.
    const std::vector<std::string> lines = BackupLines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(std::optional<std::string>(
                  "R^HKEY_LOCAL_MACHINE^" + std::string(kTool) +
                  "^C:\\Gone\\tool.exe^(Default)^^1:43003A005C0047006F006E0065005C0074006F006F006C002E00"
                  "6500780065000000"),
              DecodeBackupLine(lines[0]));
    EXPECT_EQ(std::optional<std::string>("R^HKEY_LOCAL_MACHINE^" + std::string(kHelp) +
                                         "^C:\\Gone\\first.hlp^first.hlp^^1:43003A005C0047006F006E0065000000"),
              DecodeBackupLine(lines[1]));
    EXPECT_EQ(0u,
              DecodeBackupLine(lines[2])->find("R^HKEY_LOCAL_MACHINE^" + std::string(kTool) + "^C:\\Gone^Path^^1:"));

    EXPECT_EQ(std::vector<std::string>{kFilesRepairedKind}, machine_.host.questions);
    EXPECT_EQ(1, refreshed);
    EXPECT_TRUE(context_.lvwErrors.Empty());
    EXPECT_TRUE(context_.lvwShortcut.Empty());
    EXPECT_EQ(0u, context_.results.lvwRegistryProblems.Count());
    EXPECT_EQ(0u, context_.results.lvwRegistryErrorsDetail.Count());
    EXPECT_EQ(kFalse16, context_.state.CancelRequested);
    const MainPanels& panels = context_.panels;
    EXPECT_TRUE(panels.lvwRegistryProblemsVisible && panels.lvwRegistryErrorsDetailVisible);
    EXPECT_TRUE(panels.ImgRepairNormalEnabled && panels.ImgReturnNormalEnabled);
    EXPECT_FALSE(panels.lblDeletingCourrutpfils || panels.ImgDeleteProgress);
    EXPECT_FALSE(panels.PicResults || panels.PicScanning);
    EXPECT_TRUE(panels.FrameScanSettingShelidButton);
    // The section list was loaded again: eleven entries and drive C.
    EXPECT_EQ(12, context_.sections.Count());
}

TEST_F(RepairTest, TheProgressBarStartsOverAtItsDesignWidth) {
    for (int count : {853, 854}) {
        SCOPED_TRACE(count);
        // Rows without a value name change nothing but still move the bar.
        List(std::vector<ProblemRecord>(static_cast<std::size_t>(count), Row(kTool, "", "x")));
        const RepairResult result = RepairProblems(context_);
        EXPECT_EQ(static_cast<std::size_t>(count), result.dropped);
        EXPECT_EQ(count == 853 ? 4270 : 1, context_.panels.ImgDeleteProgressInside);
    }
}

TEST_F(RepairTest, OnlyShortcutsShowNoProgressButBackEachUp) {
    machine_.files.AddFile("C:\\Docs\\Old.lnk", "old link");
    machine_.files.AddFile("C:\\Docs\\Site.url", "site");
    context_.lvwShortcut.Add({"C:\\Docs\\Old.lnk"});
    context_.lvwShortcut.Add({"C:\\Docs\\Site.url"});
    context_.panels.ImgDeleteProgressInside = 100;
    machine_.host.At(1, [&] {
        EXPECT_TRUE(context_.panels.lvwRegistryProblemsVisible);
        EXPECT_TRUE(context_.panels.ImgRepairNormalEnabled);
        EXPECT_FALSE(context_.panels.ImgDeleteProgress);
        EXPECT_EQ(105, context_.panels.ImgDeleteProgressInside);
    });
    const RepairResult result = RepairProblems(context_);
    EXPECT_EQ(2u, result.repaired);
    EXPECT_FALSE(machine_.files.Contents("C:\\Docs\\Old.lnk").has_value());
    EXPECT_EQ(std::optional<std::string>("old link"),
              machine_.files.Contents(ShortcutCopyPath(kBackupPath, "C:\\Docs\\Old.lnk")));
    EXPECT_EQ((std::vector<std::string>{"S^C:\\Docs\\Old.lnk", "S^C:\\Docs\\Site.url"}),
              (std::vector<std::string>{*DecodeBackupLine(BackupLines()[0]), *DecodeBackupLine(BackupLines()[1])}));
    EXPECT_EQ(std::vector<std::string>{kFilesRepairedKind}, machine_.host.questions);
}

TEST_F(RepairTest, WithBackupsOffNothingIsWrittenAndEverythingChanges) {
    ASSERT_TRUE(machine_.settings.Write("chkMakeBackUp", "0"));
    machine_.files.AddFile("C:\\Docs\\Old.lnk", "old link");
    context_.lvwShortcut.Add({"C:\\Docs\\Old.lnk"});
    ListNamed({"A", "B"});
    const RepairResult result = RepairProblems(context_);
    EXPECT_EQ(3u, result.repaired);
    EXPECT_FALSE(Tool("A").has_value());
    EXPECT_FALSE(Tool("B").has_value());
    EXPECT_FALSE(machine_.files.Contents("C:\\Docs\\Old.lnk").has_value());
    EXPECT_EQ(kInvalidFileAttributes, machine_.files.GetFileAttributes(kBackupPath, nullptr));
    EXPECT_EQ(kInvalidFileAttributes, machine_.files.GetFileAttributes(ShortcutCopiesFolder(kBackupPath), nullptr));
}

// No backup, no change: a missing or read-only backup folder leaves every
// problem as it was, listed and told.
TEST_F(RepairTest, WithoutAWritableBackupFolderNothingChanges) {
    for (bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing folder" : "read-only folder");
        fakes::RepairMachine machine;
        machine.Load(kMachine);
        ScanContext& context = machine.context;
        if (missing) {
            ASSERT_TRUE(machine.settings.Write("txtBackup", "C:\\Nowhere"));
        } else {
            machine.files.DenyWritesUnder(kBackupFolder);
        }
        machine.files.AddFile("C:\\Docs\\Old.lnk", "old link");
        context.lvwShortcut.Add({"C:\\Docs\\Old.lnk"});
        for (const char* name : {"A", "(Default)", "B"}) context.lvwErrors.Add(Row(kTool, name, "x"));
        RebuildResultsViews(context);
        context.panels.PicResults = true;

        const RepairResult result = ImgRepairMouseMove_Click(context);
        EXPECT_EQ(0u, result.repaired);
        EXPECT_EQ(4u, result.left);
        ASSERT_EQ(4u, result.reasons.size());
        for (const LeftProblem& left : result.reasons) EXPECT_FALSE(left.reason.empty()) << left.what;
        EXPECT_TRUE(machine.Value(kHkeyLocalMachine, kTool, "A").has_value());
        EXPECT_EQ((RawValue{kRegSz, fakes::Utf16(u"C:\\Gone\\tool.exe")}), machine.Value(kHkeyLocalMachine, kTool, ""));
        EXPECT_EQ(std::optional<std::string>("old link"), machine.files.Contents("C:\\Docs\\Old.lnk"));
        // Left in their lists, in order, and shown again.
        EXPECT_EQ((std::vector<std::string>{"A", "(Default)", "B"}), KeyNames(context));
        EXPECT_EQ(1u, context.lvwShortcut.Count());
        EXPECT_EQ((std::vector<std::string>{"Invalid Software Locations ( 3 Problem(s) )",
                                            "Invalid Windows Shortcut File (1 Problems)"}),
                  context.results.lvwRegistryProblems.Rows());
        EXPECT_EQ(std::vector<std::string>{kRepairIncompleteKind}, machine.host.questions);
        EXPECT_NE(std::string::npos, RepairIncompleteMessage(result).find("4 of 4 problem(s) were left unchanged"));
        EXPECT_TRUE(context.panels.PicResults);
    }
}

TEST_F(RepairTest, AWriteFailureLeavesExactlyTheRowsWhoseRecordWasLost) {
    // The disk fails for good after two records: two changes, three left.
    ListNamed({"A", "B", "C", "Path", "Other"});
    machine_.host.At(2, [&] { machine_.files.DenyWritesUnder(kBackupFolder); });
    RepairResult result = RepairProblems(context_);
    EXPECT_EQ(2u, result.repaired);
    EXPECT_EQ(3u, result.left);
    EXPECT_FALSE(Tool("A").has_value());
    EXPECT_FALSE(Tool("B").has_value());
    EXPECT_TRUE(Tool("C") && Tool("Path") && Tool("Other"));
    EXPECT_EQ((std::vector<std::string>{"C", "Path", "Other"}), KeyNames(context_));
    EXPECT_EQ(2u, BackupLines().size());

    // One lost write: only that row is left, every other one is tried once.
    fakes::RepairMachine machine;
    machine.Load(kMachine);
    for (const char* name : {"A", "B", "C"}) machine.context.lvwErrors.Add(Row(kTool, name, "x"));
    RebuildResultsViews(machine.context);
    machine.files.FailWrite(2);
    result = RepairProblems(machine.context);
    EXPECT_EQ(2u, result.repaired);
    EXPECT_EQ(std::vector<std::string>{"B"}, KeyNames(machine.context));
    EXPECT_TRUE(machine.Value(kHkeyLocalMachine, kTool, "B").has_value());
    EXPECT_FALSE(machine.Value(kHkeyLocalMachine, kTool, "C").has_value());
}

TEST_F(RepairTest, ARefusedChangeIsLeftAndItsRecordStillRestores) {
    List({Row(kHelp, "first.hlp", "C:\\Gone\\first.hlp", kSectionHelpFiles), Row(kTool, "A", "x")});
    machine_.registry.Deny(kHkeyLocalMachine, kHelp);
    const RepairResult result = RepairProblems(context_);
    EXPECT_EQ(1u, result.repaired);
    ASSERT_EQ(1u, result.left);
    EXPECT_EQ("access denied", result.reasons[0].reason);
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\" + std::string(kHelp) + " : first.hlp", result.reasons[0].what);
    EXPECT_NE(std::string::npos, RepairIncompleteMessage(result).find("1 x access denied"));
    EXPECT_EQ(std::vector<std::string>{kRepairIncompleteKind}, machine_.host.questions);

    // The value that was never changed counts as put back.
    const auto restored = RestoreBackups(context_, {"BackUp 10-12-26 09-05-07"});
    ASSERT_EQ(1u, restored.size());
    EXPECT_TRUE(restored[0].complete) << restored[0].error;
    EXPECT_TRUE(Tool("A").has_value());
}

TEST_F(RepairTest, ValuesAlreadyGoneCountAsRepairedAndRestoreAsAbsent) {
    ListNamed({"Gone", "A"});
    const RepairResult result = RepairProblems(context_);
    EXPECT_EQ(2u, result.repaired);
    ASSERT_EQ(2u, BackupLines().size());
    EXPECT_EQ(std::optional<std::string>("R^HKEY_LOCAL_MACHINE^" + std::string(kTool) + "^C:\\Gone\\Gone^Gone^^absent"),
              DecodeBackupLine(BackupLines()[0]));
}

TEST_F(RepairTest, RowsNoScanCanListAreLeftAlone) {
    machine_.Load(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"Good\"=\"C:\\\\good.exe\"\n");
    ProblemRecord run =
        Row("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Good", "C:\\good.exe", kSectionStartup);
    ProblemRecord noRoot = Row(kTool, "A", "x");
    noRoot.MainKey = "12";
    List({run, noRoot});
    context_.lvwShortcut.Add({"C:\\WINDOWS\\system32\\kernel32.dll"});
    machine_.files.AddFile("C:\\WINDOWS\\system32\\kernel32.dll", "MZ");
    const RepairResult result = RepairProblems(context_);
    EXPECT_EQ(0u, result.repaired);
    EXPECT_EQ(3u, result.left);
    EXPECT_TRUE(machine_.Value(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Good"));
    EXPECT_TRUE(Tool("A").has_value());
    EXPECT_TRUE(machine_.files.Contents("C:\\WINDOWS\\system32\\kernel32.dll").has_value());
}

TEST_F(RepairTest, AReadOnlyShortcutIsLeftWithoutARecord) {
    machine_.files.AddFile("C:\\Docs\\Locked.lnk", "locked", kAttrArchive | kAttrReadOnly);
    context_.lvwShortcut.Add({"C:\\Docs\\Locked.lnk"});
    const RepairResult result = RepairProblems(context_);
    EXPECT_EQ(1u, result.left);
    EXPECT_TRUE(machine_.files.Contents("C:\\Docs\\Locked.lnk").has_value());
    EXPECT_TRUE(BackupLines().empty());
    EXPECT_EQ(1u, context_.lvwShortcut.Count());
}

// Two repairs within one second write one file; the copy of a shortcut
// deleted twice is the one from before the first deletion, so that the
// whole file restores the state before both.
TEST_F(RepairTest, TwoRepairsInOneSecondShareTheFileAndKeepTheFirstCopy) {
    MemoryFileSystem& files = machine_.files;
    files.AddFile("C:\\Docs\\Old.lnk", "first");
    context_.lvwShortcut.Add({"C:\\Docs\\Old.lnk"});
    ListNamed({"A"});
    EXPECT_TRUE(RepairProblems(context_).Complete());

    files.AddFile("C:\\Docs\\Old.lnk", "second");
    context_.lvwShortcut.Add({"C:\\Docs\\Old.lnk"});
    ListNamed({"B"});
    EXPECT_TRUE(RepairProblems(context_).Complete());
    EXPECT_EQ(4u, BackupLines().size());
    EXPECT_EQ(std::optional<std::string>("first"), files.Contents(ShortcutCopyPath(kBackupPath, "C:\\Docs\\Old.lnk")));

    const auto restored = RestoreBackups(context_, {"BackUp 10-12-26 09-05-07"});
    ASSERT_EQ(1u, restored.size());
    EXPECT_TRUE(restored[0].complete) << restored[0].error;
    EXPECT_EQ(std::optional<std::string>("first"), files.Contents("C:\\Docs\\Old.lnk"));
    EXPECT_TRUE(Tool("A") && Tool("B"));
    EXPECT_EQ(kInvalidFileAttributes, files.GetFileAttributes(ShortcutCopiesFolder(kBackupPath), nullptr));
}

} // namespace
} // namespace hs
