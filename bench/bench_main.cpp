// hivesweep_bench: times the scan on a synthetic system of a real machine's
// size against its floor (the same registry calls and file tests in bare
// loops), the shortcut walk against a bare directory walk, the cost of the
// GUI host's yields, the scan's memory at two registry sizes, and the repair
// and restore per problem. Prints one table; --tsv prints its rows for
// scripts/bench to merge.
//
// Runs are paired: within one run the scan and its floor are timed back to
// back (in alternating order), and the ratio of that run is kept; the table
// shows medians over the runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_platform.h"
#include "bench/bench_repair.h"
#include "bench/bench_session.h"
#include "bench/floor.h"
#include "bench/heap_counter.h"
#include "bench/uncounted_registry.h"
#include "scan/scan_driver.h"
#include "shortcuts/drive_walker.h"

namespace hs::bench {
namespace {

const std::string kDriveRoot = std::string(1, kBenchDriveLetter) + ":\\";

// ---------------------------------------------------------------------------
// Options

struct Options {
    BenchPlan plan;
    std::string data;
    int runs = 5;
    std::optional<BenchPlan> memoryPlan;  // the second size; default a quarter of the first
    std::size_t repairProblems = 1000;
    int repairRounds = 3;
    bool tsv = false;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: hivesweep_bench [--size KEYS[,VALUES]|win11] [--broken SHARE] [--files N] [--runs N]\n"
                 "                       [--memory-size KEYS[,VALUES]] [--repair N] [--repair-rounds N]\n"
                 "                       [--data FOLDER] [--tsv]\n");
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    std::string error;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--tsv") {
            options.tsv = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const std::string value = argv[++i];
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        const bool numeric = end != value.c_str() && *end == '\0';
        if (arg == "--size") {
            if (!ParseBenchSize(value, options.plan, error)) break;
        } else if (arg == "--memory-size") {
            BenchPlan second = options.plan;
            if (!ParseBenchSize(value, second, error)) break;
            options.memoryPlan = second;
        } else if (arg == "--broken" && numeric && number >= 0 && number <= 1) {
            options.plan.brokenShare = number;
        } else if (arg == "--files" && numeric && number >= 100) {
            options.plan.driveFiles = static_cast<std::size_t>(number);
        } else if (arg == "--runs" && numeric && number >= 1 && number <= 99) {
            options.runs = static_cast<int>(number);
        } else if (arg == "--repair-rounds" && numeric && number >= 1 && number <= 99) {
            options.repairRounds = static_cast<int>(number);
        } else if (arg == "--repair" && numeric && number >= 0) {
            options.repairProblems = static_cast<std::size_t>(number);
        } else if (arg == "--data") {
            options.data = value;
        } else {
            return false;
        }
    }
    if (!error.empty()) {
        std::fprintf(stderr, "hivesweep_bench: %s\n", error.c_str());
        return false;
    }
    if (!options.memoryPlan) {
        BenchPlan second = options.plan;
        second.keys = std::max<std::size_t>(1000, options.plan.keys / 4);
        second.values = options.plan.values / 4;
        options.memoryPlan = second;
    }
    // Both sizes scan drives of the same number of files.
    options.memoryPlan->driveFiles = options.plan.DriveFiles();
    return true;
}

void Note(const Options& options, const char* pattern, const std::string& text) {
    std::fprintf(options.tsv ? stderr : stdout, pattern, text.c_str());
    std::fflush(options.tsv ? stderr : stdout);
}

// ---------------------------------------------------------------------------
// The measures

struct ScanTimes {
    std::vector<double> scan, floor, registryFloor, directoryFloor, walk, walkFloor, gui;
    std::vector<double> scanRatio, walkRatio, registryRatio;
    std::vector<double> guiYieldTime, guiYields;
    std::uint64_t yields = 0;
};

// Times every yield of the host it wraps.
class TimedHost final : public Host {
public:
    explicit TimedHost(Host& inner) : inner_(inner) {}
    void Yield() override {
        const auto start = std::chrono::steady_clock::now();
        inner_.Yield();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++yields;
    }
    std::string AskMessageBox(const std::string& text) override { return inner_.AskMessageBox(text); }
    void Reset() {
        seconds = 0;
        yields = 0;
    }
    double seconds = 0;
    std::uint64_t yields = 0;

private:
    Host& inner_;
};

// What TimedHost adds to one yield by itself.
double TimerCostPerYield() {
    NullHost empty;
    TimedHost timed(empty);
    constexpr int kLoop = 1000000;
    for (int i = 0; i < kLoop; ++i) timed.Yield();
    return timed.seconds / kLoop;
}

