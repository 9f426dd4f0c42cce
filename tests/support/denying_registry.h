// A registry that refuses writes and deletions below chosen keys with
// access denied, as Windows does for keys an ordinary user may only read;
// everything else goes to an in-memory registry.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/reg_text.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"

namespace hs::fakes {

class DenyingRegistry final : public Registry {
public:
    // Writes to key root\path and below it are refused.
    void Deny(RegKey root, const std::string& path) { denied_.push_back(Name(root, path)); }
    void AllowAll() { denied_.clear(); }
    MemoryRegistry& Inner() { return inner_; }

    RegStatus OpenKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result) override {
        return Track(key, subKey, inner_.OpenKeyEx(key, subKey, access, result), result);
    }
    RegStatus OpenKey(RegKey key, const char* subKey, RegKey* result) override {
        return Track(key, subKey, inner_.OpenKey(key, subKey, result), result);
    }
    RegStatus CreateKeyEx(RegKey key, const char* subKey, std::uint32_t access, RegKey* result,
                          std::uint32_t* disposition) override {
        if (IsDenied(Join(key, subKey))) return kErrorAccessDenied;
        return Track(key, subKey, inner_.CreateKeyEx(key, subKey, access, result, disposition), result);
    }
    RegStatus EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength, char* className,
                        std::uint32_t* classLength) override {
        return inner_.EnumKeyEx(key, index, name, nameLength, className, classLength);
    }
    RegStatus EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* dataLength) override {
        return inner_.EnumValue(key, index, name, nameLength, type, data, dataLength);
    }
    RegStatus QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* dataLength) override {
        return inner_.QueryValueEx(key, valueName, type, data, dataLength);
    }
    RegStatus QueryValueWide(RegKey key, const char* valueName, std::uint32_t* type,
                             std::vector<std::uint8_t>* data) override {
        return inner_.QueryValueWide(key, valueName, type, data);
    }
    RegStatus SetValueEx(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t length) override {
        if (IsDenied(PathOf(key))) return kErrorAccessDenied;
        return inner_.SetValueEx(key, valueName, type, data, length);
    }
    RegStatus SetValueWide(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                           std::uint32_t length) override {
        if (IsDenied(PathOf(key))) return kErrorAccessDenied;
        return inner_.SetValueWide(key, valueName, type, data, length);
    }
    RegStatus DeleteValue(RegKey key, const char* valueName) override {
        if (IsDenied(PathOf(key))) return kErrorAccessDenied;
        return inner_.DeleteValue(key, valueName);
    }
    RegStatus DeleteTree(RegKey key, const char* subKey) override { return inner_.DeleteTree(key, subKey); }
    RegStatus CloseKey(RegKey key) override {
        paths_.erase(key);
        return inner_.CloseKey(key);
    }
    std::int32_t GetPlatformId() override { return inner_.GetPlatformId(); }

private:
    static std::string Name(RegKey root, const std::string& path) {
        std::string name(RootNameByHandle(root));
        if (!path.empty()) name.append("\\").append(FoldUpper(path));
        return name;
    }
    std::string PathOf(RegKey key) const {
        auto found = paths_.find(key);
        return found != paths_.end() ? found->second : Name(key, "");
    }
    std::string Join(RegKey key, const char* subKey) const {
        const std::string sub = subKey != nullptr ? FoldUpper(subKey) : std::string();
        std::string path = PathOf(key);
        if (!sub.empty()) path.append("\\").append(sub);
        return path;
    }
    RegStatus Track(RegKey key, const char* subKey, RegStatus status, RegKey* result) {
        if (status == kErrorSuccess && result != nullptr && *result != key) paths_[*result] = Join(key, subKey);
        return status;
    }
    bool IsDenied(const std::string& path) const {
        for (const std::string& denied : denied_) {
            if (path == denied || path.rfind(denied + "\\", 0) == 0) return true;
        }
        return false;
    }

    MemoryRegistry inner_;
    std::map<RegKey, std::string> paths_;
    std::vector<std::string> denied_;
};

} // namespace hs::fakes
