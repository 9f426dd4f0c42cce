// File classes from the registry, and the shortcut reader over the file
// formats.
#include "shortcuts/shell_links.h"

#include <optional>

#include "platform/roots.h"
#include "shortcuts/link_format.h"

namespace hs {

namespace {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool SameExtension(std::string_view extension, std::string_view known) {
    return UpperAscii(extension) == UpperAscii(known);
}

// The built-in link types, used when the registry has no class for them.
struct KnownLinkType {
    std::string_view extension;
    std::string_view type;
};
constexpr KnownLinkType kKnownLinkTypes[] = {
    {"lnk", "Shortcut"},
    {"url", "Internet Shortcut"},
    {"pif", "Shortcut to MS-DOS Program"},
};

const KnownLinkType* KnownType(std::string_view extension) {
    for (const auto& known : kKnownLinkTypes)
        if (SameExtension(extension, known.extension)) return &known;
    return nullptr;
}

std::string GenericTypeName(std::string_view extension) {
    return extension.empty() ? std::string("File") : UpperAscii(extension) + " File";
}

// Closes a registry key when it goes out of scope.
class OpenKey {
public:
    OpenKey(Registry& registry, const std::string& path) : registry_(registry) {
        if (registry_.OpenKeyEx(kHkeyClassesRoot, path.c_str(), kKeyRead, &key_) != kErrorSuccess) key_ = 0;
    }
    ~OpenKey() {
        if (key_ != 0) static_cast<void>(registry_.CloseKey(key_));
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    RegKey get() const { return key_; }

private:
    Registry& registry_;
    RegKey key_ = 0;
};

std::string TrimmedSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

} // namespace

std::string_view ExtensionOf(std::string_view path) {
    const std::size_t lastSeparator = path.find_last_of("\\/");
    const std::string_view name = lastSeparator == std::string_view::npos ? path : path.substr(lastSeparator + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

ShellItem ShellItemForExtension(RegistryAccess& registry, std::string_view extension) {
    const KnownLinkType* known = KnownType(extension);
    // A name that cannot be a single key name has no class.
    if (!extension.empty() && extension.find('\\') == std::string_view::npos) {
        const std::optional<std::string> className =
            registry.ReadTextValue(kHkeyClassesRoot, "." + std::string(extension), "");
        const std::string classKey = className ? TrimmedSpaces(*className) : std::string();
        if (!classKey.empty() && classKey.find('\\') == std::string::npos) {
            OpenKey key(registry.Port(), classKey);
            if (key.get() != 0) {
                ShellItem item;
                const ValueData name = registry.QueryValueData(key.get(), "");
                item.type = name.status == kErrorSuccess && name.text ? *name.text : std::string();
                if (item.type.empty()) item.type = known ? std::string(known->type) : GenericTypeName(extension);
                std::uint32_t type = 0, size = 0;
                item.isLink = registry.Port().QueryValueEx(key.get(), "IsShortcut", &type, nullptr, &size) ==
                              kErrorSuccess;
                return item;
            }
        }
    }
    if (known != nullptr) return ShellItem{true, std::string(known->type)};
    return ShellItem{false, GenericTypeName(extension)};
}

bool FileShellLinks::GetItem(const std::string& path, ShellItem& item) {
    item = ShellItemForExtension(registry_, ExtensionOf(path));
    return true;
}

bool FileShellLinks::GetLink(const std::string& path, ShellLink& link) {
    const std::string_view extension = ExtensionOf(path);
    const bool isShellLink = SameExtension(extension, "lnk");
    const bool isInternetShortcut = SameExtension(extension, "url");
    std::string bytes;
    if (!files_.ReadFileBytes(path, kMaxShortcutFileBytes, bytes, nullptr)) return false;
    link = ShellLink{};
    if (isShellLink) {
        const std::optional<ShellLinkFile> parsed = ParseShellLink(bytes);
        if (!parsed) return false;
        const std::optional<std::string> target = StoredTarget(*parsed);
        link.targetKnown = target.has_value();
        link.path = target.value_or(std::string());
        link.workingDirectory = parsed->workingDirectory;
    } else if (isInternetShortcut) {
        const InternetShortcutFile parsed = ParseInternetShortcut(bytes);
        const std::optional<std::string> target = PathFromUrl(parsed.url);
        link.targetKnown = target.has_value();
        link.path = target.value_or(std::string());
        link.workingDirectory = parsed.workingDirectory;
    }
    // Any other link type: its format is not read here, so its target stays unknown.
    return true;
}

} // namespace hs