void TimeScans(BenchPlatform& platform, ProbeFileSystem& files, const Options& options, Table& table) {
    Registry& registry = platform.Reg();
    const std::int32_t platformId = registry.GetPlatformId();
    NullHost nullHost;
    std::unique_ptr<Host> guiHost = platform.MakeGuiHost();
    TimedHost timedGui(*guiHost);
    Session scan(registry, files, nullHost, true);
    Session gui(registry, files, timedGui, true);
    Session walk(registry, files, nullHost, false);

    // The warm-up scan notes the paths the checkers and the reader test.
    files.recording = true;
    RunScan(scan.context);
    files.recording = false;
    const std::vector<std::string> tested = files.searchedPaths;
    const std::vector<std::string> targets = files.queriedPaths;
    const std::uint64_t yieldsPerScan = nullHost.yields;
    const BenchSummary planned = PlanBenchSystem(options.plan);
    Note(options, "%s\n",
         "warm-up scan: " + std::to_string(scan.context.lvwErrors.Count()) + " registry problems (planted " +
             std::to_string(planned.PlantedRegistryProblems()) + "), " +
             std::to_string(scan.context.lvwShortcut.Count()) + " broken shortcuts (planted " +
             std::to_string(planned.brokenShortcuts) + "); " + std::to_string(tested.size()) + " file tests, " +
             std::to_string(targets.size()) + " link targets, " + std::to_string(yieldsPerScan) + " yields");

    ScanTimes t;
    FloorCounts counts;
    for (int run = 0; run < options.runs; ++run) {
        double scanTime = 0, registryFloor = 0, directoryFloor = 0, walkTime = 0, walkFloor = 0, guiTime = 0;
        const auto timeScan = [&] { scanTime = Seconds([&] { RunScan(scan.context); }); };
        const auto timeFloor = [&] {
            counts = FloorCounts{};
            registryFloor = Seconds([&] {
                RegistryFloor(registry, platformId, counts);
                ExistenceFloor(files, tested, counts);
            });
            directoryFloor = Seconds([&] { DirectoryFloor(files, kDriveRoot, targets, counts); });
        };
        const auto timeWalk = [&] {
            walk.context.lvwShortcut.Clear();
            walk.context.StartLookupCache();
            walkTime = Seconds([&] { ScanDriveForShortcuts(walk.context, kDriveRoot); });
            walk.context.DropLookupCache();
        };
        const auto timeWalkFloor = [&] {
            FloorCounts ignored;
            walkFloor = Seconds([&] { DirectoryFloor(files, kDriveRoot, targets, ignored); });
        };
        const auto timeGui = [&] {
            timedGui.Reset();
            guiTime = Seconds([&] { RunScan(gui.context); });
        };
        if (run % 2 == 0) {
            timeScan(), timeFloor(), timeGui(), timeWalk(), timeWalkFloor();
        } else {
            timeFloor(), timeScan(), timeWalkFloor(), timeWalk(), timeGui();
        }
        const double floor = registryFloor + directoryFloor;
        t.scan.push_back(scanTime);
        t.floor.push_back(floor);
        t.registryFloor.push_back(registryFloor);
        t.directoryFloor.push_back(directoryFloor);
        t.walk.push_back(walkTime);
        t.walkFloor.push_back(walkFloor);
        t.gui.push_back(guiTime);
        t.scanRatio.push_back(scanTime / floor);
        t.walkRatio.push_back(walkTime / walkFloor);
        t.registryRatio.push_back((scanTime - walkTime) / registryFloor);
        t.guiYieldTime.push_back(timedGui.seconds);
        t.guiYields.push_back(static_cast<double>(timedGui.yields));
        Note(options, "%s\n",
             "run " + std::to_string(run + 1) + ": scan " + Ms(scanTime) + ", floor " + Ms(floor) + " (registry " +
                 Ms(registryFloor) + ", drive " + Ms(directoryFloor) + "), shortcut walk " + Ms(walkTime) +
                 " / floor " + Ms(walkFloor) + ", scan with the GUI host " + Ms(guiTime));
    }

    const double scanRatio = Median(t.scanRatio);
    table.Add({"scan", "full scan (RunScan, all sections) / its floor", "<= 1.25x",
               Ms(Median(t.scan)) + " / " + Ms(Median(t.floor)) + " = " + Number("%.2fx", scanRatio),
               Verdict(scanRatio <= 1.25)});
    table.Add({"scan-registry", "  of which registry sections 1-11 / their floor", "-",
               Ms(Median(t.scan) - Median(t.walk)) + " / " + Ms(Median(t.registryFloor)) + " = " +
                   Number("%.2fx", Median(t.registryRatio)),
               "-"});
    table.Add({"scan-counts", "  floor work: keys, values, file tests, folders, link files", "-",
               std::to_string(counts.keys) + ", " + std::to_string(counts.values) + ", " +
                   std::to_string(counts.tests) + ", " + std::to_string(counts.folders) + ", " +
                   std::to_string(counts.linkFiles),
               "-"});
    const double walkRatio = Median(t.walkRatio);
    table.Add({"walk", "shortcut walk (drive S:) / bare directory walk", "<= 1.25x",
               Ms(Median(t.walk)) + " / " + Ms(Median(t.walkFloor)) + " = " + Number("%.2fx", walkRatio),
               Verdict(walkRatio <= 1.25)});

    // The yield's share: the time spent inside the GUI host's yields during
    // the scans with it, less what timing each yield costs by itself.
    const double timerCost = TimerCostPerYield();
    std::vector<double> shares;
    for (std::size_t i = 0; i < t.gui.size(); ++i) {
        const double inYields = t.guiYieldTime[i] - timerCost * static_cast<double>(t.guiYields[i]);
        shares.push_back(std::max(0.0, inYields) / t.gui[i]);
    }
    const double share = Median(shares);
    table.Add({"yield", "GUI host's Yield, share of a scan", "<= 5%",
               Number("%.2f%%", share * 100) + " of " + Ms(Median(t.gui)) + " (" + platform.GuiHostName() + ")",
               Verdict(share <= 0.05)});
    table.Add({"yield-each", "  yields per scan, time in one", "-",
               std::to_string(yieldsPerScan) + ", " +
                   Number("%.0f ns", Median(t.guiYieldTime) / static_cast<double>(yieldsPerScan) * 1e9 - timerCost * 1e9),
               "-"});
}

