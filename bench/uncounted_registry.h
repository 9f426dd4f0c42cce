// The registry as the memory measure sees it.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/heap_counter.h"
#include "platform/registry.h"

namespace hs::bench {

// A registry whose own memory inside its calls (natively the stand-in's
// handles, enumeration arrays and merged class view) is kept out of the heap
// counts: on Windows that memory lives in the registry's process, not in
// the scan's.
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

} // namespace hs::bench
