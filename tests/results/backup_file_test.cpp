// The backup file: line codec, records, names, and the writer.
#include "results/backup_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/problems.h"
#include "tests/support/scan_machine.h"

namespace hs {
namespace {

std::string Shift(std::string_view text) {
    std::string out;
    for (char c : text) out += static_cast<char>(static_cast<unsigned char>(c) + kBackupLineOffset);
    return out;
}

BackupRecord AppPathRecord() {
    BackupRecord record;
    record.rootName = "HKEY_LOCAL_MACHINE";
    record.keyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe";
    record.filePath = "C:\\Program Files\\Tool\\tool.exe";
    record.valueName = "(Default)";
    return record;
}

TEST(BackupLine, ARecordIsItsFieldsJoinedAndShifted) {
    BackupRecord record = AppPathRecord();
    // Without the kept value: the six fields, ending with the separator.
    EXPECT_EQ(Shift("R^HKEY_LOCAL_MACHINE^SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe^"
                    "C:\\Program Files\\Tool\\tool.exe^(Default)^"),
              FormatBackupRecord(record));
    record.original = BackupRecord::Original::kKept;
    record.value = RawValue{kRegSz, {'C', 0, 0, 0}};
    EXPECT_EQ(Shift("R^HKEY_LOCAL_MACHINE^SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe^"
                    "C:\\Program Files\\Tool\\tool.exe^(Default)^^1:43000000"),
              FormatBackupRecord(record));
    record.original = BackupRecord::Original::kAbsent;
    EXPECT_EQ(Shift("^absent"), FormatBackupRecord(record).substr(FormatBackupRecord(record).size() - 7));

    BackupRecord shortcut;
    shortcut.kind = BackupRecord::Kind::kShortcut;
    shortcut.shortcutPath = "C:\\Docs\\Old.lnk";
    EXPECT_EQ(Shift("S^C:\\Docs\\Old.lnk"), FormatBackupRecord(shortcut));
    EXPECT_EQ(std::optional<std::string>("S^C:\\Docs\\Old.lnk"), DecodeBackupLine(FormatBackupRecord(shortcut)));
}

// Every byte value, in every field, next to a "^": one line without a line
// end byte, that reads back as exactly the record written.
TEST(BackupLine, EveryByteInEveryFieldReadsBackExactly) {
    for (int b = 0; b <= 255; ++b) {
        SCOPED_TRACE(b);
        const std::string piece = std::string("a^") + static_cast<char>(b) + "^";
        BackupRecord record;
        record.rootName = "HKEY_LOCAL_MACHINE" + piece;
        record.keyPath = piece + "Key";
        record.filePath = piece;
        record.valueName = piece + piece;
        record.defaultOrNot = piece;
        record.original = BackupRecord::Original::kKept;
        record.value = RawValue{static_cast<std::uint32_t>(b) * 0x01010101u, {static_cast<std::uint8_t>(b), 0x5E}};
        BackupRecord shortcut;
        shortcut.kind = BackupRecord::Kind::kShortcut;
        shortcut.shortcutPath = "C:\\" + piece + ".lnk";
        for (const BackupRecord& r : {record, shortcut}) {
            const std::string line = FormatBackupRecord(r);
            EXPECT_EQ(std::string::npos, line.find_first_of("\r\n"));
            for (char c : line) {
                const auto byte = static_cast<unsigned char>(c);
                EXPECT_TRUE(byte == kBackupEscape || byte > kBackupLineOffset) << int(byte);
            }
            const ParsedBackupLine parsed = ParseBackupLine(line);
            ASSERT_TRUE(parsed.record.has_value()) << parsed.error;
            EXPECT_EQ(r, *parsed.record);
        }
        // A whole line of text reads back too; "^" stays a separator there.
        const std::string text = "R^" + piece;
        EXPECT_EQ(std::optional<std::string>(text), DecodeBackupLine(EncodeBackupLine(text)));
    }
}

TEST(BackupLine, LinesNoWriterProducesAreRefused) {
    const std::string k(1, static_cast<char>(kBackupEscape));
    const struct {
        std::string line;
        const char* why;
    } cases[] = {
        {Shift("R^HKEY_LOCAL_MACHINE^Key^C:\\x.dll^name"), "registry record of five fields"},
        {Shift("R^HKEY_LOCAL_MACHINE^Key^C:\\x.dll^name^^1:00^extra"), "registry record of eight fields"},
        {Shift("S"), "shortcut record of one field"},
        {Shift("S^C:\\a.lnk^C:\\b.lnk"), "shortcut record of three fields"},
        {Shift("X^C:\\a.lnk"), "unknown kind"},
        {"", "empty line"},
        {Shift("R^H^K^F^N^^1:ABC"), "odd number of hex digits"},
        {Shift("R^H^K^F^N^^x:00"), "type no number"},
        {Shift("R^H^K^F^N^^-1:00"), "negative type"},
        {Shift("R^H^K^F^N^^4294967296:00"), "type above 32 bits"},
        {Shift("R^H^K^F^N^^1:0G"), "no hex digit"},
        {Shift("R^H^K^F^N^^"), "empty seventh field"},
        {Shift("R^H^K^F^N^^Absent"), "absent spelled otherwise"},
        {Shift("S^C:") + std::string(1, '\x02') + Shift("a.lnk"), "byte below the offset"},
        {Shift("S^C:\\a.lnk") + k, "escape at the end"},
        {Shift("S^C:") + k + static_cast<char>('a' ^ 0x80), "escape of a plain byte"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const ParsedBackupLine parsed = ParseBackupLine(c.line);
        EXPECT_FALSE(parsed.record.has_value());
        EXPECT_FALSE(parsed.error.empty());
    }
    // A six-field record ending with the separator reads, without a kept value.
    const ParsedBackupLine six = ParseBackupLine(Shift(" r ^HKEY_CURRENT_USER^Key^C:\\x.dll^(Default)^"));
    ASSERT_TRUE(six.record.has_value()) << six.error;
    EXPECT_EQ(BackupRecord::Original::kNotKept, six.record->original);
    EXPECT_EQ("(Default)", six.record->valueName);
}

TEST(BackupNames, FileNameOfPathAndBackupFileName) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Docs\\Old.lnk", "Old.lnk"}, {"C:\\a\\b\\", ""}, {"Old.lnk", ""}, {"", ""}, {"   ", ""}, {"\\x", "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.name, FileNameOfPath(c.path)) << c.path;

