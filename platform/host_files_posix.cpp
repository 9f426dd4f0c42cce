// Host file primitives on POSIX systems.
#include "platform/host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace hs {

const char kPathSeparator = '/';

bool IsSeparator(char c) {
    return c == '/';
}

bool IsAbsolutePath(std::string_view path) {
    return !path.empty() && path[0] == '/';
}

bool MakeOneFolder(const std::string& path) {
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool SyncToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    // Make the rename itself durable; the file is in place either way.
    std::string folder = to.substr(0, to.find_last_of('/'));
    int fd = open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        static_cast<void>(fsync(fd));
        close(fd);
    }
    return true;
}

long CurrentProcessId() {
    return static_cast<long>(getpid());
}

} // namespace hs
