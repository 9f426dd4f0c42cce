// The scan driver over a small machine in memory: which walks run for which
// ticked entries, where a cancel stops, the progress bar and the summary.
#include "scan/scan_driver.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "scan/catalogue.h"
#include "scan/section_list.h"
#include "tests/support/scan_machine.h"

namespace hs {
namespace {

constexpr const char* kMachine = R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{11111111-0000-0000-0000-000000000001}\InprocServer32]
@="C:\\WINDOWS\\system32\\gone.dll"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\Help]
"first.hlp"="C:\\Gone"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\HTML Help]
"second.chm"="C:\\Gone"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts]
"Gone NT"="C:\\Other\\gone-nt.ttf"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Fonts]
"Gone 9x"="C:\\Other\\gone-9x.ttf"
)";

class ScanDriverTest : public ::testing::Test {
protected:
    ScanDriverTest() { machine_.Load(kMachine); }

    // Fills the section list and ticks exactly the given positions.
    void Select(std::initializer_list<int> positions) {
        LoadlvwRegistryvaluesScanValues(context_);
        for (SectionEntry& entry : context_.sections.entries) entry.checked = false;
        for (int position : positions) context_.sections.At(position)->checked = true;
    }

    std::vector<std::string> KeyValues() const {
        std::vector<std::string> values;
        for (const ProblemRecord& row : context_.lvwErrors.Rows()) values.push_back(row.KeyValue);
        return values;
    }

    // Wraps the checker of a family so that it asks for a cancel after its
    // first call.
    static void CancelAfterFirstCall(CheckerFn& slot) {
        slot = [inner = slot](ScanContext& context, std::int32_t root, const std::string& rootName,
                              const std::string& valueName, std::string& data, const std::string& section,
                              const std::string& keyPath) {
            inner(context, root, rootName, valueName, data, section, keyPath);
            context.state.CancelRequested = kTrue16;
        };
    }

    fakes::ScanMachine machine_;
    ScanContext& context_ = machine_.context;
};

TEST_F(ScanDriverTest, NothingCheckedRunsNoWalkButStillAdvancesAndReports) {
    ASSERT_TRUE(machine_.settings.Write("chkMakeLogFile", "1"));
    Select({});
    RunScan(context_);

    EXPECT_TRUE(context_.lvwErrors.Empty());
    EXPECT_EQ(0u, context_.results.lvwRegistryProblems.Count());
    EXPECT_EQ("0", context_.view.Caption(Label::lblProblemsFound));
    // Twelve entries (eleven and drive C): 12 x 356.
    EXPECT_EQ(12 * 356, context_.view.ProgressWidth());
    EXPECT_EQ(0, context_.state.ProgressStep);
    EXPECT_EQ(0, context_.view.Highlighted());
    EXPECT_FALSE(context_.view.BusyPointer());
    EXPECT_EQ("09:05:07", context_.state.ScanStartTime);
    EXPECT_EQ("09:05:07", context_.state.ScanFinishTime);
    EXPECT_TRUE(machine_.files.Contents("C:\\Program Files\\Hivesweep\\ScanReport.txt").has_value());
    EXPECT_TRUE(context_.panels.FrameRegistryProblemsDetails);
    EXPECT_FALSE(context_.panels.FrameScanning);
    EXPECT_FALSE(context_.panels.FrameScanSettingShelidButton);
}

TEST_F(ScanDriverTest, TheLastStepThatWouldOverrunTheBarIsTakenBack) {
    machine_.files.AddDrive('D', kDriveCdRom);
    machine_.files.AddDrive('E', kDriveFixed);
    Select({});
    ASSERT_EQ(13, context_.sections.Count());
    RunScan(context_);
    // 329 per entry; the 13th step would make 4277 and is taken back.
    EXPECT_EQ(12 * 329, context_.view.ProgressWidth());
}