    EXPECT_EQ("BackUp 08-12-25 21-14-03", BackupFileName(LocalTime{2025, 12, 8, 21, 14, 3}));
    EXPECT_EQ("BackUp 01-01-00 00-00-00", BackupFileName(LocalTime{2000, 1, 1, 0, 0, 0}));
    EXPECT_EQ("C:\\BackUp x", JoinPath("C:\\", "BackUp x"));
    EXPECT_EQ("C:\\Keep\\BackUp x", JoinPath("C:\\Keep", "BackUp x"));
}

TEST(BackupNames, ShortcutsOfOneNameFromTwoFoldersGetTwoCopies) {
    const std::string file = "C:\\Keep\\BackUp 08-12-25 21-14-03";
    const std::string a = ShortcutCopyPath(file, "C:\\One\\Tool.lnk");
    const std::string b = ShortcutCopyPath(file, "C:\\Two\\Tool.lnk");
    EXPECT_NE(a, b);
    EXPECT_EQ(0u, a.rfind(file + ".copies\\", 0)) << a;
    EXPECT_EQ("\\Tool.lnk", a.substr(a.size() - 9));
    // Paths are compared as Windows compares them.
    EXPECT_EQ(a, ShortcutCopyPath(file, "c:\\one\\TOOL.LNK").substr(0, a.size() - 8) + "Tool.lnk");
}

TEST(BackupSettings, FolderAndSwitch) {
    fakes::ScanMachine machine;
    ScanContext& context = machine.context;
    EXPECT_EQ("C:\\Program Files\\Hivesweep", BackupFolder(context));
    ASSERT_TRUE(machine.settings.Write("txtBackUp", "   "));
    EXPECT_EQ("C:\\Program Files\\Hivesweep", BackupFolder(context));
    ASSERT_TRUE(machine.settings.Write("txtBackup", " D:\\Keep "));
    EXPECT_EQ("D:\\Keep", BackupFolder(context));

    EXPECT_TRUE(BackupsEnabled(context));
    const struct {
        const char* stored;
        bool enabled;
    } flags[] = {{"0", false}, {" 0 ", false}, {"False", false}, {"1", true}, {"2", true}, {"-1", true}, {"x", true}};
    for (const auto& f : flags) {
        ASSERT_TRUE(machine.settings.Write("chkMakeBackUp", f.stored));
        EXPECT_EQ(f.enabled, BackupsEnabled(context)) << f.stored;
    }
}

TEST(BackupWriter, RecordsAppendWithLineEndsAndShortcutCopiesKeepTheirBytes) {
    MemoryFileSystem files;
    files.AddFolder("C:\\Keep");
    files.AddFile("C:\\One\\Tool.lnk", std::string("L\0\0\0one", 7), kAttrArchive | kAttrReadOnly);
    files.AddFile("C:\\Two\\Tool.lnk", "two");
    const std::string file = "C:\\Keep\\BackUp 08-12-25 21-14-03";

    ProblemRecord row;
    row.MainKey = "-2147483646";
    row.mainkeyname = "HKEY_LOCAL_MACHINE";
    row.FullKeyPath = "SOFTWARE\\Key";
    row.KeyValue = "C:\\gone.dll";
    row.KeyName = "Path";
    EXPECT_TRUE(WriteBackupRecord(files, file, row, RawValue{kRegSz, {0x41, 0}}).ok);
    EXPECT_TRUE(WriteBackupRecord(files, file, ShortcutProblem{"C:\\One\\Tool.lnk"}, false).ok);
    EXPECT_TRUE(WriteBackupRecord(files, file, ShortcutProblem{"C:\\Two\\Tool.lnk"}, false).ok);
    EXPECT_EQ(Shift("R^HKEY_LOCAL_MACHINE^SOFTWARE\\Key^C:\\gone.dll^Path^^1:4100") + "\r\n" +
                  Shift("S^C:\\One\\Tool.lnk") + "\r\n" + Shift("S^C:\\Two\\Tool.lnk") + "\r\n",
              files.Contents(file));
    EXPECT_EQ(std::optional<std::string>(std::string("L\0\0\0one", 7)),
              files.Contents(ShortcutCopyPath(file, "C:\\One\\Tool.lnk")));
    EXPECT_EQ(std::optional<std::string>("two"), files.Contents(ShortcutCopyPath(file, "C:\\Two\\Tool.lnk")));
    // The copy is an ordinary file, whatever marks the shortcut had.
    EXPECT_EQ(kAttrArchive, files.GetFileAttributes(ShortcutCopyPath(file, "C:\\One\\Tool.lnk"), nullptr));

    // A copy kept from an earlier change of the same file stays as it was.
    files.AddFile("C:\\Two\\Tool.lnk", "two, later");
    EXPECT_TRUE(WriteBackupRecord(files, file, ShortcutProblem{"C:\\Two\\Tool.lnk"}, true).ok);
    EXPECT_EQ(std::optional<std::string>("two"), files.Contents(ShortcutCopyPath(file, "C:\\Two\\Tool.lnk")));

    // A record that cannot be written takes its fresh copy away again.
    files.AddFile("C:\\Three\\Other.lnk", "three");
    files.FailWrite(2); // the copy is the first write, the record the second
    const BackupStep failed = WriteBackupRecord(files, file, ShortcutProblem{"C:\\Three\\Other.lnk"}, false);
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.reason.empty());
    EXPECT_FALSE(files.Contents(ShortcutCopyPath(file, "C:\\Three\\Other.lnk")).has_value());
    // A shortcut that cannot be read gets no record.
    const std::string before = *files.Contents(file);
    EXPECT_FALSE(WriteBackupRecord(files, file, ShortcutProblem{"C:\\Missing\\x.lnk"}, false).ok);
    EXPECT_FALSE(WriteBackupRecord(files, file, ShortcutProblem{"NoFolder.lnk"}, false).ok);
    EXPECT_EQ(before, files.Contents(file));
}

} // namespace
} // namespace hs
