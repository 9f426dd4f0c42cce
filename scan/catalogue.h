// The catalogue of scan sections: what a scan looks at, in which order, under
// which names and from which registry keys.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace hs {

// Section names: written into every problem record of the section and
// matched by the walker's dispatch to choose the checker.
inline constexpr std::string_view kSectionCom = "ActiveX \\ COM";
inline constexpr std::string_view kSectionComSubsections = "ActiveX \\ COM Subsections";
inline constexpr std::string_view kSectionAppPaths = "Application Paths";
inline constexpr std::string_view kSectionHelpFiles = "Help Files";
inline constexpr std::string_view kSectionShared = "Microsoft Shared";
inline constexpr std::string_view kSectionStartup = "Windows Startup";
inline constexpr std::string_view kSectionUninstall = "Uninstall Section";
inline constexpr std::string_view kSectionVxd = "VxD Section";
inline constexpr std::string_view kSectionFonts = "Windows Fonts";

// The list text of drive entries, followed by the drive letter.
inline constexpr std::string_view kDriveEntryPrefix = "Window Shortcut ";

enum class WalkKind {
    ClassListing,  // subkey names shown one after the other; nothing tested
    KeyWalk,       // values of every key below the start key
    ValueWalk,     // values of the start key only
    ConfigWalk,    // a key walk that never reaches a checker
    DriveWalk,     // the folders of one drive, for shortcut files
};

struct StartKey {
    RegKey root;
    std::string_view rootName;
    std::string_view path;
};

struct ScanSection {
    int position;                  // 1-based place in the section list
    std::string listText;          // what the user sees; also its settings key
    std::string_view sectionName;  // empty where no problem can be recorded
    std::string_view statusCaption;
    WalkKind walk;
    std::vector<StartKey> startKeys;  // in walking order
};

inline constexpr int kFixedSectionCount = 11;
inline constexpr int kPositionRegistryIntegrity = 1;
inline constexpr int kPositionFonts = 10;
inline constexpr int kPositionConfigurationFiles = 11;

// The eleven fixed entries, in catalogue order. The fonts entry's start key
// depends on the platform: the Windows NT key when platformId is 2.
std::vector<ScanSection> FixedSections(std::int32_t platformId);

// The entry of one fixed drive at the given position (12 and on).
ScanSection DriveSection(char driveLetter, int position);

// The status caption a drive entry shows first, before its root is known.
inline constexpr std::string_view kShortcutsCaption = " Shortcuts...";

} // namespace hs
