// Registry backup files: codec, records, names and the writer.
#include "results/backup_file.h"

#include <charconv>
#include <cstdio>

#include "platform/file_system.h"
#include "scan/problems.h"
#include "scan/scan_context.h"

namespace hs {

namespace {

constexpr unsigned char kEscapeFlip = 0x80;
constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kLineEnd = "\r\n";

// True for a byte that cannot be stored shifted: its code plus K is a line
// end or above 255, or it is the NUL (whose shifted code is K itself).
bool NeedsEscape(unsigned char byte) {
    const int shifted = byte + kBackupLineOffset;
    return byte == 0 || shifted == '\r' || shifted == '\n' || shifted > 255;
}

void AppendEscaped(std::string& out, unsigned char byte) {
    out += static_cast<char>(kBackupEscape);
    out += static_cast<char>(byte ^ kEscapeFlip);
}

void AppendEncoded(std::string& out, std::string_view text, bool escapeSeparator) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsEscape(byte) || (escapeSeparator && c == kBackupSeparator)) {
            AppendEscaped(out, byte);
        } else {
            out += static_cast<char>(byte + kBackupLineOffset);
        }
    }
}

// Walks an encoded line: each decoded byte is handed to sink with whether
// it came escaped. False for a line no encoder writes: a byte below K + 1
// that is no escape, an escape at the end, or an escape of a byte that is
// stored plain.
template <typename Sink>
bool WalkEncoded(std::string_view line, Sink sink) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte == kBackupEscape) {
            if (i + 1 == line.size()) return false;
            const auto decoded = static_cast<unsigned char>(static_cast<unsigned char>(line[++i]) ^ kEscapeFlip);
            if (!NeedsEscape(decoded) && decoded != static_cast<unsigned char>(kBackupSeparator)) return false;
            sink(static_cast<char>(decoded), true);
        } else if (byte <= kBackupLineOffset || byte == '\r' || byte == '\n') {
            return false;
        } else {
            sink(static_cast<char>(byte - kBackupLineOffset), false);
        }
    }
    return true;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string TwoDigits(int n) {
    char text[4];
    std::snprintf(text, sizeof text, "%02d", n % 100);
    return text;
}

} // namespace

std::string EncodeBackupLine(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    AppendEncoded(out, text, false);
    return out;
}

std::optional<std::string> DecodeBackupLine(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    if (!WalkEncoded(line, [&](char c, bool) { out += c; })) return std::nullopt;
    return out;
}

std::string EncodeBackupFields(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += static_cast<char>(kBackupSeparator + kBackupLineOffset);
        AppendEncoded(out, fields[i], true);
    }
    return out;
}

std::optional<std::vector<std::string>> DecodeBackupFields(std::string_view line) {
    std::vector<std::string> fields(1);
    const bool ok = WalkEncoded(line, [&](char c, bool escaped) {
        if (c == kBackupSeparator && !escaped) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    });
    if (!ok) return std::nullopt;
    return fields;
}

std::string FileNameOfPath(std::string_view path) {
    if (TrimBlanks(path).empty()) return {};
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(slash + 1));
}

std::string FormatOriginalValue(const std::optional<RawValue>& value) {
    if (!value) return std::string(kAbsentValue);
    std::string text = std::to_string(value->type) + ":";
    text.reserve(text.size() + value->data.size() * 2);
    for (std::uint8_t byte : value->data) {
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

std::optional<std::optional<RawValue>> ParseOriginalValue(std::string_view text) {
    if (text == kAbsentValue) return std::optional<RawValue>();
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    RawValue value;
    const std::string_view type = text.substr(0, colon);
    auto [end, error] = std::from_chars(type.data(), type.data() + type.size(), value.type);
    if (error != std::errc() || end != type.data() + type.size()) return std::nullopt;
    const std::string_view hex = text.substr(colon + 1);
    if (hex.size() % 2 != 0) return std::nullopt;
    value.data.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]), low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        value.data.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return std::optional<RawValue>(std::move(value));
}

std::string FormatBackupRecord(const BackupRecord& record) {
    if (record.kind == BackupRecord::Kind::kShortcut) return EncodeBackupFields({"S", record.shortcutPath});
    std::vector<std::string> fields = {
        "R", record.rootName, record.keyPath, record.filePath, record.valueName, record.defaultOrNot};
    if (record.original == BackupRecord::Original::kAbsent) fields.push_back(FormatOriginalValue(std::nullopt));
    if (record.original == BackupRecord::Original::kKept) fields.push_back(FormatOriginalValue(record.value));
    return EncodeBackupFields(fields);
}

ParsedBackupLine ParseBackupLine(std::string_view line) {
    ParsedBackupLine parsed;
    auto fields = DecodeBackupFields(line);
    if (!fields) {
        parsed.error = "the line is not in the backup file's encoding";
        return parsed;
    }
    const std::string kind = Upper(TrimBlanks((*fields)[0]));
    BackupRecord record;
    if (kind == "R") {
        if (fields->size() != 6 && fields->size() != 7) {
            parsed.error = "a registry record has " + std::to_string(fields->size()) + " fields";
            return parsed;
        }
        record.kind = BackupRecord::Kind::kRegistry;
        record.rootName = (*fields)[1];
        record.keyPath = (*fields)[2];
        record.filePath = (*fields)[3];
        record.valueName = (*fields)[4];
        record.defaultOrNot = (*fields)[5];
        if (fields->size() == 7) {
            auto original = ParseOriginalValue((*fields)[6]);
            if (!original) {
                parsed.error = "the kept value of a registry record does not read";
                return parsed;
            }
            record.original = *original ? BackupRecord::Original::kKept : BackupRecord::Original::kAbsent;
            if (*original) record.value = std::move(**original);
        }
    } else if (kind == "S") {
        if (fields->size() != 2) {
            parsed.error = "a shortcut record has " + std::to_string(fields->size()) + " fields";
            return parsed;
        }
        record.kind = BackupRecord::Kind::kShortcut;
        record.shortcutPath = (*fields)[1];
    } else {
        parsed.error = "the line is no registry or shortcut record";
        return parsed;
    }
    parsed.record = std::move(record);
    return parsed;
}

