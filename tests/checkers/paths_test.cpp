// The path helpers: text cutting, placeholders, folder look-ups, the
// existence and fixed-drive tests, and how a problem is recorded.
#include "checkers/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system_memory.h"
#include "platform/registry_access.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "tests/support/null_file_system.h"
#include "tests/support/test_host.h"

namespace hs {
namespace {

struct TextCase {
    std::string input;
    std::string expected;
};

// Runs a text function over a table, naming the failing row.
template <typename Fn>
void ExpectTable(const std::vector<TextCase>& cases, Fn fn) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].expected, fn(cases[i].input)) << "[" << i << "] input \"" << cases[i].input << "\"";
    }
}

TEST(PathTextTest, StripQuotesRemovesItsOwnSetAtEachEnd) {
    ExpectTable({{"\"\"", ""},
                 {"", ""},
                 {"\"C:\\x.dll\"", "C:\\x.dll"},
                 {" \r\nC:\\x\r\n ", "\nC:\\x\r"},  // a leading LF and a trailing CR stay
                 {"\t\"x\"\t", "\t\"x\"\t"},        // tabs are no quote blanks
                 {"\"\" \"a b\" \"\"", "a b"}},
                [](const std::string& text) { return StripQuotes(text); });
    ExpectTable({{" \r\"C:\\x.dll\"\n ", "C:\\x.dll"}, {"\" \"", ""}, {"abc", "abc"}}, [](std::string text) {
        StripQuotesInPlace(text);
        return text;
    });
}

TEST(PathTextTest, GetFileExtensionTakesTheLastDotOfTheLastComponent) {
    ExpectTable({{"x.tar.gz", "gz"},
                 {"C:\\x\\File.DLL", "dll"},
                 {"C:\\dir\\x.", ""},
                 {"C:\\App.1\\setup", ""},
                 {"C:.dll", "dll"},
                 {"C:setup", ""},
                 {"noext", ""},
                 {"", ""},
                 {"C:\\Foo\\foo.exe /automation", "exe /automation"},
                 {"C:\\Foo\\foo.dll,0", "dll,0"}},
                [](const std::string& path) { return GetFileExtension(path); });
    EXPECT_EQ("DLL", FileExtensionView("a\\b.DLL"));
}

TEST(PathTextTest, CutArgumentsCutsAtTheCommaElseAtTheSlash) {
    ExpectTable({{"C:\\x\\y.dll,-101", "C:\\x\\y.dll"},
                 {"setup.exe /s", "setup.exe"},
                 {"a.exe /p,q", "a.exe /p"},  // the comma decides
                 {"/x", "/x"},                // empty cut: unchanged
                 {",1", ",1"},
                 {"\"C:\\a b\\c.exe\" /q", "C:\\a b\\c.exe"},
                 {"\" \",x", "\" \",x"},  // the cut is only quotes and blanks
                 {"plain.exe", "plain.exe"},
                 {"", ""}},
                [](const std::string& text) { return CutArguments(text); });
}

TEST(PathTextTest, AddBackslashAddsOneUnlessBlankOrPresent) {
    ExpectTable({{"   ", ""}, {"", ""}, {"C:\\", "C:\\"}, {"C:\\Windows", "C:\\Windows\\"}, {" x ", " x \\"}},
                [](const std::string& folder) { return AddBackslash(folder); });
}

TEST(PathTextTest, PlaceholdersAreFoundWithoutRegardToCase) {
    ExpectTable({{"%SYSTEMROOT%\\System32\\x.dll", "\\System32\\x.dll"},
                 {"%Systemroot%\\System32\\x.dll", "\\System32\\x.dll"},
                 {"\"%systemroot%\\a.dll", "\\a.dll"},  // anything before is dropped
                 {"%programfiles%\\Foo\\foo.ocx", "\\Foo\\foo.ocx"},
                 {"%ProgramFiles%%SystemRoot%\\x", "\\x"},  // %Systemroot% is looked for first
                 {"%ProgramFiles(x86)%\\foo.exe", ""},
                 {"C:\\plain.dll", ""}},
                [](const std::string& text) { return StripRootPlaceholder(text); });
    ExpectTable({{"%CommonProgramFiles%\\System\\ado.dll", "\\System\\ado.dll"},
                 {"%commonprogramfiles(x86)%\\a.dll", ""},
                 {"%ProgramFiles%\\a.dll", ""}},
                [](const std::string& text) { return StripCommonFilesPlaceholder(text); });
}

