// The settings store as an INI-like text file, replaced whole on every write.
#include "settings/settings_file.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_files.h"

namespace hs {
namespace {

constexpr std::string_view kFileName = "settings.ini";

// --- the line format ---

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string Escape(std::string_view text, bool isKey) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '=': out += isKey ? "\\=" : "="; break;
            case '[': out += isKey ? "\\[" : "["; break;
            default: out += c;
        }
    }
    return out;
}

// Undoes Escape. An unknown escape or a lone backslash at the end is kept as
// written, so a hand-edited file never fails to read.
std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        switch (next) {
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case '=': out += '='; break;
            case '[': out += '['; break;
            default: out += '\\'; out += next;
        }
    }
    return out;
}

// One line of the file as written, without its line feed. A trailing
// carriage return (a file edited on Windows) is kept for writing back but
// not parsed: the program writes its own carriage returns as \r.
struct Line {
    std::string raw;
    std::string_view Body() const {
        std::string_view body = raw;
        if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
        return body;
    }
    bool HasCarriageReturn() const { return !raw.empty() && raw.back() == '\r'; }
};

std::vector<Line> SplitLines(const std::string& contents) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string::npos) end = contents.size();
        lines.push_back({contents.substr(start, end - start)});
        start = end + 1;
    }
    return lines;
}

// The section named by a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view body) {
    body = TrimBlanks(body);
    if (body.size() < 2 || body.front() != '[' || body.back() != ']') return std::nullopt;
    return TrimBlanks(body.substr(1, body.size() - 2));
}

// Where an entry line's key ends: its first '=' that is not escaped.
std::optional<std::size_t> KeyEnd(std::string_view body) {
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\\') ++i;
        else if (body[i] == '=') return i;
    }
    return std::nullopt;
}

// The parsed file: every line, and which of them are entries of a
// [Settings] section.
struct SettingsFile {
    std::vector<Line> lines;
    std::optional<std::size_t> firstSectionHeader;  // the first [Settings] line
    std::optional<std::size_t> firstSectionEnd;     // one past its last line

    // The first entry with this key, its line index and key length.
    std::optional<std::pair<std::size_t, std::size_t>> Find(std::string_view key) const {
        bool inSettings = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string_view body = lines[i].Body();
            if (auto section = SectionName(body)) {
                inSettings = SameKey(*section, kSettingsSection);
                continue;
            }
            if (!inSettings) continue;
            auto end = KeyEnd(body);
            if (end && SameKey(Unescape(body.substr(0, *end)), key)) return std::make_pair(i, *end);
        }
        return std::nullopt;
    }
};

SettingsFile Parse(const std::string& contents) {
    SettingsFile file{SplitLines(contents), std::nullopt, std::nullopt};
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        auto section = SectionName(file.lines[i].Body());
        if (!section) continue;
        if (file.firstSectionHeader && !file.firstSectionEnd) file.firstSectionEnd = i;
        if (!file.firstSectionHeader && SameKey(*section, kSettingsSection)) file.firstSectionHeader = i;
    }
    if (file.firstSectionHeader && !file.firstSectionEnd) file.firstSectionEnd = file.lines.size();
    return file;
}

// Puts key=text into the file: over the first entry of the key (keeping its
// spelling), else after the last non-blank line of the first [Settings]
// section, else in a new section at the end.
void SetEntry(SettingsFile& file, std::string_view key, std::string_view text) {
    std::string value = Escape(text, false);
    if (auto found = file.Find(key)) {
        Line& line = file.lines[found->first];
        std::string keepKey = line.raw.substr(0, found->second);
        line.raw = keepKey + "=" + value + (line.HasCarriageReturn() ? "\r" : "");
        return;
    }
    std::string entry = Escape(key, true) + "=" + value;
    if (file.firstSectionHeader) {
        std::size_t at = *file.firstSectionEnd;
        while (at > *file.firstSectionHeader + 1 && TrimBlanks(file.lines[at - 1].Body()).empty()) --at;
        if (file.lines[at - 1].HasCarriageReturn()) entry += '\r';
        file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), Line{entry});
        return;
    }
    if (!file.lines.empty() && !TrimBlanks(file.lines.back().Body()).empty()) file.lines.push_back({""});
    std::string header = "[";
    header.append(kSettingsSection).append("]");
    file.lines.push_back({std::move(header)});
    file.lines.push_back({entry});
}

std::string Join(const std::vector<Line>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

} // namespace

FileSettingsStore::FileSettingsStore(std::string baseFolder) {
    if (baseFolder.empty()) return;
    while (baseFolder.size() > 1 && IsSeparator(baseFolder.back())) baseFolder.pop_back();
    if (!IsSeparator(baseFolder.back())) baseFolder += kPathSeparator;
    folder_ = std::move(baseFolder);
    folder_.append(kAppName);
    filePath_ = folder_;
    filePath_.append(1, kPathSeparator).append(kFileName);
}

std::string FileSettingsStore::DefaultConfigBase() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && IsAbsolutePath(config)) return config;
    const char* home = std::getenv("HOME");
    if (home && *home) {
        std::string base(home);
        if (!IsSeparator(base.back())) base += kPathSeparator;
        return base + ".config";
    }
    return {};
}

bool FileSettingsStore::Write(std::string_view key, std::string_view text) {
    if (filePath_.empty()) return false;
    if (!MakeFolders(folder_)) return false;
    std::string contents;
    if (ReadWholeFile(filePath_, contents) == ReadOutcome::kFailed) return false;
    SettingsFile file = Parse(contents);
    SetEntry(file, key, text);
    return ReplaceFileContents(filePath_, Join(file.lines));
}

std::optional<std::string> FileSettingsStore::Get(std::string_view key) const {
    if (filePath_.empty()) return std::nullopt;
    std::string contents;
    if (ReadWholeFile(filePath_, contents) != ReadOutcome::kRead) return std::nullopt;
    SettingsFile file = Parse(contents);
    auto found = file.Find(key);
    if (!found) return std::nullopt;
    std::string_view body = file.lines[found->first].Body();
    return Unescape(body.substr(found->second + 1));
}

} // namespace hs
