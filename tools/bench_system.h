// The benchmark system: a synthetic Windows installation of a chosen size,
// shaped like a real one, for timing scans on registries of a real machine's
// size.
//
// The registry holds COM classes (InprocServer32, LocalServer32,
// InprocHandler32, DefaultIcon, ProgID, ThreadingModel), file types,
// interfaces and type libraries, App Paths, Help and HTML Help, Shared Tools,
// Run subkeys and the user's menu order, Uninstall entries with command
// lines, virtual device drivers, fonts, and large subtrees below SOFTWARE,
// SYSTEM and the user's Software that only the configuration walk visits.
// A chosen share of the entries every section tests names a missing file.
//
// The drive (one fixed drive, kBenchDriveLetter) holds the Windows folder
// (S:\WINDOWS, system32, Fonts), the products' folders, shared tools, user
// folders with shell links (.lnk) and Internet shortcuts (.url), a share of
// them broken, and data folders.
//
// Everything follows from the plan: the same plan always gives the same
// registry and the same drive, so each half can be written on its own (the
// registry straight into a registry port, the drive into a host folder).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace hs::bench {

// A Windows 11 installation with Office.
inline constexpr std::size_t kWindows11Keys = 700000;
inline constexpr std::size_t kWindows11Values = 1200000;

inline constexpr char kBenchDriveLetter = 'S';
inline constexpr const char* kBenchWindowsFolder = "S:\\WINDOWS";
inline constexpr const char* kBenchSystemFolder = "S:\\WINDOWS\\system32";

struct BenchPlan {
    std::size_t keys = 100000;    // registry keys below the roots
    std::size_t values = 400000;  // registry values
    double brokenShare = 0.05;    // of the entries of every section, and of the shortcuts
    std::size_t driveFiles = 0;   // files on the drive; 0: keys / 5
    std::uint64_t seed = 1;

    std::size_t DriveFiles() const { return driveFiles != 0 ? driveFiles : keys / 5; }
};

// Reads a --size text into the plan: "KEYS", "KEYS,VALUES" (values default
// to four per key) or "win11" (the Windows 11 figures). False with a message
// for a person when it does not parse or is out of range.
bool ParseBenchSize(const std::string& text, BenchPlan& plan, std::string& error);

// One text that names the plan, for markers and file names.
std::string PlanTag(const BenchPlan& plan);

// What the generator wrote, and the problems it planted.
struct BenchSummary {
    std::size_t keys = 0;
    std::size_t values = 0;
    std::size_t folders = 0;
    std::size_t files = 0;
    std::size_t shellLinks = 0;         // .lnk files
    std::size_t internetShortcuts = 0;  // .url files
    // Entries that name a missing file, by section name, in catalogue
    // order; the COM classes count for both COM sections.
    std::vector<std::pair<std::string, std::size_t>> plantedBySection;
    std::size_t brokenShortcuts = 0;

    std::size_t PlantedRegistryProblems() const;
};

// Writes the registry half through the port: keys below HKEY_LOCAL_MACHINE
// and HKEY_CURRENT_USER (the classes go below
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes). The registry should hold none of
// these keys yet. Returns what was written; false in *ok (when given) when
// the registry refused a key or a value.
BenchSummary WriteBenchRegistry(Registry& registry, const BenchPlan& plan, bool* ok = nullptr);

// Writes the drive half into hostFolder, the host folder that stands for the
// drive's root, creating it when missing. A folder that holds the drive of
// the same plan already (its marker file) is left as it is; one that holds
// another bench drive is replaced; any other non-empty folder is refused.
// False with a message for a person in error.
bool WriteBenchDrive(const std::string& hostFolder, const BenchPlan& plan, BenchSummary* summary, std::string& error);

// The summary alone, without writing anything.
BenchSummary PlanBenchSystem(const BenchPlan& plan);

// The name of the marker file in the drive's root.
inline constexpr const char* kBenchMarkerName = "hivesweep-bench.txt";

} // namespace hs::bench
