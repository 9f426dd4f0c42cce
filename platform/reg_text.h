// Case folding of registry names, as the registry compares and sorts them.
#pragma once

#include <string>
#include <string_view>

namespace hs {

// The upper-case form under which the registry compares and sorts names.
// Folds ASCII and the Latin-1 letters of UTF-8 text (é and É are one name);
// other bytes stay as they are.
std::string FoldUpper(std::string_view text);

// True when two names are the same name to the registry.
bool SameRegistryName(std::string_view a, std::string_view b);

} // namespace hs
