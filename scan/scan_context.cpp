// Dispatch by section name, and the problem-found hook.
#include "scan/scan_context.h"

#include <charconv>

#include "scan/catalogue.h"
#include "platform/registry_access.h"

namespace hs {

const CheckerFn* DispatchTable::ForSection(std::string_view sectionName) const {
    const std::pair<std::string_view, const CheckerFn*> table[] = {
        {kSectionCom, &CheckComEntry},
        {kSectionComSubsections, &CheckComEntry},
        {kSectionAppPaths, &CheckAppPathEntry},
        {kSectionHelpFiles, &CheckHelpFileEntry},
        {kSectionShared, &CheckSharedFileEntry},
        {kSectionStartup, &CheckCommandLineEntry},
        {kSectionUninstall, &CheckUninstallEntry},
        {kSectionVxd, &CheckVxdEntry},
        {kSectionFonts, &CheckFontEntry},
    };
    for (const auto& [name, checker] : table) {
        if (name == sectionName) return *checker ? checker : nullptr;
    }
    return nullptr;
}

namespace {

// A file of that name exists, hidden and system files included.
bool AnyFileNamed(FileSystem& files, const std::string& path) {
    FindData found;
    FindHandle search = files.FindFirstFile(path, found, nullptr);
    if (search == kInvalidFindHandle) return false;
    bool isFile = (found.attributes & kAttrDirectory) == 0;
    while (!isFile && files.FindNextFile(search, found, nullptr)) isFile = (found.attributes & kAttrDirectory) == 0;
    static_cast<void>(files.FindClose(search));
    return isFile;
}

} // namespace

bool OnProblemFound(ScanContext& context) {
    bool played = false;
    if (SettingAsNumber(context.settings.Read("chkPlaySound", 0)) == 1) {
        std::string wave = TrimBlanks(context.settings.Read("txtWaveFilesPath", ""));
        if (!wave.empty() && AnyFileNamed(context.files, wave)) played = context.sound.PlayAsync(wave);
    }
    // A count that is not a number is left as it is.
    const std::string& shown = context.view.Caption(Label::lblProblemsFound);
    long long count = 0;
    auto [end, error] = std::from_chars(shown.data(), shown.data() + shown.size(), count);
    if (error == std::errc() && end == shown.data() + shown.size() && !shown.empty()) {
        context.view.SetCaption(Label::lblProblemsFound, std::to_string(count + 1));
    }
    return played;
}

} // namespace hs
