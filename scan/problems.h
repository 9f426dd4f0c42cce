// The two problem lists a scan fills: registry problems (lvwErrors) and
// broken shortcuts (lvwShortcut). Both keep insertion order and are
// addressed from 1; nothing is merged or removed during a scan.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hs {

// One registry problem: a row of lvwErrors. The seven fields are addressed
// by number 0..6 in this order.
struct ProblemRecord {
    std::string MainKey;           // 0: the root handle as signed decimal text
    std::string KeyName;           // 1: the value's name, "(Default)" for the unnamed value
    std::string KeyValue;          // 2: the file path tested and not found
    std::string RegistryScanners;  // 3: the section name ("Registry Scanners")
    std::string FullKeyPath;       // 4: the key's path below its root
    std::string mainkeyname;       // 5: the root's name
    std::string DefaultOrNot;      // 6: "Yes" when the path was joined to the system folder

    static constexpr int kFieldCount = 7;
    // Field by number; an out-of-range number gives empty text.
    const std::string& Field(int number) const;
};

inline constexpr const char* kShortcutKind = "Windows Shortcut";

// One broken shortcut: a row of lvwShortcut.
struct ShortcutProblem {
    std::string path;                 // 0: the shortcut file's full path
    std::string kind = kShortcutKind; // 1: always "Windows Shortcut"
};

// A list of rows numbered from 1.
template <typename Row>
class ProblemList {
public:
    std::size_t Count() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }
    // Row by number 1..Count().
    const Row& At(std::size_t number) const { return rows_.at(number - 1); }
    void Add(Row row) { rows_.push_back(std::move(row)); }
    void Clear() { rows_.clear(); }
    const std::vector<Row>& Rows() const { return rows_; }

private:
    std::vector<Row> rows_;
};

} // namespace hs