TEST_F(ScanDriverTest, OnlyTheFontsKeyOfThePlatformIsWalked) {
    Select({kPositionFonts});
    RunScan(context_);
    EXPECT_EQ(std::vector<std::string>{"C:\\Other\\gone-nt.ttf"}, KeyValues());
    EXPECT_EQ(std::vector<std::string>{"Invalid Windows Fonts (  1 Problem(s) )"},
              context_.results.lvwRegistryProblems.Rows());

    machine_.registry.SetPlatformId(1);
    RunScan(context_);
    EXPECT_EQ(std::vector<std::string>{"C:\\Other\\gone-9x.ttf"}, KeyValues());
}

TEST_F(ScanDriverTest, ConfigurationFilesWalkFindsNothingUnderItsOwnCaption) {
    Select({kPositionConfigurationFiles});
    RunScan(context_);
    EXPECT_TRUE(context_.lvwErrors.Empty());
    EXPECT_EQ((std::vector<std::string>{"Inspecting...", " Configuration files..."}),
              machine_.sink.Captions(Label::lblStatus));
    EXPECT_EQ(0u, context_.results.lvwRegistryProblems.Count());
}

TEST_F(ScanDriverTest, SummaryRowsFollowTheCatalogueAndTheCaptionsNameEachEntry) {
    Select({2, 3, 5, 10});
    RunScan(context_);
    EXPECT_EQ((std::vector<std::string>{
                  "Invalid Custom Controls ( 1 Problem(s) )",
                  "Invalid Sub Section Controls ( 1 Problem(s) )",
                  "Invalid Help Files ( 2 Problem(s) )",
                  "Invalid Windows Fonts (  1 Problem(s) )",
              }),
              context_.results.lvwRegistryProblems.Rows());
    EXPECT_EQ((std::vector<std::string>{"Inspecting...", " Custom Controls....", " Sub Section Controls....",
                                        "Help Files", " Windows fonts..."}),
              machine_.sink.Captions(Label::lblStatus));
    EXPECT_EQ("5", context_.view.Caption(Label::lblProblemsFound));
    // Each ticked entry was highlighted while it ran, and none is left so.
    EXPECT_EQ(0, context_.view.Highlighted());
}

TEST_F(ScanDriverTest, ACancelInTheFirstHelpKeySkipsTheSecondKeyAndTheSummary) {
    CancelAfterFirstCall(context_.checkers.CheckHelpFileEntry);
    Select({5, 10});
    RunScan(context_);
    EXPECT_EQ(std::vector<std::string>{"C:\\Gone\\first.hlp"}, KeyValues());
    EXPECT_EQ(0u, context_.results.lvwRegistryProblems.Count());
    EXPECT_FALSE(context_.view.BusyPointer());
    EXPECT_TRUE(context_.state.Cancelled());
}

TEST_F(ScanDriverTest, ACancelDuringTheComWalkStillSummarizesItsSection) {
    CancelAfterFirstCall(context_.checkers.CheckComEntry);
    Select({2, 3});
    RunScan(context_);
    EXPECT_EQ(1u, context_.lvwErrors.Count());
    EXPECT_EQ(std::vector<std::string>{"Invalid Custom Controls ( 1 Problem(s) )"},
              context_.results.lvwRegistryProblems.Rows());
}

TEST_F(ScanDriverTest, ANewScanEmptiesTheListsAndViewsOfTheLastOne) {
    Select({5});
    RunScan(context_);
    lvwRegistryProblems_ItemClick(context_, 0);
    ASSERT_EQ(2u, context_.results.lvwRegistryErrorsDetail.Count());
    Select({});
    RunScan(context_);
    EXPECT_TRUE(context_.lvwErrors.Empty());
    EXPECT_EQ(0u, context_.results.lvwRegistryProblems.Count());
    EXPECT_EQ(0u, context_.results.lvwRegistryErrorsDetail.Count());
}

TEST(DriveRootOfEntryTest, TakesTheLetterOutOfTheEntryText) {
    EXPECT_EQ("C:\\", DriveRootOfEntry("Window Shortcut C"));
    EXPECT_EQ("D:\\", DriveRootOfEntry("  window shortcut d  "));
    EXPECT_EQ("", DriveRootOfEntry("Windows Fonts"));
}

} // namespace
} // namespace hs
