// A .reg file's contents in one canonical text, for comparing two registry
// files by what they hold: every key, and in each key its values sorted by
// name (a value a restore re-created comes last in its key, which changes
// nothing a program reads).
#pragma once

#include <string>
#include <string_view>

namespace hs::tools {

// The canonical text of a .reg file's bytes; empty and a message in error
// when the file does not parse.
std::string CanonicalRegText(std::string_view regFileBytes, std::string& error);

} // namespace hs::tools
