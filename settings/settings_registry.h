// The settings store kept in the current user's registry (the Windows build's store).
//
// Values live as REG_SZ under HKEY_CURRENT_USER\Software\Hivesweep v6.0\Settings,
// one value per key; the key is created by the first write. The registry
// itself matches value names without regard to case. Every key opened is
// closed before a call returns.
#pragma once

#include <string_view>

#include "platform/registry.h"
#include "settings/settings_store.h"

namespace hs {

// Where the values live, below HKEY_CURRENT_USER.
inline constexpr std::string_view kSettingsRegistryPath = "Software\\Hivesweep v6.0\\Settings";

class RegistrySettingsStore final : public SettingsStore {
public:
    // registry must outlive the store.
    explicit RegistrySettingsStore(Registry& registry) : registry_(registry) {}

    // Stores text as REG_SZ. False when the key cannot be created or the
    // value set, and for text or a key holding a NUL character, which a
    // REG_SZ value cannot keep.
    [[nodiscard]] bool Write(std::string_view key, std::string_view text) override;

protected:
    // A REG_SZ value's text (up to its first NUL); a REG_DWORD as its
    // unsigned decimal text; nothing for a missing value, any other type,
    // or a key that cannot be opened.
    std::optional<std::string> Get(std::string_view key) const override;

private:
    Registry& registry_;
};

} // namespace hs
