// The native bench machine: the in-memory registry and the POSIX file
// system over host folders, drive S: mapped to the bench drive.
#include <chrono>
#include <filesystem>
#include <fstream>

#include "bench/bench_platform.h"
#include "bench/heap_counter.h"
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

// The stand-in registry with its own memory (handles, enumeration arrays,
// the merged class view) kept out of the heap counts: on Windows all of
// that lives in the registry's process, not in the scan's.
class UncountedRegistry final : public Registry {
public:
    explicit UncountedRegistry(Registry& inner) : inner_(inner) {}

    RegStatus OpenKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result) override {
        UncountedScope off;
        return inner_.OpenKeyEx(key, subKey, access, result);
    }
    RegStatus OpenKey(RegKey key, const char* subKey, RegKey* result) override {
        UncountedScope off;
        return inner_.OpenKey(key, subKey, result);
    }
    RegStatus CreateKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result,
                          std::uint32_t* disposition) override {
        UncountedScope off;
        return inner_.CreateKeyEx(key, subKey, access, result, disposition);
    }
    RegStatus EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength, char* className,
                        std::uint32_t* classLength) override {
        UncountedScope off;
        return inner_.EnumKeyEx(key, index, name, nameLength, className, classLength);
    }
    RegStatus EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* dataLength) override {
        UncountedScope off;
        return inner_.EnumValue(key, index, name, nameLength, type, data, dataLength);
    }
    RegStatus QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* dataLength) override {
        UncountedScope off;
        return inner_.QueryValueEx(key, valueName, type, data, dataLength);
    }
    RegStatus SetValueEx(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t length) override {
        UncountedScope off;
        return inner_.SetValueEx(key, valueName, type, data, length);
    }
    // The data vector is the caller's: its memory counts.
    RegStatus QueryValueWide(RegKey key, const char* valueName, std::uint32_t* type,
                             std::vector<std::uint8_t>* data) override {
        return inner_.QueryValueWide(key, valueName, type, data);
    }
    RegStatus SetValueWide(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                           std::uint32_t length) override {
        UncountedScope off;
        return inner_.SetValueWide(key, valueName, type, data, length);
    }
    RegStatus DeleteValue(RegKey key, const char* valueName) override {
        UncountedScope off;
        return inner_.DeleteValue(key, valueName);
    }
    RegStatus DeleteTree(RegKey key, const char* subKey) override {
        UncountedScope off;
        return inner_.DeleteTree(key, subKey);
    }
    RegStatus CloseKey(RegKey key) override {
        UncountedScope off;
        return inner_.CloseKey(key);
    }
    std::int32_t GetPlatformId() override { return inner_.GetPlatformId(); }

private:
    Registry& inner_;
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
        uncounted_ = std::make_unique<UncountedRegistry>(*registry_);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok) error = "the stand-in registry refused a key or value of the bench system";
        return ok;
    }
    void DropRegistry() override {
        uncounted_.reset();
        registry_.reset();
    }
    Registry& Reg() override { return *registry_; }
    Registry& RegForMemory() override { return *uncounted_; }

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
    std::unique_ptr<UncountedRegistry> uncounted_;
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
