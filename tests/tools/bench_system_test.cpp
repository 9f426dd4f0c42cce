// The benchmark system: the registry holds exactly the keys and values asked
// for, a whole scan of it with the real checkers over its drive finds
// exactly the problems it planted in every section and on the drive, and the
// drive writer keeps a current drive and refuses a folder that is none.
// Natively only: the drive is a host folder through the POSIX file system.
#ifndef _WIN32
#include "tools/bench_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "checkers/checkers.h"
#include "platform/file_system_posix.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "scan/scan_driver.h"
#include "tests/support/test_host.h"
#include "tests/support/temp_folder.h"

namespace hs {
namespace {

namespace stdfs = std::filesystem;

// Keys and values below a key, itself not counted.
void Count(Registry& registry, RegKey key, std::size_t& keys, std::size_t& values) {
    for (std::uint32_t i = 0;; ++i) {
        char name[256];
        std::uint32_t length = sizeof name;
        if (registry.EnumValue(key, i, name, &length, nullptr, nullptr, nullptr) != kErrorSuccess) break;
        ++values;
    }
    for (std::uint32_t i = 0;; ++i) {
        char name[256];
        std::uint32_t length = sizeof name;
        if (registry.EnumKeyEx(key, i, name, &length, nullptr, nullptr) != kErrorSuccess) break;
        ++keys;
        RegKey child = 0;
        ASSERT_EQ(kErrorSuccess, registry.OpenKeyEx(key, name, kKeyRead, &child));
        Count(registry, child, keys, values);
        registry.CloseKey(child);
    }
}

bench::BenchPlan SmallPlan() {
    bench::BenchPlan plan;
    plan.keys = 3000;
    plan.values = 11000;
    plan.brokenShare = 0.1;
    plan.driveFiles = 700;
    plan.seed = 7;
    return plan;
}

TEST(BenchSystem, RegistryHoldsTheSizeAskedFor) {
    const bench::BenchPlan plan = SmallPlan();
    MemoryRegistry registry;
    bool ok = false;
    const bench::BenchSummary summary = bench::WriteBenchRegistry(registry, plan, &ok);
    ASSERT_TRUE(ok);
    std::size_t keys = 0, values = 0;
    Count(registry, kHkeyLocalMachine, keys, values);
    Count(registry, kHkeyCurrentUser, keys, values);
    EXPECT_EQ(plan.keys, keys);
    EXPECT_EQ(plan.values, values);
    EXPECT_EQ(keys, summary.keys);
    EXPECT_EQ(values, summary.values);
}

TEST(BenchSystem, ScanFindsExactlyThePlantedProblems) {
    fakes::TempFolder temp{"hs-bench-"};
    const bench::BenchPlan plan = SmallPlan();
    const std::string driveFolder = (temp.Path() / "S").string();
    bench::BenchSummary summary;
    std::string error;
    ASSERT_TRUE(bench::WriteBenchDrive(driveFolder, plan, &summary, error)) << error;

    MemoryRegistry registry;
    static_cast<void>(bench::WriteBenchRegistry(registry, plan));
    PosixFileSystem files({{bench::kBenchDriveLetter, driveFolder, kDriveFixed, true, "BENCH"}},
                          {bench::kBenchSystemFolder, bench::kBenchWindowsFolder, (temp.Path() / "tmp").string(),
                           (temp.Path() / "program").string()});
    fakes::ScriptedHost host;
    fakes::MemorySettings settings;
    fakes::RecordingSound sound;
    ScanContext context(registry, settings, host, sound, files);
    InstallCheckers(context.checkers);
    for (const ScanSection& section : FixedSections(registry.GetPlatformId())) {
        context.sections.entries.push_back({section.listText, true, section.position});
    }
    context.sections.entries.push_back({"Window Shortcut S", true, kDriveEntryIcon});
    RunScan(context);

    std::map<std::string, std::size_t> found;
    for (const ProblemRecord& row : context.lvwErrors.Rows()) ++found[row.RegistryScanners];
    for (const auto& [section, planted] : summary.plantedBySection) {
        EXPECT_GT(planted, 0u) << section;
        EXPECT_EQ(planted, found[section]) << section;
    }
    EXPECT_EQ(summary.PlantedRegistryProblems(), context.lvwErrors.Count());
    EXPECT_GT(summary.brokenShortcuts, 0u);
    EXPECT_EQ(summary.brokenShortcuts, context.lvwShortcut.Count());
    // Every key the scan opened is closed again.
    EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(BenchSystem, DriveWriterKeepsACurrentDriveAndRefusesOtherFolders) {
    fakes::TempFolder temp{"hs-bench-"};
    bench::BenchPlan plan = SmallPlan();
    plan.keys = 1000;
    plan.values = 2000;
    plan.driveFiles = 200;
    const stdfs::path drive = temp.Path() / "S";
    std::string error;
    ASSERT_TRUE(bench::WriteBenchDrive(drive.string(), plan, nullptr, error)) << error;

    // A file the writer does not know survives a second write of the same plan...
    std::ofstream(drive / "kept.txt") << "x";
    ASSERT_TRUE(bench::WriteBenchDrive(drive.string(), plan, nullptr, error)) << error;
    EXPECT_TRUE(stdfs::exists(drive / "kept.txt"));
    // ...and goes when another plan replaces the drive.
    plan.seed = 8;
    ASSERT_TRUE(bench::WriteBenchDrive(drive.string(), plan, nullptr, error)) << error;
    EXPECT_FALSE(stdfs::exists(drive / "kept.txt"));

    const stdfs::path other = temp.Path() / "other";
    stdfs::create_directories(other);
    std::ofstream(other / "mine.txt") << "x";
    EXPECT_FALSE(bench::WriteBenchDrive(other.string(), plan, nullptr, error));
    EXPECT_TRUE(stdfs::exists(other / "mine.txt"));
}

TEST(BenchSystem, SizeTexts) {
    const struct {
        const char* text;
        bool ok;
        std::size_t keys, values;
    } kCases[] = {
        {"100000", true, 100000, 400000}, {"5000,7000", true, 5000, 7000}, {"win11", true, 700000, 1200000},
        {"999", false, 0, 0},             {"12x", false, 0, 0},            {"1000,", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : kCases) {
        bench::BenchPlan plan;
        std::string error;
        EXPECT_EQ(c.ok, bench::ParseBenchSize(c.text, plan, error)) << c.text;
        if (c.ok) {
            EXPECT_EQ(c.keys, plan.keys) << c.text;
            EXPECT_EQ(c.values, plan.values) << c.text;
        } else {
            EXPECT_FALSE(error.empty()) << c.text;
        }
    }
}

} // namespace
} // namespace hs
#endif
