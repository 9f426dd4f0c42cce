// A small machine in memory for the repair, restore and backup manager
// tests: a registry that can refuse writes below chosen keys, a file system
// with drive C:, settings, a scripted host and a fixed clock; the backup
// folder is the program's folder, C:\Program Files\Hivesweep.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "checkers/checkers.h"
#include "platform/file_system_memory.h"
#include "platform/reg_file.h"
#include "platform/roots.h"
#include "results/backup_file.h"
#include "scan/scan_context.h"
#include "tests/support/denying_registry.h"
#include "tests/support/scan_machine.h"
#include "tests/support/test_host.h"

namespace hs::fakes {

inline constexpr const char* kBackupFolder = "C:\\Program Files\\Hivesweep";
// The backup file a repair at the fixed clock's moment writes.
inline constexpr const char* kBackupPath = "C:\\Program Files\\Hivesweep\\BackUp 10-12-26 09-05-07";

struct RepairMachine : BasicScanMachine<DenyingRegistry> {
    RepairMachine() { files.AddFolder(kBackupFolder); }

    // The value as stored, or nothing when it is missing.
    std::optional<RawValue> Value(RegKey root, const std::string& path, const std::string& name) {
        RawValue value;
        if (context.access.ReadRawValue(root, path, name, value) != kErrorSuccess) return std::nullopt;
        return value;
    }

    // Writes a backup file of these records (encoded, CR LF after each).
    void WriteBackup(const std::string& path, const std::vector<BackupRecord>& records) {
        std::string text;
        for (const BackupRecord& record : records) text += FormatBackupRecord(record) + "\r\n";
        files.AddFile(path, text);
    }
};

// UTF-16LE bytes of text, with a terminator.
inline std::vector<std::uint8_t> Utf16(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

inline BackupRecord RegistryRecord(std::string rootName, std::string keyPath, std::string valueName,
                                   std::string filePath, std::string yes = "") {
    BackupRecord record;
    record.rootName = std::move(rootName);
    record.keyPath = std::move(keyPath);
    record.valueName = std::move(valueName);
    record.filePath = std::move(filePath);
    record.defaultOrNot = std::move(yes);
    return record;
}

inline BackupRecord Kept(BackupRecord record, RawValue value) {
    record.original = BackupRecord::Original::kKept;
    record.value = std::move(value);
    return record;
}

inline BackupRecord Absent(BackupRecord record) {
    record.original = BackupRecord::Original::kAbsent;
    return record;
}

inline BackupRecord ShortcutRecord(std::string path) {
    BackupRecord record;
    record.kind = BackupRecord::Kind::kShortcut;
    record.shortcutPath = std::move(path);
    return record;
}

} // namespace hs::fakes
