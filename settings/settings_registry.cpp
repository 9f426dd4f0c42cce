// The settings store on the registry port: one REG_SZ value per key.
#include "settings/settings_registry.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/roots.h"

namespace hs {
namespace {

const std::string kPath(kSettingsRegistryPath);

// Closes an opened key when it leaves scope.
class KeyCloser {
public:
    KeyCloser(Registry& registry, RegKey key) : registry_(registry), key_(key) {}
    ~KeyCloser() { (void)registry_.CloseKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    Registry& registry_;
    RegKey key_;
};

bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// The value's type and bytes: size first, then the data. The value may grow
// between the two calls; a few retries cover that, then the read gives up.
std::optional<std::pair<std::uint32_t, std::vector<std::uint8_t>>> QueryValue(Registry& registry, RegKey key,
                                                                              const char* name) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t type = kRegNone;
        std::uint32_t size = 0;
        if (registry.QueryValueEx(key, name, &type, nullptr, &size) != kErrorSuccess) return std::nullopt;
        // One spare byte, so string data stored without a NUL gets one.
        std::vector<std::uint8_t> data(static_cast<std::size_t>(size) + 1);
        std::uint32_t length = size + 1;
        RegStatus status = registry.QueryValueEx(key, name, &type, data.data(), &length);
        if (status == kErrorMoreData) continue;
        if (status != kErrorSuccess || length > size + 1) return std::nullopt;
        data.resize(length);
        return std::make_pair(type, std::move(data));
    }
    return std::nullopt;
}

} // namespace

bool RegistrySettingsStore::Write(std::string_view key, std::string_view text) {
    if (HasNul(key) || HasNul(text) || text.size() >= UINT32_MAX) return false;
    RegKey settingsKey = 0;
    if (registry_.CreateKeyEx(kHkeyCurrentUser, kPath.c_str(), kKeySetValue, &settingsKey, nullptr) != kErrorSuccess)
        return false;
    KeyCloser closer(registry_, settingsKey);
    const std::string name(key);
    const std::string data(text);
    // The stored size counts the terminating NUL, as REG_SZ values written by Windows programs do.
    RegStatus status = registry_.SetValueEx(settingsKey, name.c_str(), kRegSz,
                                            reinterpret_cast<const std::uint8_t*>(data.c_str()),
                                            static_cast<std::uint32_t>(data.size() + 1));
    return status == kErrorSuccess;
}

std::optional<std::string> RegistrySettingsStore::Get(std::string_view key) const {
    if (HasNul(key)) return std::nullopt;
    RegKey settingsKey = 0;
    if (registry_.OpenKeyEx(kHkeyCurrentUser, kPath.c_str(), kKeyQueryValue, &settingsKey) != kErrorSuccess)
        return std::nullopt;
    KeyCloser closer(registry_, settingsKey);
    const std::string name(key);
    auto value = QueryValue(registry_, settingsKey, name.c_str());
    if (!value) return std::nullopt;
    const auto& [type, data] = *value;
    if (type == kRegSz) {
        std::string text(data.begin(), data.end());
        // The text ends at its first NUL: the stored terminator, or whatever
        // another tool left after it.
        if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
        return text;
    }
    if (type == kRegDword && data.size() == 4) {
        std::uint32_t number = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 |
                               std::uint32_t{data[3]} << 24;
        return std::to_string(number);
    }
    return std::nullopt;
}

} // namespace hs
