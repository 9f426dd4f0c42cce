// The COM class and application path checkers: which values they test, how
// they build the tested path, and the rows they record.
#include "checkers/com_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system_memory.h"
#include "platform/registry_access.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "tests/support/test_host.h"

namespace hs {
namespace {

enum class Checker { kCom, kAppPath };

struct Case {
    Checker checker;
    std::string valueName;
    std::string data;
    // The row expected, or none when keyValue is empty.
    std::string keyValue;
    std::string keyName;
    std::string defaultOrNot;
};

class ComChecksTest : public ::testing::Test {
protected:
    ComChecksTest() : context_(registry_, settings_, host_, sound_, files_) {
        files_.AddDrive('C', kDriveFixed);
        files_.AddDrive('E', kDriveCdRom);
        files_.SetFolders("C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\Temp\\", "C:\\Program Files\\Hivesweep");
        files_.AddFile("C:\\WINDOWS\\system32\\there.dll");
        files_.AddFile("C:\\WINDOWS\\system32\\.exe");
        files_.AddFile("C:\\Foo\\there.ocx");
        files_.AddFile("C:\\Program Files\\Foo\\there.exe");
        files_.AddFolder("E:\\Foo");
        RegistryAccess access(registry_);
        EXPECT_EQ(kErrorSuccess, access.SetValueCreatingKey(kHkeyLocalMachine,
                                                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                                            "ProgramFilesDir", "C:\\Program Files", kRegSz));
        context_.view.SetCaption(Label::lblProblemsFound, "0");
    }
    ~ComChecksTest() override { EXPECT_EQ(0u, files_.OpenSearchCount()); }

