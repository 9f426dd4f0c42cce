// The scan driver: one whole scan from the reset of the lists to the report.
#pragma once

#include <cstdint>
#include <string_view>

#include "scan/scan_context.h"

namespace hs {

// A complete scan of the ticked section list entries, then the report.
void RunScan(ScanContext& context);

// The loop over the section list by position: progress, highlight, the walks
// of each ticked entry and the summary rows. Returns early on a cancel.
void ScanSelectedSections(ScanContext& context);

// Counts the rows of lvwErrors recorded under sectionName (exactly) and adds
// its summary row. The count stops at 32767.
std::int16_t SummarizeSection(ScanContext& context, std::string_view sectionName);

// The drive root a drive entry's text names ("Window Shortcut C" -> "C:\"),
// or empty when the text is no drive entry.
std::string DriveRootOfEntry(std::string_view entryText);

} // namespace hs
