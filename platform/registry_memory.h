// The in-memory stand-in for the Windows registry.
//
// Behaves as the real advapi32 calls do (see registry.h): subkeys enumerate
// sorted by their upper-cased names, values in creation order, names match
// without regard to case and keep the case given at creation, and the buffer
// rules of the enumeration and query calls are the Win32 ones.
// HKEY_CLASSES_ROOT is not stored: it is a view of
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes merged with
// HKEY_CURRENT_USER\Software\Classes, the user's keys winning on reads;
// writes go to the user's key where it exists, else to the machine's.
// Open handles are counted, so tests can prove that every key was closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/registry.h"

namespace hs {

class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    RegStatus OpenKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result) override;
    RegStatus OpenKey(RegKey key, const char* subKey, RegKey* result) override;
    RegStatus CreateKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result,
                          std::uint32_t* disposition) override;
    RegStatus EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength, char* className,
                        std::uint32_t* classLength) override;
    RegStatus EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* dataLength) override;
    RegStatus QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* dataLength) override;
    RegStatus SetValueEx(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t length) override;
    RegStatus QueryValueWide(RegKey key, const char* valueName, std::uint32_t* type,
                             std::vector<std::uint8_t>* data) override;
    RegStatus SetValueWide(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                           std::uint32_t length) override;
    RegStatus DeleteValue(RegKey key, const char* valueName) override;
    RegStatus DeleteTree(RegKey key, const char* subKey) override;
    RegStatus CloseKey(RegKey key) override;
    std::int32_t GetPlatformId() override;

    // Handles handed out and not yet closed (roots are never counted).
    std::size_t OpenHandleCount() const;

    // What GetPlatformId answers; 2 (the NT family) unless a test says else.
    void SetPlatformId(std::int32_t id) { platformId_ = id; }

    struct State;

private:
    std::unique_ptr<State> state_;
    std::int32_t platformId_ = 2;
};

} // namespace hs
