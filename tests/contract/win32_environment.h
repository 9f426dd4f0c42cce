// The contract environment of the real advapi32 calls (Windows builds).
//
// Each case gets a scratch key below HKEY_CURRENT_USER, and the predefined
// roots HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT are
// redirected into it (RegOverridePredefKey), so the suite can run on a real
// Windows machine without touching its registry.
#pragma once

#include <windows.h>

#include <string>

#include "platform/registry_win32.h"
#include "tests/contract/registry_contract.h"
#include "tests/support/win32_scratch.h"

namespace hs::contract {

using fakes::RunningOnWine;

inline HKEY CreateReal(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    return key;
}

class Win32Environment : public RegistryEnvironment {
public:
    Win32Environment() {
        static int counter = 0;
        scratchPath_ = "Software\\HivesweepContract\\" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(++counter);
        HKEY scratch = CreateReal(HKEY_CURRENT_USER, scratchPath_);
        machine_ = CreateReal(scratch, "HKLM");
        classes_ = CreateReal(machine_, "SOFTWARE\\Classes");
        user_ = CreateReal(scratch, "HKCU");
        RegCloseKey(scratch);
        EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_));
        EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_));
        EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, user_));
        EXPECT_EQ(kErrorSuccess,
                  registry_.CreateKeyEx(kHkeyCurrentUser, "Software\\HivesweepContract", kKeyAllAccess, &base_, nullptr));
    }
    ~Win32Environment() override {
        registry_.CloseKey(base_);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(classes_);
        RegCloseKey(machine_);
        RegCloseKey(user_);
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str()));
    }
    Registry& Reg() override { return registry_; }
    RegKey Base() override { return base_; }
    bool IsWine() const override { return RunningOnWine(); }

private:
    Win32Registry registry_;
    std::string scratchPath_;
    HKEY machine_ = nullptr, classes_ = nullptr, user_ = nullptr;
    RegKey base_ = 0;
};

} // namespace hs::contract
