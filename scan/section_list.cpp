// The section list and its select-all box.
#include "scan/section_list.h"

#include "scan/catalogue.h"
#include "scan/scan_context.h"
#include "settings/settings_store.h"

namespace hs {

namespace {

constexpr const char* kSelectAllKey = "chkSelectlistviewItems";

const char* TruthWord(bool value) {
    return value ? "True" : "False";
}

// Ticks or unticks every entry and stores each, with a turn after each.
void SetEveryEntry(ScanContext& context, bool checked) {
    SectionList& list = context.sections;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        list.entries[i].checked = checked;
        (void)context.settings.Write(list.entries[i].text, TruthWord(checked));
        context.host.Yield();
    }
}

} // namespace

SectionEntry* SectionList::At(int position) {
    if (position < 1 || position > Count()) return nullptr;
    return &entries[static_cast<std::size_t>(position - 1)];
}

const SectionEntry* SectionList::At(int position) const {
    if (position < 1 || position > Count()) return nullptr;
    return &entries[static_cast<std::size_t>(position - 1)];
}

bool SectionList::Checked(int position) const {
    const SectionEntry* entry = At(position);
    return entry != nullptr && entry->checked;
}

void LoadlvwRegistryvaluesScanValues(ScanContext& context) {
    SectionList& list = context.sections;
    list.entries.clear();

    for (const ScanSection& section : FixedSections(context.access.GetPlatformId())) {
        list.entries.push_back({section.listText, false, section.position});
    }
    for (const DriveInfo& drive : context.files.Drives()) {
        if (drive.type == kDriveFixed) {
            list.entries.push_back({DriveSection(drive.letter, list.Count() + 1).listText, false, kDriveEntryIcon});
        }
        context.host.Yield();
    }
    // The list may be refilled by a handler that runs during the yields;
    // index afresh each time.
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const std::string stored = context.settings.Read(list.entries[i].text, "True");
        list.entries[i].checked = SettingAsTruth(stored).value_or(false);
        context.host.Yield();
    }
}

void RestoreSelectAllBox(ScanContext& context) {
    const std::string stored = context.settings.Read(kSelectAllKey, 1L);
    const long number = SettingAsNumber(stored).value_or(0);
    SetSelectAllBox(context, number == 2 ? kBoxMixed : number == 1 ? kBoxChecked : kBoxUnchecked);
}

void SetSelectAllBox(ScanContext& context, int state) {
    if (context.sections.selectAllState == state) return;
    context.sections.selectAllState = state;
    chkSelectlistviewItems_Click(context);
}

void chkSelectlistviewItems_Click(ScanContext& context) {
    SectionList& list = context.sections;
    const int state = list.selectAllState;
    (void)context.settings.Write(kSelectAllKey, state == kBoxUnchecked ? "0" : "1");
    if (list.suppress) return;
    SetEveryEntry(context, state == kBoxChecked);
}

void chkSelectlistviewItems_UserClick(ScanContext& context) {
    SetSelectAllBox(context, context.sections.selectAllState == kBoxChecked ? kBoxUnchecked : kBoxChecked);
}

void Label2_Click(ScanContext& context) {
    chkSelectlistviewItems_UserClick(context);
}

void Image1_Click(ScanContext& context) {
    chkSelectlistviewItems_UserClick(context);
}

void StoreSectionSelection(ScanContext& context) {
    SectionList& list = context.sections;
    for (const SectionEntry& entry : list.entries) {
        (void)context.settings.Write(entry.text, TruthWord(entry.checked));
    }
}

void lvwRegistryvaluesScan_ItemCheck(ScanContext& context, int position, bool checked) {
    SectionEntry* entry = context.sections.At(position);
    if (entry == nullptr) return;
    entry->checked = checked;
    UpdateSelectAllBox(context);
    context.sections.windowEnabled = false;
    StoreSectionSelection(context);
    context.sections.windowEnabled = true;
}

void lvwRegistryvaluesScan_ItemClick(ScanContext& context, int position) {
    const SectionEntry* entry = context.sections.At(position);
    if (entry == nullptr) return;
    lvwRegistryvaluesScan_ItemCheck(context, position, !entry->checked);
}

void UpdateSelectAllBox(ScanContext& context) {
    SectionList& list = context.sections;
    list.suppress = true;
    bool seenUnticked = false;
    bool seenTicked = false;
    for (std::size_t i = 0; i < list.entries.size() && !(seenUnticked && seenTicked); ++i) {
        (list.entries[i].checked ? seenTicked : seenUnticked) = true;
        context.host.Yield();
    }
    int state = kBoxMixed;
    if (!seenTicked) state = kBoxUnchecked;
    else if (!seenUnticked) state = kBoxChecked;
    SetSelectAllBox(context, state);
    list.suppress = false;
}

} // namespace hs
