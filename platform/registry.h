// The registry port: the advapi32 calls the program makes, in their ANSI shape.
//
// Every method mirrors one Win32 function: the same arguments (in/out buffer
// lengths included), the same status codes and the same partial outputs on
// failure, so that code written against this port behaves on the stand-in as
// it does on Windows. Text is in the system ANSI code page (UTF-8 on the
// portable build). A null name pointer means the key's unnamed value, as in
// Win32.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hs {

// A key handle. Predefined roots are their signed 32-bit values
// (HKEY_LOCAL_MACHINE = -2147483646); opened keys are whatever the
// implementation hands out. Zero is never a valid key.
using RegKey = std::int64_t;

// Win32 status codes (LONG) as the registry calls return them.
using RegStatus = std::int32_t;

inline constexpr RegStatus kErrorSuccess = 0;
inline constexpr RegStatus kErrorFileNotFound = 2;
inline constexpr RegStatus kErrorAccessDenied = 5;
inline constexpr RegStatus kErrorInvalidHandle = 6;
inline constexpr RegStatus kErrorInvalidParameter = 87;
inline constexpr RegStatus kErrorBadPathname = 161;
inline constexpr RegStatus kErrorMoreData = 234;
inline constexpr RegStatus kErrorNoMoreItems = 259;
inline constexpr RegStatus kErrorKeyDeleted = 1018;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Access masks the program passes.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// RegCreateKeyExA dispositions.
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// Longest key name component, in characters.
inline constexpr std::size_t kMaxKeyNameLength = 255;
// Longest value name, in characters.
inline constexpr std::size_t kMaxValueNameLength = 16383;

class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyExA. On failure *result is set to 0. An empty or null subKey
    // gives a new handle to the same key (the root itself for a root).
    virtual RegStatus OpenKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result) = 0;

    // RegOpenKeyA. An empty or null subKey returns the very handle passed in,
    // so closing the result closes the caller's key, as on Windows.
    virtual RegStatus OpenKey(RegKey key, const char* subKey, RegKey* result) = 0;

    // RegCreateKeyExA with no class, options 0 and no security: opens the key,
    // creating it and its missing parents. disposition may be null.
    virtual RegStatus CreateKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result,
                                  std::uint32_t* disposition) = 0;

    // RegEnumKeyExA. *nameLength and *classLength are buffer sizes in
    // characters including the NUL on input, lengths without it on success.
    // When the name or the class does not fit: kErrorMoreData and nothing
    // written. Past the end: kErrorNoMoreItems. className may be null.
    virtual RegStatus EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                                char* className, std::uint32_t* classLength) = 0;

    // RegEnumValueA, with the A call's overflow rules: a name that does not
    // fit is truncated into the buffer while the data is still copied; data
    // that does not fit leaves every buffer untouched and reports the size
    // needed in *dataLength. type, data and dataLength may be null.
    virtual RegStatus EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                                std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataLength) = 0;

    // RegQueryValueExA. With data null: the type and size only. A buffer too
    // small gives kErrorMoreData, the size needed, and an untouched buffer.
    // String data stored without NUL gets one written after it when the
    // buffer has room, not counted in the size.
    virtual RegStatus QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t* dataLength) = 0;

    // RegSetValueExA. As on Windows, string data whose length leaves out the
    // terminating NUL that follows it in memory is stored with that NUL.
    virtual RegStatus SetValueEx(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t length) = 0;

    // RegQueryValueExW of a whole value: its type and its data exactly as
    // stored, string types as UTF-16LE, with whatever terminator they were
    // stored with. The A call would turn characters outside the ANSI code
    // page into "?"; this one loses nothing. The name is ANSI, as everywhere
    // in this port. A missing value gives kErrorFileNotFound and leaves the
    // outputs alone.
    virtual RegStatus QueryValueWide(RegKey key, const char* valueName, std::uint32_t* type,
                                     std::vector<std::uint8_t>* data) = 0;

    // RegSetValueExW: stores type and data exactly as given (string types as
    // UTF-16LE). Unlike the bare call, never adds a terminator that happens
    // to follow the data in memory.
    virtual RegStatus SetValueWide(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                   std::uint32_t length) = 0;

    // RegDeleteValueA. A missing value gives kErrorFileNotFound.
    virtual RegStatus DeleteValue(RegKey key, const char* valueName) = 0;

    // RegDeleteTreeA of subKey below key, and subKey itself (tools and tests;
    // the scan and the repair never delete keys).
    virtual RegStatus DeleteTree(RegKey key, const char* subKey) = 0;

    // RegCloseKey. Closing a root succeeds and does nothing.
    virtual RegStatus CloseKey(RegKey key) = 0;

    // GetVersionExA's platform identifier: 2 for the Windows NT family, 0
    // when the query fails.
    virtual std::int32_t GetPlatformId() = 0;
};

} // namespace hs