TEST(PathTextTest, HoldsPlaceholderWantsANameBetweenTwoPercentSigns) {
    struct Case {
        const char* path;
        bool holds;
    } cases[] = {
        {"%ProgramFiles(x86)%\\foo.exe", true},
        {"C:\\Windows\\%Unknown%\\x.dll", true},
        {"C:\\Windows\\system32\\x.dll", false},
        {"C:\\100%\\x.dll", false},        // one '%'
        {"C:\\50%off\\x%y.dll", false},    // a backslash between them
        {"C:\\a%%b.dll", false},           // nothing between them
        {"C:\\a%%b%.dll", true},           // the second '%' opens "%b%"
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.holds, HoldsPlaceholder(c.path)) << c.path;
}

TEST(PathTextTest, NoCaseSearches) {
    EXPECT_EQ(3u, FindNoCase("abcDEF", "Def"));
    EXPECT_EQ(std::string_view::npos, FindNoCase("ab", "abc"));
    EXPECT_EQ(0u, FindNoCase("ab", ""));
    EXPECT_TRUE(EqualsNoCase("dll", "DLL"));
    EXPECT_FALSE(EqualsNoCase("dll", "DLLX"));
    EXPECT_EQ("a b", TrimSpaces("  a b "));
    EXPECT_TRUE(IsBlank("   "));
    EXPECT_FALSE(IsBlank(" \t "));
}

// A file system whose every search fails with one error, to pin down which
// errors mean "not found".
class FailingSearchFileSystem final : public fakes::NullFileSystem {
public:
    explicit FailingSearchFileSystem(std::uint32_t code) : code_(code) {}
    FindHandle FindFirstFile(const std::string&, FindData&, std::uint32_t* error) override {
        if (error) *error = code_;
        return kInvalidFindHandle;
    }

private:
    std::uint32_t code_;
};

TEST(FileExistsTest, OnlyPlainNotFoundErrorsMeanMissing) {
    struct Case {
        std::uint32_t error;
        bool exists;
    } cases[] = {{kFsFileNotFound, false}, {kFsPathNotFound, false}, {kFsNoMoreFiles, false},
                 {kFsAccessDenied, true},  {kFsInvalidName, true},   {kFsFilenameTooLong, true},
                 {kFsNotReady, true},      {kFsBadNetPath, true}};
    for (const Case& c : cases) {
        FailingSearchFileSystem files(c.error);
        EXPECT_EQ(c.exists, FileExists(files, "C:\\dir\\x.dll")) << "error " << c.error;
    }
}

class PathsTest : public ::testing::Test {
protected:
    PathsTest() : access_(registry_), context_(registry_, settings_, host_, sound_, files_) {
        files_.AddDrive('A', kDriveRemovable);
        files_.AddDrive('C', kDriveFixed);
        files_.AddDrive('D', kDriveCdRom);
        files_.AddDrive('E', kDriveCdRom, false);
        files_.SetFolders("C:\\Windows\\system32", "C:\\Windows", "C:\\Temp\\", "C:\\Program Files\\Hivesweep");
        files_.AddFolder("C:\\Windows\\system32");
        context_.view.SetCaption(Label::lblProblemsFound, "0");
    }
    ~PathsTest() override { EXPECT_EQ(0u, files_.OpenSearchCount()) << "a search was left open"; }

    void SetCurrentVersionValue(const std::string& name, const std::string& text) {
        ASSERT_EQ(kErrorSuccess, access_.SetValueCreatingKey(kHkeyLocalMachine,
                                                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", name,
                                                             text, kRegSz));
    }
    // Runs CheckPlaceholderPath for one value and gives the rows it added.
    std::vector<ProblemRecord> Placeholder(const std::string& valueName, std::string data) {
        std::size_t before = context_.lvwErrors.Count();
        CheckPlaceholderPath(context_, kHkeyClassesRoot, "HKEY_CLASSES_ROOT", valueName, data, "ActiveX \\ COM",
                             "CLSID\\{1}\\InprocServer32");
        const auto& rows = context_.lvwErrors.Rows();
        return {rows.begin() + static_cast<std::ptrdiff_t>(before), rows.end()};
    }

    MemoryRegistry registry_;
    RegistryAccess access_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    ScanContext context_;
};

