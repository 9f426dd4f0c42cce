// File existence on the portable build.
#include "platform/file_probe.h"

#include <sys/stat.h>

namespace hs {

namespace {

class PosixFileProbe final : public FileProbe {
public:
    bool FileExists(const std::string& path) override {
        struct stat info {};
        return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    }
};

} // namespace

std::unique_ptr<FileProbe> MakeSystemFileProbe() {
    return std::make_unique<PosixFileProbe>();
}

} // namespace hs
