// The one file question the scan model asks of the system: does a file of
// that name exist, hidden and system files included.
#pragma once

#include <memory>
#include <string>

namespace hs {

class FileProbe {
public:
    virtual ~FileProbe() = default;
    // True when a file (not a folder) of that name exists, whatever its
    // attributes.
    virtual bool FileExists(const std::string& path) = 0;
};

// The file system of this machine.
std::unique_ptr<FileProbe> MakeSystemFileProbe();

} // namespace hs
