// The repair and restore round trip, run natively on the stand-ins and under
// Wine on the real registry (its roots redirected into a scratch key) and a
// scratch folder: a registry with broken entries in every section and broken
// shortcuts, scanned, repaired, restored; afterwards every key holds the
// same values (names, types, data; order aside) and every shortcut file is
// back byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "checkers/checkers.h"
#include "platform/file_system.h"
#include "platform/reg_file.h"
#include "platform/reg_text.h"
#include "platform/registry.h"
#include "platform/roots.h"
#include "results/backup_file.h"
#include "results/backup_manager.h"
#include "results/repair.h"
#include "scan/catalogue.h"
#include "scan/scan_context.h"
#include "scan/scan_driver.h"
#include "scan/section_list.h"
#include "tests/support/scan_machine.h"
#include "tests/support/test_host.h"

namespace hs::roundtrip {

// Every catalogue section has at least one value naming a missing file;
// the COM class is reached twice (through HKEY_CLASSES_ROOT and through the
// machine's classes key), a named value of it too; values hold a "^", a
// multi-string, text stored without its terminator, and neighbours that
// are no problem.
inline constexpr const char* kBrokenMachine = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{11111111-0000-0000-0000-000000000001}\InprocServer32]
@="C:\\WINDOWS\\system32\\gone.dll"
"ThreadingModel"="Both"
"Extra"="C:\\Gone\\extra.ocx"

[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{11111111-0000-0000-0000-000000000002}\LocalServer32]
@="C:\\Gone\\server.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tool.exe]
@="C:\\Program Files\\Gone Tool\\tool.exe"
"Path"="C:\\Program Files\\Gone Tool"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\Help]
"first.hlp"="C:\\Gone"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\HTML Help]
"second.chm"="C:\\Gone"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\Foo]
"SharedDLL"="gonehs.dll"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run\Sub]
"Tray"="C:\\Gone\\tray.exe /background"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\MenuOrder\Start Menu\Programs\Foo]
"Menu"="C:\\Gone\\menu.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Foo]
"DisplayName"="Foo"
"UninstallString"="C:\\Program Files\\Gone Foo\\uninst.exe -u"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\VirtualDeviceDrivers]
"a^b"="C:\\WINDOWS\\SYSTEM\\gone.vxd"
"multi"=hex(7):43,3a,5c,47,6f,6e,65,5c,6d,2e,76,78,64,00,73,65,63,6f,6e,64,00,00

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts]
"Gone NT"="C:\\Other\\gone-nt.ttf"
"Bare"=hex(1):43,3a,5c,4f,74,68,65,72,5c,62,61,72,65,2e,74,74,66

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Fonts]
"Gone 9x"="C:\\Other\\gone-9x.ttf"
)";

// A value whose text the ANSI code page cannot hold, set through the wide
// call: "C:\Gone\<U+263A><U+4E2D>.exe" with its terminator.
inline std::vector<std::uint8_t> WideText() {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : std::u16string(u"C:\\Gone\\\u263A\u4E2D.exe") + u'\0') {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}
inline constexpr const char* kWideKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\smile.exe";

// The registry as a map (key path or key path and value name, upper-cased)
// -> (type, data), taken from an export of HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER.
using Snapshot = std::map<std::string, std::tuple<std::uint32_t, std::vector<std::uint8_t>>>;

inline Snapshot Take(Registry& registry) {
    const ParsedRegFile parsed = ParseRegFile(ExportRegFile(registry));
    EXPECT_FALSE(parsed.error.has_value());
    Snapshot snapshot;
    std::string key;
    bool wanted = false;
    for (const RegFileOperation& step : parsed.operations) {
        if (step.kind == RegFileOperation::Kind::CreateKey) {
            wanted = step.root == kHkeyLocalMachine || step.root == kHkeyCurrentUser;
            key = std::string(RootNameByHandle(step.root)) + "\\" + FoldUpper(step.path);
            if (wanted) snapshot[key] = {};
        } else if (wanted && step.kind == RegFileOperation::Kind::SetValue) {
            snapshot[key + "\n" + FoldUpper(step.name)] = {step.type, step.data};
        }
    }
    return snapshot;
}

// The entries that differ between two snapshots, one per line; empty when
// they hold the same.
inline std::string Difference(const Snapshot& a, const Snapshot& b) {
    std::string text;
    for (const auto& [key, value] : a) {
        auto other = b.find(key);
        if (other == b.end()) {
            text += "only before: " + key + "\n";
        } else if (other->second != value) {
            text += "changed: " + key + "\n";
        }
    }
    for (const auto& [key, value] : b) {
        if (a.find(key) == a.end()) text += "only after: " + key + "\n";
    }
    return text;
}

struct Shortcut {
    std::string relative;
    std::string bytes;
};

inline std::vector<Shortcut> Shortcuts() {
    return {
        {"Links\\One\\Tool.lnk", std::string("L\0\0\0\x01\x14\x02\0one", 12)},
        {"Links\\Two\\Tool.lnk", "two: the same name in another folder"},
        {"Links\\Site.url", "[InternetShortcut]\r\nURL=http://gone.example/\r\n"},
    };
}

