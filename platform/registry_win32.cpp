// The registry port over advapi32: each method is one call.
#include "platform/registry_win32.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ansi_text.h"

namespace hs {

namespace {

HKEY ToHkey(RegKey key) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(key));
}

RegKey FromHkey(HKEY key) {
    return static_cast<RegKey>(reinterpret_cast<std::intptr_t>(key));
}

// Runs an open or create call and passes its key out, null on failure.
template <typename Call>
RegStatus OpenWith(RegKey* result, Call call) {
    HKEY opened = nullptr;
    LONG status = call(&opened);
    if (result != nullptr) *result = status == ERROR_SUCCESS ? FromHkey(opened) : 0;
    return status;
}

// An ANSI name as the W calls take it; null stays null (the unnamed value).
class WideName {
public:
    explicit WideName(const char* ansi) : present_(ansi != nullptr) {
        if (!present_) return;
        const std::string units = AnsiToUtf16Le(ansi);
        for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
            text_ += static_cast<wchar_t>(static_cast<unsigned char>(units[i]) |
                                          static_cast<unsigned char>(units[i + 1]) << 8);
        }
    }
    const wchar_t* Get() const { return present_ ? text_.c_str() : nullptr; }

private:
    bool present_;
    std::wstring text_;
};

} // namespace

RegStatus Win32Registry::OpenKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    return OpenWith(result, [&](HKEY* out) { return RegOpenKeyExA(ToHkey(key), subKey, 0, access, out); });
}

RegStatus Win32Registry::OpenKey(RegKey key, const char* subKey, RegKey* result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    HKEY opened = nullptr;
    LONG status = RegOpenKeyA(ToHkey(key), subKey, &opened);
    // On failure the real call leaves or nulls the result; callers only
    // look at it after success.
    if (status == ERROR_SUCCESS) *result = FromHkey(opened);
    else *result = 0;
    return status;
}

RegStatus Win32Registry::CreateKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result,
                                     std::uint32_t* disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    DWORD how = 0;
    LONG status = OpenWith(result, [&](HKEY* out) {
        return RegCreateKeyExA(ToHkey(key), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, out, &how);
    });
    if (status == ERROR_SUCCESS && disposition != nullptr) *disposition = how;
    return status;
}

RegStatus Win32Registry::EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                                   char* className, std::uint32_t* classLength) {
    static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
    return RegEnumKeyExA(ToHkey(key), index, name, reinterpret_cast<DWORD*>(nameLength), nullptr, className,
                         reinterpret_cast<DWORD*>(classLength), nullptr);
}

RegStatus Win32Registry::EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                                   std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataLength) {
    return RegEnumValueA(ToHkey(key), index, name, reinterpret_cast<DWORD*>(nameLength), nullptr,
                         reinterpret_cast<DWORD*>(type), data, reinterpret_cast<DWORD*>(dataLength));
}

RegStatus Win32Registry::QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                      std::uint32_t* dataLength) {
    return RegQueryValueExA(ToHkey(key), valueName, nullptr, reinterpret_cast<DWORD*>(type), data,
                            reinterpret_cast<DWORD*>(dataLength));
}

RegStatus Win32Registry::SetValueEx(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                    std::uint32_t length) {
    return RegSetValueExA(ToHkey(key), valueName, 0, type, data, length);
}

RegStatus Win32Registry::QueryValueWide(RegKey key, const char* valueName, std::uint32_t* type,
                                        std::vector<std::uint8_t>* data) {
    const WideName name(valueName);
    // The value can grow between the size query and the read; ask again then.
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD kind = 0, size = 0;
        LONG status = RegQueryValueExW(ToHkey(key), name.Get(), nullptr, &kind, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        std::vector<std::uint8_t> buffer(size);
        status = RegQueryValueExW(ToHkey(key), name.Get(), nullptr, &kind, buffer.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return status;
        buffer.resize(size);
        if (type != nullptr) *type = kind;
        if (data != nullptr) *data = std::move(buffer);
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

RegStatus Win32Registry::SetValueWide(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                      std::uint32_t length) {
    const WideName name(valueName);
    // The real call stores one more character when string data without a
    // terminator is followed in memory by a NUL; a copy followed by a
    // non-NUL guard keeps the data exactly as given.
    std::vector<std::uint8_t> guarded(data, data + (data != nullptr ? length : 0));
    guarded.push_back(0x7F);
    guarded.push_back(0x7F);
    return RegSetValueExW(ToHkey(key), name.Get(), 0, type, data != nullptr ? guarded.data() : nullptr, length);
}

RegStatus Win32Registry::DeleteValue(RegKey key, const char* valueName) {
    return RegDeleteValueA(ToHkey(key), valueName);
}

RegStatus Win32Registry::DeleteTree(RegKey key, const char* subKey) {
    return RegDeleteTreeA(ToHkey(key), subKey);
}

RegStatus Win32Registry::CloseKey(RegKey key) {
    return RegCloseKey(ToHkey(key));
}

std::int32_t Win32Registry::GetPlatformId() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = 148;
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    // GetVersionExA is deprecated but still answers the platform identifier.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
    return static_cast<std::int32_t>(info.dwPlatformId);
}

} // namespace hs
