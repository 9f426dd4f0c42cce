// Whole-file reads and crash-safe replacement of host files.
#include "platform/host_files.h"

#include <cerrno>
#include <cstdio>

namespace hs {

bool MakeFolders(const std::string& path) {
    // Only the last step's outcome matters: a parent that cannot be made
    // makes the last step fail too.
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (IsSeparator(path[i]) && !IsSeparator(path[i - 1])) static_cast<void>(MakeOneFolder(path.substr(0, i)));
    }
    return MakeOneFolder(path);
}

ReadOutcome ReadWholeFile(const std::string& path, std::string& contents) {
    contents.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kFailed;
    char buffer[8192];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
    bool failed = std::ferror(file) != 0;  // a folder opens on Linux but does not read
    std::fclose(file);
    return failed ? ReadOutcome::kFailed : ReadOutcome::kRead;
}

bool ReplaceFileContents(const std::string& path, const std::string& contents) {
    const std::string temporary = path + "." + std::to_string(CurrentProcessId()) + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    ok = SyncToDisk(file) && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && RenameOver(temporary, path);
    if (!ok) static_cast<void>(std::remove(temporary.c_str()));
    return ok;
}

} // namespace hs
