// The section catalogue's table.
#include "scan/catalogue.h"

#include "platform/roots.h"

namespace hs {

namespace {

constexpr StartKey Hkcr(std::string_view path) {
    return {kHkeyClassesRoot, "HKEY_CLASSES_ROOT", path};
}
constexpr StartKey Hkcu(std::string_view path) {
    return {kHkeyCurrentUser, "HKEY_CURRENT_USER", path};
}
constexpr StartKey Hklm(std::string_view path) {
    return {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", path};
}

constexpr std::string_view kNtFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr std::string_view kOldFontsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

} // namespace

std::vector<ScanSection> FixedSections(std::int32_t platformId) {
    const StartKey fonts = Hklm(platformId == 2 ? kNtFontsKey : kOldFontsKey);
    return {
        {1, "Registry Integrity", "", "Registry Integrity", WalkKind::ClassListing, {Hkcr("CLSID")}},
        {2, "Custom Controls", kSectionCom, " Custom Controls....", WalkKind::KeyWalk, {Hkcr("CLSID")}},
        {3, "Sub Section Controls", kSectionComSubsections, " Sub Section Controls....", WalkKind::KeyWalk,
         {Hklm("SOFTWARE\\Classes\\CLSID")}},
        {4, "Software Locations", kSectionAppPaths, " Software Locations....", WalkKind::KeyWalk,
         {Hklm("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths")}},
        {5, "Help Files", kSectionHelpFiles, "Help Files", WalkKind::ValueWalk,
         {Hklm("SOFTWARE\\Microsoft\\Windows\\Help"), Hklm("SOFTWARE\\Microsoft\\Windows\\HTML Help")}},
        {6, "Shared Files", kSectionShared, " Shared files....", WalkKind::KeyWalk,
         {Hklm("SOFTWARE\\Microsoft\\Shared Tools")}},
        {7, "Windows Startup", kSectionStartup, "Windows Startup", WalkKind::KeyWalk,
         {Hklm("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"),
          Hkcu("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs")}},
        {8, "Uninstall Section", kSectionUninstall, " Uninstall files...", WalkKind::KeyWalk,
         {Hklm("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall")}},
        {9, "Virtual Devices", kSectionVxd, " Virtual Devices...", WalkKind::ValueWalk,
         {Hklm("SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers")}},
        {10, "Windows Fonts", kSectionFonts, " Windows fonts...", WalkKind::ValueWalk, {fonts}},
        // Passed to the walk as "Application Paths", but the walk never
        // dispatches while this entry's caption is shown.
        {11, "Configuration files", kSectionAppPaths, " Configuration files...", WalkKind::ConfigWalk,
         {Hklm("SOFTWARE"), Hklm("SOFTWARE\\Classes")}},
    };
}

ScanSection DriveSection(char driveLetter, int position) {
    return {position, std::string(kDriveEntryPrefix) + driveLetter, "", kShortcutsCaption, WalkKind::DriveWalk, {}};
}

} // namespace hs
