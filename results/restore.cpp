// Replaying backup files.
#include "results/restore.h"

#include <optional>
#include <set>

#include "platform/file_system.h"
#include "platform/reg_text.h"
#include "platform/registry_access.h"
#include "platform/roots.h"
#include "results/failure_text.h"
#include "scan/catalogue.h"
#include "scan/scan_context.h"

namespace hs {

namespace {

constexpr std::string_view kDefaultValueName = "(Default)";
constexpr std::string_view kRewriteName = "~hivesweep-rewrite.tmp";
constexpr std::uint64_t kMaxShortcutBytes = 64ull << 20;

// The components of a key path; nothing when one of them is empty (a
// leading, trailing or doubled backslash, or an empty path).
std::optional<std::vector<std::string>> KeyComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty()) return std::nullopt;
        parts.push_back(FoldUpper(part));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

// The value a record names, the same for every spelling that can reach it:
// the classes below HKEY_CLASSES_ROOT and the two keys it merges count as
// one place, names without regard to case.
std::string TargetIdentity(const BackupRecord& record) {
    if (record.kind == BackupRecord::Kind::kShortcut) return "S\n" + FoldUpper(record.shortcutPath);
    std::string path = FoldUpper(record.keyPath);
    std::string root = record.rootName;
    constexpr std::string_view kClasses = "SOFTWARE\\CLASSES\\";
    if (root == "HKEY_CLASSES_ROOT") {
        root = "CLASSES";
    } else if ((root == "HKEY_LOCAL_MACHINE" || root == "HKEY_CURRENT_USER") && path.rfind(kClasses, 0) == 0) {
        root = "CLASSES";
        path.erase(0, kClasses.size());
    }
    const std::string name = record.valueName == kDefaultValueName ? std::string() : FoldUpper(record.valueName);
    return "R\n" + root + "\n" + path + "\n" + name;
}

std::string Describe(const BackupRecord& record) {
    if (record.kind == BackupRecord::Kind::kShortcut) return record.shortcutPath;
    return record.rootName + "\\" + record.keyPath + " : " + record.valueName;
}

struct Step {
    RestoredLine::Outcome outcome = RestoredLine::Outcome::kRestored;
    std::string reason;
};

Step Failed(std::string reason) { return {RestoredLine::Outcome::kFailed, std::move(reason)}; }
Step Refused(std::string reason) { return {RestoredLine::Outcome::kRefused, std::move(reason)}; }

Step RestoreRegistryRecord(ScanContext& context, const BackupRecord& record) {
    const std::optional<RegKey> root = RootHandleByName(record.rootName);
    if (!root) return Refused("unknown root \"" + record.rootName + "\"");
    std::string why;
    if (!RestoreAllowed(context.access.GetPlatformId(), *root, record.keyPath, &why)) return Refused(why);
    const std::string name = record.valueName == kDefaultValueName ? std::string() : record.valueName;
    RegStatus status = kErrorSuccess;
    switch (record.original) {
    case BackupRecord::Original::kKept: {
        // A value that already holds what was kept is back: so a record of
        // a change that was then refused (access denied) restores too.
        RawValue now;
        if (context.access.ReadRawValue(*root, record.keyPath, name, now) == kErrorSuccess && now == record.value)
            break;
        status = context.access.WriteRawValueCreatingKey(*root, record.keyPath, name, record.value);
        break;
    }
    case BackupRecord::Original::kAbsent:
        // The value did not exist before the change: it goes again.
        status = context.access.DeleteValue(*root, record.keyPath, name);
        if (status == kErrorFileNotFound) status = kErrorSuccess;
        break;
    case BackupRecord::Original::kNotKept:
        if (FoldUpper(TrimBlanks(record.defaultOrNot)) == "YES") {
            const std::size_t slash = record.filePath.rfind('\\');
            const std::string data =
                slash == std::string::npos ? TrimBlanks(record.filePath) : record.filePath.substr(slash + 1);
            status = context.access.WriteValue(*root, record.keyPath, name, data);
        } else {
            status = context.access.SetValueCreatingKey(*root, record.keyPath, name, record.filePath, kRegSz);
        }
        break;
    }
    if (status != kErrorSuccess) return Failed(RegistryFailureText(status));
    return {};
}

} // namespace

std::size_t RestoreFileResult::Restored() const {
    std::size_t n = 0;
    for (const auto& line : lines) n += line.outcome == RestoredLine::Outcome::kRestored;
    return n;
}

