// The backup manager's list and its Restore and Delete actions.
#include "results/backup_manager.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/reg_text.h"
#include "platform/registry_access.h"
#include "scan/scan_context.h"

namespace hs {

namespace {

// The directory search's entry for path, when it is a file.
std::optional<FindData> FindFile(FileSystem& files, const std::string& path) {
    FindData data;
    const FindHandle search = files.FindFirstFile(path, data, nullptr);
    if (search == kInvalidFindHandle) return std::nullopt;
    static_cast<void>(files.FindClose(search));
    if ((data.attributes & kAttrDirectory) != 0) return std::nullopt;
    return data;
}

std::string Replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

// The part of text from 1-based position first to last (both included),
// clipped to the text.
std::string Part(const std::string& text, std::size_t first, std::size_t last) {
    if (first < 1 || first > text.size() || last < first) return {};
    return text.substr(first - 1, std::min(last, text.size()) - first + 1);
}

std::vector<std::string> TickedNames(const BackupManagerModel& model) {
    std::vector<std::string> names;
    for (const BackupRow& row : model.lvwBackUp) {
        if (row.checked) names.push_back(row.name);
    }
    return names;
}

// Removes the first row of that name; rows may have changed during a yield.
void RemoveRow(BackupManagerModel& model, const std::string& name) {
    auto& rows = model.lvwBackUp;
    auto row = std::find_if(rows.begin(), rows.end(), [&](const BackupRow& r) { return r.name == name; });
    if (row != rows.end()) rows.erase(row);
}

} // namespace

std::string GetFileSizeText(FileSystem& files, const std::string& path) {
    const auto found = FindFile(files, path);
    return found ? std::to_string(found->size) : std::string();
}

BackupRow BackupRowOf(FileSystem& files, const std::string& fileName, const std::string& folder) {
    BackupRow row;
    row.name = fileName;
    const std::size_t found = FoldUpper(TrimBlanks(fileName)).find("BACKUP");
    const std::size_t p = found == std::string::npos ? 0 : found + 1;
    const std::size_t blank = fileName.find(' ', p + 6);
    const std::size_t q = blank == std::string::npos ? 0 : blank + 1;
    if (q != 0) {
        row.date = TrimBlanks(Replaced(Part(fileName, p + 6, q - 1), '-', '/'));
        row.time = TrimBlanks(Replaced(Part(fileName, q, fileName.size()), '-', ':'));
    }
    row.size = GetFileSizeText(files, JoinPath(folder, fileName));
    return row;
}

void AddBackupRow(FileSystem& files, BackupManagerModel& model, const std::string& fileName,
                  const std::string& folder) {
    model.lvwBackUp.push_back(BackupRowOf(files, fileName, folder));
}

std::vector<BackupRow> ListBackups(ScanContext& context) {
    FileSystem& files = context.files;
    const std::string folder = BackupFolder(context);
    std::vector<std::string> names;
    FindData data;
    const FindHandle search = files.FindFirstFile(JoinPath(folder, "*"), data, nullptr);
    if (search != kInvalidFindHandle) {
        do {
            if ((data.attributes & (kAttrDirectory | kAttrHidden | kAttrSystem)) != 0) continue;
            if (FoldUpper(TrimBlanks(data.name)).find("BACKUP") != std::string::npos) names.push_back(data.name);
        } while (files.FindNextFile(search, data, nullptr));
        static_cast<void>(files.FindClose(search));
    }
    std::vector<BackupRow> rows;
    for (const std::string& name : names) rows.push_back(BackupRowOf(files, name, folder));
    return rows;
}

void FillBackupList(ScanContext& context, BackupManagerModel& model) { model.lvwBackUp = ListBackups(context); }

std::vector<RestoreFileResult> RestoreBackups(ScanContext& context, const std::vector<std::string>& names) {
    std::vector<RestoreFileResult> results;
    for (const std::string& name : names) {
        const std::string path = JoinPath(BackupFolder(context), name);
        if (FindFile(context.files, path)) {
            results.push_back(RestoreBackupFile(context, path));
        } else {
            RestoreFileResult missing;
            missing.path = path;
            missing.found = false;
            missing.error = "the backup file is gone";
            results.push_back(std::move(missing));
        }
        context.host.Yield();
    }
    return results;
}

BackupStep DeleteBackupFile(ScanContext& context, const std::string& name) {
    const std::string path = JoinPath(BackupFolder(context), name);
    if (!FindFile(context.files, path)) return {false, "the backup file is gone"};
    std::uint32_t error = 0;
    if (!context.files.DeleteFile(path, &error)) {
        return {false, "the backup file could not be deleted (error " + std::to_string(error) + ")"};
    }
    static_cast<void>(RemoveShortcutCopies(context.files, path));
    return {};
}

std::vector<BackupStep> DeleteBackups(ScanContext& context, const std::vector<std::string>& names) {
    std::vector<BackupStep> steps;
    for (const std::string& name : names) steps.push_back(DeleteBackupFile(context, name));
    return steps;
}

std::vector<RestoreFileResult> imgRestoreMouseMove_Click(ScanContext& context, BackupManagerModel& model) {
    std::vector<RestoreFileResult> results;
    for (const std::string& name : TickedNames(model)) {
        std::vector<RestoreFileResult> one = RestoreBackups(context, {name});
        if (one.front().complete) RemoveRow(model, name);
        results.push_back(std::move(one.front()));
    }
    model.lastRestore = results;
    return results;
}

void ImgDeleteMouseMove_Click(ScanContext& context, BackupManagerModel& model) {
    for (const std::string& name : TickedNames(model)) {
        const std::string answer = context.host.AskMessageBox(kDeleteBackupQuestion);
        if (FoldUpper(TrimBlanks(answer)) == "YES" && DeleteBackupFile(context, name).ok) RemoveRow(model, name);
        context.host.Yield();
    }
}

} // namespace hs
