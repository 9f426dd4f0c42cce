// The startup and uninstall command-line checkers against a small machine in
// memory: the file names found in a command line, the rows they give, and
// the dispatch of the installed checkers.
#include "checkers/command_line_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checkers/checkers.h"
#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "scan/walker.h"
#include "tests/support/test_host.h"

namespace hs {
namespace {

using Checker = void (*)(ScanContext&, std::int32_t, const std::string&, const std::string&, std::string&,
                         const std::string&, const std::string&);

// A row as the case tables write it: the tested path and DefaultOrNot.
struct Row {
    std::string keyValue;
    std::string defaultOrNot;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.keyValue << " | " << row.defaultOrNot << "}";
}

struct Case {
    const char* data;
    std::vector<Row> rows;
    const char* dataAfter = nullptr;  // what the checker leaves in its data argument; unchecked when null
};

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Foo";

Row Sys(const std::string& name) { return {"C:\\WINDOWS\\system32\\" + name, "Yes"}; }
Row Path(const std::string& path) { return {path, ""}; }

class CommandLineChecksTest : public ::testing::Test {
protected:
    CommandLineChecksTest() : context_(registry_, settings_, host_, sound_, files_) {
        files_.AddDrive('C', kDriveFixed);
        files_.SetFolders("C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\TEMP", "C:\\Program Files\\Hivesweep");
        for (const char* name : {"MsiExec.exe", "rundll32.exe", "shell32.dll", "notepad.exe"}) {
            files_.AddFile(std::string("C:\\WINDOWS\\system32\\") + name);
        }
        files_.AddFile("C:\\WINDOWS\\there.exe");
        files_.AddFile("C:\\Program Files\\Foo\\there.exe");
        files_.AddFile("C:\\Program Files\\My.App\\there.exe");
    }

    std::vector<Row> Run(Checker checker, std::string_view section, const std::string& valueName, std::string& data) {
        context_.lvwErrors.Clear();
        checker(context_, kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", valueName, data, std::string(section), kKeyPath);
        std::vector<Row> rows;
        for (const ProblemRecord& record : context_.lvwErrors.Rows()) {
            rows.push_back({record.KeyValue, record.DefaultOrNot});
            EXPECT_EQ("-2147483646", record.MainKey);
            EXPECT_EQ(valueName.empty() ? "(Default)" : valueName, record.KeyName);
            EXPECT_EQ(section, record.RegistryScanners);
            EXPECT_EQ(kKeyPath, record.FullKeyPath);
            EXPECT_EQ("HKEY_LOCAL_MACHINE", record.mainkeyname);
        }
        return rows;
    }

    void Expect(Checker checker, std::string_view section, const std::string& valueName,
                const std::vector<Case>& cases) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            SCOPED_TRACE(testing::Message() << "[" << i << "] " << valueName << " \"" << c.data << "\"");
            std::string data = c.data;
            EXPECT_EQ(c.rows, Run(checker, section, valueName, data));
            if (c.dataAfter != nullptr) {
                EXPECT_EQ(c.dataAfter, data);
            }
        }
    }

    void PutSz(const std::string& path, const std::string& name, const std::string& text) {
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess, registry_.CreateKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, &key, nullptr));
        ASSERT_EQ(kErrorSuccess, registry_.SetValueEx(key, name.c_str(), kRegSz,
                                                      reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                                      static_cast<std::uint32_t>(text.size() + 1)));
        ASSERT_EQ(kErrorSuccess, registry_.CloseKey(key));
    }

    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    ScanContext context_;
};

// The program of a command line, with no backslash after its first dot.
TEST_F(CommandLineChecksTest, ShortForm) {
    Expect(CheckCommandLineEntry, kSectionStartup, "Tool",
           {
               // Cut at the slash, tested in the system folder.
               {"MsiExec.exe /X{1A2B-3C4D}", {}},
               {"GoneExec.exe /X{1A2B-3C4D}", {Sys("GoneExec.exe")}},
               // A dash switch goes; a dash in a folder name stays.
               {R"(C:\Program Files\Foo\uninst.exe -u)", {Path(R"(C:\Program Files\Foo\uninst.exe)")}},
               {R"(C:\Program Files\Foo-Bar\uninst.exe)", {Path(R"(C:\Program Files\Foo-Bar\uninst.exe)")}},
               {R"(C:\Program Files\Foo\there.exe -u)", {}},
               // Only the first dash counts: kept in the folder, the switch stays too,
               // and "exe -u" is no extension.
               {R"(C:\Program Files\Foo-Bar\uninst.exe -u)", {}},
               {"gone.exe -s", {Sys("gone.exe")}},
               // Cut at the comma; the text after the first space is the name.
               {"rundll32.exe shell32.dll,Control_RunDLL", {}},
               {"rundll32.exe gone32.dll,Control_RunDLL", {Sys("gone32.dll")}},
               {"notepad.exe readme.txt", {Sys("readme.txt")}},
               // Quotes go, and the data keeps the unquoted text.
               {R"("C:\Program Files\Foo\gone.exe" /S)", {Path(R"(C:\Program Files\Foo\gone.exe)")},
                R"(C:\Program Files\Foo\gone.exe" /S)"},
               {R"("C:\Program Files\Foo\there.exe" /S)", {}},
               {R"( "notepad.exe" )", {}, "notepad.exe"},
               // Extensions of other lengths, values without a dot, blank values.
               {"app.html", {}},
               {"app.ex", {}},
               {"rundll32", {}},
               {"   ", {}, "   "},
               {"", {}},
               // An unexpanded placeholder proves nothing.
               {R"(%ProgramFiles%\Foo\gone.exe)", {}},
               {R"(C:\Program Files\%App%\gone.exe)", {}},
           });
}

