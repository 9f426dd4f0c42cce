// The repair of the problems the last scan listed.
#include "results/repair.h"

#include <charconv>
#include <map>
#include <optional>
#include <set>

#include "platform/file_system.h"
#include "platform/reg_text.h"
#include "platform/registry_access.h"
#include "platform/roots.h"
#include "results/backup_file.h"
#include "results/failure_text.h"
#include "results/restore.h"
#include "results/results_views.h"
#include "results/scan_report.h"
#include "scan/scan_context.h"
#include "scan/section_list.h"

namespace hs {

namespace {

constexpr std::string_view kDefaultValueName = "(Default)";
constexpr std::int32_t kProgressStart = 5;
constexpr std::int32_t kProgressGrowth = 5;

void ProgressStep(MainPanels& panels) {
    panels.ImgDeleteProgressInside += kProgressGrowth;
    if (panels.ImgDeleteProgressInside >= kDeleteProgressWidth) panels.ImgDeleteProgressInside = 1;
}

// The root a row names: MainKey as a signed 32-bit number, or when it is
// empty the root of that name.
std::optional<RegKey> RowRoot(const ProblemRecord& row) {
    const std::string text = TrimBlanks(row.MainKey);
    if (text.empty()) return RootHandleByName(row.mainkeyname);
    std::int32_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || !IsPredefinedKey(number)) return std::nullopt;
    return number;
}

// Why a shortcut file could not be deleted: mostly read-only or open.
std::string DeleteFailureText(std::uint32_t error) {
    if (error == kFsAccessDenied) return "access denied (the file is read-only or in use)";
    return FileFailureText(error);
}

// The S records already in a backup file: a second repair within the same
// second appends to it, and must not replace copies its records need.
std::set<std::string> RecordedShortcuts(FileSystem& files, const std::string& backupFilePath) {
    std::set<std::string> recorded;
    std::vector<std::string> lines;
    if (!files.ReadLines(backupFilePath, lines, nullptr)) return recorded;
    for (const std::string& line : lines) {
        const ParsedBackupLine parsed = ParseBackupLine(line);
        if (parsed.record && parsed.record->kind == BackupRecord::Kind::kShortcut) {
            recorded.insert(FoldUpper(parsed.record->shortcutPath));
        }
    }
    return recorded;
}

class Repair {
public:
    Repair(ScanContext& context, RepairResult& result) : context_(context), result_(result) {}

    // One registry row; true when it leaves the list.
    bool RegistryRow(const ProblemRecord& row) {
        const std::string& valueName = row.KeyName;
        if (valueName.empty()) {
            ++result_.dropped;
            return true;
        }
        const std::string what = row.mainkeyname + "\\" + row.FullKeyPath + " : " + valueName;
        const std::optional<RegKey> root = RowRoot(row);
        if (!root) return Left(what, "the row names no registry root");
        if (!RestoreAllowed(context_.access.GetPlatformId(), *root, row.FullKeyPath)) {
            return Left(what, "the value lies outside the scanned sections");
        }
        const std::string name = valueName == kDefaultValueName ? std::string() : valueName;
        const bool backup = BackupsEnabled(context_);
        std::optional<RawValue> original;
        if (backup) {
            if (RootHandleByName(row.mainkeyname) != root) {
                return Left(what, "the row's root name and handle differ, so no backup could restore it");
            }
            RawValue value;
            const RegStatus read = context_.access.ReadRawValue(*root, row.FullKeyPath, name, value);
            if (read == kErrorSuccess) {
                original = std::move(value);
            } else if (read != kErrorFileNotFound) {
                return Left(what, "the value could not be read for its backup (" + RegistryFailureText(read) + ")");
            }
            const BackupStep step = WriteBackupRecord(context_.files, result_.backupFilePath, row, original);
            if (!step.ok) return Left(what, step.reason);
            if (!original) return Repaired(); // already gone
        }
        RegStatus status = kErrorSuccess;
        if (name.empty()) {
            // The unnamed value stays, as an empty REG_SZ.
            status = context_.access.WriteValue(*root, row.FullKeyPath, name, "");
        } else {
            status = context_.access.DeleteValue(*root, row.FullKeyPath, name);
        }
        if (status == kErrorSuccess || status == kErrorFileNotFound) return Repaired();
        return Left(what, RegistryFailureText(status));
    }

    // One shortcut row; true when it leaves the list.
    bool ShortcutRow(const ShortcutProblem& row, std::set<std::string>& recorded) {
        const std::string& path = row.path;
        if (!ShortcutRestoreAllowed(path)) return Left(path, "the path is no shortcut file on a drive");
        FileSystem& files = context_.files;
        if (BackupsEnabled(context_)) {
            const std::uint32_t attributes = files.GetFileAttributes(path, nullptr);
            if (attributes == kInvalidFileAttributes) return Repaired(); // already gone
            // A file that cannot be deleted gets no record of a deletion
            // that never happened.
            if ((attributes & kAttrReadOnly) != 0) return Left(path, DeleteFailureText(kFsAccessDenied));
            const std::string key = FoldUpper(path);
            const BackupStep step = WriteBackupRecord(files, result_.backupFilePath, row, recorded.count(key) != 0);
            if (!step.ok) return Left(path, step.reason);
            recorded.insert(key);
        }
        std::uint32_t error = 0;
        if (files.DeleteFile(path, &error) || error == kFsFileNotFound || error == kFsPathNotFound) return Repaired();
        return Left(path, DeleteFailureText(error));
    }

private:
    bool Repaired() {
        ++result_.repaired;
        return true;
    }
    bool Left(const std::string& what, std::string reason) {
        ++result_.left;
        result_.reasons.push_back({what, std::move(reason)});
        return false;
    }

