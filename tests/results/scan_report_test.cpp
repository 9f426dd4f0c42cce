// The scan report: the file a scan writes, byte for byte, and when it is
// written; the Return button's Show Log state.
#include "results/scan_report.h"

#include <gtest/gtest.h>

#include <string>

#include "scan/catalogue.h"
#include "scan/section_list.h"
#include "tests/support/scan_machine.h"

namespace hs {
namespace {

constexpr unsigned char kGoldenReport[] = {
#include "golden/scan_report.txt.inc"
};

constexpr const char* kReportPath = "C:\\Program Files\\Hivesweep\\ScanReport.txt";

class ScanReportTest : public ::testing::Test {
protected:
    ScanReportTest() {
        LoadlvwRegistryvaluesScanValues(context_);
        context_.sections.At(3)->checked = false;
        context_.state.ScanStartTime = "09:05:07";
        context_.state.ScanFinishTime = "09:06:30";
    }
    void AddProblems() {
        ProblemRecord com;
        com.RegistryScanners = std::string(kSectionCom);
        com.KeyValue = "C:\\WINDOWS\\system32\\gone.dll";
        com.FullKeyPath = "CLSID\\{11111111-0000-0000-0000-000000000001}\\InprocServer32";
        context_.lvwErrors.Add(com);
        ProblemRecord help;
        help.RegistryScanners = std::string(kSectionHelpFiles);
        help.KeyValue = "C:\\Gone\\first.hlp";
        help.FullKeyPath = "SOFTWARE\\Microsoft\\Windows\\Help";
        context_.lvwErrors.Add(help);
        context_.lvwShortcut.Add({"C:\\Documents and Settings\\Ann\\Desktop\\Old Game.lnk"});
    }
    std::optional<std::string> Report() const { return machine_.files.Contents(kReportPath); }

    fakes::ScanMachine machine_;
    ScanContext& context_ = machine_.context;
};

TEST_F(ScanReportTest, TheReportMatchesItsGoldenFileByteForByte) {
    ASSERT_TRUE(machine_.settings.Write("chkMakeLogFile", "1"));
    AddProblems();
    ASSERT_TRUE(MakeScanReport(context_));
    const std::string golden(reinterpret_cast<const char*>(kGoldenReport), sizeof kGoldenReport);
    EXPECT_EQ(golden, Report().value_or("(no report)"));
}

TEST_F(ScanReportTest, ACleanScanWritesTheCleanBlockAndNoProblemBlocks) {
    ASSERT_TRUE(machine_.settings.Write("chkMakeLogFile", "-1"));
    ASSERT_TRUE(MakeScanReport(context_));
    const std::string report = Report().value_or("");
    EXPECT_NE(std::string::npos,
              report.find("\r\n                           Your system is clean Please run Hivesweep v6.0 to keep your "
                          "system in good health\r\n"));
    EXPECT_NE(std::string::npos, report.find("\r\nTotal numbers of problems detected : 0\r\n\r\r\n\r\r\n"));
    EXPECT_EQ(std::string::npos, report.find("Name of Section"));
}

TEST_F(ScanReportTest, NoReportUnlessTheOptionIsOnAndAnEarlierOneIsReplaced) {
    machine_.files.AddFile(kReportPath, "old report");
    EXPECT_FALSE(MakeScanReport(context_));  // never stored: off
    EXPECT_EQ("old report", Report());
    ImgReturnMouseMove_Click(context_);
    EXPECT_TRUE(context_.panels.cmdShowLogEnabled);
    EXPECT_TRUE(context_.panels.FrameScanSettingShelidButton);

    ASSERT_TRUE(machine_.settings.Write("chkMakeLogFile", "1"));
    ASSERT_TRUE(MakeScanReport(context_));
    EXPECT_EQ(0u, Report()->rfind("<><>", 0));

    // A report folder that does not exist: no report, and Show Log off.
    ASSERT_TRUE(machine_.settings.Write("txtLogFile", "C:\\Nowhere"));
    EXPECT_FALSE(MakeScanReport(context_));
    ImgReturnMouseMove_Click(context_);
    EXPECT_FALSE(context_.panels.cmdShowLogEnabled);
}

} // namespace
} // namespace hs
