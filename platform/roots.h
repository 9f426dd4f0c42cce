// The six registry roots the program knows, by name and predefined handle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/registry.h"

namespace hs {

inline constexpr RegKey kHkeyClassesRoot = -2147483647 - 1;
inline constexpr RegKey kHkeyCurrentUser = -2147483647;
inline constexpr RegKey kHkeyLocalMachine = -2147483646;
inline constexpr RegKey kHkeyUsers = -2147483645;
inline constexpr RegKey kHkeyCurrentConfig = -2147483643;
inline constexpr RegKey kHkeyDynData = -2147483642;

struct RootEntry {
    std::string_view name;
    RegKey handle;
};

inline constexpr std::array<RootEntry, 6> kRoots{{
    {"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
    {"HKEY_CURRENT_USER", kHkeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
    {"HKEY_USERS", kHkeyUsers},
    {"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
    {"HKEY_DYN_DATA", kHkeyDynData},
}};

// The handle of a root named exactly (case and all) as in the table.
constexpr std::optional<RegKey> RootHandleByName(std::string_view name) {
    for (const auto& root : kRoots) {
        if (root.name == name) return root.handle;
    }
    return std::nullopt;
}

// The name of a predefined handle; empty for any other handle.
constexpr std::string_view RootNameByHandle(RegKey handle) {
    for (const auto& root : kRoots) {
        if (root.handle == handle) return root.name;
    }
    return {};
}

// True for the predefined range 0x80000000..0x80000006 (as signed values).
constexpr bool IsPredefinedKey(RegKey handle) {
    return handle >= kHkeyClassesRoot && handle <= kHkeyDynData;
}

} // namespace hs
