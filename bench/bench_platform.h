// The machine a benchmark run measures: the stand-ins natively, the real
// Win32 registry and file system in the Windows build (under Wine).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/registry.h"
#include "tools/bench_system.h"

namespace hs::bench {

class BenchPlatform {
public:
    virtual ~BenchPlatform() = default;

    // "native" or "wine" (or "windows"), and a line saying what it runs on.
    virtual std::string Id() const = 0;
    virtual std::string Description() const = 0;

    // Makes the registry of plan the one Registry() answers with: natively a
    // fresh stand-in generated straight from the plan; on Windows a scratch
    // key written once per plan and kept, with the predefined roots
    // redirected into it. seconds receives the time spent writing (0 when
    // it was there already).
    virtual bool LoadRegistry(const BenchPlan& plan, double& seconds, std::string& error) = 0;
    // Removes registries kept from earlier runs but those of keep (a large
    // registry that is not used still slows the Wine server down).
    virtual void ForgetOtherRegistries(const std::vector<BenchPlan>& keep) { static_cast<void>(keep); }
    // Lets go of the loaded registry (natively its memory).
    virtual void DropRegistry() = 0;
    virtual Registry& Reg() = 0;

    // The file system, with drive S: holding the bench drive of plan
    // (written when it is missing or of another plan).
    virtual bool PrepareDrive(const BenchPlan& plan, double& seconds, std::string& error) = 0;
    virtual FileSystem& Files() = 0;

    // A folder for the repair's backup files, outside the bench drive.
    virtual std::string BackupFolder() = 0;
    // While a repair and its restore run, the loaded registry and the drive
    // are marked as not to be trusted, so that a run cut short there makes
    // the next one write them anew.
    virtual void MarkChanging(bool changing) = 0;

    // The host the GUI program runs scans with; natively the portable part
    // of it (the gate that decides when a turn of the message loop is due).
    virtual std::unique_ptr<Host> MakeGuiHost() = 0;
    virtual std::string GuiHostName() const = 0;
};

// dataFolder: a host folder for the bench drives (native) or the folder
// that drive S: is mapped to (Windows); may be empty on Windows.
std::unique_ptr<BenchPlatform> MakeBenchPlatform(const std::string& dataFolder, std::string& error);

} // namespace hs::bench
