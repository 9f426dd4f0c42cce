// Writes shortcut files for tests and the demo system: shell links (.lnk) laid
// out the way the Windows shell writes them, and Internet shortcuts (.url).
//
//   WriteHostFile(folder + "/Editor.lnk", MakeShellLink(LinkTo("C:\\Tools\\editor.exe", "C:\\Tools")));
//   MakeShellLink(LinkToShare("\\\\server\\share", "apps\\tool.exe"))    // a network target
//   MakeShellLink(LinkToVirtualFolder())                                 // Control Panel: no path
//   MakeInternetShortcut("https://example.com/")                         // a web address
//   MakeInternetShortcut(FileUrl("C:\\Docs\\read me.txt"))               // a file: URL
//
// Text is in the ANSI code page, as everywhere in the program.
#pragma once

#include <string>

namespace hs::tools {

struct ShellLinkShape {
    // LinkInfo's local path: LocalBasePath, and CommonPathSuffix when the
    // path is split ("C:\dir" + "a.txt"). Empty: no local path.
    std::string localBasePath;
    std::string commonPathSuffix;
    // LinkInfo's network path instead: the share ("\\server\share") and the
    // path below it, written as the suffix.
    std::string networkShare;
    // The target the item list spells ("C:\dir\a.txt"); empty: no item list.
    std::string idListTarget;
    // The version of the 0xBEEF0004 block that carries each item's long name
    // (3, 7, 8 or 9); 0 writes short 8.3 names only.
    int idListExtensionVersion = 9;
    // Write the item list of Control Panel instead (a virtual folder).
    bool virtualFolder = false;
    // An environment-variable block with this target ("%SystemRoot%\x.exe").
    std::string environmentTarget;
    // An installer (advertised) shortcut: a Darwin block.
    bool advertised = false;

    std::string name;
    std::string relativePath;
    std::string workingDirectory;
    std::string arguments;

    int driveType = 3;             // the VolumeID's drive type (GetDriveType numbering): 3 fixed
    bool unicode = true;           // StringData in UTF-16LE
    bool unicodeLinkInfo = false;  // LinkInfo with the Unicode path fields too (header 0x24)
    bool countTerminatingNul = false;  // StringData counts include a NUL, as Wine writes them
};

// A link to a local file or folder, as the shell writes one: the item list
// and LinkInfo both name target.
ShellLinkShape LinkTo(const std::string& target, const std::string& workingDirectory = "");
// A link to a file on a network share: LinkInfo's network part only.
ShellLinkShape LinkToShare(const std::string& share, const std::string& pathBelowShare,
                          const std::string& workingDirectory = "");
// A link whose target is stored with a placeholder ("%SystemRoot%\notepad.exe"):
// the environment block, with LinkInfo naming expandedTarget when it is given.
ShellLinkShape LinkThroughEnvironment(const std::string& placeholderTarget, const std::string& expandedTarget = "");
// A link to Control Panel: an item list with no file-system path.
ShellLinkShape LinkToVirtualFolder();

// The bytes of a .lnk file.
std::string MakeShellLink(const ShellLinkShape& shape);

// The bytes of a .url file: [InternetShortcut] with URL= and, when given,
// WorkingDirectory=; CR LF line ends.
std::string MakeInternetShortcut(const std::string& url, const std::string& workingDirectory = "");
// The file: URL of a local path ("C:\a b\c.txt" -> "file:///C:/a%20b/c.txt").
std::string FileUrl(const std::string& path);

// Writes bytes to a host file, creating its missing parent folders. False
// with a message in error (when not null) on failure.
bool WriteHostFile(const std::string& hostPath, const std::string& bytes, std::string* error = nullptr);

} // namespace hs::tools
