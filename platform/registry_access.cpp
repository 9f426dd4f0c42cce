// The program's registry operations: read text, write, create, delete.
#include "platform/registry_access.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace hs {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Closes a key when the scope ends.
class KeyCloser {
public:
    KeyCloser(Registry& registry, RegKey key) : registry_(registry), key_(key) {}
    ~KeyCloser() { static_cast<void>(registry_.CloseKey(key_)); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    Registry& registry_;
    RegKey key_;
};

// Stores a number as a little-endian REG_DWORD.
RegStatus SetDword(Registry& registry, RegKey key, const std::string& valueName, std::int32_t number) {
    auto raw = static_cast<std::uint32_t>(number);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(raw), static_cast<std::uint8_t>(raw >> 8),
                                   static_cast<std::uint8_t>(raw >> 16), static_cast<std::uint8_t>(raw >> 24)};
    return registry.SetValueEx(key, valueName.c_str(), kRegDword, bytes, 4);
}

} // namespace

std::int32_t DecodeDword(const std::uint8_t* bytes) {
    std::uint32_t raw = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return static_cast<std::int32_t>(raw);
}

std::string TrimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool LooksNumeric(std::string_view text) {
    std::string t = TrimBlanks(text);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && IsDigit(t[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == t.size();
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    if (!LooksNumeric(text)) return std::nullopt;
    std::string t = TrimBlanks(text);
    // strtod reads the shape checked above exactly (to the nearest double);
    // nearbyint rounds a half to the even neighbour in the default mode.
    double value = std::strtod(t.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double rounded = std::nearbyint(value);
    std::fesetround(savedMode);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::string> RegistryAccess::ReadTextValue(RegKey root, const std::string& keyPath,
                                                         const std::string& valueName) {
    // Reading needs no more than read access: asking for all access, as the
    // writes do, would fail below HKEY_LOCAL_MACHINE for ordinary users.
    RegKey key = 0;
    if (registry_.OpenKeyEx(root, keyPath.c_str(), kKeyRead, &key) != kErrorSuccess) return std::nullopt;
    KeyCloser closer(registry_, key);
    ValueData data = QueryValueData(key, valueName);
    if (data.status != kErrorSuccess) return std::nullopt;
    if (data.number) return std::to_string(*data.number);
    return data.text.value_or(std::string());
}

ValueData RegistryAccess::QueryValueData(RegKey key, const std::string& valueName) {
    ValueData result;
    std::uint32_t type = 0, size = 0;
    result.status = registry_.QueryValueEx(key, valueName.c_str(), &type, nullptr, &size);
    if (result.status != kErrorSuccess) return result;
    if (type == kRegSz) {
        std::vector<std::uint8_t> buffer(size, 0);
        result.status = registry_.QueryValueEx(key, valueName.c_str(), nullptr, buffer.data(), &size);
        if (result.status != kErrorSuccess) {
            result.text = std::string();
            return result;
        }
        // The terminating NUL is dropped; data stored without one keeps
        // every character.
        std::size_t length = std::min<std::size_t>(size, buffer.size());
        if (length > 0 && buffer[length - 1] == 0) --length;
        result.text = std::string(reinterpret_cast<const char*>(buffer.data()), length);
        return result;
    }
    if (type == kRegDword) {
        std::uint8_t bytes[4] = {};
        std::uint32_t four = sizeof bytes;
        result.status = registry_.QueryValueEx(key, valueName.c_str(), nullptr, bytes, &four);
        if (result.status == kErrorSuccess) result.number = DecodeDword(bytes);
        return result;
    }
    result.status = -1;
    return result;
}

RegStatus RegistryAccess::WriteValue(RegKey root, const std::string& keyPath, const std::string& valueName,
                                     std::string_view value) {
    // A number that does not fit 32 bits is stored as text, never as another
    // number.
    std::optional<std::int32_t> number = ParseWholeNumber(value);
    RegKey key = 0;
    RegStatus status = registry_.OpenKey(root, keyPath.c_str(), &key);
    if (status != kErrorSuccess) return status;
    KeyCloser closer(registry_, key);
    if (number) {
        return SetDword(registry_, key, valueName, *number);
    }
    // Written without its NUL; the registry adds the NUL that follows in
    // memory, as it does on Windows.
    std::string text = TrimBlanks(value);
    return registry_.SetValueEx(key, valueName.c_str(), kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                static_cast<std::uint32_t>(text.size()));
}

RegStatus RegistryAccess::SetValueCreatingKey(RegKey root, const std::string& keyPath, const std::string& valueName,
                                              std::string_view data, std::uint32_t type) {
    RegKey key = 0;
    if (registry_.OpenKeyEx(root, keyPath.c_str(), kKeyAllAccess, &key) != kErrorSuccess) {
        RegStatus created = registry_.CreateKeyEx(root, keyPath.c_str(), kKeyAllAccess, &key, nullptr);
        if (created != kErrorSuccess) return created;
    }
    KeyCloser closer(registry_, key);
    return SetValueData(key, valueName, type, data);
}

RegStatus RegistryAccess::CreateKey(RegKey root, const std::string& keyPath) {
    RegKey key = 0;
    RegStatus status = registry_.CreateKeyEx(root, keyPath.c_str(), kKeyAllAccess, &key, nullptr);
    if (status == kErrorSuccess) static_cast<void>(registry_.CloseKey(key));
    return status;
}

RegStatus RegistryAccess::SetValueData(RegKey key, const std::string& valueName, std::uint32_t type,
                                       std::string_view data) {
    if (type == kRegSz) {
        std::string text(data);
        return registry_.SetValueEx(key, valueName.c_str(), kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                    static_cast<std::uint32_t>(text.size() + 1));
    }
    if (type == kRegDword) {
        std::optional<std::int32_t> number = ParseWholeNumber(data);
        if (!number) return kErrorInvalidParameter;
        return SetDword(registry_, key, valueName, *number);
    }
    return kErrorSuccess;
}

RegStatus RegistryAccess::ReadRawValue(RegKey root, const std::string& keyPath, const std::string& valueName,
                                       RawValue& value) {
    RegKey key = 0;
    RegStatus status = registry_.OpenKeyEx(root, keyPath.c_str(), kKeyRead, &key);
    if (status != kErrorSuccess) return status;
    KeyCloser closer(registry_, key);
    RawValue read;
    status = registry_.QueryValueWide(key, valueName.c_str(), &read.type, &read.data);
    if (status == kErrorSuccess) value = std::move(read);
    return status;
}

RegStatus RegistryAccess::WriteRawValueCreatingKey(RegKey root, const std::string& keyPath,
                                                   const std::string& valueName, const RawValue& value) {
    RegKey key = 0;
    if (registry_.OpenKeyEx(root, keyPath.c_str(), kKeyAllAccess, &key) != kErrorSuccess) {
        RegStatus created = registry_.CreateKeyEx(root, keyPath.c_str(), kKeyAllAccess, &key, nullptr);
        if (created != kErrorSuccess) return created;
    }
    KeyCloser closer(registry_, key);
    return registry_.SetValueWide(key, valueName.c_str(), value.type, value.data.data(),
                                  static_cast<std::uint32_t>(value.data.size()));
}

RegStatus RegistryAccess::DeleteValue(RegKey root, const std::string& keyPath, const std::string& valueName) {
    RegKey key = 0;
    RegStatus status = registry_.OpenKey(root, keyPath.c_str(), &key);
    if (status != kErrorSuccess) return status;
    KeyCloser closer(registry_, key);
    return registry_.DeleteValue(key, valueName.c_str());
}

} // namespace hs