    // Runs one case and checks the rows it added.
    void Run(const Case& c, std::size_t index) {
        SCOPED_TRACE(::testing::Message() << "[" << index << "] " << c.data);
        std::size_t before = context_.lvwErrors.Count();
        std::string data = c.data;
        bool com = c.checker == Checker::kCom;
        std::string section(com ? kSectionCom : kSectionAppPaths);
        std::int32_t root = com ? kHkeyClassesRoot : kHkeyLocalMachine;
        std::string rootName = com ? "HKEY_CLASSES_ROOT" : "HKEY_LOCAL_MACHINE";
        std::string keyPath = com ? "CLSID\\{0001}\\InprocServer32" : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\foo.exe";
        (com ? CheckComEntry : CheckAppPathEntry)(context_, root, rootName, c.valueName, data, section, keyPath);
        std::size_t added = context_.lvwErrors.Count() - before;
        if (c.keyValue.empty()) {
            EXPECT_EQ(0u, added);
            return;
        }
        ASSERT_EQ(1u, added);
        const ProblemRecord& row = context_.lvwErrors.At(before + 1);
        EXPECT_EQ(c.keyValue, row.KeyValue);
        EXPECT_EQ(c.keyName, row.KeyName);
        EXPECT_EQ(c.defaultOrNot, row.DefaultOrNot);
        EXPECT_EQ(std::to_string(root), row.MainKey);
        EXPECT_EQ(section, row.RegistryScanners);
        EXPECT_EQ(keyPath, row.FullKeyPath);
        EXPECT_EQ(rootName, row.mainkeyname);
    }
    void RunAll(const std::vector<Case>& cases) {
        for (std::size_t i = 0; i < cases.size(); ++i) Run(cases[i], i);
    }

    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    ScanContext context_;
};

constexpr Checker kCom = Checker::kCom;
constexpr Checker kApp = Checker::kAppPath;

TEST_F(ComChecksTest, PathsAreTestedAndMissingFilesRecorded) {
    RunAll({
        {kCom, "", "C:\\WINDOWS\\system32\\missing.dll", "C:\\WINDOWS\\system32\\missing.dll", "(Default)", ""},
        {kCom, "", "\"C:\\WINDOWS\\system32\\missing.dll\"", "C:\\WINDOWS\\system32\\missing.dll", "(Default)", ""},
        {kCom, "  ", "c:\\WINDOWS\\system32\\missing.dll", "c:\\WINDOWS\\system32\\missing.dll", "(Default)", ""},
        {kCom, "", "C:\\WINDOWS\\system32\\there.dll", "", "", ""},
        {kCom, "", "C:\\Foo\\THERE.OCX", "", "", ""},
        {kCom, "", "C:\\Foo\\gone.ax", "C:\\Foo\\gone.ax", "(Default)", ""},
        {kCom, "", "C:\\Foo\\FOO.DLL", "C:\\Foo\\FOO.DLL", "(Default)", ""},
        {kCom, "Server", "C:\\Foo\\gone.exe", "C:\\Foo\\gone.exe", "Server", ""},
        {kApp, "", "C:\\Foo\\gone.exe", "C:\\Foo\\gone.exe", "(Default)", ""},
        {kApp, "", "C:\\Program Files\\Foo\\there.exe", "", "", ""},
        {kApp, "", "C:\\Foo\\gone.ax", "", "", ""},  // AX is a COM extension only
        {kApp, "", "C:\\Foo\\", "", "", ""},
    });
}

TEST_F(ComChecksTest, ValuesThatAreNoModulePathArePassedOver) {
    RunAll({
        {kCom, "", "", "", "", ""},
        {kCom, "", "   ", "", "", ""},
        {kCom, "ThreadingModel", "Apartment", "", "", ""},
        {kCom, "", "C:\\Foo\\foo.exe /automation", "", "", ""},
        {kCom, "", "C:\\Foo\\foo.dll,0", "", "", ""},
        {kCom, "", "{00000000-0000-0000-0000-000000000000}", "", "", ""},
        {kCom, "", "1.0", "", "", ""},
        {kCom, "", "\"\"", "", "", ""},
        {kApp, "Path", "C:\\Foo;C:\\Bar", "", "", ""},
    });
}

TEST_F(ComChecksTest, OnlyTheComCheckerKeepsToFixedDrives) {
    RunAll({
        {kCom, "", "E:\\Foo\\foo.ocx", "", "", ""},
        {kApp, "", "E:\\Foo\\foo.ocx", "E:\\Foo\\foo.ocx", "(Default)", ""},
        {kCom, "", "\\\\server\\share\\foo.dll", "", "", ""},
        {kApp, "", "\\\\server\\share\\foo.dll", "", "", ""},  // a share counts as found
        {kCom, "", "Q:\\foo.dll", "", "", ""},
        {kApp, "", "Q:\\foo.dll", "", "", ""},  // no such drive counts as found
    });
    EXPECT_GT(host_.yields, 0) << "the fixed-drive test yields between drives";
}

TEST_F(ComChecksTest, BareNamesAreTestedInTheSystemFolder) {
    RunAll({
        {kCom, "", "missing.dll", "C:\\WINDOWS\\system32\\missing.dll", "(Default)", "Yes"},
        {kCom, "", "\"missing.dll\"", "C:\\WINDOWS\\system32\\missing.dll", "(Default)", "Yes"},
        {kCom, "", "there.dll", "", "", ""},
        {kCom, "", "THERE.DLL", "", "", ""},
        {kCom, "", ".ocx", "", "", ""},  // a leading dot is passed over
        {kApp, "", ".exe", "", "", ""},  // tested, and C:\WINDOWS\system32\.exe exists
        {kApp, "", ".dll", "C:\\WINDOWS\\system32\\.dll", "(Default)", "Yes"},
        {kApp, "", "gone.exe", "C:\\WINDOWS\\system32\\gone.exe", "(Default)", "Yes"},
    });
}

TEST_F(ComChecksTest, PlaceholdersAreExpanded) {
    RunAll({
        {kCom, "", "%SystemRoot%\\system32\\gone.dll", "C:\\WINDOWS\\system32\\gone.dll", "(Default)", ""},
        {kCom, "", "%systemroot%\\system32\\there.dll", "", "", ""},
        {kApp, "", "%ProgramFiles%\\Foo\\gone.exe", "C:\\Program Files\\Foo\\gone.exe", "(Default)", ""},
        {kApp, "", "\"%ProgramFiles%\\Foo\\there.exe\"", "", "", ""},
        // No folder is known for %Sysroot%, and CommonFilesDir is missing here.
        {kCom, "", "%Sysroot%\\system32\\gone.dll", "", "", ""},
        {kCom, "", "%CommonProgramFiles%\\System\\gone.dll", "", "", ""},
        // Placeholders the checkers do not expand are never reported.
        {kApp, "", "%ProgramFiles(x86)%\\Foo\\gone.exe", "", "", ""},
        {kApp, "", "%Sysroot%\\gone.exe", "", "", ""},
        {kCom, "", "%Unknown%.dll", "", "", ""},
    });
}

TEST_F(ComChecksTest, TheCheckerRewritesTheDataWithoutQuotes) {
    std::string data = "\"C:\\Foo\\there.ocx\" ";
    CheckComEntry(context_, kHkeyClassesRoot, "HKEY_CLASSES_ROOT", "", data, std::string(kSectionCom), "CLSID\\{1}");
    EXPECT_EQ("C:\\Foo\\there.ocx", data);
}

TEST_F(ComChecksTest, ARecordedProblemRaisesTheShownCount) {
    RunAll({{kCom, "", "C:\\gone.dll", "C:\\gone.dll", "(Default)", ""},
            {kApp, "", "C:\\gone.exe", "C:\\gone.exe", "(Default)", ""}});
    EXPECT_EQ("2", context_.view.Caption(Label::lblProblemsFound));
}

} // namespace
} // namespace hs
