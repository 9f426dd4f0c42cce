// Files of the machine the program runs on, addressed by its own paths: the
// settings file and other files kept outside the scanned file system.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace hs {

// The separator of the host's paths ('\\' on Windows, '/' elsewhere).
extern const char kPathSeparator;
bool IsSeparator(char c);
bool IsAbsolutePath(std::string_view path);

// Creates path and its missing parents; true when the folder exists after.
bool MakeFolders(const std::string& path);

enum class ReadOutcome { kRead, kMissing, kFailed };
ReadOutcome ReadWholeFile(const std::string& path, std::string& contents);

// Writes contents to a temporary file beside path, flushes it to the disk,
// and renames it over path, so a crash leaves either the old or the new
// file. On any failure the temporary file is removed and path is untouched.
bool ReplaceFileContents(const std::string& path, const std::string& contents);

// The primitives that differ between the platforms.
bool MakeOneFolder(const std::string& path);
bool SyncToDisk(std::FILE* file);
bool RenameOver(const std::string& from, const std::string& to);
long CurrentProcessId();

} // namespace hs
