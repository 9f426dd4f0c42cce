// make_bench_system [--size KEYS[,VALUES]|win11] [--broken SHARE] [--files N]
//                   [--seed N] [--reg FILE.reg] [--drive FOLDER]
// Writes the benchmark system: the registry as a REGEDIT4 file, the drive
// into a host folder that stands for S:\. Either or both.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/reg_file.h"
#include "platform/registry_memory.h"
#include "tools/bench_system.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: make_bench_system [--size KEYS[,VALUES]|win11] [--broken SHARE] [--files N] [--seed N]\n"
                 "                         [--reg FILE.reg] [--drive FOLDER]\n");
    return 2;
}

bool Number(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv) {
    hs::bench::BenchPlan plan;
    std::string regFile, driveFolder, error;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage();
        const char* value = argv[++i];
        double number = 0;
        if (arg == "--size") {
            if (!hs::bench::ParseBenchSize(value, plan, error)) {
                std::fprintf(stderr, "make_bench_system: %s\n", error.c_str());
                return 2;
            }
        } else if (arg == "--broken" && Number(value, number) && number >= 0 && number <= 1) {
            plan.brokenShare = number;
        } else if (arg == "--files" && Number(value, number) && number >= 1) {
            plan.driveFiles = static_cast<std::size_t>(number);
        } else if (arg == "--seed" && Number(value, number) && number >= 0) {
            plan.seed = static_cast<std::uint64_t>(number);
        } else if (arg == "--reg") {
            regFile = value;
        } else if (arg == "--drive") {
            driveFolder = value;
        } else {
            return Usage();
        }
    }
    if (regFile.empty() && driveFolder.empty()) return Usage();

    if (!regFile.empty()) {
        hs::MemoryRegistry registry;
        bool ok = true;
        const hs::bench::BenchSummary summary = hs::bench::WriteBenchRegistry(registry, plan, &ok);
        if (!ok || !hs::ExportRegFileToPath(registry, regFile)) {
            std::fprintf(stderr, "make_bench_system: cannot write %s\n", regFile.c_str());
            return 2;
        }
        std::printf("make_bench_system: %zu keys, %zu values, %zu planted problems -> %s\n", summary.keys,
                    summary.values, summary.PlantedRegistryProblems(), regFile.c_str());
    }
    if (!driveFolder.empty()) {
        hs::bench::BenchSummary summary;
        if (!hs::bench::WriteBenchDrive(driveFolder, plan, &summary, error)) {
            std::fprintf(stderr, "make_bench_system: %s\n", error.c_str());
            return 2;
        }
        std::printf("make_bench_system: %zu folders, %zu files, %zu .lnk, %zu .url, %zu broken -> %s\n",
                    summary.folders, summary.files, summary.shellLinks, summary.internetShortcuts,
                    summary.brokenShortcuts, driveFolder.c_str());
    }
    return 0;
}