// Peak heap over the loaded registry, at one size.
struct MemoryFigures {
    double peak = 0;      // most in use during the scan, over the baseline
    double retained = 0;  // still in use after it: the problem lists and results
    std::size_t problems = 0;
};

MemoryFigures MeasureMemory(BenchPlatform& platform) {
    ProbeFileSystem files(platform.Files());
    files.uncounted = true;
    UncountedRegistry registry(platform.Reg());
    NullHost host;
    MemoryFigures figures;
    {
        Session session(registry, files, host, true);
        const std::size_t baseline = HeapInUse();
        ResetHeapPeak();
        RunScan(session.context);
        figures.peak = static_cast<double>(HeapPeak() - baseline);
        figures.retained = static_cast<double>(HeapInUse() - baseline);
        figures.problems = session.context.lvwErrors.Count() + session.context.lvwShortcut.Count();
    }
    return figures;
}

// Each size is scanned over its own drive, so that both find only their
// planted problems.
bool MeasureMemories(BenchPlatform& platform, const Options& options, Table& table, std::string& error) {
    const BenchPlan sizes[2] = {*options.memoryPlan, options.plan};
    MemoryFigures figures[2];
    for (int i = 0; i < 2; ++i) {
        double seconds = 0;
        if (!platform.PrepareDrive(sizes[i], seconds, error)) return false;
        if (seconds > 1) Note(options, "%s\n", "drive " + PlanTag(sizes[i]) + " ready in " + Ms(seconds));
        if (!platform.LoadRegistry(sizes[i], seconds, error)) return false;
        if (seconds > 0) Note(options, "%s\n", "registry " + PlanTag(sizes[i]) + " written in " + Ms(seconds));
        figures[i] = MeasureMemory(platform);
    }
    const auto describe = [](const BenchPlan& plan, const MemoryFigures& f) {
        return std::to_string(plan.keys / 1000) + "k keys: peak +" + Mb(f.peak) + ", lists " + Mb(f.retained) +
               " (" + std::to_string(f.problems) + " problems)";
    };
    // Flat: what the scan holds beyond its lists does not grow with the
    // registry (a little slack for allocator rounding).
    const double transientSmall = figures[0].peak - figures[0].retained;
    const double transientLarge = figures[1].peak - figures[1].retained;
    const bool flat = transientLarge <= transientSmall * 1.25 + 256 * 1024;
    table.Add({"memory", "scan's peak heap over the loaded registry, two sizes", "flat",
               describe(sizes[0], figures[0]) + "; " + describe(sizes[1], figures[1]), Verdict(flat)});
    table.Add({"memory-transient", "  peak beyond the problem lists", "-",
               Mb(transientSmall) + " -> " + Mb(transientLarge), "-"});
    return true;
}

} // namespace

int Main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return Usage();
    std::string error;
    std::unique_ptr<BenchPlatform> platform = MakeBenchPlatform(options.data, error);
    if (!platform) {
        std::fprintf(stderr, "hivesweep_bench: %s\n", error.c_str());
        return 2;
    }
    Table table;
    platform->ForgetOtherRegistries({options.plan, *options.memoryPlan});
    // Memory first, ending with the main size's drive and registry in place
    // for the timings.
    if (!MeasureMemories(*platform, options, table, error)) {
        std::fprintf(stderr, "hivesweep_bench: %s\n", error.c_str());
        return 2;
    }
    ProbeFileSystem files(platform->Files());
    TimeScans(*platform, files, options, table);
    MeasureRepair(*platform, files, options.repairProblems, options.repairRounds, table);

    const BenchSummary planned = PlanBenchSystem(options.plan);
    const std::string header = platform->Description() + "\nsystem: " + std::to_string(planned.keys) + " keys, " +
                               std::to_string(planned.values) + " values, " + std::to_string(planned.files) +
                               " files (" + std::to_string(planned.shellLinks + planned.internetShortcuts) +
                               " shortcuts), " + Number("%g%% broken; ", options.plan.brokenShare * 100) +
                               std::to_string(options.runs) + " paired runs, medians";
    table.Print(options.tsv, header);
    platform->DropRegistry();
    return 0;
}

} // namespace hs::bench

int main(int argc, char** argv) {
    return hs::bench::Main(argc, argv);
}
