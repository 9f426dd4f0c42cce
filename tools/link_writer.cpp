// Shell link and Internet shortcut writer.
#include "tools/link_writer.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/ansi_text.h"

namespace hs::tools {

namespace {

constexpr std::uint32_t kHasIdList = 0x1, kHasLinkInfo = 0x2, kHasName = 0x4, kHasRelativePath = 0x8,
                        kHasWorkingDir = 0x10, kHasArguments = 0x20, kIsUnicode = 0x80, kHasExpString = 0x200,
                        kHasDarwinId = 0x1000;

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}
void Set16(std::string& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
void Set32(std::string& out, std::size_t at, std::uint32_t value) {
    Set16(out, at, value & 0xFFFF);
    Set16(out, at + 2, value >> 16);
}
void PutBytes(std::string& out, std::initializer_list<unsigned> bytes) {
    for (unsigned b : bytes) out += static_cast<char>(b);
}

const std::initializer_list<unsigned> kMyComputer = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                                     0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
// {21EC2020-3AEA-1069-A2DD-08002B30309D}: Control Panel.
const std::initializer_list<unsigned> kControlPanel = {0x20, 0x20, 0xEC, 0x21, 0xEA, 0x3A, 0x69, 0x10,
                                                       0xA2, 0xDD, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// A made-up 8.3 form of a long name, as the file system would keep it.
std::string ShortName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    auto clean = [](std::string text) {
        std::string out;
        for (char c : text) {
            if (c == ' ' || c == '.') continue;
            out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return out;
    };
    const bool fits = base.size() <= 8 && ext.size() <= 3 && base.find(' ') == std::string::npos;
    base = clean(base);
    ext = clean(ext).substr(0, 3);
    if (!fits) base = base.substr(0, 6) + "~1";
    return ext.empty() ? base : base + "." + ext;
}

// The 0xBEEF0004 block of a file entry item, placed at blockOffset in the item.
std::string FileEntryExtension(const std::string& longName, int version, std::size_t blockOffset) {
    std::string block;
    Put16(block, 0);  // size, set below
    Put16(block, static_cast<std::uint32_t>(version));
    Put32(block, 0xBEEF0004);
    Put32(block, 0x5A3C2821);  // created (a FAT date and time)
    Put32(block, 0x5A3C2821);  // accessed
    std::size_t nameOffset = 20 + (version >= 7 ? 18 : 0) + (version >= 8 ? 4 : 0) + (version >= 9 ? 4 : 0);
    Put16(block, static_cast<std::uint32_t>(nameOffset));  // identifier: where the name starts
    if (version >= 7) {
        Put16(block, 0);
        Put32(block, 0x1E03);  // file reference
        Put32(block, 0x1EF50000);
        Put32(block, 0);
        Put32(block, 0);
    }
    Put16(block, 0);  // no localized name
    if (version >= 9) Put32(block, 0);
    if (version >= 8) Put32(block, 0);
    block += AnsiToUtf16Le(longName);
    Put16(block, 0);
    Put16(block, static_cast<std::uint32_t>(blockOffset));
    Set16(block, 0, static_cast<std::uint32_t>(block.size()));
    return block;
}

// A file entry item: 0x31 folder or 0x32 file.
std::string FileEntryItem(const std::string& longName, bool folder, int version) {
    std::string item;
    Put16(item, 0);  // size, set below
    item += static_cast<char>(folder ? 0x31 : 0x32);
    item += '\0';
    Put32(item, 0);           // file size
    Put32(item, 0x5A3C2821);  // modified
    Put16(item, folder ? 0x10 : 0x20);
    item += ShortName(longName);
    item += '\0';
    if (item.size() % 2 != 0) item += '\0';
    if (version > 0) item += FileEntryExtension(longName, version, item.size());
    Set16(item, 0, static_cast<std::uint32_t>(item.size()));
    return item;
}

std::string RootItem(const std::initializer_list<unsigned>& clsid, unsigned sortIndex) {
    std::string item;
    Put16(item, 20);
    PutBytes(item, {0x1F, sortIndex});
    PutBytes(item, clsid);
    return item;
}

std::string IdList(const ShellLinkShape& shape) {
    std::string list;
    if (shape.virtualFolder) {
        list += RootItem(kControlPanel, 0x70);
    } else {
        list += RootItem(kMyComputer, 0x50);
        const std::vector<std::string> parts = SplitComponents(shape.idListTarget);
        std::string volume;
        Put16(volume, 25);
        volume += '\x2F';
        volume += parts.empty() ? std::string("C:") : parts[0];
        volume += '\\';
        volume.resize(25, '\0');
        list += volume;
        for (std::size_t i = 1; i < parts.size(); ++i)
            list += FileEntryItem(parts[i], i + 1 < parts.size(), shape.idListExtensionVersion);
    }
    Put16(list, 0);  // the terminal item
    std::string out;
    Put16(out, static_cast<std::uint32_t>(list.size()));
    return out + list;
}

std::string LinkInfo(const ShellLinkShape& shape) {
    const bool network = !shape.networkShare.empty();
    const std::uint32_t headerSize = shape.unicodeLinkInfo ? 0x24 : 0x1C;
    std::string info(headerSize, '\0');
    Set32(info, 4, headerSize);
    Set32(info, 8, network ? 0x2 : 0x1);
    if (network) {
        const std::size_t linkAt = info.size();
        std::string link;
        Put32(link, 0);     // size, set below
        Put32(link, 0x2);   // ValidNetType
        Put32(link, 0x14);  // NetNameOffset
        Put32(link, 0);     // DeviceNameOffset
        Put32(link, 0x20000);
        link += shape.networkShare;
        link += '\0';
        Set32(link, 0, static_cast<std::uint32_t>(link.size()));
        info += link;
        Set32(info, 20, static_cast<std::uint32_t>(linkAt));
    } else {
        Set32(info, 12, static_cast<std::uint32_t>(info.size()));
        std::string volume;
        Put32(volume, 0x11);
        Put32(volume, static_cast<std::uint32_t>(shape.driveType));
        Put32(volume, 0x43000000);  // serial number
        Put32(volume, 0x10);        // label offset
        volume += '\0';             // empty label
        info += volume;
        Set32(info, 16, static_cast<std::uint32_t>(info.size()));
        info += shape.localBasePath;
        info += '\0';
    }
    Set32(info, 24, static_cast<std::uint32_t>(info.size()));
    info += shape.commonPathSuffix;
    info += '\0';
    if (shape.unicodeLinkInfo) {
        if (!network) {
            Set32(info, 28, static_cast<std::uint32_t>(info.size()));
            info += AnsiToUtf16Le(shape.localBasePath);
            Put16(info, 0);
        }
        Set32(info, 32, static_cast<std::uint32_t>(info.size()));
        info += AnsiToUtf16Le(shape.commonPathSuffix);
        Put16(info, 0);
    }
    Set32(info, 0, static_cast<std::uint32_t>(info.size()));
    return info;
}

std::string CountedString(const ShellLinkShape& shape, const std::string& text) {
    std::string bytes = shape.unicode ? AnsiToUtf16Le(text) : text;
    std::size_t count = shape.unicode ? bytes.size() / 2 : bytes.size();
    if (shape.countTerminatingNul) {
        bytes.append(shape.unicode ? 2 : 1, '\0');
        ++count;
    }
    std::string out;
    Put16(out, static_cast<std::uint32_t>(count));
    return out + bytes;
}

// A block of 8 header bytes and a 260-byte ANSI and 520-byte Unicode target.
std::string TargetBlock(std::uint32_t signature, const std::string& target) {
    std::string block;
    Put32(block, 0x314);
    Put32(block, signature);
    std::string ansi = target.substr(0, 259);
    ansi.resize(260, '\0');
    std::string wide = AnsiToUtf16Le(target).substr(0, 518);
    wide.resize(520, '\0');
    return block + ansi + wide;
}

} // namespace

ShellLinkShape LinkTo(const std::string& target, const std::string& workingDirectory) {
    ShellLinkShape shape;
    shape.localBasePath = target;
    shape.idListTarget = target;
    shape.workingDirectory = workingDirectory;
    return shape;
}

ShellLinkShape LinkToShare(const std::string& share, const std::string& pathBelowShare,
                          const std::string& workingDirectory) {
    ShellLinkShape shape;
    shape.networkShare = share;
    shape.commonPathSuffix = pathBelowShare;
    shape.workingDirectory = workingDirectory;
    return shape;
}

ShellLinkShape LinkThroughEnvironment(const std::string& placeholderTarget, const std::string& expandedTarget) {
    ShellLinkShape shape;
    shape.environmentTarget = placeholderTarget;
    shape.localBasePath = expandedTarget;
    shape.idListTarget = expandedTarget;
    return shape;
}

ShellLinkShape LinkToVirtualFolder() {
    ShellLinkShape shape;
    shape.virtualFolder = true;
    return shape;
}

std::string MakeShellLink(const ShellLinkShape& shape) {
    std::uint32_t flags = 0;
    const bool idList = shape.virtualFolder || !shape.idListTarget.empty();
    const bool linkInfo = !shape.localBasePath.empty() || !shape.networkShare.empty();
    if (idList) flags |= kHasIdList;
    if (linkInfo) flags |= kHasLinkInfo;
    if (!shape.name.empty()) flags |= kHasName;
    if (!shape.relativePath.empty()) flags |= kHasRelativePath;
    if (!shape.workingDirectory.empty()) flags |= kHasWorkingDir;
    if (!shape.arguments.empty()) flags |= kHasArguments;
    if (shape.unicode) flags |= kIsUnicode;
    if (!shape.environmentTarget.empty()) flags |= kHasExpString;
    if (shape.advertised) flags |= kHasDarwinId;

    std::string out;
    Put32(out, 0x4C);
    PutBytes(out, {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46});
    Put32(out, flags);
    Put32(out, 0x20);              // the target's attributes
    out.append(24, '\0');          // creation, access and write times
    Put32(out, 0);                 // file size
    Put32(out, 0);                 // icon index
    Put32(out, 1);                 // show normal
    out.append(2 + 2 + 4 + 4, '\0');  // hot key, reserved
    if (idList) out += IdList(shape);
    if (linkInfo) out += LinkInfo(shape);
    if (!shape.name.empty()) out += CountedString(shape, shape.name);
    if (!shape.relativePath.empty()) out += CountedString(shape, shape.relativePath);
    if (!shape.workingDirectory.empty()) out += CountedString(shape, shape.workingDirectory);
    if (!shape.arguments.empty()) out += CountedString(shape, shape.arguments);
    if (!shape.environmentTarget.empty()) out += TargetBlock(0xA0000001, shape.environmentTarget);
    if (shape.advertised) out += TargetBlock(0xA0000006, "[ProductCode]>Feature>Component");
    Put32(out, 0);  // the terminal block
    return out;
}

std::string MakeInternetShortcut(const std::string& url, const std::string& workingDirectory) {
    std::string text = "[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,0\r\n[InternetShortcut]\r\nIDList=\r\n";
    text += "URL=" + url + "\r\n";
    if (!workingDirectory.empty()) text += "WorkingDirectory=" + workingDirectory + "\r\n";
    return text;
}

std::string FileUrl(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file:///";
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            url += '/';
        } else if (byte <= 0x20 || byte >= 0x7F || c == '%' || c == '#' || c == '?' || c == '"') {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        } else {
            url += c;
        }
    }
    return url;
}

bool WriteHostFile(const std::string& hostPath, const std::string& bytes, std::string* error) {
    auto fail = [&](const std::string& message) {
        if (error != nullptr) *error = hostPath + ": " + message;
        return false;
    };
    const std::filesystem::path path(hostPath);
    std::error_code code;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), code);
    if (code) return fail(code.message());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot be opened for writing");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return fail("cannot be written");
    return true;
}

} // namespace hs::tools
