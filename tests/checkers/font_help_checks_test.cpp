// The font and help file checkers: how folder and name are joined, and the
// rows they record.
#include "checkers/font_help_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "tests/support/test_host.h"

namespace hs {
namespace {

enum class Checker { kFont, kHelp };

struct Case {
    Checker checker;
    std::string valueName;
    std::string data;
    // The row expected, or none when keyValue is empty.
    std::string keyValue;
    std::string keyName;
    std::string defaultOrNot;
};

constexpr Checker kFont = Checker::kFont;
constexpr Checker kHelp = Checker::kHelp;

class FontHelpChecksTest : public ::testing::Test {
protected:
    FontHelpChecksTest() : context_(registry_, settings_, host_, sound_, files_) {
        files_.AddDrive('C', kDriveFixed);
        files_.SetFolders("C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\Temp\\", "C:\\P");
        files_.AddFile("C:\\WINDOWS\\Fonts\\there.ttf");
        files_.AddFile("C:\\Other\\Fonts\\full.ttf");
        files_.AddFile("C:\\Foo\\there.hlp");
        files_.AddFolder("C:\\WINDOWS\\system32");
        context_.view.SetCaption(Label::lblProblemsFound, "0");
    }
    ~FontHelpChecksTest() override { EXPECT_EQ(0u, files_.OpenSearchCount()); }

    void RunAll(const std::vector<Case>& cases) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            SCOPED_TRACE(::testing::Message() << "[" << i << "] " << c.valueName << " = " << c.data);
            std::size_t before = context_.lvwErrors.Count();
            std::string data = c.data;
            bool font = c.checker == Checker::kFont;
            std::string section(font ? kSectionFonts : kSectionHelpFiles);
            std::string keyPath = font ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"
                                       : "SOFTWARE\\Microsoft\\Windows\\Help";
            (font ? CheckFontEntry : CheckHelpFileEntry)(context_, kHkeyLocalMachine, "HKEY_LOCAL_MACHINE",
                                                         c.valueName, data, section, keyPath);
            EXPECT_EQ(c.data, data) << "these checkers leave the data as it is";
            std::size_t added = context_.lvwErrors.Count() - before;
            if (c.keyValue.empty()) {
                EXPECT_EQ(0u, added);
                continue;
            }
            ASSERT_EQ(1u, added);
            const ProblemRecord& row = context_.lvwErrors.At(before + 1);
            EXPECT_EQ(c.keyValue, row.KeyValue);
            EXPECT_EQ(c.keyName, row.KeyName);
            EXPECT_EQ(c.defaultOrNot, row.DefaultOrNot);
            EXPECT_EQ("-2147483646", row.MainKey);
            EXPECT_EQ(section, row.RegistryScanners);
            EXPECT_EQ(keyPath, row.FullKeyPath);
            EXPECT_EQ("HKEY_LOCAL_MACHINE", row.mainkeyname);
        }
    }

    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    ScanContext context_;
};

TEST_F(FontHelpChecksTest, FontNamesAreTestedInTheFontsFolder) {
    RunAll({
        {kFont, "Arial (TrueType)", "arial.ttf", "C:\\WINDOWS\\Fonts\\arial.ttf", "Arial (TrueType)", ""},
        {kFont, "There (TrueType)", "THERE.TTF", "", "", ""},
        {kFont, "Full", "C:\\Other\\Fonts\\full.ttf", "", "", ""},
        {kFont, "Gone", "C:\\Other\\Fonts\\gone.ttf", "C:\\Other\\Fonts\\gone.ttf", "Gone", ""},
        {kFont, "Spaces", "   ", "C:\\WINDOWS\\Fonts\\   ", "Spaces", ""},
        {kFont, "Empty", "", "", "", ""},
        {kFont, "", "gone.fon", "C:\\WINDOWS\\Fonts\\gone.fon", "(Default)", ""},
        // Quotes are not stripped: a quote in the name counts as found.
        {kFont, "Quoted", "\"gone.ttf\"", "", "", ""},
    });
}

TEST_F(FontHelpChecksTest, HelpFilesJoinFolderAndName) {
    RunAll({
        {kHelp, "foo.hlp", "C:\\Foo", "C:\\Foo\\foo.hlp", "foo.hlp", ""},
        {kHelp, "foo.hlp", "C:\\Foo\\", "C:\\Foo\\foo.hlp", "foo.hlp", ""},
        {kHelp, "there.hlp", "C:\\Foo", "", "", ""},
        {kHelp, "THERE.HLP", "c:\\foo\\", "", "", ""},
        {kHelp, "foo.hlp", "", "", "", ""},
        {kHelp, "foo.chm", "   ", "C:\\WINDOWS\\system32\\   ", "foo.chm", "Yes"},
        {kHelp, "foo.chm", "C:\\Gone", "C:\\Gone\\foo.chm", "foo.chm", ""},
        {kHelp, "", "C:\\Foo", "", "", ""},  // the folder itself: a path ending in '\' counts as found
    });
}

TEST_F(FontHelpChecksTest, AFailedFolderLookUpLeavesTheShortenedPath) {
    files_.SetFolders("", "", "C:\\Temp\\", "C:\\P");
    RunAll({
        {kFont, "Arial", "arial.ttf", "Fonts\\arial.ttf", "Arial", ""},
        {kHelp, "foo.chm", "   ", "   ", "foo.chm", "Yes"},
    });
}

} // namespace
} // namespace hs
