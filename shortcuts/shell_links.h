// What the shortcut check asks of the shell about one file: is it a link,
// what is its type name, and, for a link, its stored target path and working
// directory. FileShellLinks answers from the registry's file classes and the
// published file formats, the same on every build.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/registry_access.h"

namespace hs {

// Shortcut files larger than this are not read (real ones are a few KB).
inline constexpr std::uint64_t kMaxShortcutFileBytes = 4u << 20;

// The file as a shell item.
struct ShellItem {
    bool isLink = false;
    std::string type;  // the registered type name ("Shortcut", "Internet Shortcut", "TXT File")
};

// A link's stored data.
struct ShellLink {
    // False when the stored target could not be worked out (an advertised
    // installer shortcut, a virtual folder, a program information file, a
    // path with no ANSI spelling): such a link is never taken as broken.
    bool targetKnown = false;
    // The target as stored, environment placeholders kept; empty when the
    // link stores none (or, for a .url file, names no file).
    std::string path;
    std::string workingDirectory;
};

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    // The shell item of the file at path; false when there is none.
    virtual bool GetItem(const std::string& path, ShellItem& item) = 0;
    // The link data of a file GetItem called a link; false when the file
    // cannot be read as one (missing, damaged, not a regular file, too big).
    virtual bool GetLink(const std::string& path, ShellLink& link) = 0;
};

// The type of a file extension as the shell decides it: the extension's key
// under HKEY_CLASSES_ROOT names a class; when that class exists, its unnamed
// value is the type name and an "IsShortcut" value makes it a link. Without
// a class, .lnk is "Shortcut", .url "Internet Shortcut" and .pif "Shortcut
// to MS-DOS Program", all links; anything else is "<EXT> File" (or "File"
// without an extension) and no link.
ShellItem ShellItemForExtension(RegistryAccess& registry, std::string_view extension);

// The extension of a path's last component (after its last dot), as it
// stands; empty when there is none.
std::string_view ExtensionOf(std::string_view path);

// Reads shortcut files through the file-system port: .lnk files as shell
// links, .url files as Internet shortcuts. Other link types (.pif) are links
// whose target is unknown.
class FileShellLinks final : public ShellLinks {
public:
    FileShellLinks(FileSystem& files, RegistryAccess& registry) : files_(files), registry_(registry) {}
    bool GetItem(const std::string& path, ShellItem& item) override;
    bool GetLink(const std::string& path, ShellLink& link) override;

private:
    FileSystem& files_;
    RegistryAccess& registry_;
};

} // namespace hs