std::size_t RestoreFileResult::NotRestored() const { return lines.size() - Restored(); }

bool RestoreAllowed(std::int32_t platformId, RegKey root, std::string_view keyPath, std::string* reason) {
    auto refuse = [&](const char* why) {
        if (reason != nullptr) *reason = why;
        return false;
    };
    const auto parts = KeyComponents(keyPath);
    if (!parts) return refuse("the key path has an empty component");
    for (const ScanSection& section : FixedSections(platformId)) {
        if (section.sectionName.empty()) continue;
        const bool keyWalk = section.walk == WalkKind::KeyWalk;
        if (!keyWalk && section.walk != WalkKind::ValueWalk) continue;
        for (const StartKey& start : section.startKeys) {
            if (start.root != root) continue;
            const auto startParts = KeyComponents(start.path);
            if (!startParts) continue;
            const std::size_t n = startParts->size();
            if (keyWalk ? parts->size() <= n : parts->size() != n) continue;
            if (std::equal(startParts->begin(), startParts->end(), parts->begin())) return true;
        }
    }
    return refuse("no repair writes to that key");
}

bool ShortcutRestoreAllowed(std::string_view path) {
    const bool drive = path.size() > 3 && path[1] == ':' && path[2] == '\\' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (!drive) return false;
    const auto parts = KeyComponents(path.substr(3));
    if (!parts) return false;
    for (const std::string& part : *parts) {
        // No way up, and no stream of another file ("x.exe:y.lnk").
        if (part == "." || part == ".." || part.find_first_of(":*?\"<>|") != std::string::npos) return false;
    }
    const std::string name = TrimBlanks(parts->back());
    if (name.size() < 3) return false;
    const std::string ending = name.substr(name.size() - 3);
    return ending == "LNK" || ending == "URL";
}

BackupStep RestoreShortcutCopy(ScanContext& context, const std::string& backupFilePath, const std::string& shortcutPath,
                               std::string* usedCopy) {
    FileSystem& files = context.files;
    std::string copy = ShortcutCopyPath(backupFilePath, shortcutPath);
    if (files.GetFileAttributes(ShortcutCopiesFolder(backupFilePath), nullptr) == kInvalidFileAttributes) {
        // A file written without per-file copies keeps the copy under the
        // shortcut's own name in the backup folder.
        const std::string name = FileNameOfPath(shortcutPath);
        if (name.empty()) return {false, "the shortcut path names no file"};
        copy = JoinPath(BackupFolder(context), name);
    }
    std::string bytes;
    std::uint32_t error = 0;
    if (!files.ReadFileBytes(copy, kMaxShortcutBytes, bytes, &error)) {
        return {false, "the copy of the shortcut could not be read (" + FileFailureText(error) + ")"};
    }
    // A file that already holds those bytes is back (its deletion may have
    // been refused); anything else is written in full and flushed before
    // the backup file may go.
    std::string now;
    const bool same = files.ReadFileBytes(shortcutPath, kMaxShortcutBytes, now, nullptr) && now == bytes;
    if (!same && !files.WriteNewFile(shortcutPath, bytes, &error)) {
        return {false, "the shortcut could not be written (" + FileFailureText(error) + ")"};
    }
    if (usedCopy != nullptr) *usedCopy = copy;
    return {};
}

bool RemoveShortcutCopies(FileSystem& files, const std::string& backupFilePath) {
    const std::string folder = ShortcutCopiesFolder(backupFilePath);
    if (files.GetFileAttributes(folder, nullptr) == kInvalidFileAttributes) return true;
    // Two levels: a folder per shortcut path, one copy in each.
    std::vector<std::string> entries;
    auto list = [&](const std::string& in, std::vector<FindData>& out) {
        FindData data;
        const FindHandle search = files.FindFirstFile(JoinPath(in, "*"), data, nullptr);
        if (search == kInvalidFindHandle) return;
        do {
            if (data.name != "." && data.name != "..") out.push_back(data);
        } while (files.FindNextFile(search, data, nullptr));
        static_cast<void>(files.FindClose(search));
    };
    std::vector<FindData> keys;
    list(folder, keys);
    for (const FindData& key : keys) {
        const std::string keyPath = JoinPath(folder, key.name);
        if ((key.attributes & kAttrDirectory) == 0) {
            static_cast<void>(files.DeleteFile(keyPath, nullptr));
            continue;
        }
        std::vector<FindData> copies;
        list(keyPath, copies);
        for (const FindData& copy : copies) static_cast<void>(files.DeleteFile(JoinPath(keyPath, copy.name), nullptr));
        static_cast<void>(files.RemoveFolder(keyPath, nullptr));
    }
    return files.RemoveFolder(folder, nullptr);
}

