// The summary and detail lists of the results panel.
#include "results/results_views.h"

#include <algorithm>

#include "checkers/paths.h"
#include "platform/reg_text.h"
#include "scan/catalogue.h"
#include "scan/scan_context.h"

namespace hs {

namespace {

// Row text comparison for header sorting: text order without regard to case.
bool RowBefore(const std::string& a, const std::string& b) {
    return FoldUpper(a) < FoldUpper(b);
}

struct DetailPhrase {
    std::string_view phrase;
    std::string_view sectionName;  // empty: the shortcut problems
};

constexpr DetailPhrase kDetailPhrases[] = {
    {"Custom Controls", kSectionCom},
    {"Sub Section Controls", kSectionComSubsections},
    {"Software Locations", kSectionAppPaths},
    {"Help Files", kSectionHelpFiles},
    {"Shared Files", kSectionShared},
    {"Windows Startup", kSectionStartup},
    {"Uninstall Section", kSectionUninstall},
    {"Virtual Devices", kSectionVxd},
    {"Windows Fonts", kSectionFonts},
    {"Windows Shortcut", ""},
};

// A listing stops when a newer click has started another one (a click can
// arrive through the yields); the newest click's details win.
bool Superseded(const ScanContext& context, std::uint64_t generation) {
    return context.results.listingGeneration != generation;
}

void ListSection(ScanContext& context, std::string_view sectionName, std::uint64_t generation) {
    // Rows are addressed by number: a handler running during the yield may
    // change the list.
    for (std::size_t number = 1; number <= context.lvwErrors.Count(); ++number) {
        if (Superseded(context, generation)) return;
        const ProblemRecord& row = context.lvwErrors.At(number);
        if (row.RegistryScanners == sectionName) {
            context.results.lvwRegistryErrorsDetail.Add(std::string(kRegistryDetailPrefix) + row.KeyValue);
        }
        context.host.Yield();
    }
}

void ListShortcuts(ScanContext& context, std::uint64_t generation) {
    for (std::size_t number = 1; number <= context.lvwShortcut.Count(); ++number) {
        if (Superseded(context, generation)) return;
        context.results.lvwRegistryErrorsDetail.Add(std::string(kShortcutDetailPrefix) +
                                                     context.lvwShortcut.At(number).path);
        context.host.Yield();
    }
}

} // namespace

void TextListView::Add(std::string row) {
    if (!sorted_) {
        rows_.push_back(std::move(row));
        return;
    }
    auto place = descending_ ? std::upper_bound(rows_.begin(), rows_.end(), row,
                                                [](const std::string& a, const std::string& b) { return RowBefore(b, a); })
                             : std::upper_bound(rows_.begin(), rows_.end(), row, RowBefore);
    rows_.insert(place, std::move(row));
}

void TextListView::ColumnClick() {
    sorted_ = true;
    descending_ = !descending_;
    SortRows();
}

void TextListView::SortRows() {
    if (descending_) {
        std::stable_sort(rows_.begin(), rows_.end(), [](const std::string& a, const std::string& b) { return RowBefore(b, a); });
    } else {
        std::stable_sort(rows_.begin(), rows_.end(), RowBefore);
    }
}

std::string SummaryRowText(std::int16_t count, std::string_view sectionName) {
    if (count == 0) return {};
    const std::string n = std::to_string(count);
    const std::string name(sectionName);
    if (sectionName == kSectionCom) return "Invalid Custom Controls ( " + n + " Problem(s) )";
    if (sectionName == kSectionComSubsections) return "Invalid Sub Section Controls ( " + n + " Problem(s) )";
    if (sectionName == kSectionAppPaths) return "Invalid Software Locations ( " + n + " Problem(s) )";
    if (sectionName == kSectionHelpFiles) return "Invalid " + name + " ( " + n + " Problem(s)" + " )";
    if (sectionName == kSectionShared) return "Invalid Shared Files ( " + n + " Problem(s) )";
    if (sectionName == kSectionStartup) return "Invalid " + name + " Files " + " ( " + n + " Problem(s)" + " )";
    if (sectionName == kSectionUninstall) return "Invalid " + name + " File " + " ( " + n + " Problem(s)" + " )";
    if (sectionName == kSectionVxd) return "Invalid Virtual Devices ( " + n + " Problem(s) )";
    if (sectionName == kSectionFonts) return "Invalid " + name + " (  " + n + " Problem(s) )";
    return {};
}

std::string ShortcutSummaryRowText(std::size_t count) {
    return std::string("Invalid ") + "Windows Shortcut File " + "(" + std::to_string(count) + " Problems" + ")";
}

void AddSummaryRow(ScanContext& context, std::int16_t count, std::string_view sectionName) {
    std::string text = SummaryRowText(count, sectionName);
    if (!text.empty()) context.results.lvwRegistryProblems.Add(std::move(text));
}

void ShowSectionDetails(ScanContext& context, std::string_view sectionName) {
    ListSection(context, sectionName, context.results.listingGeneration);
}

void lvwRegistryProblems_ItemClick(ScanContext& context, int row) {
    ResultsViews& views = context.results;
    const auto& rows = views.lvwRegistryProblems.Rows();
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
    views.selectedSummaryRow = row;
    const std::string text = TrimBlanks(rows[static_cast<std::size_t>(row)]);

    const std::uint64_t generation = ++views.listingGeneration;
    views.lvwRegistryErrorsDetail.Clear();
    for (const DetailPhrase& detail : kDetailPhrases) {
        if (Superseded(context, generation)) return;
        if (!ContainsNoCase(text, detail.phrase)) continue;
        if (detail.sectionName.empty()) {
            ListShortcuts(context, generation);
        } else {
            ListSection(context, detail.sectionName, generation);
        }
    }
}

void RebuildResultsViews(ScanContext& context) {
    ResultsViews& views = context.results;
    ++views.listingGeneration;
    views.lvwRegistryProblems.Clear();
    views.lvwRegistryErrorsDetail.Clear();
    views.selectedSummaryRow = -1;
    for (const ScanSection& section : FixedSections(context.access.GetPlatformId())) {
        if (section.sectionName.empty() || section.walk == WalkKind::ConfigWalk) continue;
        std::int16_t count = 0;
        for (const ProblemRecord& row : context.lvwErrors.Rows()) {
            if (row.RegistryScanners == section.sectionName && count < INT16_MAX) ++count;
        }
        AddSummaryRow(context, count, section.sectionName);
    }
    if (!context.lvwShortcut.Empty()) {
        views.lvwRegistryProblems.Add(ShortcutSummaryRowText(context.lvwShortcut.Count()));
    }
}

} // namespace hs
