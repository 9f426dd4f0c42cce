// Host file primitives on Windows.
#include <windows.h>

#include <direct.h>
#include <io.h>

#include <cerrno>

#include "platform/host_files.h"

namespace hs {

const char kPathSeparator = '\\';

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAbsolutePath(std::string_view path) {
    return (!path.empty() && IsSeparator(path[0])) || (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]));
}

bool MakeOneFolder(const std::string& path) {
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
}

bool SyncToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

long CurrentProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

} // namespace hs