std::string BackupFileName(const LocalTime& time) {
    return std::string(kBackupNamePrefix) + TwoDigits(time.day) + "-" + TwoDigits(time.month) + "-" +
           TwoDigits(time.year) + " " + TwoDigits(time.hour) + "-" + TwoDigits(time.minute) + "-" +
           TwoDigits(time.second);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    path += name;
    return path;
}

std::string BackupFolder(ScanContext& context) {
    const std::string programFolder = context.files.ProgramFolder();
    const std::string folder = TrimBlanks(context.settings.Read("txtBackup", programFolder));
    return folder.empty() ? programFolder : folder;
}

std::string ShortcutCopiesFolder(std::string_view backupFilePath) { return std::string(backupFilePath) + ".copies"; }

std::string ShortcutCopyKey(std::string_view shortcutPath) {
    // FNV-1a, 64 bits, of the path as Windows compares it.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char c : Upper(shortcutPath)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    std::string key(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) key[static_cast<std::size_t>(i)] = kHexDigits[hash & 0x0F];
    return key;
}

std::string ShortcutCopyPath(std::string_view backupFilePath, std::string_view shortcutPath) {
    return JoinPath(JoinPath(ShortcutCopiesFolder(backupFilePath), ShortcutCopyKey(shortcutPath)),
                    FileNameOfPath(shortcutPath));
}

bool BackupsEnabled(ScanContext& context) {
    // Only a stored 0 (or "False") turns backups off; unreadable text leaves
    // them on, the safe side.
    const std::optional<bool> flag = SettingAsTruth(context.settings.Read("chkMakeBackUp", 1L));
    return !flag || *flag;
}

BackupStep AppendBackupRecord(FileSystem& files, const std::string& backupFilePath, const BackupRecord& record) {
    std::string line = FormatBackupRecord(record);
    line += kLineEnd;
    std::uint32_t error = 0;
    if (files.AppendToFile(backupFilePath, line, &error)) return {};
    return {false, "the backup file could not be written (error " + std::to_string(error) + ")"};
}

BackupRecord RegistryBackupRecord(const ProblemRecord& row, const std::optional<RawValue>& original) {
    BackupRecord record;
    record.kind = BackupRecord::Kind::kRegistry;
    record.rootName = row.mainkeyname;
    record.keyPath = row.FullKeyPath;
    record.filePath = row.KeyValue;
    record.valueName = row.KeyName;
    record.defaultOrNot = row.DefaultOrNot;
    record.original = original ? BackupRecord::Original::kKept : BackupRecord::Original::kAbsent;
    if (original) record.value = *original;
    return record;
}

BackupStep WriteBackupRecord(FileSystem& files, const std::string& backupFilePath, const ProblemRecord& row,
                             const std::optional<RawValue>& original) {
    return AppendBackupRecord(files, backupFilePath, RegistryBackupRecord(row, original));
}

namespace {

// The folder exists afterwards (made now or before).
bool EnsureFolder(FileSystem& files, const std::string& path, std::uint32_t& error) {
    if (files.CreateFolder(path, &error)) return true;
    const std::uint32_t attributes = files.GetFileAttributes(path, nullptr);
    return attributes != kInvalidFileAttributes && (attributes & kAttrDirectory) != 0;
}

// Shortcut files are small; anything larger is no shortcut the scan lists.
constexpr std::uint64_t kMaxShortcutBytes = 64ull << 20;

} // namespace

BackupStep WriteBackupRecord(FileSystem& files, const std::string& backupFilePath, const ShortcutProblem& row,
                             bool keepExistingCopy) {
    const std::string& path = row.path;
    if (FileNameOfPath(path).empty()) return {false, "the shortcut path names no file"};
    const std::string copiesFolder = ShortcutCopiesFolder(backupFilePath);
    const std::string keyFolder = JoinPath(copiesFolder, ShortcutCopyKey(path));
    const std::string copy = ShortcutCopyPath(backupFilePath, path);
    std::uint32_t error = 0;
    if (!EnsureFolder(files, copiesFolder, error) || !EnsureFolder(files, keyFolder, error)) {
        return {false, "the folder of the shortcut copies could not be made (error " + std::to_string(error) + ")"};
    }
    const bool kept = keepExistingCopy && files.GetFileAttributes(copy, nullptr) != kInvalidFileAttributes;
    if (!kept) {
        // Read and written anew, not copied: the copy is flushed to the disk
        // and never takes the shortcut's read-only or hidden marks.
        std::string bytes;
        if (!files.ReadFileBytes(path, kMaxShortcutBytes, bytes, &error)) {
            return {false, "the shortcut file could not be read (error " + std::to_string(error) + ")"};
        }
        if (!files.WriteNewFile(copy, bytes, &error)) {
            return {false, "the shortcut copy could not be written (error " + std::to_string(error) + ")"};
        }
    }
    BackupRecord record;
    record.kind = BackupRecord::Kind::kShortcut;
    record.shortcutPath = path;
    BackupStep step = AppendBackupRecord(files, backupFilePath, record);
    if (!step.ok && !kept) static_cast<void>(files.DeleteFile(copy, nullptr));
    return step;
}

} // namespace hs
