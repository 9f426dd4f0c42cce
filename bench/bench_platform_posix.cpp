// The native bench machine: the in-memory registry and the POSIX file
// system over host folders, drive S: mapped to the bench drive.
#include <chrono>
#include <filesystem>
#include <fstream>

#include "bench/bench_platform.h"
#include "platform/file_system_posix.h"
#include "platform/pump_host.h"
#include "platform/registry_memory.h"

namespace hs::bench {
namespace {

// The GUI host's gate without a message queue to pump.
class GateHost final : public Host {
public:
    void Yield() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        if (gate_.Due(static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()))) {
            ++turns;
        }
    }
    std::string AskMessageBox(const std::string&) override { return "NO"; }
    std::uint64_t turns = 0;

private:
    PumpGate gate_{kPumpIntervalMs};
};

class NativePlatform final : public BenchPlatform {
public:
    explicit NativePlatform(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}

    std::string Id() const override { return "native"; }
    std::string Description() const override {
        return "native: stand-ins (MemoryRegistry; PosixFileSystem, S: = " + driveFolder_ + ")";
    }

    bool LoadRegistry(const BenchPlan& plan, double& seconds, std::string& error) override {
        DropRegistry();
        const auto start = std::chrono::steady_clock::now();
        registry_ = std::make_unique<MemoryRegistry>();
        bool ok = true;
        static_cast<void>(WriteBenchRegistry(*registry_, plan, &ok));
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok) error = "the stand-in registry refused a key or value of the bench system";
        return ok;
    }
    void DropRegistry() override { registry_.reset(); }
    Registry& Reg() override { return *registry_; }

    bool PrepareDrive(const BenchPlan& plan, double& seconds, std::string& error) override {
        const auto start = std::chrono::steady_clock::now();
        tag_ = PlanTag(plan);
        driveFolder_ = std::filesystem::absolute(std::filesystem::path(dataFolder_) / ("drive-" + tag_)).string();
        if (!WriteBenchDrive(driveFolder_, plan, nullptr, error)) return false;
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::vector<PosixDrive> drives = {{kBenchDriveLetter, driveFolder_, kDriveFixed, true, "BENCH"}};
        const std::string temp = std::filesystem::absolute(std::filesystem::path(dataFolder_) / "temp").string();
        std::error_code code;
        std::filesystem::create_directories(temp, code);
        PosixFolders folders{kBenchSystemFolder, kBenchWindowsFolder, temp + "/", temp};
        files_ = std::make_unique<PosixFileSystem>(std::move(drives), folders);
        return true;
    }
    FileSystem& Files() override { return *files_; }

    std::string BackupFolder() override {
        const std::filesystem::path folder = std::filesystem::absolute(std::filesystem::path(dataFolder_) / "backups");
        std::error_code code;
        std::filesystem::create_directories(folder, code);
        return folder.string();
    }
    void MarkChanging(bool changing) override {
        // The registry is made anew for every run; only the drive is kept.
        std::ofstream marker(std::filesystem::path(driveFolder_) / kBenchMarkerName, std::ios::binary | std::ios::trunc);
        marker << (changing ? std::string("being repaired") : tag_) << "\r\n";
    }

    std::unique_ptr<Host> MakeGuiHost() override { return std::make_unique<GateHost>(); }
    std::string GuiHostName() const override { return "its portable part, PumpGate"; }

private:
    std::string dataFolder_;
    std::string driveFolder_;
    std::string tag_;
    std::unique_ptr<MemoryRegistry> registry_;
    std::unique_ptr<PosixFileSystem> files_;
};

} // namespace

std::unique_ptr<BenchPlatform> MakeBenchPlatform(const std::string& dataFolder, std::string& error) {
    if (dataFolder.empty()) {
        error = "--data FOLDER is needed natively (where the bench drives are written)";
        return nullptr;
    }
    return std::make_unique<NativePlatform>(dataFolder);
}

} // namespace hs::bench
