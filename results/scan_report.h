// The scan report "ScanReport.txt": what the last scan looked at and found,
// written after every scan while the report option is on.
#pragma once

#include <string>

namespace hs {

class ScanContext;

inline constexpr const char* kReportFileName = "ScanReport.txt";

// The report folder ("txtLogFile", the program's folder by default) joined
// with the report file name.
std::string ScanReportPath(ScanContext& context);

// The report's bytes for the problem lists, the section list and the scan
// times as they stand, yielding after every listed row.
std::string ScanReportText(ScanContext& context);

// Writes the report when "chkMakeLogFile" is on, replacing an earlier one.
// True when a report was written completely.
bool MakeScanReport(ScanContext& context);

// The Return button: back to the main panel; Show Log is enabled exactly
// while a report file exists.
void ImgReturnMouseMove_Click(ScanContext& context);

} // namespace hs
