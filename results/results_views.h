// The two visible results lists: the summary (one row per section with
// problems) and the details of the summary row last clicked. Both are text
// only; a summary row finds its problems by the section its text names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hs {

class Host;
class ScanContext;

// One list in report view: rows of text, and the header-click sort state.
class TextListView {
public:
    const std::vector<std::string>& Rows() const { return rows_; }
    std::size_t Count() const { return rows_.size(); }
    void Clear() { rows_.clear(); }
    // Adds a row at the end, or at its sorted place once sorting is on.
    void Add(std::string row);

    // The header click: sorting on, and the order reversed (the first click
    // sorts descending).
    void ColumnClick();
    bool Sorted() const { return sorted_; }
    bool Descending() const { return descending_; }

private:
    void SortRows();

    std::vector<std::string> rows_;
    bool sorted_ = false;
    bool descending_ = false;
};

// The summary row text of a registry section with count problems; empty for
// a count of 0 or a section name not in the results table.
std::string SummaryRowText(std::int16_t count, std::string_view sectionName);
// The summary row of the shortcut problems of all drives.
std::string ShortcutSummaryRowText(std::size_t count);

inline constexpr std::string_view kRegistryDetailPrefix = "This file could not be found on your hard drive:";
inline constexpr std::string_view kShortcutDetailPrefix = "The path of this file is incorrect : ";

struct ResultsViews {
    TextListView lvwRegistryProblems;      // "Summary"
    TextListView lvwRegistryErrorsDetail;  // "Details"
    // The summary row the user selected last (0-based), or -1.
    int selectedSummaryRow = -1;
    // Raised by every click and rebuild; a detail listing still running
    // from an earlier click stops when it sees a newer number.
    std::uint64_t listingGeneration = 0;
};

// Adds the section's summary row to lvwRegistryProblems when count is not 0.
void AddSummaryRow(ScanContext& context, std::int16_t count, std::string_view sectionName);

// Appends one detail row for every registry problem of the section, yielding
// after every row examined.
void ShowSectionDetails(ScanContext& context, std::string_view sectionName);

// A click on summary row `row` (0-based): empties the details and lists the
// problems of the section the row names.
void lvwRegistryProblems_ItemClick(ScanContext& context, int row);

// Rebuilds both views from what the problem lists hold now: the summary rows
// in catalogue order, then the shortcut row; the details emptied. Used after
// a repair that left some problems.
void RebuildResultsViews(ScanContext& context);

} // namespace hs
