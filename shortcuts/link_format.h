// Readers of the two shortcut file formats: the binary shell link (.lnk) and
// the Internet shortcut (.url, an INI file). Pure functions over the file's
// bytes; they never touch the file system.
//
// Every length and offset in a .lnk file is checked against the bytes: a
// damaged file gives nothing, never a read outside the buffer. Text comes out
// in the ANSI code page, as the A calls would give it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hs {

// LinkFlags bits the reader uses.
inline constexpr std::uint32_t kLinkHasIdList = 0x1;
inline constexpr std::uint32_t kLinkHasLinkInfo = 0x2;
inline constexpr std::uint32_t kLinkHasName = 0x4;
inline constexpr std::uint32_t kLinkHasRelativePath = 0x8;
inline constexpr std::uint32_t kLinkHasWorkingDir = 0x10;
inline constexpr std::uint32_t kLinkHasArguments = 0x20;
inline constexpr std::uint32_t kLinkHasIconLocation = 0x40;
inline constexpr std::uint32_t kLinkIsUnicode = 0x80;
inline constexpr std::uint32_t kLinkForceNoLinkInfo = 0x100;
inline constexpr std::uint32_t kLinkHasExpString = 0x200;
inline constexpr std::uint32_t kLinkHasDarwinId = 0x1000;

// Extra data block signatures.
inline constexpr std::uint32_t kEnvironmentBlockSignature = 0xA0000001;
inline constexpr std::uint32_t kDarwinBlockSignature = 0xA0000006;
inline constexpr std::uint32_t kEnvironmentBlockSize = 0x314;

// What a .lnk file holds that tells where it points. A path is nothing
// (nullopt) when the part is missing or spells no file-system path this
// reader can be sure of.
struct ShellLinkFile {
    std::uint32_t flags = 0;
    // Installed by an installer on demand ("advertised"): the target is an
    // installer product, not a path.
    bool advertised = false;
    bool hasIdList = false;
    // The path the item list spells: My Computer (optional), a drive, then
    // folders and the file by their long names. Nothing for a virtual folder
    // (Control Panel), a network or other non-drive root, or an item that
    // keeps only its short 8.3 name.
    std::optional<std::string> idListPath;
    bool hasLinkInfo = false;
    // LocalBasePath joined with CommonPathSuffix (the Unicode forms when
    // present), or the network share joined with the suffix.
    std::optional<std::string> linkInfoPath;
    // The target of the environment-variable block, placeholders kept
    // ("%SystemRoot%\notepad.exe"); nothing when the block's text has no
    // ANSI spelling.
    bool hasEnvironmentBlock = false;
    std::optional<std::string> environmentTarget;
    std::string name;
    std::string relativePath;
    std::string workingDirectory;
    std::string arguments;
};

// Parses a .lnk file; nothing when the bytes are not a whole, sound shell
// link.
std::optional<ShellLinkFile> ParseShellLink(std::string_view bytes);

// The link's stored target as the shell would report it, placeholders not
// expanded: the environment block first, then LinkInfo (unless the flags say
// to ignore it), then the item list. Empty text when the link stores no
// target at all; nothing when it stores one this reader cannot spell (an
// advertised link, a virtual folder, short names only, a relative path
// alone).
std::optional<std::string> StoredTarget(const ShellLinkFile& link);

// What an Internet shortcut holds, from its [InternetShortcut] section.
struct InternetShortcutFile {
    std::string url;
    std::string workingDirectory;
};

// Reads the section as GetPrivateProfileString would: section and key names
// without regard to case, the first of repeated keys, blanks around keys and
// values dropped, one pair of enclosing double quotes removed, ';' lines
// ignored; a UTF-8 or UTF-16LE byte-order mark selects that encoding.
InternetShortcutFile ParseInternetShortcut(std::string_view bytes);

// The path a URL names: for a file: URL the decoded path ("file:///C:/a%20b"
// gives "C:\a b", "file://server/share/x" gives "\\server\share\x"); empty
// text for any other scheme; nothing for a file: URL that names no absolute
// path.
std::optional<std::string> PathFromUrl(std::string_view url);

} // namespace hs
