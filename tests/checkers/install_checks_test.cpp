// The shared-file, virtual-device and install-path checkers against a small
// machine in memory: which values give which rows.
#include "checkers/install_checks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "checkers/paths.h"
#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
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

constexpr const char* kSystem = "C:\\WINDOWS\\system32";
constexpr const char* kKeyPath = "SOFTWARE\\Vendor\\Key";

class InstallChecksTest : public ::testing::Test {
protected:
    InstallChecksTest() : context_(registry_, settings_, host_, sound_, files_) {
        files_.AddDrive('C', kDriveFixed);
        files_.AddDrive('D', kDriveCdRom, false);
        files_.SetFolders(kSystem, "C:\\WINDOWS", "C:\\WINDOWS\\TEMP", "C:\\Program Files\\Hivesweep");
        files_.AddFile("C:\\WINDOWS\\system32\\there.dll");
        files_.AddFile("C:\\WINDOWS\\system32\\readme.html");
        files_.AddFile("C:\\WINDOWS\\SYSTEM\\there.vxd");
        files_.AddFile("C:\\Program Files\\Common Files\\Foo\\there.dll");
        files_.AddFile("C:\\Foo\\there.exe");
        files_.AddFolder("C:\\Foo\\folder.dll");
    }

    // Runs every case through the checker under the section name, a fresh
    // problem list each time, and compares the rows.
    void Expect(Checker checker, std::string_view section, const std::string& valueName,
                const std::vector<Case>& cases) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            SCOPED_TRACE(testing::Message() << "[" << i << "] " << section << " \"" << c.data << "\"");
            context_.lvwErrors.Clear();
            std::string data = c.data;
            checker(context_, kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", valueName, data, std::string(section),
                    kKeyPath);
            std::vector<Row> rows;
            for (const ProblemRecord& record : context_.lvwErrors.Rows()) {
                rows.push_back({record.KeyValue, record.DefaultOrNot});
                EXPECT_EQ("-2147483646", record.MainKey);
                EXPECT_EQ(IsBlank(valueName) ? "(Default)" : valueName, record.KeyName);
                EXPECT_EQ(section, record.RegistryScanners);
                EXPECT_EQ(kKeyPath, record.FullKeyPath);
                EXPECT_EQ("HKEY_LOCAL_MACHINE", record.mainkeyname);
            }
            EXPECT_EQ(c.rows, rows);
            if (c.dataAfter != nullptr) {
                EXPECT_EQ(c.dataAfter, data);
            }
        }
    }

    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    ScanContext context_;
};

TEST_F(InstallChecksTest, SharedFileValues) {
    Expect(CheckSharedFileEntry, kSectionShared, "",
           {
               {R"(C:\Program Files\Common Files\Foo\gone.dll)", {{R"(C:\Program Files\Common Files\Foo\gone.dll)", ""}}},
               {R"(C:\Program Files\Common Files\Foo\there.dll)", {}},
               {"gone.dll", {{R"(C:\WINDOWS\system32\gone.dll)", "Yes"}}},
               {"GONE.DLL", {{R"(C:\WINDOWS\system32\GONE.DLL)", "Yes"}}},
               {"there.dll", {}},
               // Wildcards, four- and one-character extensions are passed over.
               {"*.dll", {}},
               {"*.ocx", {}},
               {"gone.html", {}},
               {"1.0", {}},
               // Everything in front of the drive letter goes.
               {R"(rundll32.exe C:\Foo\gone.dll)", {{R"(C:\Foo\gone.dll)", ""}}, R"(C:\Foo\gone.dll)"},
               // Quotes stay: the closing one makes the extension four characters long.
               {R"("C:\Foo\gone.dll")", {}, R"(C:\Foo\gone.dll")"},
               // No cut at a comma either: "dll,1" is no extension.
               {R"(C:\Foo\gone.dll,1)", {}},
               // Network paths, paths without a drive, and blank values are never tested.
               {R"(\\server\share\gone.dll)", {}},
               {R"(Foo\gone.dll)", {}},
               {R"(:\gone.dll)", {}},
               {"   ", {}},
               {"", {}},
               {"no dot", {}},
               // A folder is no file.
               {R"(C:\Foo\folder.dll)", {{R"(C:\Foo\folder.dll)", ""}}},
               // A drive without a medium cannot be searched: found.
               {R"(D:\gone.dll)", {}},
               // An unexpanded placeholder proves nothing.
               {R"(C:\%CommonFiles%\gone.dll)", {}},
               {"%Name%.dll", {}},
           });
}

