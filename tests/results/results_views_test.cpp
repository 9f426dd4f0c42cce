// The summary and detail lists: exact row texts, which details a summary row
// opens, and header sorting.
#include "results/results_views.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/catalogue.h"
#include "tests/support/scan_machine.h"

namespace hs {
namespace {

TEST(SummaryRowTextTest, EveryRowTextIsExact) {
    struct Case {
        std::string_view section;
        const char* row;
    };
    const Case cases[] = {
        {kSectionCom, "Invalid Custom Controls ( 3 Problem(s) )"},
        {kSectionComSubsections, "Invalid Sub Section Controls ( 3 Problem(s) )"},
        {kSectionAppPaths, "Invalid Software Locations ( 3 Problem(s) )"},
        {kSectionHelpFiles, "Invalid Help Files ( 3 Problem(s) )"},
        {kSectionShared, "Invalid Shared Files ( 3 Problem(s) )"},
        {kSectionStartup, "Invalid Windows Startup Files  ( 3 Problem(s) )"},
        {kSectionUninstall, "Invalid Uninstall Section File  ( 3 Problem(s) )"},
        {kSectionVxd, "Invalid Virtual Devices ( 3 Problem(s) )"},
        {kSectionFonts, "Invalid Windows Fonts (  3 Problem(s) )"},
        {"windows fonts", ""},
        {"Help Files ", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.row, SummaryRowText(3, c.section)) << c.section;
    EXPECT_EQ("", SummaryRowText(0, kSectionCom));
    EXPECT_EQ("Invalid Custom Controls ( 32767 Problem(s) )", SummaryRowText(32767, kSectionCom));
    EXPECT_EQ("Invalid Windows Shortcut File (3 Problems)", ShortcutSummaryRowText(3));
}

class ResultsViewsTest : public ::testing::Test {
protected:
    ResultsViewsTest() {
        AddProblem(kSectionHelpFiles, "C:\\Gone\\a.hlp");
        AddProblem(kSectionCom, "C:\\WINDOWS\\system32\\x.dll");
        AddProblem("help files", "C:\\Gone\\case.hlp");  // never listed: the section differs in case
        AddProblem(kSectionHelpFiles, "C:\\Gone\\b.chm");
        context_.lvwShortcut.Add({"C:\\Users\\Ann\\Desktop\\Old.lnk"});
        context_.lvwShortcut.Add({"D:\\Tools\\Gone.lnk"});
        RebuildResultsViews(context_);
    }
    void AddProblem(std::string_view section, const std::string& path) {
        ProblemRecord row;
        row.RegistryScanners = std::string(section);
        row.KeyValue = path;
        context_.lvwErrors.Add(row);
    }
    const std::vector<std::string>& Details() const { return context_.results.lvwRegistryErrorsDetail.Rows(); }

    fakes::ScanMachine machine_;
    ScanContext& context_ = machine_.context;
};

TEST_F(ResultsViewsTest, ASummaryRowListsTheProblemsOfItsSectionOnly) {
    ASSERT_EQ((std::vector<std::string>{"Invalid Custom Controls ( 1 Problem(s) )",
                                        "Invalid Help Files ( 2 Problem(s) )",
                                        "Invalid Windows Shortcut File (2 Problems)"}),
              context_.results.lvwRegistryProblems.Rows());

    lvwRegistryProblems_ItemClick(context_, 1);
    const std::vector<std::string> help{"This file could not be found on your hard drive:C:\\Gone\\a.hlp",
                                        "This file could not be found on your hard drive:C:\\Gone\\b.chm"};
    EXPECT_EQ(help, Details());
    // Clicking again shows them once.
    lvwRegistryProblems_ItemClick(context_, 1);
    EXPECT_EQ(help, Details());

    lvwRegistryProblems_ItemClick(context_, 2);
    EXPECT_EQ((std::vector<std::string>{"The path of this file is incorrect : C:\\Users\\Ann\\Desktop\\Old.lnk",
                                        "The path of this file is incorrect : D:\\Tools\\Gone.lnk"}),
              Details());

    // A click outside the rows changes nothing.
    lvwRegistryProblems_ItemClick(context_, 7);
    EXPECT_EQ(2u, Details().size());
}

TEST_F(ResultsViewsTest, TheNewestClickWinsOverAListingStillRunning) {
    // The first listing yields after its first row; a click on the shortcut
    // row arrives there.
    machine_.host.At(1, [this] { lvwRegistryProblems_ItemClick(context_, 2); });
    lvwRegistryProblems_ItemClick(context_, 1);
    EXPECT_EQ((std::vector<std::string>{"The path of this file is incorrect : C:\\Users\\Ann\\Desktop\\Old.lnk",
                                        "The path of this file is incorrect : D:\\Tools\\Gone.lnk"}),
              Details());
}

TEST(TextListViewTest, TheFirstHeaderClickSortsDescendingAndRowsAddedLaterFindTheirPlace) {
    TextListView list;
    for (const char* row : {"b", "C", "a"}) list.Add(row);
    EXPECT_EQ((std::vector<std::string>{"b", "C", "a"}), list.Rows());
    list.ColumnClick();
    EXPECT_EQ((std::vector<std::string>{"C", "b", "a"}), list.Rows());
    list.Add("B2");
    EXPECT_EQ((std::vector<std::string>{"C", "B2", "b", "a"}), list.Rows());
    list.ColumnClick();
    EXPECT_EQ((std::vector<std::string>{"a", "b", "B2", "C"}), list.Rows());
}

} // namespace
} // namespace hs
