// Canonical text of a .reg file: imported into the in-memory registry,
// exported, and each key's values sorted.
#include "tools/reg_canonical.h"

#include <algorithm>
#include <vector>

#include "platform/reg_file.h"
#include "platform/registry_memory.h"

namespace hs::tools {

namespace {

// Splits exported text into logical lines: a line ending in "\" continues
// on the next one.
std::vector<std::string> LogicalLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at = end + 1;
        if (!line.empty() && line.back() == '\\') {
            line.remove_suffix(1);
            current += line;
            continue;
        }
        // A continued line's next part starts with blanks.
        if (!current.empty()) {
            const std::size_t first = line.find_first_not_of(' ');
            current += line.substr(first == std::string_view::npos ? line.size() : first);
            lines.push_back(std::move(current));
            current.clear();
        } else {
            lines.emplace_back(line);
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

} // namespace

std::string CanonicalRegText(std::string_view regFileBytes, std::string& error) {
    MemoryRegistry registry;
    if (const auto failure = ImportRegFile(registry, regFileBytes)) {
        error = "line " + std::to_string(failure->line) + ": " + failure->message;
        return {};
    }
    std::string canonical;
    std::vector<std::string> values;
    const auto flush = [&] {
        std::sort(values.begin(), values.end());
        for (const std::string& value : values) canonical += value + "\n";
        values.clear();
    };
    for (const std::string& line : LogicalLines(ExportRegFile(registry))) {
        if (line.empty()) continue;
        if (line.front() == '[') {
            flush();
            canonical += line + "\n";
        } else if (line.front() == '"' || line.front() == '@') {
            values.push_back(line);
        } else {
            canonical += line + "\n";
        }
    }
    flush();
    return canonical;
}

} // namespace hs::tools
