// Registry backup files: the line codec, the records, the file and folder
// names, and the writer the repair calls before every change.
//
// A backup file is a sequence of CR LF ended lines, one record per line, in
// the order the repair made its changes:
//   R^root name^key path^file path^value name^Yes flag^original value
//   S^shortcut path
// Every byte b of a line is stored as b + kBackupLineOffset. A byte whose
// shifted code would be CR, LF or above 255, a NUL, and a "^" inside a field
// are stored as kBackupEscape followed by the byte with its top bit flipped.
// Plain bytes are never below kBackupLineOffset + 1 and an escape is never
// CR or LF, so every record reads back as one line with exactly its fields.
//
// The seventh field of a registry record keeps the value as it was just
// before the change: "<type>:<data as hex>", the data as the wide-character
// registry call gives it, or "absent" when the value was already gone.
// Records of six fields (written without it) are still read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/registry_access.h"

namespace hs {

class FileSystem;
class ScanContext;
struct ProblemRecord;
struct ShortcutProblem;

// K, the line offset: the smallest that keeps CR and LF rare (only text
// bytes 7 and 10 shift onto them).
inline constexpr int kBackupLineOffset = 3;
// The escape marker: below every plain byte, and no line end.
inline constexpr unsigned char kBackupEscape = 0x01;

inline constexpr char kBackupSeparator = '^';
inline constexpr std::string_view kBackupNamePrefix = "BackUp ";
inline constexpr std::string_view kAbsentValue = "absent";

// Encodes a whole line of text; "^" is taken as a separator and stays plain.
std::string EncodeBackupLine(std::string_view text);
// Decodes a line as EncodeBackupLine wrote it, escapes resolved (an escaped
// "^" comes back as "^", so split fields with DecodeBackupFields). Nothing
// for a line that no encoder writes.
std::optional<std::string> DecodeBackupLine(std::string_view line);

// Encodes fields joined by "^", a "^" inside a field escaped.
std::string EncodeBackupFields(const std::vector<std::string>& fields);
// The fields of an encoded line; nothing for a line that no encoder writes.
std::optional<std::vector<std::string>> DecodeBackupFields(std::string_view line);

// The part of path after its last "\"; empty when path is blank after
// trimming or holds no "\".
std::string FileNameOfPath(std::string_view path);

// One line of a backup file.
struct BackupRecord {
    enum class Kind { kRegistry, kShortcut };
    // What the seventh field says about the value before the change.
    enum class Original { kNotKept, kAbsent, kKept };

    Kind kind = Kind::kRegistry;
    // Registry records.
    std::string rootName;
    std::string keyPath;
    std::string filePath;
    std::string valueName;    // "(Default)" for the key's unnamed value
    std::string defaultOrNot; // "Yes" or empty
    Original original = Original::kNotKept;
    RawValue value; // when original is kKept
    // Shortcut records.
    std::string shortcutPath;

    bool operator==(const BackupRecord&) const = default;
};

// The encoded line of a record, without its line end.
std::string FormatBackupRecord(const BackupRecord& record);

// A decoded line: the record, or why the line was refused.
struct ParsedBackupLine {
    std::optional<BackupRecord> record;
    std::string error;
};
ParsedBackupLine ParseBackupLine(std::string_view line);

// The seventh field's text for a value, and back. ParseOriginalValue gives
// nothing for text that is neither "absent" nor "<type>:<hex>".
std::string FormatOriginalValue(const std::optional<RawValue>& value);
std::optional<std::optional<RawValue>> ParseOriginalValue(std::string_view text);

// ---- names and folders

// "BackUp dd-mm-yy hh-mm-ss" for a moment.
std::string BackupFileName(const LocalTime& time);
// folder "\" name, without doubling a backslash the folder ends with.
std::string JoinPath(std::string_view folder, std::string_view name);
// The backup folder: the setting "txtBackup", the program's folder when it
// is absent or blank.
std::string BackupFolder(ScanContext& context);
// The folder of the shortcut copies of one backup file: its path and
// ".copies". As a folder it is never listed among the backup files.
std::string ShortcutCopiesFolder(std::string_view backupFilePath);
// The name of the folder, inside the copies folder, that holds the copy of
// one shortcut path: 16 hexadecimal digits from the path's upper-cased text,
// so that shortcuts of one name from different folders never share a copy.
std::string ShortcutCopyKey(std::string_view shortcutPath);
// Where a backup file keeps the copy of a shortcut.
std::string ShortcutCopyPath(std::string_view backupFilePath, std::string_view shortcutPath);

// ---- the writer

// Whether backups are made: "chkMakeBackUp" (default 1) is not 0 (nor
// "False"). Text that reads as neither counts as on.
bool BackupsEnabled(ScanContext& context);

// The outcome of one backup step: ok, or why not (for a person).
struct BackupStep {
    bool ok = true;
    std::string reason;
};

// Appends one record and its line end to the backup file, creating the file
// when missing; ok only once the line is on the disk.
BackupStep AppendBackupRecord(FileSystem& files, const std::string& backupFilePath, const BackupRecord& record);

// The record of a registry problem with the value as read before the change
// (nothing: the value was already gone).
BackupRecord RegistryBackupRecord(const ProblemRecord& row, const std::optional<RawValue>& original);

// Writes the registry record of a problem row.
BackupStep WriteBackupRecord(FileSystem& files, const std::string& backupFilePath, const ProblemRecord& row,
                             const std::optional<RawValue>& original);

// Copies a shortcut file to its place in the copies folder of the backup
// file (folders made as needed) and flushes the copy to the disk. Then
// appends its record. With keepExistingCopy, a copy already there is kept:
// it holds the file as it was before an earlier change recorded in the same
// backup file. A record that could not be written takes its fresh copy away
// again.
BackupStep WriteBackupRecord(FileSystem& files, const std::string& backupFilePath, const ShortcutProblem& row,
                             bool keepExistingCopy);

} // namespace hs