TEST_F(PathsTest, FileExistsCountsFilesThatOneOfTheSixSearchesWouldFind) {
    files_.AddFolder("C:\\dir\\sub");
    files_.AddFolder("C:\\dir\\hiddenfolder", kAttrHidden);
    files_.AddFile("C:\\dir\\plain.dll");
    files_.AddFile("C:\\dir\\hidden.dll", "", kAttrHidden | kAttrArchive);
    files_.AddFile("C:\\dir\\system.dll", "", kAttrSystem);
    files_.AddFile("C:\\dir\\hidsys.dll", "", kAttrHidden | kAttrSystem | kAttrArchive);
    files_.AddFile("C:\\dir\\readonly.dll", "", kAttrReadOnly);
    files_.AddFile("C:\\dir\\normal.dll", "", kAttrNormal);
    files_.AddFile("C:\\dir\\win.ini");
    files_.AddFile("C:\\only\\hidsys.ini", "", kAttrHidden | kAttrSystem);
    files_.AddFolder("C:\\only\\folder.ini");
    struct Case {
        const char* path;
        bool exists;
    } cases[] = {
        {"C:\\dir\\plain.dll", true},
        {"c:\\DIR\\Plain.DLL", true},
        {"C:\\dir\\hidden.dll", true},
        {"C:\\dir\\system.dll", true},
        {"C:\\dir\\readonly.dll", true},
        {"C:\\dir\\normal.dll", true},
        {"C:\\dir\\hidsys.dll", false},
        {"C:\\dir\\sub", false},           // a folder never counts
        {"C:\\dir\\hiddenfolder", false},
        {"C:\\dir\\missing.dll", false},   // 2
        {"C:\\nodir\\x.dll", false},       // 3
        {"C:\\dir\\*.ini", true},          // a wildcard in the last component is searched
        {"C:\\dir\\*.exe", false},
        {"C:\\dir\\hid*.dll", true},       // hidden.dll counts though hidsys.dll does not
        {"C:\\only\\*.ini", false},        // only a hidden-and-system file and a folder match
    };
    for (const Case& c : cases) {
        int searches = files_.SearchCount();
        EXPECT_EQ(c.exists, FileExists(context_, c.path)) << c.path;
        EXPECT_EQ(searches + 1, files_.SearchCount()) << c.path << ": one search per test";
    }
}

TEST_F(PathsTest, FileExistsAnswersFoundWithoutSearchingWhatNamesNoReachableFile) {
    const char* paths[] = {
        "",                              // names nothing
        "C:\\dir\\",                     // a folder, not a file
        "C:\\dir/",
        "Q:\\gone.dll",                  // no such drive
        "E:\\gone.dll",                  // a drive without a medium
        "\\\\server\\share\\gone.dll",   // a share that cannot be reached from here
        "C:\\dir\\a\"b.dll",
        "C:\\dir\\a<b.dll",
        "C:\\dir\\a>b.dll",
        "C:\\dir\\a|b.dll",
        "C:\\dir\\gone.dll\r",           // a control character
        "C:\\dir\\gone.dll:stream",
        "C:\\di*\\gone.dll",             // a wildcard before the last component
        "C:\\d?r\\gone.dll",
        "1:\\gone.dll",
    };
    for (const char* path : paths) {
        EXPECT_TRUE(FileExists(context_, path)) << path;
        EXPECT_TRUE(FileExists(files_, path)) << path;
    }
    EXPECT_EQ(0, files_.SearchCount());
}

TEST_F(PathsTest, FileExistsTakesSearchErrorsOtherThanNotFoundAsFound) {
    files_.AddFile("C:\\locked\\x.dll");
    files_.SetUnreadable("C:\\locked");
    EXPECT_TRUE(FileExists(context_, "C:\\locked\\gone.dll"));
    EXPECT_TRUE(FileExists(context_, "C:\\" + std::string(300, 'a') + ".dll"));  // name too long
    EXPECT_FALSE(FileExists(context_, "D:\\gone.dll"));  // a ready CD-ROM is searched like any drive
}

TEST_F(PathsTest, DriveListIsTakenOncePerScanWhileCaching) {
    context_.StartLookupCache();
    EXPECT_TRUE(FileExists(context_, "F:\\gone.dll"));  // F: unknown yet
    files_.AddDrive('F', kDriveFixed);
    EXPECT_TRUE(FileExists(context_, "F:\\gone.dll")) << "the cached list has no F:";
    EXPECT_FALSE(IsOnFixedDrive(context_, "F:\\gone.dll"));
    context_.DropLookupCache();
    EXPECT_FALSE(FileExists(context_, "F:\\gone.dll"));
    EXPECT_TRUE(IsOnFixedDrive(context_, "F:\\gone.dll"));
}

