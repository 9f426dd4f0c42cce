// Short texts of failed registry and file calls.
#include "results/failure_text.h"

#include "platform/file_system.h"

namespace hs {

std::string RegistryFailureText(RegStatus status) {
    switch (status) {
    case kErrorFileNotFound:
        return "the key no longer exists";
    case kErrorAccessDenied:
        return "access denied";
    default:
        return "registry error " + std::to_string(status);
    }
}

std::string FileFailureText(std::uint32_t error) {
    switch (error) {
    case kFsFileNotFound:
        return "file not found";
    case kFsPathNotFound:
        return "folder not found";
    case kFsAccessDenied:
        return "access denied";
    default:
        return "error " + std::to_string(error);
    }
}

} // namespace hs
