// Readers of the shell link and Internet shortcut formats.
#include "shortcuts/link_format.h"

#include <cstddef>
#include <vector>

#include "platform/ansi_text.h"

namespace hs {

namespace {

constexpr std::size_t kHeaderSize = 0x4C;
// The class id every shell link starts with, and My Computer's
// {20D04FE0-3AEA-1069-A2D8-08002B30309D}, as stored (little-endian fields).
constexpr std::string_view kLinkClsid{"\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16};
constexpr std::string_view kMyComputerClsid{"\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D", 16};
constexpr std::uint32_t kFileEntryExtensionSignature = 0xBEEF0004;
constexpr std::size_t kMaxPathChars = 260;

// Bounds-checked little-endian reads over a piece of the file.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    std::size_t Size() const { return data_.size(); }
    bool Has(std::size_t at, std::size_t count) const { return at <= data_.size() && count <= data_.size() - at; }
    bool U8(std::size_t at, std::uint8_t& value) const {
        if (!Has(at, 1)) return false;
        value = static_cast<std::uint8_t>(data_[at]);
        return true;
    }
    bool U16(std::size_t at, std::uint16_t& value) const {
        if (!Has(at, 2)) return false;
        value = static_cast<std::uint16_t>(Byte(at) | (Byte(at + 1) << 8));
        return true;
    }
    bool U32(std::size_t at, std::uint32_t& value) const {
        if (!Has(at, 4)) return false;
        value =
            Byte(at) | (Byte(at + 1) << 8) | (Byte(at + 2) << 16) | (static_cast<std::uint32_t>(Byte(at + 3)) << 24);
        return true;
    }
    std::string_view Piece(std::size_t at, std::size_t count) const {
        return Has(at, count) ? data_.substr(at, count) : std::string_view();
    }
    // A NUL-terminated single-byte string starting at `at`; nothing when it
    // is not ended inside the data.
    std::optional<std::string> AnsiZ(std::size_t at) const {
        if (at >= data_.size()) return std::nullopt;
        const std::size_t end = data_.find('\0', at);
        if (end == std::string_view::npos) return std::nullopt;
        return std::string(data_.substr(at, end - at));
    }
    // A NUL-terminated UTF-16LE string's bytes starting at `at`.
    std::optional<std::string> WideZ(std::size_t at) const {
        for (std::size_t i = at; Has(i, 2); i += 2) {
            if (data_[i] == '\0' && data_[i + 1] == '\0') return std::string(data_.substr(at, i - at));
        }
        return std::nullopt;
    }

private:
    std::uint32_t Byte(std::size_t at) const { return static_cast<unsigned char>(data_[at]); }
    std::string_view data_;
};

// UTF-16LE to ANSI, or nothing when the ANSI code page cannot hold every
// character: such a path cannot be named through the A calls.
std::optional<std::string> WideToAnsiExact(const std::string& utf16le) {
    std::string ansi = Utf16LeToAnsi(utf16le);
    if (AnsiToUtf16Le(ansi) != utf16le) return std::nullopt;
    return ansi;
}

// Text up to its first NUL.
std::string UpToNul(std::string text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

// Joins a base path and a suffix with one backslash between them.
std::string JoinPath(const std::string& base, const std::string& suffix) {
    if (base.empty()) return suffix;
    if (suffix.empty()) return base;
    if (base.back() == '\\') return base + suffix;
    return base + "\\" + suffix;
}

bool IsPathComponent(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/") == std::string::npos && name != "." && name != "..";
}

// ---- LinkTargetIDList

// The long name of a file entry item from its 0xBEEF0004 extension block at
// `at` (relative to the item); nothing when there is no such block there.
std::optional<std::string> ExtensionLongName(const Bytes& item, std::size_t at) {
    std::uint16_t blockSize = 0, version = 0;
    std::uint32_t signature = 0;
    if (!item.U16(at, blockSize) || !item.U16(at + 2, version) || !item.U32(at + 4, signature)) return std::nullopt;
    if (signature != kFileEntryExtensionSignature || !item.Has(at, blockSize) || version < 3) return std::nullopt;
    // The name's place grows with the block's version: file reference and
    // further fields were added in later versions.
    std::size_t nameOffset = 20;
    if (version >= 7) nameOffset += 18;
    if (version >= 8) nameOffset += 4;
    if (version >= 9) nameOffset += 4;
    if (nameOffset >= blockSize) return std::nullopt;
    const Bytes block(item.Piece(at, blockSize));
    auto wide = block.WideZ(nameOffset);
    if (!wide) return std::nullopt;
    return WideToAnsiExact(*wide);
}

// The long name of a file entry item (class 0x30..0x3F), or nothing when the
// item keeps only its short name or is malformed.
std::optional<std::string> FileEntryLongName(const Bytes& item, std::uint8_t type) {
    constexpr std::size_t kNameOffset = 14;
    if ((type & 0x04) != 0) {  // the primary name is Unicode and long
        auto wide = item.WideZ(kNameOffset);
        if (!wide) return std::nullopt;
        return WideToAnsiExact(*wide);
    }
    // The last two bytes of the item give where its first extension block starts.
    std::uint16_t blockAt = 0;
    if (item.Size() >= kNameOffset + 2 && item.U16(item.Size() - 2, blockAt) && blockAt >= kNameOffset) {
        if (auto name = ExtensionLongName(item, blockAt)) return name;
    }
    // Else the block follows the short name, aligned to two bytes.
    auto shortName = item.AnsiZ(kNameOffset);
    if (!shortName) return std::nullopt;
    std::size_t after = kNameOffset + shortName->size() + 1;
    after += after % 2;
    return ExtensionLongName(item, after);
}

// The drive root a volume item names ("C:\"), or nothing.
std::optional<std::string> VolumeRoot(const Bytes& item, std::uint8_t type) {
    if ((type & 0x01) == 0) return std::nullopt;  // a volume known by identifier only
    auto name = Bytes(item.Piece(3, item.Size() - 3)).AnsiZ(0);
    if (!name || name->size() < 2 || name->size() > 3) return std::nullopt;
    const char letter = (*name)[0];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    if (!isLetter || (*name)[1] != ':' || (name->size() == 3 && (*name)[2] != '\\')) return std::nullopt;
    return name->substr(0, 2) + "\\";
}

// Splits the item list into items; false when it is malformed (an item that
// runs past the list, or no terminating empty item).
bool SplitItems(std::string_view list, std::vector<std::string_view>& items) {
    const Bytes bytes(list);
    std::size_t at = 0;
    for (;;) {
        std::uint16_t size = 0;
        if (!bytes.U16(at, size)) return false;
        if (size == 0) return true;
        if (size < 3 || !bytes.Has(at, size)) return false;
        items.push_back(list.substr(at, size));
        at += size;
    }
}

// The file-system path an item list spells, or nothing.
std::optional<std::string> IdListPath(const std::vector<std::string_view>& items) {
    std::size_t index = 0;
    auto typeOf = [&](std::size_t i) { return static_cast<std::uint8_t>(items[i][2]); };
    if (index < items.size() && typeOf(index) == 0x1F) {
        const std::string_view item = items[index];
        if (item.size() < 20 || item.substr(4, 16) != kMyComputerClsid) return std::nullopt;
        ++index;
    }
    if (index >= items.size() || (typeOf(index) & 0x70) != 0x20) return std::nullopt;
    auto path = VolumeRoot(Bytes(items[index]), typeOf(index));
    if (!path) return std::nullopt;
    for (++index; index < items.size(); ++index) {
        const std::uint8_t type = typeOf(index);
        if ((type & 0x70) != 0x30) return std::nullopt;
        auto name = FileEntryLongName(Bytes(items[index]), type);
        if (!name || !IsPathComponent(*name)) return std::nullopt;
        if (path->back() != '\\') *path += '\\';
        *path += *name;
    }
    return path;
}

// ---- LinkInfo

// A string of LinkInfo: the Unicode form at unicodeOffset when there is one,
// else the ANSI form at offset. False when an offset leads outside the
// structure or a string is not ended inside it.
bool LinkInfoString(const Bytes& info, std::uint32_t offset, std::uint32_t unicodeOffset,
                    std::optional<std::string>& out) {
    if (unicodeOffset != 0) {
        auto wide = info.WideZ(unicodeOffset);
        if (!wide) return false;
        out = WideToAnsiExact(*wide);  // nothing: no ANSI spelling
        return true;
    }
    auto ansi = info.AnsiZ(offset);
    if (!ansi) return false;
    out = std::move(*ansi);
    return true;
}

// Reads the LinkInfo structure; false when it is damaged. path stays empty
// when the structure names neither a local nor a network path.
bool ParseLinkInfo(const Bytes& info, std::optional<std::string>& path) {
    std::uint32_t headerSize = 0, flags = 0, volumeOffset = 0, baseOffset = 0, networkOffset = 0, suffixOffset = 0;
    if (!info.U32(4, headerSize) || !info.U32(8, flags) || !info.U32(12, volumeOffset) || !info.U32(16, baseOffset) ||
        !info.U32(20, networkOffset) || !info.U32(24, suffixOffset))
        return false;
    if (headerSize < 0x1C || headerSize > info.Size()) return false;
    std::uint32_t baseOffsetUnicode = 0, suffixOffsetUnicode = 0;
    if (headerSize >= 0x24 && (!info.U32(28, baseOffsetUnicode) || !info.U32(32, suffixOffsetUnicode))) return false;

    std::optional<std::string> suffix;
    if (!LinkInfoString(info, suffixOffset, suffixOffsetUnicode, suffix)) return false;
    if ((flags & 0x1) != 0) {
        std::optional<std::string> base;
        if (!LinkInfoString(info, baseOffset, baseOffsetUnicode, base)) return false;
        if (base && suffix) path = JoinPath(*base, *suffix);
        return true;
    }
    if ((flags & 0x2) != 0) {
        std::uint32_t size = 0, netNameOffset = 0, netNameOffsetUnicode = 0;
        if (!info.U32(networkOffset, size) || size < 0x14 || !info.Has(networkOffset, size)) return false;
        const Bytes network(info.Piece(networkOffset, size));
        if (!network.U32(8, netNameOffset)) return false;
        if (netNameOffset > 0x14 && !network.U32(0x14, netNameOffsetUnicode)) return false;
        std::optional<std::string> share;
        if (!LinkInfoString(network, netNameOffset, netNameOffsetUnicode, share)) return false;
        if (share && suffix) path = JoinPath(*share, *suffix);
        return true;
    }
    return true;
}

// ---- ExtraData

// Reads the extra data blocks; false when one is damaged. A missing
// terminal block at the very end is tolerated.
bool ParseExtraData(const Bytes& bytes, std::size_t at, ShellLinkFile& link) {
    while (at < bytes.Size()) {
        std::uint32_t size = 0, signature = 0;
        if (!bytes.U32(at, size)) return false;
        if (size < 4) return true;  // the terminal block
        if (size < 8 || !bytes.Has(at, size) || !bytes.U32(at + 4, signature)) return false;
        if (signature == kEnvironmentBlockSignature) {
            if (size != kEnvironmentBlockSize) return false;
            const Bytes block(bytes.Piece(at, size));
            std::optional<std::string> target;
            if (auto wide = Bytes(block.Piece(8 + kMaxPathChars, 2 * kMaxPathChars)).WideZ(0); wide && !wide->empty())
                target = WideToAnsiExact(*wide);
            else if (auto ansi = Bytes(block.Piece(8, kMaxPathChars)).AnsiZ(0))
                target = std::move(*ansi);
            link.hasEnvironmentBlock = true;
            link.environmentTarget = std::move(target);
        } else if (signature == kDarwinBlockSignature) {
            link.advertised = true;
        }
        at += size;
    }
    return true;
}

} // namespace

std::optional<ShellLinkFile> ParseShellLink(std::string_view data) {
    const Bytes bytes(data);
    std::uint32_t headerSize = 0;
    if (!bytes.U32(0, headerSize) || headerSize != kHeaderSize || !bytes.Has(0, kHeaderSize)) return std::nullopt;
    if (data.substr(4, 16) != kLinkClsid) return std::nullopt;
    ShellLinkFile link;
    (void)bytes.U32(0x14, link.flags);
    link.advertised = (link.flags & kLinkHasDarwinId) != 0;
    std::size_t at = kHeaderSize;

    if ((link.flags & kLinkHasIdList) != 0) {
        std::uint16_t listSize = 0;
        if (!bytes.U16(at, listSize) || !bytes.Has(at + 2, listSize)) return std::nullopt;
        std::vector<std::string_view> items;
        if (!SplitItems(data.substr(at + 2, listSize), items)) return std::nullopt;
        link.hasIdList = true;
        link.idListPath = IdListPath(items);
        at += 2 + listSize;
    }
    if ((link.flags & kLinkHasLinkInfo) != 0) {
        std::uint32_t infoSize = 0;
        if (!bytes.U32(at, infoSize) || infoSize < 0x1C || !bytes.Has(at, infoSize)) return std::nullopt;
        if (!ParseLinkInfo(Bytes(data.substr(at, infoSize)), link.linkInfoPath)) return std::nullopt;
        link.hasLinkInfo = true;
        at += infoSize;
    }
    const bool unicode = (link.flags & kLinkIsUnicode) != 0;
    const std::pair<std::uint32_t, std::string*> strings[] = {
        {kLinkHasName, &link.name},
        {kLinkHasRelativePath, &link.relativePath},
        {kLinkHasWorkingDir, &link.workingDirectory},
        {kLinkHasArguments, &link.arguments},
        {kLinkHasIconLocation, nullptr},
    };
    for (const auto& [flag, out] : strings) {
        if ((link.flags & flag) == 0) continue;
        std::uint16_t count = 0;
        if (!bytes.U16(at, count)) return std::nullopt;
        const std::size_t length = unicode ? 2u * count : count;
        if (!bytes.Has(at + 2, length)) return std::nullopt;
        if (out != nullptr) {
            const std::string raw(data.substr(at + 2, length));
            // Some writers count a terminating NUL; the text ends at the first.
            *out = UpToNul(unicode ? Utf16LeToAnsi(raw) : raw);
        }
        at += 2 + length;
    }
    if (!ParseExtraData(bytes, at, link)) return std::nullopt;
    return link;
}

std::optional<std::string> StoredTarget(const ShellLinkFile& link) {
    if (link.advertised) return std::nullopt;
    if (link.hasEnvironmentBlock) {
        // A block whose text cannot be spelled in ANSI leaves the target unknown.
        if (!link.environmentTarget) return std::nullopt;
        if (!link.environmentTarget->empty()) return link.environmentTarget;
    }
    if (link.hasLinkInfo && (link.flags & kLinkForceNoLinkInfo) == 0) {
        if (link.linkInfoPath) return link.linkInfoPath;
    }
    if (link.hasIdList) return link.idListPath;
    if (link.hasLinkInfo || !link.relativePath.empty()) return std::nullopt;
    return std::string();
}

// ---- Internet shortcuts

namespace {

bool IsIniBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimIni(std::string_view text) {
    while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && (IsIniBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string IniText(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return Utf16LeToAnsi(bytes.substr(2));
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return Utf8ToAnsi(bytes.substr(3));
    return std::string(bytes);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes %XX escapes and turns '/' into '\'.
std::string DecodeUrlPath(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i] == '/' ? '\\' : text[i];
        }
    }
    return out;
}

bool StartsWithDrive(std::string_view text) {
    return text.size() >= 2 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
           (text[1] == ':' || text[1] == '|') && (text.size() == 2 || text[2] == '/' || text[2] == '\\');
}

} // namespace

InternetShortcutFile ParseInternetShortcut(std::string_view bytes) {
    const std::string text = IniText(bytes);
    InternetShortcutFile file;
    bool inSection = false, haveUrl = false, haveWorkingDirectory = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = TrimIni(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            inSection = close != std::string_view::npos &&
                        EqualsAsciiNoCase(TrimIni(line.substr(1, close - 1)), "InternetShortcut");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        const std::string_view key = TrimIni(line.substr(0, equals));
        std::string_view value = TrimIni(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (!haveUrl && EqualsAsciiNoCase(key, "URL")) {
            file.url = std::string(value);
            haveUrl = true;
        } else if (!haveWorkingDirectory && EqualsAsciiNoCase(key, "WorkingDirectory")) {
            file.workingDirectory = std::string(value);
            haveWorkingDirectory = true;
        }
    }
    return file;
}

std::optional<std::string> PathFromUrl(std::string_view url) {
    url = TrimIni(url);
    if (url.size() < 5 || !EqualsAsciiNoCase(url.substr(0, 5), "file:")) return std::string();
    std::string_view rest = url.substr(5);
    std::size_t slashes = 0;
    while (slashes < rest.size() && (rest[slashes] == '/' || rest[slashes] == '\\')) ++slashes;
    rest.remove_prefix(slashes);
    if (StartsWithDrive(rest)) {
        std::string path = DecodeUrlPath(rest);
        path[1] = ':';
        if (path.size() == 2) path += '\\';
        return path;
    }
    if (slashes < 2 || rest.empty()) return std::nullopt;
    // file://host/share/...: "localhost" is this machine.
    const std::size_t hostEnd = rest.find_first_of("/\\");
    if (hostEnd != std::string_view::npos && EqualsAsciiNoCase(rest.substr(0, hostEnd), "localhost")) {
        std::string_view local = rest.substr(hostEnd + 1);
        while (!local.empty() && (local.front() == '/' || local.front() == '\\')) local.remove_prefix(1);
        if (!StartsWithDrive(local)) return std::nullopt;
        std::string path = DecodeUrlPath(local);
        path[1] = ':';
        if (path.size() == 2) path += '\\';
        return path;
    }
    return "\\\\" + DecodeUrlPath(rest);
}

} // namespace hs