TEST_F(PathsTest, IsOnFixedDriveMatchesTheFirstCharacterAndYieldsPerMiss) {
    struct Case {
        const char* path;
        bool fixed;
        int yields;
    } cases[] = {
        {"c:\\x.dll", true, 1},  // after A:
        {"C:\\x.dll", true, 1},
        {"A:\\x.dll", false, 0},
        {"D:\\x.dll", false, 2},
        {"\\\\server\\share\\x.dll", false, 4},
        {"x.dll", false, 4},
        {" C:\\x.dll", false, 4},
        {"", false, 4},
    };
    for (const Case& c : cases) {
        host_.yields = 0;
        EXPECT_EQ(c.fixed, IsOnFixedDrive(context_, c.path)) << c.path;
        EXPECT_EQ(c.yields, host_.yields) << c.path;
    }
}

TEST_F(PathsTest, IsOnFixedDriveSurvivesAYieldThatDropsTheCache) {
    context_.StartLookupCache();
    host_.At(1, [this] { context_.DropLookupCache(); });
    host_.At(2, [this] { context_.StartLookupCache(); });
    EXPECT_FALSE(IsOnFixedDrive(context_, "Z:\\x.dll"));
    EXPECT_EQ(4, host_.yields);
}

TEST_F(PathsTest, FolderLookUps) {
    EXPECT_EQ("C:\\Windows\\system32", GetSystemFolder(context_));
    EXPECT_EQ("C:\\Windows", GetWindowsFolder(context_));
    EXPECT_EQ("", GetProgramFilesFolder(context_));  // no value
    EXPECT_EQ("", GetCommonFilesFolder(context_));
    SetCurrentVersionValue("ProgramFilesDir", "  C:\\Program Files  ");
    SetCurrentVersionValue("CommonFilesDir", "C:\\Program Files\\Common Files");
    EXPECT_EQ("C:\\Program Files", GetProgramFilesFolder(context_));
    EXPECT_EQ("C:\\Program Files\\Common Files", GetCommonFilesFolder(context_));
}

TEST_F(PathsTest, FolderLookUpsAreAskedEachTimeUnlessCached) {
    SetCurrentVersionValue("ProgramFilesDir", "C:\\Program Files");
    context_.StartLookupCache();
    EXPECT_EQ("C:\\Program Files", GetProgramFilesFolder(context_));
    EXPECT_EQ("C:\\Windows", GetWindowsFolder(context_));
    SetCurrentVersionValue("ProgramFilesDir", "D:\\Apps");
    files_.SetFolders("D:\\W\\system32", "D:\\W", "D:\\T\\", "D:\\P");
    EXPECT_EQ("C:\\Program Files", GetProgramFilesFolder(context_));
    EXPECT_EQ("C:\\Windows", GetWindowsFolder(context_));
    EXPECT_EQ("D:\\W\\system32", GetSystemFolder(context_)) << "a slot fills at its first use";
    files_.SetFolders("E:\\W\\system32", "E:\\W", "E:\\T\\", "E:\\P");
    EXPECT_EQ("D:\\W\\system32", GetSystemFolder(context_));
    context_.DropLookupCache();
    EXPECT_EQ("D:\\Apps", GetProgramFilesFolder(context_));
    EXPECT_EQ("E:\\W", GetWindowsFolder(context_));
    EXPECT_EQ("E:\\W\\system32", GetSystemFolder(context_));
}

TEST_F(PathsTest, RecordProblemFillsTheRowAndCallsTheHook) {
    RecordProblem(context_, kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "  ", "Help Files", "SOFTWARE\\x",
                  "C:\\gone.hlp", false);
    RecordProblem(context_, kHkeyClassesRoot, "HKEY_CLASSES_ROOT", "name", "ActiveX \\ COM", "CLSID\\{1}",
                  "C:\\Windows\\system32\\gone.dll", true);
    RecordProblem(context_, kHkeyCurrentUser, "HKEY_CURRENT_USER", "  ", "ActiveX \\ COM", "k", "C:\\gone.dll", false,
                  DefaultName::kWhenEmpty);
    RecordProblem(context_, kHkeyCurrentUser, "HKEY_CURRENT_USER", "", "ActiveX \\ COM", "k", "C:\\gone.dll", false,
                  DefaultName::kWhenEmpty);
    ASSERT_EQ(4u, context_.lvwErrors.Count());
    const ProblemRecord& first = context_.lvwErrors.At(1);
    EXPECT_EQ("-2147483646", first.MainKey);
    EXPECT_EQ("(Default)", first.KeyName);
    EXPECT_EQ("C:\\gone.hlp", first.KeyValue);
    EXPECT_EQ("Help Files", first.RegistryScanners);
    EXPECT_EQ("SOFTWARE\\x", first.FullKeyPath);
    EXPECT_EQ("HKEY_LOCAL_MACHINE", first.mainkeyname);
    EXPECT_EQ("", first.DefaultOrNot);
    const ProblemRecord& second = context_.lvwErrors.At(2);
    EXPECT_EQ("-2147483648", second.MainKey);
    EXPECT_EQ("name", second.KeyName);
    EXPECT_EQ("Yes", second.DefaultOrNot);
    EXPECT_EQ("  ", context_.lvwErrors.At(3).KeyName);
    EXPECT_EQ("-2147483647", context_.lvwErrors.At(3).MainKey);
    EXPECT_EQ("(Default)", context_.lvwErrors.At(4).KeyName);
    EXPECT_EQ("4", context_.view.Caption(Label::lblProblemsFound));
}

