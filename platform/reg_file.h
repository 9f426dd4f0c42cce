// Registry export files (.reg): reading them into a registry and writing a registry out as one.
//
// Two formats, as regedit writes them:
//   "REGEDIT4": ANSI bytes taken as they are, both ways;
//   "Windows Registry Editor Version 5.00": UTF-16LE with a BOM (also read
//   as UTF-8, with or without a BOM); string-typed hex data (hex(1), hex(2),
//   hex(7)) holds UTF-16LE text.
// The registry port takes text in the system ANSI code page (cp1252 and the
// like on Windows, UTF-8 on the portable build), so Version 5 text (key
// paths, value names, "text" data and string-typed hex data) is converted to
// ANSI on reading and from ANSI on writing, through platform/ansi_text.h, as
// the ANSI calls convert: a character the code page cannot hold becomes its
// default character ("?") or a look-alike, a lone surrogate U+FFFD (or "?"),
// an odd last byte of UTF-16 is dropped; on the portable build the bytes of
// a UTF-8 file are stored as they are, and registry text that is not UTF-8
// is written as U+FFFD. A key name that the code page would turn into a
// backslash (a look-alike such as U+FF3C) is a fault, as it would name
// another key.
//
// Reading accepts: CR LF or LF line ends, blank lines, ';' comment lines,
// leading blanks; [ROOT\path] (creates the key and its parents) and
// [-ROOT\path] (deletes the key and its subtree); "name"= or @= followed by
// "text" (escapes \\ and \" only; any other backslash escape is an error),
// -, dword:x (1 to 8 hex digits), hex:, hex(n): (n of 1 to 8 hex digits) with
// comma-separated bytes of 1 or 2 hex digits, continued on the next line
// after a trailing backslash. Roots: the six full names and HKLM, HKCU, HKCR,
// HKU, HKCC, without regard to case. Key name components hold at most
// kMaxKeyNameLength bytes, paths at most kMaxRegFileKeyDepth components,
// value names at most kMaxValueNameLength bytes (counted in ANSI, as the
// registry is handed them), and names no NUL.
//
// All work goes through the Registry port, so the same code imports into and
// exports from the stand-in and the real Win32 registry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace hs {

// The deepest key nesting a file may name (the registry's own limit).
inline constexpr std::size_t kMaxRegFileKeyDepth = 512;

struct RegFileError {
    std::size_t line = 0; // 1-based; 0 when the file itself could not be read or written
    std::string message;  // what is wrong, for a person; ANSI text, quoting the file
};

enum class RegFileFormat { Regedit4, Version5 };

// One step of an import, in file order. Value steps act on the key of the
// CreateKey step before them. Text is as the registry port takes it: ANSI,
// converted already for a Version 5 file.
struct RegFileOperation {
    enum class Kind { DeleteKey, CreateKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    std::size_t line = 0;
    RegKey root = 0;                // key steps: the root handle
    std::string path;               // key steps: below root, '\'-joined; empty is the root itself
    std::string name;               // value steps: empty for the unnamed value
    std::uint32_t type = kRegNone;  // SetValue
    std::vector<std::uint8_t> data; // SetValue: the bytes to store, REG_SZ text with its NUL
};

struct ParsedRegFile {
    RegFileFormat format = RegFileFormat::Regedit4;
    std::vector<RegFileOperation> operations; // empty when error is set
    std::optional<RegFileError> error;        // the first fault; parsing stops there
};

// Parses a whole file without touching any registry. Memory use is linear in
// the size of the file.
[[nodiscard]] ParsedRegFile ParseRegFile(std::string_view fileBytes);

// Applies parsed steps through the port. Deleting a key or value that does
// not exist is no failure. A step the registry refuses is skipped (values of
// a key that could not be created with it) and the rest still applied, as
// regedit does; the first such failure is returned. Every handle opened is
// closed.
[[nodiscard]] std::optional<RegFileError> ApplyRegFile(Registry& registry,
                                                       const std::vector<RegFileOperation>& operations);

// Parses the whole file and applies it. A file that does not parse changes
// nothing and gives its first fault.
[[nodiscard]] std::optional<RegFileError> ImportRegFile(Registry& registry, std::string_view fileBytes);

// The real roots (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS,
// HKEY_CURRENT_CONFIG; never the HKEY_CLASSES_ROOT view) as a file: every key,
// empty ones too, depth first in enumeration order, each with its values in
// enumeration order; CR LF line ends. Keys and values that cannot be written
// as a line (names holding a line feed, empty key names, names over the
// enumeration buffers) and keys that cannot be opened are left out.
// Importing the result into an empty MemoryRegistry and exporting again gives
// the same bytes (for Version5, when every text converts from ANSI and back
// unchanged: on the portable build, when it is valid UTF-8; other bytes
// become U+FFFD there).
[[nodiscard]] std::string ExportRegFile(Registry& registry, RegFileFormat format = RegFileFormat::Regedit4);

// ImportRegFile of a file's contents; an unreadable file gives line 0.
[[nodiscard]] std::optional<RegFileError> ImportRegFileFromPath(Registry& registry, const std::string& path);

// Writes ExportRegFile's text to path + ".tmp" and then renames it to path,
// so that a failed write leaves any earlier file whole. (Where a rename
// cannot replace a file, the earlier file is removed first; should the
// rename still fail, the new text stays in the ".tmp" file.)
[[nodiscard]] bool ExportRegFileToPath(Registry& registry, const std::string& path,
                                       RegFileFormat format = RegFileFormat::Regedit4);

} // namespace hs
