// The repair: every problem of the last scan removed, each only after the
// backup of what it removes is on the disk.
//
// For each registry problem, in list order, the value is read whole, its
// record (with that value) appended to the repair's backup file and flushed,
// and only then is the value deleted, or for a key's unnamed value emptied.
// For each shortcut problem a copy and a record are written and flushed
// before the file is deleted. While backups are on, a problem whose backup
// could not be written is left unchanged, and so is one whose change a
// restore could not undo. Problems left stay in their lists, in order, and
// the results views are rebuilt from them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace hs {

class ScanContext;

inline constexpr const char* kFilesRepairedKind = "FILES REPAIRED";
inline constexpr const char* kRepairIncompleteKind = "REPAIR INCOMPLETE";

// One problem the repair left unchanged.
struct LeftProblem {
    std::string what;   // the value or shortcut, for a person
    std::string reason; // why it was left
};

struct RepairResult {
    std::size_t repaired = 0; // changed, or already gone
    std::size_t left = 0;     // unchanged; one entry each in reasons
    std::size_t dropped = 0;  // rows without a value name: nothing to change
    std::vector<LeftProblem> reasons;
    std::string backupFilePath; // the backup file of this repair

    bool Complete() const { return left == 0; }
};

// The text of the "REPAIR INCOMPLETE" message: how many problems were left
// unchanged and why, one line per reason.
std::string RepairIncompleteMessage(const RepairResult& result);

// Repairs every problem of lvwErrors and lvwShortcut. Ends with the
// "FILES REPAIRED" message when all were repaired, else "REPAIR INCOMPLETE";
// then refreshThePicControls (when given) and the section list reload; then
// the main panel comes back, unless problems were left, which stay on the
// results panel for the user to see and try again.
RepairResult RepairProblems(ScanContext& context, const std::function<void()>& refreshThePicControls = {});

// The Repair button: RepairProblems, then the results and scanning pictures
// are hidden when nothing was left.
RepairResult ImgRepairMouseMove_Click(ScanContext& context, const std::function<void()>& refreshThePicControls = {});

} // namespace hs
