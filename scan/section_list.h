// The section list the user ticks (lvwRegistryvaluesScan) and the select-all
// box beside it (chkSelectlistviewItems). Every change is stored at once in
// the settings, one key per entry named by the entry's text, so the choice
// survives restarts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hs {

class ScanContext;

struct SectionEntry {
    std::string text;
    bool checked = false;
    int icon = 0;  // 1..11 for the fixed entries, 12 for every drive
};

// chkSelectlistviewItems states.
inline constexpr int kBoxUnchecked = 0;
inline constexpr int kBoxChecked = 1;
inline constexpr int kBoxMixed = 2;

inline constexpr int kDriveEntryIcon = 12;

struct SectionList {
    std::vector<SectionEntry> entries;  // position p is entries[p - 1]
    int selectAllState = kBoxUnchecked;
    // While set, a change of the select-all box only stores its state.
    bool suppress = false;
    // The main window accepts input; off while the entry actions store.
    bool windowEnabled = true;

    int Count() const { return static_cast<int>(entries.size()); }
    // Entry by position 1..Count(); positions out of range give null.
    SectionEntry* At(int position);
    const SectionEntry* At(int position) const;
    bool Checked(int position) const;
};

// Empties the list, adds the eleven fixed entries and one "Window Shortcut X"
// entry per fixed drive, and restores each entry's tick from the settings.
// The select-all box keeps its state.
void LoadlvwRegistryvaluesScanValues(ScanContext& context);

// The main window's load: the select-all box from its stored state
// (default 1; "2" mixed, "1" checked, anything else unchecked).
void RestoreSelectAllBox(ScanContext& context);

// Sets the select-all box; a change runs its click action, setting the state
// it already has runs nothing.
void SetSelectAllBox(ScanContext& context, int state);

// The box's click action: stores its state and, unless suppressed, ticks
// (state 1) or unticks (0 and 2) every entry and stores each.
void chkSelectlistviewItems_Click(ScanContext& context);

// A user's click on the box itself: a checked box becomes unchecked, any
// other state checked (so the mixed state selects everything). Label2 and
// Image1 do the same.
void chkSelectlistviewItems_UserClick(ScanContext& context);
void Label2_Click(ScanContext& context);
void Image1_Click(ScanContext& context);

// The user changed the tick of the entry at position to checked.
void lvwRegistryvaluesScan_ItemCheck(ScanContext& context, int position, bool checked);
// The user clicked the entry at position: its tick is reversed and stored.
void lvwRegistryvaluesScan_ItemClick(ScanContext& context, int position);

// The select-all box derived from the entries: 0 none ticked, 1 all, 2 mixed.
void UpdateSelectAllBox(ScanContext& context);

// Stores every entry's tick under its text.
void StoreSectionSelection(ScanContext& context);

} // namespace hs
