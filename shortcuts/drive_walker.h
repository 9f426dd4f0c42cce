// The walking half of the shortcut scan: visits every folder of one drive,
// depth first, and hands each file that could be a shortcut to the shortcut
// reader, keeping the two progress labels current and testing the cancel
// flag between entries.
#pragma once

#include <string>

#include "scan/scan_context.h"

namespace hs {

// At most this many subfolders of one folder are descended into: the first
// ones the listing returns.
inline constexpr int kMaxSubfoldersPerFolder = 32767;

// Walks the drive whose root is driveRoot ("C:\"; a missing trailing
// backslash is added) when GetVolumeInformationA says it is ready; a drive
// that is not ready is skipped without a word.
void ScanDriveForShortcuts(ScanContext& context, const std::string& driveRoot);

// Walks one folder and every folder below it. The files of a folder are
// handed over in listing order before any of its subfolders is walked; the
// subfolders follow depth first in listing order. Folders that are reparse
// points (junctions, symbolic links) are not descended into. An entry's
// attributes are those the listing gives (the system is asked again only
// for a name that a path might spell otherwise), and the folder label's
// short form is asked for the starting folder only: below it, each is
// composed from its parent's and the short name the listing gives.
void ScanFolderForShortcuts(ScanContext& context, const std::string& folderPath);

// The short (8.3) form of a path for the progress label; empty when the
// system cannot give one or when it is longer than the label's 164
// characters.
std::string ShortPathForDisplay(ScanContext& context, const std::string& path);

} // namespace hs
