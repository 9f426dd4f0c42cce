// The backup manager (frmBackUpRestore) as a model: the list of backup files
// with their check boxes, and the Restore and Delete actions on it. The
// window renders the model; the command line calls the plain functions.
#pragma once

#include <string>
#include <vector>

#include "results/backup_file.h"
#include "results/restore.h"

namespace hs {

class FileSystem;
class ScanContext;

inline constexpr const char* kDeleteBackupQuestion = "DELETE BACKUP FILE";

// The column titles of lvwBackUp, each 1440 twips wide.
inline constexpr const char* kBackupColumnTitles[] = {"Name", "Date", "Time", "Size ( Bytes )"};
inline constexpr int kBackupColumnWidth = 1440;

// One row of lvwBackUp.
struct BackupRow {
    std::string name; // the backup file's name
    std::string date; // "08/12/25" for "BackUp 08-12-25 21-14-03"
    std::string time; // "21:14:03"
    std::string size; // bytes, in decimal; empty when the file cannot be read
    bool checked = false;
};

struct BackupManagerModel {
    std::vector<BackupRow> lvwBackUp;
    // What the last Restore press did, file by file, for the window to show.
    std::vector<RestoreFileResult> lastRestore;
};

// The size of the file at path in bytes, as decimal text; empty when it
// cannot be found.
std::string GetFileSizeText(FileSystem& files, const std::string& path);

// The row of one backup file: name, date and time taken from the name.
BackupRow BackupRowOf(FileSystem& files, const std::string& fileName, const std::string& folder);
// Adds that row to the list.
void AddBackupRow(FileSystem& files, BackupManagerModel& model, const std::string& fileName, const std::string& folder);

// The files of the backup folder whose names hold "BackUp" in any case,
// neither folders nor hidden nor system files, in the order the folder
// lists them.
std::vector<BackupRow> ListBackups(ScanContext& context);

// Form_Load: the list built anew.
void FillBackupList(ScanContext& context, BackupManagerModel& model);

// Restores the named backup files of the backup folder, one after the
// other, yielding after each. A name whose file is missing gives a result
// with found false.
std::vector<RestoreFileResult> RestoreBackups(ScanContext& context, const std::vector<std::string>& names);

// Deletes one backup file of the backup folder and its shortcut copies.
BackupStep DeleteBackupFile(ScanContext& context, const std::string& name);
// Deletes the named backup files without asking, one step per name.
std::vector<BackupStep> DeleteBackups(ScanContext& context, const std::vector<std::string>& names);

// The Restore button: restores every ticked row from first to last. A row
// whose file was restored completely leaves the list; a row whose file was
// kept (some records could not be put back) stays, as it was. The results
// are kept in model.lastRestore and returned.
std::vector<RestoreFileResult> imgRestoreMouseMove_Click(ScanContext& context, BackupManagerModel& model);

// The Delete button: asks "DELETE BACKUP FILE" for every ticked row; on
// "YES" deletes the file and its copies and removes the row.
void ImgDeleteMouseMove_Click(ScanContext& context, BackupManagerModel& model);

} // namespace hs
