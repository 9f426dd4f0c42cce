// The recursive key walk, the value walk, the class listing and dispatch.
#include "scan/walker.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "checkers/paths.h"
#include "platform/registry_access.h"

namespace hs {

namespace {

// The buffers the walks enumerate with, in characters or bytes.
constexpr std::uint32_t kNameBuffer = 255;
constexpr std::uint32_t kClassBuffer = 255;
constexpr std::uint32_t kDataBuffer = 255;

// Only catalogue entry 11 shows this caption; while it is shown the walk
// never reaches a checker. Asked once per value, so it compares in place.
bool DispatchSuppressed(const ScanContext& context) {
    return EqualsNoCase(TrimSpaces(context.view.Caption(Label::lblStatus)), "CONFIGURATION FILES...");
}

} // namespace

void WalkKeys(ScanContext& context, RegKey root, const std::string& keyPath, const std::string& sectionName,
              const std::string& rootName, Label valueLabel) {
    Registry& registry = context.registry;
    RegKey key = 0;
    if (registry.OpenKeyEx(root, keyPath.c_str(), kKeyEnumerateSubKeys, &key) != kErrorSuccess) return;
    for (std::uint32_t index = 0;; ++index) {
        char name[kNameBuffer];
        char className[kClassBuffer];
        std::uint32_t nameLength = kNameBuffer, classLength = kClassBuffer;
        // No more subkeys, or a name or class that does not fit: the walk
        // of this key ends.
        if (registry.EnumKeyEx(key, index, name, &nameLength, className, &classLength) != kErrorSuccess) break;
        std::string subkeyName(name, nameLength);
        std::string subkeyPath = keyPath + "\\" + subkeyName;
        context.view.SetCaption(Label::lblRegistryScan, subkeyName);
        WalkValues(context, root, subkeyPath, sectionName, rootName, valueLabel);
        WalkKeys(context, root, subkeyPath, sectionName, rootName, valueLabel);
        if (context.state.Cancelled()) break;
        context.host.Yield();
    }
    static_cast<void>(registry.CloseKey(key));
}

void WalkValues(ScanContext& context, RegKey root, const std::string& keyPath, const std::string& sectionName,
                const std::string& rootName, Label valueLabel) {
    Registry& registry = context.registry;
    RegKey key = 0;
    if (registry.OpenKey(root, keyPath.c_str(), &key) != kErrorSuccess) return;
    for (std::uint32_t index = 0;; ++index) {
        if (context.state.Cancelled()) break;
        char name[kNameBuffer];
        std::uint8_t data[kDataBuffer];
        std::uint32_t nameLength = kNameBuffer, dataLength = kDataBuffer;
        // A value whose name or data does not fit ends the walk of this key.
        if (registry.EnumValue(key, index, name, &nameLength, nullptr, data, &dataLength) != kErrorSuccess) break;
        std::string valueName(name, nameLength);
        std::string dataText = ReadValueText(registry, key, valueName);
        context.view.SetCaption(valueLabel, dataText);
        if (context.state.Cancelled()) break;
        if (!DispatchSuppressed(context)) {
            DispatchValue(context, dataText, sectionName, valueName, root, rootName, keyPath);
        }
        if (context.state.Cancelled()) break;
        context.host.Yield();
    }
    static_cast<void>(registry.CloseKey(key));
}

void ListClassKeys(ScanContext& context, RegKey root, const std::string& keyPath) {
    Registry& registry = context.registry;
    RegKey key = 0;
    if (registry.OpenKey(root, keyPath.c_str(), &key) != kErrorSuccess) return;
    for (std::uint32_t index = 0; context.view.CancelEnabled(); ++index) {
        char name[kNameBuffer];
        char className[kClassBuffer];
        std::uint32_t nameLength = kNameBuffer, classLength = kClassBuffer;
        if (registry.EnumKeyEx(key, index, name, &nameLength, className, &classLength) != kErrorSuccess) break;
        context.view.SetCaption(Label::lblRegistryScan, std::string(name, nameLength));
        context.host.Yield();
    }
    static_cast<void>(registry.CloseKey(key));
}

std::string ReadValueText(Registry& registry, RegKey key, const std::string& valueName) {
    std::uint32_t type = 0, size = 0;
    if (registry.QueryValueEx(key, valueName.c_str(), &type, nullptr, &size) != kErrorSuccess) return {};
    if (type == kRegSz || type == kRegMultiSz) {
        if (size == 0) return {};
        // A buffer of exactly size bytes, zero-filled; on the stack for the
        // usual short strings (this runs once per value of every walk).
        std::uint8_t small[512];
        std::vector<std::uint8_t> large;
        std::uint8_t* buffer = small;
        const std::size_t capacity = size;
        if (capacity <= sizeof small) {
            std::memset(small, 0, capacity);
        } else {
            large.assign(capacity, 0);
            buffer = large.data();
        }
        if (registry.QueryValueEx(key, valueName.c_str(), nullptr, buffer, &size) != kErrorSuccess) return {};
        const char* text = reinterpret_cast<const char*>(buffer);
        return std::string(text, strnlen(text, capacity));
    }
    if (type == kRegDword) {
        std::uint8_t bytes[4] = {};
        std::uint32_t four = sizeof bytes;
        if (registry.QueryValueEx(key, valueName.c_str(), nullptr, bytes, &four) != kErrorSuccess) return {};
        return std::to_string(DecodeDword(bytes));
    }
    return {};
}

void DispatchValue(ScanContext& context, const std::string& dataText, const std::string& sectionName,
                   const std::string& valueName, RegKey root, const std::string& rootName,
                   const std::string& keyPath) {
    const CheckerFn* checker = context.checkers.ForSection(sectionName);
    if (checker == nullptr || context.state.Cancelled()) return;
    std::string text = dataText;
    (*checker)(context, static_cast<std::int32_t>(root), rootName, valueName, text, sectionName, keyPath);
}

} // namespace hs