    ScanContext& context_;
    RepairResult& result_;
};

template <typename Row>
void PutBack(ProblemList<Row>& list, const std::vector<Row>& left) {
    // Rows added while the repair yielded go after the ones it left.
    const std::vector<Row> added = list.Rows();
    list.Clear();
    for (const Row& row : left) list.Add(row);
    for (const Row& row : added) list.Add(row);
}

} // namespace

std::string RepairIncompleteMessage(const RepairResult& result) {
    std::string text = std::to_string(result.left) + " of " + std::to_string(result.left + result.repaired) +
                       " problem(s) were left unchanged:";
    std::map<std::string, std::size_t> counts;
    std::vector<std::string> order;
    for (const LeftProblem& left : result.reasons) {
        if (counts[left.reason]++ == 0) order.push_back(left.reason);
    }
    for (const std::string& reason : order) {
        text += "\r\n" + std::to_string(counts[reason]) + " x " + reason;
    }
    return text;
}

RepairResult RepairProblems(ScanContext& context, const std::function<void()>& refreshThePicControls) {
    RepairResult result;
    MainPanels& panels = context.panels;
    result.backupFilePath = JoinPath(BackupFolder(context), BackupFileName(context.Time().Now()));
    Repair repair(context, result);

    std::vector<ProblemRecord> leftErrors;
    if (!context.lvwErrors.Empty() && context.results.lvwRegistryProblems.Count() > 0) {
        panels.lvwRegistryProblemsVisible = false;
        panels.lvwRegistryErrorsDetailVisible = false;
        panels.ImgRepairNormalEnabled = false;
        panels.ImgReturnNormalEnabled = false;
        panels.lblDeletingCourrutpfils = true;
        panels.ImgDeleteProgress = true;
        panels.ImgDeleteProgressInside = kProgressStart;
        const std::vector<ProblemRecord> rows = context.lvwErrors.Rows();
        context.lvwErrors.Clear();
        for (const ProblemRecord& row : rows) {
            ProgressStep(panels);
            if (!repair.RegistryRow(row)) leftErrors.push_back(row);
            context.host.Yield();
        }
    } else {
        // Rows no summary row shows are not repaired; they stay listed.
        for (const ProblemRecord& row : context.lvwErrors.Rows()) {
            ++result.left;
            result.reasons.push_back({row.mainkeyname + "\\" + row.FullKeyPath + " : " + row.KeyName,
                                      "the section is not shown in the results"});
        }
        leftErrors = context.lvwErrors.Rows();
        context.lvwErrors.Clear();
    }

    std::vector<ShortcutProblem> leftShortcuts;
    if (!context.lvwShortcut.Empty()) {
        std::set<std::string> recorded = RecordedShortcuts(context.files, result.backupFilePath);
        const std::vector<ShortcutProblem> rows = context.lvwShortcut.Rows();
        context.lvwShortcut.Clear();
        for (const ShortcutProblem& row : rows) {
            ProgressStep(panels);
            if (!repair.ShortcutRow(row, recorded)) leftShortcuts.push_back(row);
            context.host.Yield();
        }
    }

    PutBack(context.lvwErrors, leftErrors);
    PutBack(context.lvwShortcut, leftShortcuts);
    // Both views emptied, and the summary rebuilt from what is left.
    RebuildResultsViews(context);
    context.state.CancelRequested = kFalse16;

    panels.lvwRegistryProblemsVisible = true;
    panels.lvwRegistryErrorsDetailVisible = true;
    panels.lblDeletingCourrutpfils = false;
    panels.ImgDeleteProgress = false;
    panels.ImgRepairNormalEnabled = true;
    panels.ImgReturnNormalEnabled = true;

    static_cast<void>(context.host.AskMessageBox(result.Complete() ? kFilesRepairedKind : kRepairIncompleteKind));
    if (refreshThePicControls) refreshThePicControls();
    LoadlvwRegistryvaluesScanValues(context);
    if (result.Complete()) ImgReturnMouseMove_Click(context);
    return result;
}

RepairResult ImgRepairMouseMove_Click(ScanContext& context, const std::function<void()>& refreshThePicControls) {
    RepairResult result = RepairProblems(context, refreshThePicControls);
    if (result.Complete()) {
        context.panels.PicResults = false;
        context.panels.PicScanning = false;
    }
    return result;
}

} // namespace hs
