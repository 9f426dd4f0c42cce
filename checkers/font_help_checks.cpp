// The font and help file checkers.
#include "checkers/font_help_checks.h"

#include "checkers/paths.h"

namespace hs {

void CheckFontEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                    const std::string& valueName, std::string& dataText, const std::string& sectionName,
                    const std::string& keyPath) {
    if (dataText.empty()) return;
    if (dataText.find('\\') != std::string::npos) {
        if (FileExists(context, dataText)) return;
        RecordProblem(context, root, rootName, valueName, sectionName, keyPath, dataText, false);
        return;
    }
    // The Fonts folder join never marks the row: only system-folder joins do.
    std::string path = AddBackslash(GetWindowsFolder(context));
    path += "Fonts\\";
    path += dataText;
    if (FileExists(context, path)) return;
    RecordProblem(context, root, rootName, valueName, sectionName, keyPath, path, false);
}

void CheckHelpFileEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                        const std::string& valueName, std::string& dataText, const std::string& sectionName,
                        const std::string& keyPath) {
    if (dataText.empty()) return;
    std::string full = dataText.back() == '\\' ? dataText : AddBackslash(dataText);
    full += valueName;
    if (full.find('\\') != std::string::npos) {
        if (FileExists(context, full)) return;
        RecordProblem(context, root, rootName, valueName, sectionName, keyPath, full, false);
        return;
    }
    // Reached only for a folder of spaces and a name without a backslash.
    std::string path = AddBackslash(GetSystemFolder(context));
    path += dataText;
    if (FileExists(context, path)) return;
    RecordProblem(context, root, rootName, valueName, sectionName, keyPath, path, true);
}

} // namespace hs
