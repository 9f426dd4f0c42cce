// Shared-file, virtual-device and install-path checkers: one way of reading a
// value, with the few steps in which the three sections differ.
#include "checkers/install_checks.h"

#include "checkers/paths.h"

namespace hs {

namespace {

enum class Family { SharedFile, Vxd, InstallPath };

bool HasThreeCharacterExtension(const std::string& path) { return GetFileExtension(path).size() == 3; }

// The checker of the three sections. A path is tested from its drive letter;
// a bare name (no backslash) is tested in the system folder.
void CheckFamilyEntry(Family family, ScanContext& context, std::int32_t root, const std::string& rootName,
                      const std::string& valueName, std::string& data, const std::string& sectionName,
                      const std::string& keyPath) {
    const bool install = family == Family::InstallPath;
    if (install ? data.empty() : IsBlank(data)) return;
    if (install) data = StripQuotes(data);
    if (data.find('.') == std::string::npos) return;

    if (data.find('\\') != std::string::npos) {
        // Network paths and paths without a drive are never tested.
        const std::size_t marker = data.find(":\\");
        if (marker == std::string::npos) return;
        data = FromDriveLetter(data, marker + 1);
        if (install) data = CutArguments(data);
        if (family == Family::SharedFile && !HasThreeCharacterExtension(data)) return;
        RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath, data, false);
        return;
    }

    if (install && data.find(":/") != std::string::npos) return;  // a web address
    if (family == Family::SharedFile && data.find('*') != std::string::npos) return;
    if (install) data = CutArguments(data);
    const std::string path = AddBackslash(GetSystemFolder(context)) + data;
    if (family == Family::SharedFile && !HasThreeCharacterExtension(data)) return;
    RecordWhenMissing(context, root, rootName, valueName, sectionName, keyPath, path, true);
}

} // namespace

std::string FromDriveLetter(const std::string& text, std::size_t marker) {
    if (marker < 2) return text;
    return text.substr(marker - 2);
}

void RecordWhenMissing(ScanContext& context, std::int32_t root, const std::string& rootName,
                       const std::string& valueName, const std::string& sectionName, const std::string& keyPath,
                       const std::string& path, bool joined) {
    if (HoldsPlaceholder(path) || FileExists(context, path)) return;
    RecordProblem(context, root, rootName, valueName, sectionName, keyPath, path, joined);
}

void CheckSharedFileEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                          const std::string& valueName, std::string& dataText, const std::string& sectionName,
                          const std::string& keyPath) {
    CheckFamilyEntry(Family::SharedFile, context, root, rootName, valueName, dataText, sectionName, keyPath);
}

void CheckVxdEntry(ScanContext& context, std::int32_t root, const std::string& rootName, const std::string& valueName,
                   std::string& dataText, const std::string& sectionName, const std::string& keyPath) {
    CheckFamilyEntry(Family::Vxd, context, root, rootName, valueName, dataText, sectionName, keyPath);
}

void CheckInstallPathEntry(ScanContext& context, std::int32_t root, const std::string& rootName,
                           const std::string& valueName, std::string& dataText, const std::string& sectionName,
                           const std::string& keyPath) {
    CheckFamilyEntry(Family::InstallPath, context, root, rootName, valueName, dataText, sectionName, keyPath);
}

} // namespace hs
