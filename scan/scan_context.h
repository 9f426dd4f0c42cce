// Everything one scan works with: the platform ports it calls, the host that
// runs it, and the models it fills (view, state, problem lists).
//
// The main window owns one for the program's life; the command line and the
// tests make their own.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/registry.h"
#include "platform/registry_access.h"
#include "platform/clock.h"
#include "platform/sound.h"
#include "results/panels.h"
#include "results/results_views.h"
#include "scan/problems.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"
#include "scan/section_list.h"
#include "settings/settings_store.h"

namespace hs {

class ScanContext;
class ShellLinks;

// A section checker: the context, then the six arguments the walker passes:
// root handle, root name, value name, data text (a fresh copy the checker may
// rewrite), section name and the path of the key that holds the value.
using CheckerFn = std::function<void(ScanContext& context, std::int32_t root, const std::string& rootName,
                                     const std::string& valueName, std::string& dataText,
                                     const std::string& sectionName, const std::string& keyPath)>;

// The checkers the dispatch reaches, one per family. A checker left empty is
// not called.
struct DispatchTable {
    CheckerFn CheckComEntry;
    CheckerFn CheckAppPathEntry;
    CheckerFn CheckHelpFileEntry;
    CheckerFn CheckSharedFileEntry;
    CheckerFn CheckCommandLineEntry;
    CheckerFn CheckUninstallEntry;
    CheckerFn CheckVxdEntry;
    CheckerFn CheckFontEntry;

    // The checker of a section name, matched exactly; null for none.
    const CheckerFn* ForSection(std::string_view sectionName) const;
};

class ScanContext {
public:
    ScanContext(Registry& registryPort, SettingsStore& settingsStore, Host& runningHost, Sound& soundPort,
                FileSystem& fileSystem)
        : registry(registryPort), settings(settingsStore), host(runningHost), sound(soundPort), files(fileSystem),
          access(registryPort) {}

    Registry& registry;
    SettingsStore& settings;
    Host& host;
    Sound& sound;
    FileSystem& files;
    RegistryAccess access;

    // Folder look-ups and the drive list, taken once per scan run: while
    // cacheLookups is on, a look-up fills its slot once and reuses it;
    // otherwise every use asks the system again.
    struct Lookups {
        std::optional<std::string> systemFolder;
        std::optional<std::string> windowsFolder;
        std::optional<std::string> programFilesFolder;
        std::optional<std::string> commonFilesFolder;
        std::optional<std::vector<DriveInfo>> drives;
        // The shortcut reader's file types, by extension exactly as it
        // stands in the file name (the type depends on nothing else).
        struct FileType {
            bool isLink = false;
            std::string type;
        };
        std::map<std::string, FileType, std::less<>> fileTypes;
    };
    Lookups lookups;
    bool cacheLookups = false;
    void StartLookupCache() {
        lookups = Lookups{};
        cacheLookups = true;
    }
    void DropLookupCache() {
        lookups = Lookups{};
        cacheLookups = false;
    }

    ScanView view;
    ScanState state;
    ProblemList<ProblemRecord> lvwErrors;
    ProblemList<ShortcutProblem> lvwShortcut;
    DispatchTable checkers;
    // How the shortcut scan reads shortcut files; null for the program's own
    // reader of the file formats (tests plug in their own).
    ShellLinks* links = nullptr;

    // The main window's models: the section list, the results lists and
    // which panels are shown.
    SectionList sections;
    ResultsViews results;
    MainPanels panels;

    // The time of day for the scan times, the report and backup names; the
    // system's clock unless a host or test sets its own.
    Clock* clock = nullptr;
    Clock& Time() { return clock != nullptr ? *clock : SystemClock(); }
};

// The problem-found hook, called once per recorded problem: plays the sound
// when the settings ask for it, and raises the shown problem count by one.
// True when it started a sound.
bool OnProblemFound(ScanContext& context);

} // namespace hs
