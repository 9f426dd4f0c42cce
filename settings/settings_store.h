// The per-user settings of the program: named text values in one section.
//
// Every reader passes its own default; every write is complete when it
// returns. Keys are matched without regard to case ("txtBackUp" and
// "txtBackup" are one key). Nothing is cached: each Read asks the backend.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hs {

inline constexpr std::string_view kAppName = "Hivesweep v6.0";
inline constexpr std::string_view kSettingsSection = "Settings";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text of key, or the default when the key was never stored
    // or the store cannot be read.
    std::string Read(std::string_view key, std::string_view defaultText) const;
    // Flags are given numeric defaults at their call sites.
    std::string Read(std::string_view key, long defaultNumber) const;

    // Stores text under key, replacing any earlier text. False when the
    // store could not be written; callers that skip the step may ignore it.
    [[nodiscard]] virtual bool Write(std::string_view key, std::string_view text) = 0;

protected:
    // The stored text, or nothing when the key is absent or unreadable.
    virtual std::optional<std::string> Get(std::string_view key) const = 0;
};

// Conversions a reader applies to stored text. Text that does not convert
// gives nothing, so a reader can keep its own fallback instead of failing.
std::optional<long> SettingAsNumber(std::string_view text);
std::optional<bool> SettingAsTruth(std::string_view text);

} // namespace hs
