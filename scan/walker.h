// The registry walker: turns a start key into a stream of values, each
// converted to text and handed to the checker of the entry's section.
//
// Every walk closes every key it opened before it returns, gives the host a
// turn after every key or value, and stops as soon as CancelRequested is set.
// The walker never writes to the registry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "scan/scan_context.h"

namespace hs {

// The values of every key below keyPath, at any depth (each key's values
// before its subkeys), but not the values of keyPath itself.
void WalkKeys(ScanContext& context, RegKey root, const std::string& keyPath, const std::string& sectionName,
              const std::string& rootName, Label valueLabel);

// The values of keyPath only.
void WalkValues(ScanContext& context, RegKey root, const std::string& keyPath, const std::string& sectionName,
                const std::string& rootName, Label valueLabel);

// Shows the subkey names of keyPath one after the other while the cancel
// button is enabled; tests and records nothing.
void ListClassKeys(ScanContext& context, RegKey root, const std::string& keyPath);

// A value's data as text: REG_SZ and REG_MULTI_SZ up to the first NUL (so
// only a multi-string's first string), REG_DWORD as signed decimal, anything
// else (REG_EXPAND_SZ included) and any failure as empty text.
std::string ReadValueText(Registry& registry, RegKey key, const std::string& valueName);

// Calls the checker of the section (matched exactly) unless a cancel is
// pending.
void DispatchValue(ScanContext& context, const std::string& dataText, const std::string& sectionName,
                   const std::string& valueName, RegKey root, const std::string& rootName,
                   const std::string& keyPath);

} // namespace hs
