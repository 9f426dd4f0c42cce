// Restoring a backup file: its records replayed as an undo log, last first,
// each only where a repair can have changed something.
//
// A registry record is put back only into the start key of a value walk or
// strictly below the start key of a key walk, under that key's root; key
// paths are compared component by component without regard to case, and a
// path with an empty component is refused. A shortcut record is put back
// only to a drive path that ends in LNK or URL. So a planted or edited
// backup file can write nowhere else.
//
// The file is deleted (with its shortcut copies) only when every record in
// it was put back. Otherwise it is rewritten, through a temporary file and a
// rename, with exactly the lines that were not put back, in their order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "results/backup_file.h"

namespace hs {

class ScanContext;

// What became of one line of a backup file.
struct RestoredLine {
    enum class Outcome {
        kRestored, // put back
        kFailed,   // allowed, but the registry or the file system refused it
        kRefused,  // not a record, or aimed where no repair writes
        kHeldBack, // a later change of the same value could not be undone first
    };
    std::size_t line = 0; // 1-based line number in the file
    Outcome outcome = Outcome::kRestored;
    std::string target; // what the record names, for a person
    std::string reason; // empty when restored
};

struct RestoreFileResult {
    std::string path;
    bool found = true;               // false: there was no such file; nothing was done
    bool complete = false;           // every record put back; the file and its copies are gone
    std::string error;               // the file could not be read, deleted or rewritten
    std::vector<RestoredLine> lines; // in the order they were replayed (last line first)

    std::size_t Restored() const;
    std::size_t NotRestored() const;
};

// True when a restore may write the value: see above. reason says why not.
bool RestoreAllowed(std::int32_t platformId, RegKey root, std::string_view keyPath, std::string* reason = nullptr);
// True for a shortcut path a restore may write: "X:\...\name" without empty,
// "." or ".." components, whose name ends in LNK or URL.
bool ShortcutRestoreAllowed(std::string_view shortcutPath);

// Replays one backup file. Yields after every line.
RestoreFileResult RestoreBackupFile(ScanContext& context, const std::string& path);

// Puts one shortcut file back from the copy the backup file keeps of it (or,
// for files written without per-file copies, from the copy of its name in
// the backup folder). usedCopy receives the copy's path.
BackupStep RestoreShortcutCopy(ScanContext& context, const std::string& backupFilePath, const std::string& shortcutPath,
                               std::string* usedCopy = nullptr);

// Removes the shortcut copies folder of a backup file and all in it. True
// when it is gone (or never existed).
bool RemoveShortcutCopies(FileSystem& files, const std::string& backupFilePath);

} // namespace hs
