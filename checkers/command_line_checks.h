// The checkers of whole command lines: startup entries and the uninstall
// commands, whose file names are found by position arithmetic on dots,
// backslashes, drive markers (":\"), spaces, dashes, slashes and commas.
//
// Every operation takes the six arguments of a checker; dataText may be
// rewritten with the cleaned text, which a later row then shows.
#pragma once

#include <cstdint>
#include <string>

#include "scan/scan_context.h"

namespace hs {

// "Uninstall Section": chooses the checker by the value name in upper case
// (not trimmed): UNINSTALLSTRING and UNINSTALLPATH go to
// CheckCommandLineEntry, QUIETUNINSTALLSTRING to CheckQuietUninstallEntry,
// INSTALLSOURCE, MODIFYPATH and DISPLAYICON to CheckInstallPathEntry; any
// other value is not checked.
void CheckUninstallEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                         const std::string& valueName, std::string& dataText, const std::string& sectionName,
                         const std::string& keyPath);

// "Windows Startup" and the uninstall commands: the program of a command
// line. dataText loses its quotes. When no backslash follows the first dot
// (the short form) the program, or a plain file argument after it, is tested,
// in the system folder unless it holds a drive marker; otherwise the drive
// paths are tested (CheckDrivePaths) when a dot follows that backslash.
void CheckCommandLineEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                           const std::string& valueName, std::string& dataText, const std::string& sectionName,
                           const std::string& keyPath);

// A silent uninstall command, read as it is (quotes and blanks kept): a
// program without a drive is tested in the system folder, and the drive
// paths after the first space are tested.
void CheckQuietUninstallEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                              const std::string& valueName, std::string& dataText, const std::string& sectionName,
                              const std::string& keyPath);

// Tests the path that starts at the first drive letter (dataText becomes that
// path without its arguments) or, when a second drive marker follows, the two
// paths on either side of its drive letter, each on its own, so that one value
// can yield two rows; dataText is then left as it was.
void CheckDrivePaths(ScanContext& context, std::int32_t root, const std::string& rootName,
                     const std::string& valueName, std::string& dataText, const std::string& sectionName,
                     const std::string& keyPath);

// Tests a program name (dataText holds the candidate) whose extension has
// three characters: as it is when it holds a drive marker, else the text after
// its first space in the system folder.
void CheckBareProgram(ScanContext& context, std::int32_t root, const std::string& rootName,
                      const std::string& valueName, std::string& dataText, const std::string& sectionName,
                      const std::string& keyPath);

} // namespace hs