// Runs the whole round trip. files must have the folder scratch; the
// backup folder is made below it.
inline void RunRoundTrip(Registry& registry, FileSystem& files, const std::string& scratch) {
    fakes::ScriptedHost host;
    fakes::MemorySettings settings;
    fakes::RecordingSound sound;
    fakes::RecordingSink sink;
    fakes::FixedClock clock;
    ScanContext context(registry, settings, host, sound, files);
    context.view.SetSink(&sink);
    context.clock = &clock;
    InstallCheckers(context.checkers);

    const auto error = ImportRegFile(registry, kBrokenMachine);
    ASSERT_FALSE(error.has_value()) << error->line << ": " << error->message;
    {
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess, registry.CreateKeyEx(kHkeyLocalMachine, kWideKey, kKeyAllAccess, &key, nullptr));
        const std::vector<std::uint8_t> wide = WideText();
        ASSERT_EQ(kErrorSuccess,
                  registry.SetValueWide(key, "", kRegSz, wide.data(), static_cast<std::uint32_t>(wide.size())));
        ASSERT_EQ(kErrorSuccess, registry.CloseKey(key));
    }
    const std::string backups = JoinPath(scratch, "Backups");
    ASSERT_TRUE(files.CreateFolder(backups, nullptr));
    ASSERT_TRUE(settings.Write("txtBackup", backups));
    for (const char* folder : {"Links", "Links\\One", "Links\\Two"}) {
        ASSERT_TRUE(files.CreateFolder(JoinPath(scratch, folder), nullptr));
    }
    for (const Shortcut& shortcut : Shortcuts()) {
        ASSERT_TRUE(files.WriteNewFile(JoinPath(scratch, shortcut.relative), shortcut.bytes, nullptr));
    }
    const Snapshot before = Take(registry);

    // The scan: every registry entry, no drive.
    LoadlvwRegistryvaluesScanValues(context);
    for (SectionEntry& entry : context.sections.entries) entry.checked = entry.icon != kDriveEntryIcon;
    RunScan(context);
    for (const ScanSection& section : FixedSections(registry.GetPlatformId())) {
        if (section.walk != WalkKind::KeyWalk && section.walk != WalkKind::ValueWalk) continue;
        bool found = false;
        for (const ProblemRecord& row : context.lvwErrors.Rows())
            found = found || row.RegistryScanners == section.sectionName;
        EXPECT_TRUE(found) << section.sectionName;
    }
    for (const Shortcut& shortcut : Shortcuts()) context.lvwShortcut.Add({JoinPath(scratch, shortcut.relative)});
    const std::size_t problems = context.lvwErrors.Count() + context.lvwShortcut.Count();

    const RepairResult repaired = RepairProblems(context);
    EXPECT_EQ(problems, repaired.repaired);
    EXPECT_EQ(0u, repaired.left) << RepairIncompleteMessage(repaired);
    EXPECT_EQ(std::vector<std::string>{kFilesRepairedKind}, host.questions);
    EXPECT_TRUE(context.lvwErrors.Empty());
    EXPECT_TRUE(context.lvwShortcut.Empty());
    EXPECT_NE("", Difference(before, Take(registry)));
    for (const Shortcut& shortcut : Shortcuts()) {
        EXPECT_EQ(kInvalidFileAttributes, files.GetFileAttributes(JoinPath(scratch, shortcut.relative), nullptr));
    }

    const std::vector<BackupRow> listed = ListBackups(context);
    ASSERT_EQ(1u, listed.size());
    EXPECT_EQ("BackUp 10-12-26 09-05-07", listed[0].name);
    const std::vector<RestoreFileResult> restored = RestoreBackups(context, {listed[0].name});
    ASSERT_EQ(1u, restored.size());
    EXPECT_TRUE(restored[0].complete) << restored[0].error;
    for (const RestoredLine& line : restored[0].lines) {
        EXPECT_EQ(RestoredLine::Outcome::kRestored, line.outcome) << line.target << ": " << line.reason;
    }

    EXPECT_EQ("", Difference(before, Take(registry)));
    for (const Shortcut& shortcut : Shortcuts()) {
        std::string bytes;
        EXPECT_TRUE(files.ReadFileBytes(JoinPath(scratch, shortcut.relative), 1 << 20, bytes, nullptr));
        EXPECT_EQ(shortcut.bytes, bytes) << shortcut.relative;
    }
    {
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess, registry.OpenKeyEx(kHkeyLocalMachine, kWideKey, kKeyRead, &key));
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        EXPECT_EQ(kErrorSuccess, registry.QueryValueWide(key, "", &type, &data));
        EXPECT_EQ(kRegSz, type);
        EXPECT_EQ(WideText(), data);
        EXPECT_EQ(kErrorSuccess, registry.CloseKey(key));
    }
    // The backup file and its copies are gone; the folder is as it was.
    EXPECT_TRUE(ListBackups(context).empty());
    EXPECT_EQ(kInvalidFileAttributes,
              files.GetFileAttributes(ShortcutCopiesFolder(JoinPath(backups, listed[0].name)), nullptr));
}

} // namespace hs::roundtrip
