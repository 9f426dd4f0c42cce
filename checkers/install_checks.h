// The checkers of shared-file, virtual-device and install-path values: a path
// is found by its drive marker ":\", a bare name is looked for in the system
// folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scan/scan_context.h"

namespace hs {

// "Microsoft Shared": every value below SOFTWARE\Microsoft\Shared Tools.
// Blank values, values without a dot, paths without a drive marker, bare
// names holding "*" and files whose extension is not three characters long
// are passed over. A path is tested from its drive letter on (rewriting
// dataText); a bare name is tested in the system folder.
void CheckSharedFileEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                          const std::string& valueName, std::string& dataText, const std::string& sectionName,
                          const std::string& keyPath);

// "VxD Section": the values of the virtual-device key. Like the shared-file
// checker, but any value with a dot is tested, whatever its extension.
void CheckVxdEntry(ScanContext& context, std::int32_t root, const std::string& rootName, const std::string& valueName,
                   std::string& dataText, const std::string& sectionName, const std::string& keyPath);

// The uninstall entry's InstallSource, ModifyPath and DisplayIcon values. The
// value loses its quotes and its arguments (from the first "/" or ","); web
// addresses and paths without a drive marker are passed over. dataText is
// rewritten with the cleaned text.
void CheckInstallPathEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                           const std::string& valueName, std::string& dataText, const std::string& sectionName,
                           const std::string& keyPath);

// ---- shared with the command-line checkers

// The text from the drive letter in front of the ":\" at 1-based position
// marker to the end; the whole text when the marker opens it.
std::string FromDriveLetter(const std::string& text, std::size_t marker);

// Records path as missing unless it exists or still holds an unexpanded
// "%NAME%" placeholder. Trailing spaces are kept in the row; the existence
// test ignores them, as the Windows file functions do.
void RecordWhenMissing(ScanContext& context, std::int32_t root, const std::string& rootName,
                       const std::string& valueName, const std::string& sectionName, const std::string& keyPath,
                       const std::string& path, bool joined);

} // namespace hs
