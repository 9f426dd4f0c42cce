// The registry port over the real advapi32 calls (Windows builds only).
#pragma once

#include "platform/registry.h"

namespace hs {

// Passes every call straight to its advapi32 A function. Handles cross the
// port as the signed value of the HKEY, so predefined roots are sign-extended
// and the same numbers work in 32- and 64-bit builds.
class Win32Registry final : public Registry {
public:
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
};

} // namespace hs
