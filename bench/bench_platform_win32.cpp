// The Windows bench machine: the real registry with its predefined roots
// redirected into a scratch key that holds the bench system, and the real
// file system with the bench drive at S:.
#include <windows.h>

#include <chrono>
#include <fstream>

#include "platform/file_system_win32.h"
#include "platform/registry_win32.h"

#include "bench/bench_platform.h"
#include "platform/pump_host.h"

namespace hs::bench {
namespace {

constexpr const char* kScratchBase = "Software\\HivesweepBench";
constexpr const char* kCompleteValue = "Complete";

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class WindowsPlatform final : public BenchPlatform {
public:
    explicit WindowsPlatform(std::string driveRoot) : driveRoot_(std::move(driveRoot)) {}
    ~WindowsPlatform() override { DropRegistry(); }

    std::string Id() const override { return RunningOnWine() ? "wine" : "windows"; }
    std::string Description() const override {
        return Id() + ": Win32 registry (roots redirected to HKCU\\" + std::string(kScratchBase) +
               "\\<size>), Win32 file system (S: = the bench drive)";
    }

    bool LoadRegistry(const BenchPlan& plan, double& seconds, std::string& error) override {
        DropRegistry();
        seconds = 0;
        const std::string tag = PlanTag(plan);
        const std::string scratch = std::string(kScratchBase) + "\\" + tag;
        HKEY top = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top,
                            nullptr) != ERROR_SUCCESS) {
            error = "cannot create HKCU\\" + scratch;
            return false;
        }
        char stored[128] = {};
        DWORD size = sizeof stored - 1;
        const bool complete = RegQueryValueExA(top, kCompleteValue, nullptr, nullptr,
                                               reinterpret_cast<BYTE*>(stored), &size) == ERROR_SUCCESS &&
                              tag == stored;
        if (!complete) {
            // Whatever an interrupted run left goes first.
            RegCloseKey(top);
            RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
            RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top, nullptr);
        }
        HKEY classes = nullptr;
        RegCreateKeyExA(top, "HKLM", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine_, nullptr);
        RegCreateKeyExA(machine_, "SOFTWARE\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes, nullptr);
        RegCreateKeyExA(top, "HKCU", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user_, nullptr);
        classes_ = classes;
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_);
        RegOverridePredefKey(HKEY_CURRENT_USER, user_);
        if (!complete) {
            const auto start = std::chrono::steady_clock::now();
            bool ok = true;
            static_cast<void>(WriteBenchRegistry(registry_, plan, &ok));
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (!ok) {
                RegCloseKey(top);
                error = "the registry refused a key or value of the bench system";
                return false;
            }
            RegSetValueExA(top, kCompleteValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(tag.c_str()),
                           static_cast<DWORD>(tag.size() + 1));
        }
        RegCloseKey(top);
        scratch_ = scratch;
        tag_ = tag;
        return true;
    }

    void ForgetOtherRegistries(const std::vector<BenchPlan>& keep) override {
        DropRegistry();
        HKEY base = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kScratchBase, 0, KEY_ALL_ACCESS, &base) != ERROR_SUCCESS) return;
        std::vector<std::string> stale;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD length = sizeof name;
            if (RegEnumKeyExA(base, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            bool kept = false;
            for (const BenchPlan& plan : keep) kept = kept || PlanTag(plan) == name;
            if (!kept) stale.emplace_back(name, length);
        }
        for (const std::string& name : stale) RegDeleteTreeA(base, name.c_str());
        RegCloseKey(base);
    }

    void DropRegistry() override {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        for (HKEY* key : {&machine_, &classes_, &user_}) {
            if (*key != nullptr) RegCloseKey(*key);
            *key = nullptr;
        }
    }
    Registry& Reg() override { return registry_; }

    bool PrepareDrive(const BenchPlan& plan, double& seconds, std::string& error) override {
        const auto start = std::chrono::steady_clock::now();
        if (!WriteBenchDrive(driveRoot_, plan, nullptr, error)) return false;
        driveTag_ = PlanTag(plan);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return true;
    }
    FileSystem& Files() override { return files_; }

    std::string BackupFolder() override {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string folder = std::string(temp) + "HivesweepBench";
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }
    void MarkChanging(bool changing) override {
        // The predefined roots are redirected: reach the scratch key with
        // the redirection off, and put it back.
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        HKEY top = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, scratch_.c_str(), 0, KEY_ALL_ACCESS, &top) == ERROR_SUCCESS) {
            if (changing) {
                RegDeleteValueA(top, kCompleteValue);
            } else {
                RegSetValueExA(top, kCompleteValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(tag_.c_str()),
                               static_cast<DWORD>(tag_.size() + 1));
            }
            RegCloseKey(top);
        }
        RegOverridePredefKey(HKEY_CURRENT_USER, user_);
        std::ofstream marker(driveRoot_ + kBenchMarkerName, std::ios::binary | std::ios::trunc);
        marker << (changing ? std::string("being repaired") : driveTag_) << "\r\n";
    }

    std::unique_ptr<Host> MakeGuiHost() override {
        return std::make_unique<PumpHost>([](const std::string&) { return std::string("NO"); });
    }
    std::string GuiHostName() const override { return "PumpHost, pumping when due"; }

private:
    std::string driveRoot_;
    std::string scratch_, tag_, driveTag_;
    Win32Registry registry_;
    Win32FileSystem files_;
    HKEY machine_ = nullptr, classes_ = nullptr, user_ = nullptr;
};

} // namespace

std::unique_ptr<BenchPlatform> MakeBenchPlatform(const std::string& dataFolder, std::string& error) {
    const std::string root = dataFolder.empty() ? std::string(1, kBenchDriveLetter) + ":\\" : dataFolder;
    if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = root + " is missing: map drive S: to an empty folder first (under Wine: a symbolic link "
                       "$WINEPREFIX/dosdevices/s: to a host folder)";
        return nullptr;
    }
    return std::make_unique<WindowsPlatform>(root);
}

} // namespace hs::bench
