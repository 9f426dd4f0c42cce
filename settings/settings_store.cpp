// Reading settings with a default, and turning stored text into numbers and truth values.
#include "settings/settings_store.h"

#include <charconv>

namespace hs {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

} // namespace

std::string SettingsStore::Read(std::string_view key, std::string_view defaultText) const {
    if (auto stored = Get(key)) return std::move(*stored);
    return std::string(defaultText);
}

std::string SettingsStore::Read(std::string_view key, long defaultNumber) const {
    if (auto stored = Get(key)) return std::move(*stored);
    return std::to_string(defaultNumber);
}

// Whole decimal numbers only: the program stores flags as "0"/"1", so a
// fraction or any other text can only come from outside and gives nothing,
// leaving the reader with its own default.
std::optional<long> SettingAsNumber(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    // Parse the magnitude with the sign in front, so LONG_MIN still fits.
    std::string digits = negative ? "-" : "";
    digits.append(text);
    long value = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// "True"/"False" in any case, or a number where anything but 0 is true, as
// the old platform converted text to a Boolean.
std::optional<bool> SettingAsTruth(std::string_view text) {
    std::string_view word = TrimBlanks(text);
    if (EqualsIgnoringAsciiCase(word, "true")) return true;
    if (EqualsIgnoringAsciiCase(word, "false")) return false;
    if (auto number = SettingAsNumber(word)) return *number != 0;
    return std::nullopt;
}

} // namespace hs
