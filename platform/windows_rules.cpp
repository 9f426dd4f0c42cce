// Windows path, name and line rules.
#include "platform/windows_rules.h"

#include <utility>

namespace hs {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string StripTrailingDotsAndSpaces(std::string name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

} // namespace

std::string FoldCase(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) c = UpperAscii(c);
    return folded;
}

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

bool HasInvalidNameCharacter(const std::string& text) { return text.find_first_of("*?<>|\"") != std::string::npos; }

WindowsPath ParseWindowsPath(const std::string& path, bool hostPaths) {
    WindowsPath parsed;
    if (path.empty()) return parsed;
    std::string rest;
    // "\\?\C:\..." and "\\.\C:\..." name the same file as "C:\...".
    std::string plain = path;
    if (plain.size() >= 6 && IsSeparator(plain[0]) && IsSeparator(plain[1]) && (plain[2] == '?' || plain[2] == '.') &&
        IsSeparator(plain[3]) && plain[5] == ':')
        plain = plain.substr(4);
    const bool hasLetter = plain.size() >= 2 && plain[1] == ':' &&
                           ((plain[0] >= 'A' && plain[0] <= 'Z') || (plain[0] >= 'a' && plain[0] <= 'z'));
    if (hasLetter) {
        parsed.kind = WindowsPath::Kind::kDrive;
        parsed.drive = UpperAscii(plain[0]);
        rest = plain.substr(2);
    } else if (plain.size() >= 2 && IsSeparator(plain[0]) && IsSeparator(plain[1])) {
        parsed.kind = WindowsPath::Kind::kUnc;
        rest = plain.substr(2);
    } else if (hostPaths && plain[0] == '/') {
        parsed.kind = WindowsPath::Kind::kHostAbsolute;
        rest = plain;
    } else {
        parsed.kind = WindowsPath::Kind::kRelative;
        rest = plain;
    }

    std::vector<std::string> raw;
    std::string current;
    for (char c : rest) {
        if (IsSeparator(c)) {
            if (!current.empty()) raw.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) raw.push_back(std::move(current));
    parsed.trailingSeparator = !rest.empty() && IsSeparator(rest.back());

    // Trailing dots and spaces of the last component go ("C:\sub\ " is
    // "C:\sub\"), but "." and ".." keep their meaning.
    if (!parsed.trailingSeparator && !raw.empty() && raw.back() != "." && raw.back() != "..") {
        raw.back() = StripTrailingDotsAndSpaces(raw.back());
        if (raw.back().empty()) {
            raw.pop_back();
            parsed.trailingSeparator = true;
        }
    }
    for (auto& component : raw) {
        if (component == ".") continue;
        if (component == "..") {
            if (!parsed.components.empty()) parsed.components.pop_back();
            continue;
        }
        parsed.components.push_back(std::move(component));
    }
    if (!raw.empty() && (raw.back() == "." || raw.back() == "..")) parsed.trailingSeparator = false;
    return parsed;
}

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0;
    std::size_t starAt = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || UpperAscii(pattern[p]) == UpperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '.')) ++p;
    return p == pattern.size();
}

std::string DosDeviceName(const std::string& lastComponent) {
    std::string base = lastComponent.substr(0, lastComponent.find_first_of(".:"));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    const std::string key = FoldCase(base);
    static const char* const kPlain[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* name : kPlain)
        if (key == name) return base;
    const bool numbered = key.size() == 4 && (key.compare(0, 3, "COM") == 0 || key.compare(0, 3, "LPT") == 0) &&
                          key[3] >= '1' && key[3] <= '9';
    return numbered ? base : std::string();
}

std::vector<std::string> SplitCrLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines.push_back(std::move(current));
            current.clear();
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += text[i];
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

} // namespace hs
