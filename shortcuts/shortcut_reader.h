// The deciding half of the shortcut scan: for one file the walker hands
// over, whether it is a shortcut whose target is gone, and if so a row of
// lvwShortcut and the problem-found hook.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "scan/scan_context.h"

namespace hs {

// Examines one file (a folder path ending in "\" and a name) and records it
// when it is a broken shortcut. Nothing is recorded for:
// - a path that holds "NetHood" or "System Volume Information" (any case);
// - a file the shell does not call a link, or whose type is "Shortcut to
//   MS-DOS Program", "SpeedDial" or "Microsoft Access Report Shortcut";
// - a name that does not end in "LNK" or "URL";
// - a link whose working directory is "%HOMEDRIVE%%HOMEPATH%";
// - a link whose target could not be read, is empty (a virtual folder, a
//   web address), keeps a placeholder other than %SystemRoot%, %windir%,
//   %ProgramFiles% and %CommonProgramFiles%, is not on a local fixed drive
//   (removable, network, CD, UNC: an unplugged drive is no broken shortcut),
//   or exists; only a target that the system reports as not found counts
//   as missing.
// The row's path is fullPath exactly as passed in. The shell is
// context.links, or the program's own reader when that is null.
void CheckShortcutFile(ScanContext& context, const std::string& fullPath);

// True when GetFileAttributesA gives any attributes for the path (a folder
// counts as existing).
bool PathExists(ScanContext& context, const std::string& path);

// A stored target with %SystemRoot% and %windir% (the Windows folder),
// %ProgramFiles% and %CommonProgramFiles% (the registry's folders) expanded,
// letter case ignored; nothing when the folder of one of them is not known
// or another placeholder remains.
std::optional<std::string> ExpandLinkTarget(ScanContext& context, std::string_view target);

// True when the path is absolute on a drive ("X:\...") whose type is fixed.
// The drive list comes from the context's look-up cache when it is on.
bool IsOnLocalFixedDrive(ScanContext& context, std::string_view path);

} // namespace hs
