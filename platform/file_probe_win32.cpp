// File existence on Windows: a directory search, which also finds hidden and
// system files.
#include "platform/file_probe.h"

#include <windows.h>

namespace hs {

namespace {

class Win32FileProbe final : public FileProbe {
public:
    bool FileExists(const std::string& path) override {
        if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return false;
        FindClose(search);
        return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
};

} // namespace

std::unique_ptr<FileProbe> MakeSystemFileProbe() {
    return std::make_unique<Win32FileProbe>();
}

} // namespace hs
