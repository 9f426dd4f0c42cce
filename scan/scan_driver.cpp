// The scan driver.
#include "scan/scan_driver.h"

#include <string>

#include "checkers/paths.h"
#include "platform/reg_text.h"
#include "results/results_views.h"
#include "results/scan_report.h"
#include "scan/catalogue.h"
#include "scan/walker.h"
#include "shortcuts/drive_walker.h"

namespace hs {

namespace {

constexpr std::string_view kInspectingCaption = "Inspecting...";
constexpr std::string_view kDriveEntryWord = "WINDOW SHORTCUT";

bool Cancelled(const ScanContext& context) {
    return context.state.Cancelled();
}

std::string Name(std::string_view text) {
    return std::string(text);
}

void Walk(ScanContext& context, const ScanSection& section, const StartKey& key) {
    const std::string path(key.path);
    const std::string sectionName(section.sectionName);
    const std::string rootName(key.rootName);
    if (section.walk == WalkKind::ValueWalk) {
        WalkValues(context, key.root, path, sectionName, rootName, Label::lblRegistryFilesScan);
    } else {
        WalkKeys(context, key.root, path, sectionName, rootName, Label::lblRegistryFilesScan);
    }
}

// Runs the registry entry at position 1..11. False when a cancel test ended
// the loop.
bool RunRegistryEntry(ScanContext& context, int position) {
    const std::vector<ScanSection> catalogue = FixedSections(context.access.GetPlatformId());
    const ScanSection& section = catalogue[static_cast<std::size_t>(position - 1)];

    if (position == kPositionConfigurationFiles) {
        context.view.SetCaption(Label::lblStatus, Name(section.statusCaption));
        for (const StartKey& key : section.startKeys) Walk(context, section, key);
        return true;
    }

    context.view.SetCaption(Label::lblStatus, Name(section.statusCaption));
    context.view.SetHighlight(position, true);
    if (Cancelled(context)) return false;

    if (position == kPositionRegistryIntegrity) {
        const StartKey& key = section.startKeys.front();
        ListClassKeys(context, key.root, Name(key.path));
        return !Cancelled(context);
    }
    if (position == kPositionFonts) {
        // The fonts key depends on the platform, asked for at this moment.
        const std::vector<ScanSection> now = FixedSections(context.access.GetPlatformId());
        const ScanSection& fonts = now[static_cast<std::size_t>(position - 1)];
        Walk(context, fonts, fonts.startKeys.front());
        SummarizeSection(context, fonts.sectionName);
        return true;
    }

    // The walks of one section, with a test between two walks; the
    // uninstall and virtual device entries also test after their one walk.
    const bool testAfterLast = section.sectionName == kSectionUninstall || section.sectionName == kSectionVxd;
    for (std::size_t k = 0; k < section.startKeys.size(); ++k) {
        Walk(context, section, section.startKeys[k]);
        const bool last = k + 1 == section.startKeys.size();
        if ((!last || testAfterLast) && Cancelled(context)) return false;
    }
    SummarizeSection(context, section.sectionName);
    return true;
}

// Runs a drive entry (position 12 and on). False when the cancel test ended
// the loop.
bool RunDriveEntry(ScanContext& context, int position, const std::string& entryText) {
    const std::string root = DriveRootOfEntry(entryText);
    if (root.empty()) return true;
    context.view.SetCaption(Label::lblStatus, Name(kShortcutsCaption));
    context.view.SetHighlight(position, true);
    if (Cancelled(context)) return false;
    context.view.SetCaption(Label::lblStatus, " Shortcuts " + root + "...");
    ScanDriveForShortcuts(context, root);
    return true;
}

std::int32_t ProblemCount(const ScanContext& context) {
    return static_cast<std::int32_t>(context.lvwErrors.Count() + context.lvwShortcut.Count());
}

} // namespace

std::string DriveRootOfEntry(std::string_view entryText) {
    std::string text = FoldUpper(TrimBlanks(entryText));
    if (text.find(kDriveEntryWord) == std::string::npos) return {};
    for (std::size_t at = text.find(kDriveEntryWord); at != std::string::npos; at = text.find(kDriveEntryWord)) {
        text.erase(at, kDriveEntryWord.size());
    }
    return TrimBlanks(text) + ":\\";
}

std::int16_t SummarizeSection(ScanContext& context, std::string_view sectionName) {
    std::int16_t count = 0;
    for (std::size_t number = 1; number <= context.lvwErrors.Count(); ++number) {
        if (context.lvwErrors.At(number).RegistryScanners == sectionName && count < INT16_MAX) ++count;
        context.host.Yield();
    }
    AddSummaryRow(context, count, sectionName);
    return count;
}

void ScanSelectedSections(ScanContext& context) {
    ScanView& view = context.view;
    view.SetProgressWidth(0);
    const int entryCount = context.sections.Count();
    context.state.ProgressStep = ProgressStepFor(entryCount);
    view.SetBusyPointer(true);
    view.SetProgressWidth(0);

    for (int position = 1; position <= entryCount; ++position) {
        std::int32_t width = view.ProgressWidth() + context.state.ProgressStep;
        if (width > kProgressFullWidth) width -= context.state.ProgressStep;
        view.SetProgressWidth(width);

        // The list can be refilled during a yield; it comes back with the
        // same entries at the same positions, so the loop goes on by position.
        if (context.sections.Checked(position)) {
            const std::string text = context.sections.At(position)->text;
            view.SetHighlight(position, true);
            if (Cancelled(context)) return;
            const bool goOn = position <= kFixedSectionCount ? RunRegistryEntry(context, position)
                                                             : RunDriveEntry(context, position, text);
            if (!goOn) return;
        }
        if (Cancelled(context)) return;
        view.SetCaption(Label::lblProblemsFound, std::to_string(ProblemCount(context)));
        view.SetHighlight(position, false);
        context.host.Yield();
    }

    if (!context.lvwShortcut.Empty()) {
        context.results.lvwRegistryProblems.Add(ShortcutSummaryRowText(context.lvwShortcut.Count()));
    }
    view.SetBusyPointer(false);
    context.state.ProgressStep = 0;
}

void RunScan(ScanContext& context) {
    MainPanels& panels = context.panels;
    panels.FrameRegistryProblemsDetails = false;
    panels.FrameScanning = true;
    panels.FrameScanSettingShelidButton = false;
    panels.lblDeletingCourrutpfils = false;
    panels.ImgDeleteProgress = false;

    context.view.SetCaption(Label::lblStatus, Name(kInspectingCaption));
    context.view.SetCancelButton(true, "Cancel");
    context.state.CancelRequested = kFalse16;

    context.lvwErrors.Clear();
    context.lvwShortcut.Clear();
    ++context.results.listingGeneration;
    context.results.lvwRegistryErrorsDetail.Clear();
    context.results.lvwRegistryProblems.Clear();
    context.results.selectedSummaryRow = -1;

    context.state.ScanStartTime.clear();
    context.state.ScanFinishTime.clear();
    context.view.SetCaption(Label::lblProblemsFound, "0");
    Clock& clock = context.Time();
    context.state.ScanStartTime = clock.TimeOfDayText(clock.Now());

    // Folders and the drive list are asked for once per run.
    context.StartLookupCache();
    ScanSelectedSections(context);
    context.DropLookupCache();

    context.state.ScanFinishTime = clock.TimeOfDayText(clock.Now());
    MakeScanReport(context);
    context.view.SetBusyPointer(false);

    panels.FrameRegistryProblemsDetails = true;
    panels.FrameScanning = false;
    panels.FrameScanSettingShelidButton = false;
}

} // namespace hs
