// A whole small machine in memory for scan-level tests: the stand-in
// registry and file system, the scripted host, settings in memory, a fixed
// clock, and a scan context with every checker installed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "checkers/checkers.h"
#include "platform/clock.h"
#include "platform/file_system_memory.h"
#include "platform/reg_file.h"
#include "platform/registry_memory.h"
#include "scan/scan_context.h"
#include "tests/support/test_host.h"

namespace hs::fakes {

// A clock that always answers the same moment, with fixed texts.
class FixedClock : public Clock {
public:
    LocalTime now{2026, 12, 10, 9, 5, 7};
    std::string timeText = "09:05:07";
    std::string dateText = "10/12/2026";

    LocalTime Now() override { return now; }
    std::string TimeOfDayText(const LocalTime&) override { return timeText; }
    std::string ShortDateText(const LocalTime&) override { return dateText; }
};

// RegistryType: the stand-in registry, or a test double around it.
template <typename RegistryType = MemoryRegistry>
struct BasicScanMachine {
    BasicScanMachine() : context(registry, settings, host, sound, files) {
        files.AddDrive('C', kDriveFixed);
        files.AddFolder("C:\\WINDOWS\\system32");
        files.AddFolder("C:\\Program Files\\Hivesweep");
        files.SetFolders("C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\Temp\\", "C:\\Program Files\\Hivesweep");
        context.view.SetSink(&sink);
        context.clock = &clock;
        InstallCheckers(context.checkers);
    }

    // Loads REGEDIT4 text (without its first line) into the registry.
    void Load(std::string_view regLines) {
        const std::string text = "REGEDIT4\r\n\r\n" + std::string(regLines);
        const auto error = ImportRegFile(registry, text);
        ASSERT_FALSE(error.has_value()) << "line " << error->line << ": " << error->message;
    }

    RegistryType registry;
    MemoryFileSystem files;
    ScriptedHost host;
    MemorySettings settings;
    RecordingSound sound;
    RecordingSink sink;
    FixedClock clock;
    ScanContext context;
};

using ScanMachine = BasicScanMachine<>;

} // namespace hs::fakes