// A dot in a folder name: the paths that begin with a drive letter.
TEST_F(CommandLineChecksTest, LongFormAndDrivePaths) {
    Expect(CheckCommandLineEntry, kSectionStartup, "",
           {
               {R"(C:\Program Files\My.App\app.exe /s)", {Path(R"(C:\Program Files\My.App\app.exe)")},
                R"(C:\Program Files\My.App\app.exe)"},
               {R"(C:\Program Files\My.App\there.exe /s)", {}},
               {R"(C:\Foo\a.b\setup)", {}, R"(C:\Foo\a.b\setup)"},
               // Two drive paths, each tested on its own; the first keeps the
               // space in front of the second drive letter, which the test ignores.
               {R"(C:\WINDOWS\unvise32.exe C:\Program Files\Foo\uninstal.log)",
                {Path(R"(C:\WINDOWS\unvise32.exe )"), Path(R"(C:\Program Files\Foo\uninstal.log)")},
                R"(C:\WINDOWS\unvise32.exe C:\Program Files\Foo\uninstal.log)"},
               {R"(C:\WINDOWS\there.exe C:\Program Files\Foo\uninstal.log)",
                {Path(R"(C:\Program Files\Foo\uninstal.log)")}},
               {R"(C:\WINDOWS\unvise32.exe C:\Program Files\Foo\there.exe)", {Path(R"(C:\WINDOWS\unvise32.exe )")}},
               // Text in front of the first drive letter makes the first path run
               // on; it is cut back three characters after its dot.
               {R"(run C:\a.exe C:\gone\b.dll)", {Path(R"(C:\a.exe)"), Path(R"(C:\gone\b.dll)")}},
               {R"(run.x C:\Foo\gone.dll /i)", {Path(R"(C:\Foo\gone.dll)")}, R"(C:\Foo\gone.dll)"},
               // A value that opens with ":\" has an empty first path, which is not reported.
               {R"(:\x.exe C:\gone.dll)", {Path(R"(C:\gone.dll)")}},
               {R"(un.x \\server\share\gone.exe)", {}},
               {R"(C:\Program Files\My.App\%Name%.exe)", {}},
           });
}

TEST_F(CommandLineChecksTest, UninstallDispatchByValueName) {
    const char* command = R"(C:\Program Files\Foo\uninst.exe -u)";
    const std::vector<Row> commandRow = {Path(R"(C:\Program Files\Foo\uninst.exe)")};
    struct NameCase {
        const char* valueName;
        const char* data;
        std::vector<Row> rows;
    };
    const NameCase cases[] = {
        {"UninstallString", command, commandRow},
        {"uNiNsTaLlStRiNg", command, commandRow},
        {"UNINSTALLPATH", command, commandRow},
        {"UninstallString ", command, {}},
        {" UninstallString", command, {}},
        {"DisplayName", command, {}},
        {"", command, {}},
        {"DisplayIcon", R"("C:\Foo\app.exe",0)", {Path(R"(C:\Foo\app.exe)")}},
        {"InstallSource", R"(C:\Setup\Foo\)", {}},
        {"installsource", R"(C:\Setup\gone.msi)", {Path(R"(C:\Setup\gone.msi)")}},
        {"ModifyPath", "MsiExec.exe /I{1A2B}", {}},
        {"ModifyPath", "gone.exe /I{1A2B}", {Sys("gone.exe")}},
        {"QuietUninstallString", "gone.exe /S", {Sys("gone.exe")}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] \"" << cases[i].valueName << "\"");
        std::string data = cases[i].data;
        EXPECT_EQ(cases[i].rows, Run(CheckUninstallEntry, kSectionUninstall, cases[i].valueName, data));
    }
}

