// Checkers of values that name a program module: COM class servers and
// application paths.
#pragma once

#include <cstdint>
#include <string>

#include "scan/scan_context.h"

namespace hs {

// The sections "ActiveX \ COM" and "ActiveX \ COM Subsections". Looks at
// values whose extension is OCX, AX, EXE or DLL: a value with a folder
// placeholder is expanded, a path is tested when it lies on a fixed drive,
// a bare name is tested in the system folder (but for a name starting with
// a dot). A missing file is recorded. dataText is rewritten without its
// surrounding quotes.
void CheckComEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                   const std::string& valueName, std::string& dataText, const std::string& sectionName,
                   const std::string& keyPath);

// The section "Application Paths": as CheckComEntry for the extensions EXE,
// DLL and OCX, but a path is tested on any drive, a bare name is always
// tested in the system folder, and "%Sysroot%" does not route a value to the
// placeholder expansion.
void CheckAppPathEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                       const std::string& valueName, std::string& dataText, const std::string& sectionName,
                       const std::string& keyPath);

} // namespace hs