TEST_F(InstallChecksTest, RowsNameTheValueOrTheUnnamedValue) {
    Expect(CheckSharedFileEntry, kSectionShared, "SharedDLL", {{"gone.dll", {{R"(C:\WINDOWS\system32\gone.dll)", "Yes"}}}});
    // A name of spaces counts as the unnamed value (checked by Expect).
    Expect(CheckVxdEntry, kSectionVxd, "  ", {{"gone.vxd", {{R"(C:\WINDOWS\system32\gone.vxd)", "Yes"}}}});
}

TEST_F(InstallChecksTest, VirtualDeviceValues) {
    Expect(CheckVxdEntry, kSectionVxd, "VMM32Files",
           {
               {"*vmm", {}},
               {R"(C:\WINDOWS\SYSTEM\gone.vxd)", {{R"(C:\WINDOWS\SYSTEM\gone.vxd)", ""}}},
               {R"(C:\WINDOWS\SYSTEM\there.vxd)", {}},
               {R"(x C:\WINDOWS\SYSTEM\gone.vxd)", {{R"(C:\WINDOWS\SYSTEM\gone.vxd)", ""}}, R"(C:\WINDOWS\SYSTEM\gone.vxd)"},
               {"gone.vxd", {{R"(C:\WINDOWS\system32\gone.vxd)", "Yes"}}},
               // Unlike shared files, any extension and a wildcard are tested.
               {"gone.html", {{R"(C:\WINDOWS\system32\gone.html)", "Yes"}}},
               {"*.vxd", {{R"(C:\WINDOWS\system32\*.vxd)", "Yes"}}},
               {"*.dll", {}},
               // The closing quote goes to the existence test, which cannot search it.
               {R"("C:\WINDOWS\SYSTEM\gone.vxd")", {}, R"(C:\WINDOWS\SYSTEM\gone.vxd")"},
               {R"(\\server\share\gone.vxd)", {}},
               {"  ", {}},
               {R"(C:\%WinDir%\gone.vxd)", {}},
           });
}

TEST_F(InstallChecksTest, InstallPathValues) {
    Expect(CheckInstallPathEntry, kSectionUninstall, "DisplayIcon",
           {
               // The leading quote goes first; the cut at the comma takes the closing one.
               {R"("C:\Foo\app.exe",0)", {{R"(C:\Foo\app.exe)", ""}}, R"(C:\Foo\app.exe)"},
               {R"("C:\Foo\there.exe",0)", {}, R"(C:\Foo\there.exe)"},
               {R"(C:\Foo\gone.exe /s)", {{R"(C:\Foo\gone.exe)", ""}}, R"(C:\Foo\gone.exe)"},
               {R"(x C:\Foo\gone.exe)", {{R"(C:\Foo\gone.exe)", ""}}, R"(C:\Foo\gone.exe)"},
               // Extensions are not looked at.
               {R"(C:\Foo\gone.html)", {{R"(C:\Foo\gone.html)", ""}}},
               {"setup.exe /x", {{R"(C:\WINDOWS\system32\setup.exe)", "Yes"}}, "setup.exe"},
               {"there.dll,1", {}, "there.dll"},
               {R"("gone.ico")", {{R"(C:\WINDOWS\system32\gone.ico)", "Yes"}}},
               // Web addresses, network paths, paths without a drive, values without a dot.
               {"http://example.com/setup.exe", {}},
               {"gone.exe,http://example.com/help", {}},
               {R"(\\server\share\setup.exe)", {}},
               {R"(Installer\setup.exe)", {}},
               {R"(D:\)", {}},
               {R"(C:\Foo)", {}},
               {"", {}},
               {"   ", {}, ""},
               {R"(:\gone.exe)", {}},
               {R"(C:\%ProgramFiles%\gone.exe)", {}},
               {"%Tools%.exe", {}},
           });
}

} // namespace
} // namespace hs