TEST_F(PathsTest, RecordProblemRefusesAPathWithAnUnexpandedPlaceholder) {
    RecordProblem(context_, kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "", "Application Paths", "k",
                  "%ProgramFiles(x86)%\\foo.exe", false);
    EXPECT_EQ(0u, context_.lvwErrors.Count());
    EXPECT_EQ("0", context_.view.Caption(Label::lblProblemsFound));
}

TEST_F(PathsTest, CheckPlaceholderPathExpandsAndRecordsMissingFiles) {
    SetCurrentVersionValue("ProgramFilesDir", "C:\\Program Files");
    SetCurrentVersionValue("CommonFilesDir", "C:\\Program Files\\Common Files");
    files_.AddFile("C:\\Windows\\system32\\there.dll");
    files_.AddFile("C:\\Program Files\\Foo\\there.ocx");
    files_.AddFile("C:\\Program Files\\Common Files\\System\\there.dll");
    struct Case {
        const char* valueName;
        const char* data;
        const char* recorded;  // null: nothing recorded
        const char* keyName;
    } cases[] = {
        {"", "%SystemRoot%\\system32\\gone.dll", "C:\\Windows\\system32\\gone.dll", "(Default)"},
        {"", "%SYSTEMROOT%\\System32\\there.dll", nullptr, nullptr},
        {"  ", "%systemroot%\\gone.dll", "C:\\Windows\\gone.dll", "  "},  // spaces kept here
        {"", "%ProgramFiles%\\Foo\\gone.ocx", "C:\\Program Files\\Foo\\gone.ocx", "(Default)"},
        {"", "%programfiles%\\Foo\\there.ocx", nullptr, nullptr},
        {"  ", "%ProgramFiles%\\Foo\\gone.ocx", "C:\\Program Files\\Foo\\gone.ocx", "  "},
        {"", "%CommonProgramFiles%\\System\\gone.dll", "C:\\Program Files\\Common Files\\System\\gone.dll",
         "(Default)"},
        {"  ", "%commonprogramfiles%\\System\\gone.dll", "C:\\Program Files\\Common Files\\System\\gone.dll",
         "(Default)"},  // the general rule
        {"", "%CommonProgramFiles%\\System\\there.dll", nullptr, nullptr},
        {"", "%Sysroot%\\system32\\gone.dll", nullptr, nullptr},  // no folder known for it
        {"", "%SystemRoot%\\%Unknown%\\gone.dll", nullptr, nullptr},
        {"", "%SystemRoot%", "C:\\Windows", "(Default)"},  // the folder itself is no file
    };
    for (const Case& c : cases) {
        auto rows = Placeholder(c.valueName, c.data);
        if (c.recorded == nullptr) {
            EXPECT_TRUE(rows.empty()) << c.data;
            continue;
        }
        ASSERT_EQ(1u, rows.size()) << c.data;
        EXPECT_EQ(c.recorded, rows[0].KeyValue) << c.data;
        EXPECT_EQ(c.keyName, rows[0].KeyName) << c.data;
        EXPECT_EQ("", rows[0].DefaultOrNot) << c.data;
    }
}

TEST_F(PathsTest, CheckPlaceholderPathRecordsNothingWithoutItsFolder) {
    // No ProgramFilesDir, no CommonFilesDir, no Windows folder: testing the
    // bare remainder (\Foo\foo.ocx) would test some other file.
    files_.SetFolders("C:\\Windows\\system32", "", "C:\\Temp\\", "C:\\P");
    EXPECT_TRUE(Placeholder("", "%ProgramFiles%\\Foo\\foo.ocx").empty());
    EXPECT_TRUE(Placeholder("", "%commonprogramfiles%\\Foo\\foo.dll").empty());
    EXPECT_TRUE(Placeholder("", "%SystemRoot%\\system32\\foo.dll").empty());
    SetCurrentVersionValue("ProgramFilesDir", "   ");
    EXPECT_TRUE(Placeholder("", "%ProgramFiles%\\Foo\\foo.ocx").empty());
    EXPECT_EQ(0, files_.SearchCount());
}

} // namespace
} // namespace hs
