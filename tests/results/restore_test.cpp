// Restoring backup files: where a restore may write, records of six and
// seven fields, the undo order, and what is kept when something fails.
#include "results/restore.h"

#include <gtest/gtest.h>

#include "tests/results/repair_machine.h"

namespace hs {
namespace {

using fakes::Absent;
using fakes::kBackupFolder;
using fakes::kBackupPath;
using fakes::Kept;
using fakes::RegistryRecord;
using fakes::ShortcutRecord;

constexpr const char* kTool = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe";
constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

const RawValue kOldText{kRegSz, fakes::Utf16(u"C:\\Old\\tool.exe")};

TEST(RestoreAllowed, OnlyWhereAWalkCanHaveFoundTheValue) {
    const struct {
        RegKey root;
        const char* path;
        bool allowed;
    } cases[] = {
        {kHkeyClassesRoot, "CLSID\\{1}\\InprocServer32", true},
        {kHkeyClassesRoot, "clsid\\{1}", true},
        {kHkeyClassesRoot, "CLSID", false},       // a key walk's start key itself
        {kHkeyClassesRoot, "CLSIDX\\{1}", false}, // no string prefix
        {kHkeyLocalMachine, "CLSID\\{1}", false}, // another root
        {kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{1}", true},
        {kHkeyLocalMachine, kRun, false}, // a value directly in Run
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Sub", true},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\", false},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\\\Sub", false},
        {kHkeyLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Sub", false},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", false},
        {kHkeyLocalMachine, kHelp, true}, // a value walk's start key
        {kHkeyLocalMachine, "software\\microsoft\\windows\\HELP", true},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\Help\\Sub", false},
        {kHkeyCurrentUser, kHelp, false},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", true},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts", false},
        {kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers", true},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Foo", true},
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\Foo\\Bar", true},
        {kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs\\X",
         true},
        {kHkeyLocalMachine, "SOFTWARE", false}, // the configuration walk records nothing
        {kHkeyLocalMachine, "SOFTWARE\\Foo", false},
        {kHkeyLocalMachine, "", false},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_EQ(c.allowed, RestoreAllowed(2, c.root, c.path, &reason)) << RootNameByHandle(c.root) << "\\" << c.path;
        EXPECT_EQ(c.allowed, reason.empty()) << c.path;
    }
    // The fonts key follows the platform.
    EXPECT_TRUE(RestoreAllowed(1, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts"));
    EXPECT_FALSE(RestoreAllowed(1, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"));

    const struct {
        const char* path;
        bool allowed;
    } shortcuts[] = {
        {"C:\\Docs\\Old.lnk", true},
        {"d:\\x\\site.URL ", true},
        {"C:\\a.lnk", true},
        {"C:\\Docs\\evil.dll", false},
        {"C:\\Docs\\..\\x.lnk", false},
        {"C:\\Docs\\\\x.lnk", false},
        {"\\\\server\\x.lnk", false},
        {"x.lnk", false},
        {"C:x.lnk", false},
        {"C:\\", false},
        {"C:\\x\\evil.exe:s.lnk", false},
        {"C:\\x\\a?.lnk", false},
    };
    for (const auto& c : shortcuts) EXPECT_EQ(c.allowed, ShortcutRestoreAllowed(c.path)) << c.path;
}

class RestoreTest : public ::testing::Test {
protected:
    RestoreFileResult Restore() { return RestoreBackupFile(machine_.context, kBackupPath); }
    std::optional<std::string> BackupText() { return machine_.files.Contents(kBackupPath); }

    fakes::RepairMachine machine_;
};

TEST_F(RestoreTest, SixFieldRecordsWriteTheFilePathBack) {
    machine_.Load(R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tool.exe]
"Path"=dword:00000007

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\Foo]
)");
    machine_.WriteBackup(
        kBackupPath,
        {
            RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "(Default)", "C:\\Tool\\tool.exe"),
            RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "Path", "C:\\Tool"),
            RegistryRecord("HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Shared Tools\\Foo", "SharedDLL",
                           "C:\\WINDOWS\\system32\\abc.dll", "Yes"),
            RegistryRecord("HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Shared Tools\\Made", "x", "C:\\x.dll"),
        });
    const RestoreFileResult result = Restore();
    EXPECT_TRUE(result.complete) << result.error;
    EXPECT_EQ(4u, result.Restored());
    // The whole path as REG_SZ, whatever the type was; "(Default)" is the
    // unnamed value; the "Yes" flag writes the file name only; a missing
    // key is made.
    EXPECT_EQ((RawValue{kRegSz, fakes::Utf16(u"C:\\Tool\\tool.exe")}), machine_.Value(kHkeyLocalMachine, kTool, ""));
    EXPECT_EQ((RawValue{kRegSz, fakes::Utf16(u"C:\\Tool")}), machine_.Value(kHkeyLocalMachine, kTool, "Path"));
    EXPECT_EQ((RawValue{kRegSz, fakes::Utf16(u"abc.dll")}),
              machine_.Value(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\Foo", "SharedDLL"));
    EXPECT_TRUE(machine_.Value(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\Made", "x").has_value());
    EXPECT_FALSE(BackupText().has_value());
}

TEST_F(RestoreTest, SevenFieldRecordsPutBackTypeAndBytesExactly) {
    machine_.Load(R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tool.exe]
"Path"="C:\\Now"
)");
    const RawValue expand{kRegExpandSz, fakes::Utf16(u"%ProgramFiles%\\\u263A\\tool.exe")};
    const RawValue odd{kRegSz, {0x41, 0x00, 0x42}};
    const std::string gone = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gone";
    machine_.WriteBackup(kBackupPath,
                         {
                             Kept(RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "(Default)", "C:\\x.exe"), expand),
                             Kept(RegistryRecord("HKEY_LOCAL_MACHINE", gone, "UninstallString", "C:\\u.exe"), odd),
                             Absent(RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "Path", "C:\\Now")),
                             Absent(RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "Never", "C:\\Now")),
                         });
    const RestoreFileResult result = Restore();
    EXPECT_TRUE(result.complete) << result.error;
    EXPECT_EQ(expand, machine_.Value(kHkeyLocalMachine, kTool, ""));
    EXPECT_EQ(odd, machine_.Value(kHkeyLocalMachine, gone, "UninstallString"));
    // An absent value restores as absent.
    EXPECT_FALSE(machine_.Value(kHkeyLocalMachine, kTool, "Path").has_value());
}

// A value changed twice in one repair (reached through HKEY_CLASSES_ROOT and
// through the machine's classes key): only the first record holds its data,
// so the records are undone last first.
TEST_F(RestoreTest, RecordsAreUndoneLastFirst) {
    machine_.Load(R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{1}\InprocServer32]
)");
    const RawValue original{kRegSz, fakes::Utf16(u"C:\\gone.dll")};
    machine_.WriteBackup(
        kBackupPath,
        {
            Kept(RegistryRecord("HKEY_CLASSES_ROOT", "CLSID\\{1}\\InprocServer32", "Extra", "C:\\gone.dll"), original),
            Absent(RegistryRecord("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", "Extra",
                                  "C:\\gone.dll")),
            Kept(RegistryRecord("HKEY_CLASSES_ROOT", "CLSID\\{1}\\InprocServer32", "(Default)", "C:\\a.dll"), original),
            Kept(RegistryRecord("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", "(Default)",
                                "C:\\a.dll"),
                 RawValue{kRegSz, {}}),
        });
    const RestoreFileResult result = Restore();
    EXPECT_TRUE(result.complete) << result.error;
    ASSERT_EQ(4u, result.lines.size());
    EXPECT_EQ(4u, result.lines.front().line);
    EXPECT_EQ(original, machine_.Value(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", "Extra"));
    EXPECT_EQ(original, machine_.Value(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", ""));
}

TEST_F(RestoreTest, CorruptLinesAndPlantedRecordsAreKeptAndTheRestRestores) {
    machine_.Load(R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run]
"Good"="C:\\good.exe"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tool.exe]
)");
    const RawValue evil{kRegSz, fakes::Utf16(u"C:\\evil.exe")};
    const std::string restorable =
        FormatBackupRecord(Kept(RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "(Default)", "x"), kOldText));
    const std::string corrupt = restorable.substr(0, 20) + std::string(1, '\x02') + restorable.substr(20);
    const std::vector<std::string> refused = {
        corrupt,
        FormatBackupRecord(Kept(RegistryRecord("HKEY_LOCAL_MACHINE", kRun, "Evil", "x"), evil)),
        FormatBackupRecord(Kept(RegistryRecord("HKEY_LOCAL_MACHINE", std::string(kRun) + "\\\\", "Evil", "x"), evil)),
        FormatBackupRecord(
            Kept(RegistryRecord("HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                                "Shell", "x"),
                 evil)),
        FormatBackupRecord(Kept(RegistryRecord("hkey_local_machine", kTool, "(Default)", "x"), evil)),
        FormatBackupRecord(ShortcutRecord("C:\\WINDOWS\\system32\\evil.dll")),
    };
    std::string text = refused[0] + "\r\n" + refused[1] + "\r\n" + restorable + "\r\n";
    for (std::size_t i = 2; i < refused.size(); ++i) text += refused[i] + "\r\n";
    machine_.files.AddFile("C:\\Program Files\\Hivesweep\\Copied\\evil.dll", "evil");
    machine_.files.AddFile(kBackupPath, text);

    const RestoreFileResult result = Restore();
    EXPECT_FALSE(result.complete);
    EXPECT_EQ("", result.error);
    EXPECT_EQ(1u, result.Restored());
    EXPECT_EQ(refused.size(), result.NotRestored());
    for (const RestoredLine& line : result.lines) {
        EXPECT_EQ(line.line == 3 ? RestoredLine::Outcome::kRestored : RestoredLine::Outcome::kRefused, line.outcome)
            << line.line;
    }
    EXPECT_EQ(kOldText, machine_.Value(kHkeyLocalMachine, kTool, ""));
    EXPECT_FALSE(machine_.Value(kHkeyLocalMachine, kRun, "Evil").has_value());
    EXPECT_FALSE(
        machine_.Value(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Shell"));
    EXPECT_FALSE(machine_.files.Contents("C:\\WINDOWS\\system32\\evil.dll").has_value());
    // The file now holds exactly the lines that were not put back, in order;
    // no temporary file is left.
    std::string keptText;
    for (const std::string& line : refused) keptText += line + "\r\n";
    EXPECT_EQ(keptText, BackupText());
    EXPECT_FALSE(machine_.files.Contents("C:\\Program Files\\Hivesweep\\~hivesweep-rewrite.tmp").has_value());
}

TEST_F(RestoreTest, AFailedUndoHoldsBackTheEarlierChangesOfTheSameValue) {
    machine_.Load(R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{1}\InprocServer32]
@=""

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tool.exe]
)");
    const RawValue original{kRegSz, fakes::Utf16(u"C:\\gone.dll")};
    const std::vector<BackupRecord> records = {
        Kept(RegistryRecord("HKEY_CLASSES_ROOT", "CLSID\\{1}\\InprocServer32", "(Default)", "C:\\gone.dll"), original),
        Kept(RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "(Default)", "C:\\x.exe"), kOldText),
        Kept(RegistryRecord("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", "(Default)",
                            "C:\\gone.dll"),
             RawValue{kRegBinary, {1}}),
    };
    machine_.WriteBackup(kBackupPath, records);
    machine_.registry.Deny(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID");
    const RestoreFileResult result = Restore();
    ASSERT_EQ(3u, result.lines.size());
    EXPECT_EQ(RestoredLine::Outcome::kFailed, result.lines[0].outcome);
    EXPECT_EQ("access denied", result.lines[0].reason);
    EXPECT_EQ(RestoredLine::Outcome::kRestored, result.lines[1].outcome);
    EXPECT_EQ(RestoredLine::Outcome::kHeldBack, result.lines[2].outcome);
    EXPECT_EQ(kOldText, machine_.Value(kHkeyLocalMachine, kTool, ""));
    EXPECT_EQ(FormatBackupRecord(records[0]) + "\r\n" + FormatBackupRecord(records[2]) + "\r\n", BackupText());

    // Once the key may be written, the rest restores, in the right order.
    machine_.registry.AllowAll();
    EXPECT_TRUE(Restore().complete);
    EXPECT_EQ(original, machine_.Value(kHkeyClassesRoot, "CLSID\\{1}\\InprocServer32", ""));
    EXPECT_FALSE(BackupText().has_value());
}

TEST_F(RestoreTest, AFileThatCannotBeRewrittenStaysWhole) {
    machine_.Load("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe]\n");
    machine_.WriteBackup(kBackupPath, {
                                          Kept(RegistryRecord("HKEY_LOCAL_MACHINE", kTool, "(Default)", "x"), kOldText),
                                          Kept(RegistryRecord("HKEY_LOCAL_MACHINE", kRun, "Evil", "x"), kOldText),
                                      });
    const std::optional<std::string> before = BackupText();
    machine_.files.DenyWritesUnder(kBackupFolder);
    const RestoreFileResult result = Restore();
    EXPECT_FALSE(result.complete);
    EXPECT_NE("", result.error);
    EXPECT_EQ(before, BackupText());
}

TEST_F(RestoreTest, ShortcutsComeBackFromTheirCopies) {
    MemoryFileSystem& files = machine_.files;
    // Copies of this backup file, and the copy under the shortcut's own name
    // in the backup folder that older files used.
    files.AddFile(ShortcutCopyPath(kBackupPath, "C:\\One\\Tool.lnk"), "one");
    files.AddFile(ShortcutCopyPath(kBackupPath, "C:\\Two\\Tool.lnk"), "two");
    files.AddFolder("C:\\One");
    files.AddFolder("C:\\Two");
    files.AddFile("C:\\Two\\Tool.lnk", "two"); // its deletion was refused
    machine_.WriteBackup(kBackupPath, {ShortcutRecord("C:\\One\\Tool.lnk"), ShortcutRecord("C:\\Two\\Tool.lnk"),
                                       ShortcutRecord("C:\\Three\\Missing.lnk")});
    RestoreFileResult result = Restore();
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(std::optional<std::string>("one"), files.Contents("C:\\One\\Tool.lnk"));
    EXPECT_EQ(std::optional<std::string>("two"), files.Contents("C:\\Two\\Tool.lnk"));
    // The copies of the shortcuts that are back are gone.
    EXPECT_FALSE(files.Contents(ShortcutCopyPath(kBackupPath, "C:\\One\\Tool.lnk")).has_value());
    EXPECT_EQ(FormatBackupRecord(ShortcutRecord("C:\\Three\\Missing.lnk")) + "\r\n", BackupText());

    // A file of the older layout: no copies folder, the copy beside it.
    const std::string older = "C:\\Program Files\\Hivesweep\\BackUp 01-01-20 10-00-00";
    machine_.WriteBackup(older, {ShortcutRecord("C:\\Docs\\Old.lnk")});
    files.AddFile("C:\\Program Files\\Hivesweep\\Old.lnk", "old");
    files.AddFolder("C:\\Docs");
    result = RestoreBackupFile(machine_.context, older);
    EXPECT_TRUE(result.complete) << result.error;
    EXPECT_EQ(std::optional<std::string>("old"), files.Contents("C:\\Docs\\Old.lnk"));
    EXPECT_FALSE(files.Contents("C:\\Program Files\\Hivesweep\\Old.lnk").has_value());
}

TEST_F(RestoreTest, AMissingFileIsReportedAsNotFound) {
    const RestoreFileResult result = Restore();
    EXPECT_FALSE(result.found);
    EXPECT_FALSE(result.complete);
    EXPECT_TRUE(result.lines.empty());
}

} // namespace
} // namespace hs