// The silent uninstall command, read as it is.
TEST_F(CommandLineChecksTest, QuietUninstallString) {
    Expect(CheckUninstallEntry, kSectionUninstall, "QuietUninstallString",
           {
               // A drive marker in the first element, no second dot, no
               // backslash after the first dot: nothing is tested.
               {R"("C:\Program Files\Foo\unins000.exe" /SILENT)", {}},
               {"rundll32.exe C:\\Foo\\x.dll,Uninstall", {Path(R"(C:\Foo\x.dll)")}, R"(C:\Foo\x.dll)"},
               {"gonedll.exe C:\\Foo\\x.dll,Uninstall", {Sys("gonedll.exe"), Path(R"(C:\Foo\x.dll)")}},
               {R"(C:\Foo\a.b\unins.exe)", {}},
               {"MsiExec.exe /X{1A2B-3C4D}", {}},
               // A backslash after the program's first space leads to the drive
               // path, which runs to the end of the value.
               {R"(start C:\Foo\gone.exe x.log)", {Path(R"(C:\Foo\gone.exe x.log)")}, R"(C:\Foo\gone.exe x.log)"},
               // A bare name after the program's first space.
               {"foo.exe bar.dll /x", {Sys("foo.exe"), Sys("bar.dll")}},
               {"notepad.exe shell32.dll", {}},
               // A name with a space in front of its first dot: the text after the
               // space is tested; the second candidate's tail after its dot is
               // longer than three characters, so it is passed over.
               {"my app.exe x.dll", {Sys("app.exe")}},
               // Quotes are not stripped: a quoted program cannot be searched.
               {R"("gone.exe" /S)", {}},
               {"gone.ex", {}},
               {"no dot", {}},
               {"", {}},
               {R"(%WinDir%\gone.exe)", {}},
           });
}

TEST_F(CommandLineChecksTest, InstalledCheckersAreReachedThroughTheWalk) {
    DispatchTable table;
    InstallCheckers(table);
    for (const CheckerFn* slot : {&table.CheckComEntry, &table.CheckAppPathEntry, &table.CheckHelpFileEntry,
                                  &table.CheckSharedFileEntry, &table.CheckCommandLineEntry,
                                  &table.CheckUninstallEntry, &table.CheckVxdEntry, &table.CheckFontEntry}) {
        EXPECT_TRUE(static_cast<bool>(*slot));
    }
    context_.checkers = table;

    PutSz(std::string(kUninstallKey) + "\\Foo", "DisplayName", "Foo 1.0");
    PutSz(std::string(kUninstallKey) + "\\Foo", "UninstallString", R"(C:\Program Files\Foo\uninst.exe -u)");
    PutSz(std::string(kUninstallKey) + "\\Foo", "DisplayIcon", R"("C:\Program Files\Foo\there.exe",0)");
    PutSz(std::string(kUninstallKey) + "\\Foo", "QuietUninstallString", "gone.exe /S");
    WalkKeys(context_, kHkeyLocalMachine, kUninstallKey, std::string(kSectionUninstall), "HKEY_LOCAL_MACHINE",
             Label::lblRegistryFilesScan);
    ASSERT_EQ(2u, context_.lvwErrors.Count());
    EXPECT_EQ((Row{R"(C:\Program Files\Foo\uninst.exe)", ""}),
              (Row{context_.lvwErrors.At(1).KeyValue, context_.lvwErrors.At(1).DefaultOrNot}));
    EXPECT_EQ("UninstallString", context_.lvwErrors.At(1).KeyName);
    EXPECT_EQ(kKeyPath, context_.lvwErrors.At(1).FullKeyPath);
    EXPECT_EQ("QuietUninstallString", context_.lvwErrors.At(2).KeyName);
    EXPECT_EQ("Yes", context_.lvwErrors.At(2).DefaultOrNot);

    // The other sections of this family, one value each.
    struct SectionCase {
        std::string_view section;
        const char* data;
        const char* keyValue;
    };
    const SectionCase sections[] = {
        {kSectionStartup, "gone.exe /s", R"(C:\WINDOWS\system32\gone.exe)"},
        {kSectionShared, "gone.dll", R"(C:\WINDOWS\system32\gone.dll)"},
        {kSectionVxd, R"(C:\WINDOWS\SYSTEM\gone.vxd)", R"(C:\WINDOWS\SYSTEM\gone.vxd)"},
    };
    for (const auto& s : sections) {
        SCOPED_TRACE(std::string(s.section));
        context_.lvwErrors.Clear();
        DispatchValue(context_, s.data, std::string(s.section), "v", kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "K");
        ASSERT_EQ(1u, context_.lvwErrors.Count());
        EXPECT_EQ(s.keyValue, context_.lvwErrors.At(1).KeyValue);
        EXPECT_EQ(s.section, context_.lvwErrors.At(1).RegistryScanners);
    }
}

} // namespace
} // namespace hs
