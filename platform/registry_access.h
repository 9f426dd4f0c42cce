// The program's own small registry operations, on top of the registry port.
//
// Each opens and closes its key within the call. None shows anything; the
// write operations leave the registry as it was when a step fails, and
// return the status so that callers which must know (the repair) can.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace hs {

// A value's data as the program reads it: text for REG_SZ, a number for
// REG_DWORD.
struct ValueData {
    RegStatus status = kErrorSuccess;
    std::optional<std::string> text;
    std::optional<std::int32_t> number;
};

// A value whole, as the registry stores it: the type and the data bytes
// (string types as UTF-16LE, with whatever terminator they were stored with).
struct RawValue {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
    bool operator==(const RawValue&) const = default;
};

// What WriteValue takes for a number: plain decimal text with optional sign,
// decimal point, exponent and surrounding blanks. Gives the value rounded to
// the nearest integer (a half to the even neighbour), or nothing when the text
// is no number or the number lies outside the signed 32-bit range.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);
// True when the text has the shape of such a number, whatever its size.
bool LooksNumeric(std::string_view text);
// The number a REG_DWORD's four little-endian bytes hold, signed.
std::int32_t DecodeDword(const std::uint8_t* bytes);
// Removes blanks (spaces) at both ends.
std::string TrimBlanks(std::string_view text);

class RegistryAccess {
public:
    explicit RegistryAccess(Registry& registry) : registry_(registry) {}

    Registry& Port() { return registry_; }

    // The value as text (a number as its decimal text). Nothing when the key
    // or the value is missing or of another type.
    std::optional<std::string> ReadTextValue(RegKey root, const std::string& keyPath, const std::string& valueName);

    // The read step of ReadTextValue, on an open key. Other types than
    // REG_SZ and REG_DWORD give status -1.
    ValueData QueryValueData(RegKey key, const std::string& valueName);

    // Writes into an existing key: REG_DWORD when the text is a number that
    // fits 32 bits, else REG_SZ of the text without its surrounding blanks.
    // A missing key is not created.
    RegStatus WriteValue(RegKey root, const std::string& keyPath, const std::string& valueName, std::string_view value);

    // Writes, creating the key (with its parents) when it cannot be opened.
    RegStatus SetValueCreatingKey(RegKey root, const std::string& keyPath, const std::string& valueName,
                                  std::string_view data, std::uint32_t type);

    RegStatus CreateKey(RegKey root, const std::string& keyPath);

    // REG_SZ: the text and a NUL. REG_DWORD: the text as a number. Other
    // types write nothing and give 0; a REG_DWORD text that is no 32-bit
    // number writes nothing and gives kErrorInvalidParameter.
    RegStatus SetValueData(RegKey key, const std::string& valueName, std::uint32_t type, std::string_view data);

    // Reads one value whole through the wide-character call, so that nothing
    // of its text is lost. kErrorFileNotFound when the key or the value is
    // missing; value is set only on success.
    RegStatus ReadRawValue(RegKey root, const std::string& keyPath, const std::string& valueName, RawValue& value);

    // Writes a value exactly as read by ReadRawValue, creating the key (with
    // its parents) when it cannot be opened.
    RegStatus WriteRawValueCreatingKey(RegKey root, const std::string& keyPath, const std::string& valueName,
                                       const RawValue& value);

    // Deletes one value; an empty name means the key's unnamed value.
    RegStatus DeleteValue(RegKey root, const std::string& keyPath, const std::string& valueName);

    std::int32_t GetPlatformId() { return registry_.GetPlatformId(); }

private:
    Registry& registry_;
};

} // namespace hs