RestoreFileResult RestoreBackupFile(ScanContext& context, const std::string& path) {
    RestoreFileResult result;
    result.path = path;
    FileSystem& files = context.files;
    std::vector<std::string> lines;
    std::uint32_t error = 0;
    if (!files.ReadLines(path, lines, &error)) {
        result.found = error != kFsFileNotFound && error != kFsPathNotFound;
        result.error = "the backup file could not be read (" + FileFailureText(error) + ")";
        return result;
    }

    struct Entry {
        std::size_t number;
        ParsedBackupLine parsed;
        bool keep = false;
    };
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue; // holds no change
        entries.push_back({i + 1, ParseBackupLine(lines[i])});
    }

    // An undo log: the last change is undone first, so that a value changed
    // twice ends as it was before the first change. When undoing a change
    // fails, the earlier changes of the same value wait for it.
    std::set<std::string> blocked;
    std::set<std::string> usedCopies;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        RestoredLine line;
        line.line = entry->number;
        Step step;
        if (!entry->parsed.record) {
            step = Refused(entry->parsed.error);
        } else {
            const BackupRecord& record = *entry->parsed.record;
            line.target = Describe(record);
            const std::string identity = TargetIdentity(record);
            if (blocked.count(identity) != 0) {
                step = {RestoredLine::Outcome::kHeldBack, "a later change of the same entry could not be undone"};
            } else if (record.kind == BackupRecord::Kind::kRegistry) {
                step = RestoreRegistryRecord(context, record);
            } else if (!ShortcutRestoreAllowed(record.shortcutPath)) {
                step = Refused("no repair deletes such a file");
            } else {
                std::string copy;
                const BackupStep copied = RestoreShortcutCopy(context, path, record.shortcutPath, &copy);
                if (copied.ok) {
                    usedCopies.insert(copy);
                } else {
                    step = Failed(copied.reason);
                }
            }
            if (step.outcome == RestoredLine::Outcome::kFailed) blocked.insert(identity);
        }
        line.outcome = step.outcome;
        line.reason = std::move(step.reason);
        entry->keep = line.outcome != RestoredLine::Outcome::kRestored;
        result.lines.push_back(std::move(line));
        context.host.Yield();
    }

    if (result.NotRestored() == 0) {
        if (!files.DeleteFile(path, &error)) {
            result.error =
                "everything was put back, but the backup file could not be deleted (" + FileFailureText(error) + ")";
            return result;
        }
        result.complete = true;
        static_cast<void>(RemoveShortcutCopies(files, path));
        for (const std::string& copy : usedCopies) static_cast<void>(files.DeleteFile(copy, nullptr));
        return result;
    }

    // The lines not put back, exactly as they were, in their order.
    std::string kept;
    std::set<std::string> stillNeeded;
    for (const Entry& entry : entries) {
        if (!entry.keep) continue;
        kept += lines[entry.number - 1];
        kept += "\r\n";
        const auto& record = entry.parsed.record;
        if (record && record->kind == BackupRecord::Kind::kShortcut) {
            stillNeeded.insert(FoldUpper(ShortcutCopyPath(path, record->shortcutPath)));
            stillNeeded.insert(FoldUpper(JoinPath(BackupFolder(context), FileNameOfPath(record->shortcutPath))));
        }
    }
    const std::size_t slash = path.rfind('\\');
    const std::string temporary = JoinPath(path.substr(0, slash == std::string::npos ? 0 : slash), kRewriteName);
    if (!files.WriteNewFile(temporary, kept, &error) || !files.MoveFileReplacing(temporary, path, &error)) {
        static_cast<void>(files.DeleteFile(temporary, nullptr));
        result.error = "the backup file could not be rewritten (" + FileFailureText(error) + ")";
        return result;
    }
    // Copies of shortcuts that are back and that no kept line needs.
    for (const std::string& copy : usedCopies) {
        if (stillNeeded.count(FoldUpper(copy)) == 0) static_cast<void>(files.DeleteFile(copy, nullptr));
    }
    return result;
}

} // namespace hs
