// Short texts, for a person, of why a registry or file call failed: the
// reasons a repair or a restore gives for what it left.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace hs {

// "the key no longer exists" (2), "access denied" (5), else "registry error N".
std::string RegistryFailureText(RegStatus status);

// "file not found" (2), "folder not found" (3), "access denied" (5), else
// "error N".
std::string FileFailureText(std::uint32_t error);

} // namespace hs
