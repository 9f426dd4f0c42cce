// The bundled demo system: a small Windows XP-era installation written into a
// host folder, for trying the scanner out and for end-to-end tests.
//
// Layout below the output folder:
//   demo.reg            the registry, REGEDIT4, CR LF line ends
//   C/                  drive C: (fixed): WINDOWS, WINDOWS\system32, Program
//                       Files, Documents and Settings (user "Alex", All Users)
//   E/                  drive E: (removable)
//   hivesweep-demo.txt  this layout for a person; also marks the folder as a
//                       demo, so that writing again may replace it
//
// Every registry section that can record problems holds healthy entries
// (their files exist on the demo drives) and at least two broken ones,
// listed by PlantedProblems().
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system_posix.h"

namespace hs::demo {

inline constexpr std::string_view kRegFileName = "demo.reg";
inline constexpr std::string_view kMarkerFileName = "hivesweep-demo.txt";

// Drive C: is the host folder <out>/C, drive E: is <out>/E.
inline constexpr char kFixedDriveLetter = 'C';
inline constexpr char kRemovableDriveLetter = 'E';
inline constexpr std::string_view kFixedDriveFolder = "C";
inline constexpr std::string_view kRemovableDriveFolder = "E";

inline constexpr std::string_view kWindowsFolder = "C:\\WINDOWS";
inline constexpr std::string_view kSystemFolder = "C:\\WINDOWS\\system32";
inline constexpr std::string_view kTempFolder = "C:\\Documents and Settings\\Alex\\Local Settings\\Temp";
inline constexpr std::string_view kProgramFolder = "C:\\Program Files\\Hivesweep";
inline constexpr std::string_view kUserDesktop = "C:\\Documents and Settings\\Alex\\Desktop";
inline constexpr std::string_view kUserPrograms = "C:\\Documents and Settings\\Alex\\Start Menu\\Programs";
inline constexpr std::string_view kPublicDesktop = "C:\\Documents and Settings\\All Users\\Desktop";
inline constexpr std::string_view kPublicPrograms = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";

// A broken entry as the scan records it: the fields of its ProblemRecord but
// MainKey (the handle of rootName).
struct PlantedProblem {
    std::string_view section;   // Registry Scanners
    std::string_view rootName;  // mainkeyname
    std::string_view keyPath;   // FullKeyPath
    std::string_view keyName;   // KeyName ("(Default)" for a key's unnamed value)
    std::string_view keyValue;  // KeyValue: the missing file as the checker tests it
    bool joined;                // DefaultOrNot "Yes": a bare name joined with the system folder
};

// Every problem a scan of the demo records, grouped by section in catalogue
// order (within a section, not in walk order).
std::span<const PlantedProblem> PlantedProblems();

// A shortcut file of the demo and whether a scan must record it.
struct PlantedShortcut {
    std::string_view path;    // the shortcut file
    std::string_view target;  // what it points at, for a person
    bool broken;              // a missing target on a fixed drive
};

// Every shortcut file of the demo, in no particular order: broken ones,
// healthy ones, and ones a scan must pass over (a removable drive, a network
// share, a virtual folder, a web address).
std::span<const PlantedShortcut> PlantedShortcuts();

// Writes the demo into outFolder, creating it when missing. A folder that
// already holds something must be an earlier demo (it holds the marker
// file); its demo.reg, C and E are then replaced. On failure returns false
// with a message for a person in error.
bool WriteDemoSystem(const std::string& outFolder, std::string& error);

// The drives and folders of the demo for PosixFileSystem.
std::vector<PosixDrive> DemoDrives(const std::string& outFolder);
PosixFolders DemoFolders();

} // namespace hs::demo
