// One scan context over a bench machine, with every section of the scan
// ticked: the eleven registry entries, and the drive entry of the bench
// drive only (the host's other drives are not the bench's).
#pragma once

#include <string>

#include "bench/bench_table.h"
#include "checkers/checkers.h"
#include "scan/catalogue.h"
#include "scan/scan_context.h"
#include "scan/section_list.h"
#include "tools/bench_system.h"

namespace hs::bench {

struct Session {
    Session(Registry& registry, FileSystem& files, Host& host, bool withDrive)
        : context(registry, settings, host, sound, files), withDrive_(withDrive) {
        InstallCheckers(context.checkers);
        TickSections();
    }
    // The section list as the scan wants it (a repair reloads it from the
    // settings).
    void TickSections() {
        context.sections.entries.clear();
        for (const ScanSection& section : FixedSections(context.registry.GetPlatformId())) {
            context.sections.entries.push_back({section.listText, true, section.position});
        }
        if (withDrive_) {
            context.sections.entries.push_back(
                {std::string(kDriveEntryPrefix) + kBenchDriveLetter, true, kDriveEntryIcon});
        }
    }
    BenchSettings settings;
    Silence sound;
    ScanContext context;

private:
    bool withDrive_;
};

} // namespace hs::bench
