// Checkers of the keys that list files by folder and name: the font list
// and the help file lists.
#pragma once

#include <cstdint>
#include <string>

#include "scan/scan_context.h"

namespace hs {

// The section "Windows Fonts": a value holding a path is tested as it
// stands, a bare file name in the Windows folder's Fonts folder. Every
// non-empty value is tested; quotes and extensions are not looked at.
void CheckFontEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                    const std::string& valueName, std::string& dataText, const std::string& sectionName,
                    const std::string& keyPath);

// The section "Help Files": the value name is a help file name, the data the
// folder that holds it; the two are joined and tested. Data of spaces alone
// is tested in the system folder.
void CheckHelpFileEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                        const std::string& valueName, std::string& dataText, const std::string& sectionName,
                        const std::string& keyPath);

} // namespace hs
