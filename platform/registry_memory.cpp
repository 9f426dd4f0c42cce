// The in-memory registry: a tree of keys behind the advapi32-shaped port.
#include "platform/registry_memory.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/reg_text.h"
#include "platform/roots.h"

namespace hs {

namespace {

struct Value {
    std::string name;
    std::string upper;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;  // as the A calls see it
    // String data stored through the W call, kept exactly as given: the A
    // form above is converted from it, and the W call gives it back whole.
    std::optional<std::vector<std::uint8_t>> wide;
};

struct Key {
    std::string name;
    std::string upper;
    bool deleted = false;
    // By upper-cased name, as a hive keeps its subkey lists sorted. The
    // array for enumeration by index is rebuilt after a change, so that
    // adding keys in any order and enumerating them both stay cheap.
    std::map<std::string, std::shared_ptr<Key>> children;
    std::vector<Key*> ordered;
    bool orderedValid = true;
    // Creation order, as Windows enumerates values, with an index by
    // upper-cased name so that a look-up per enumerated value stays cheap.
    std::vector<Value> values;
    std::unordered_map<std::string, std::size_t> valueIndex;

    const std::vector<Key*>& Subkeys() {
        if (!orderedValid) {
            ordered.clear();
            ordered.reserve(children.size());
            for (auto& [upperName, child] : children) ordered.push_back(child.get());
            orderedValid = true;
        }
        return ordered;
    }

    std::shared_ptr<Key> Find(const std::string& upperName) {
        auto it = children.find(upperName);
        return it == children.end() ? nullptr : it->second;
    }

    std::shared_ptr<Key> Add(const std::string& childName) {
        auto child = std::make_shared<Key>();
        child->name = childName;
        child->upper = FoldUpper(childName);
        children.emplace(child->upper, child);
        orderedValid = false;
        return child;
    }

    void Remove(const std::string& upperName) {
        children.erase(upperName);
        orderedValid = false;
    }

    void ClearSubkeys() {
        children.clear();
        orderedValid = false;
    }

    Value* FindValue(const std::string& upperName) {
        auto it = valueIndex.find(upperName);
        return it == valueIndex.end() ? nullptr : &values[it->second];
    }

    Value& AddValue(Value value) {
        valueIndex.emplace(value.upper, values.size());
        values.push_back(std::move(value));
        return values.back();
    }

    bool RemoveValue(const std::string& upperName) {
        auto it = valueIndex.find(upperName);
        if (it == valueIndex.end()) return false;
        std::size_t at = it->second;
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(at));
        valueIndex.erase(it);
        for (std::size_t i = at; i < values.size(); ++i) valueIndex[values[i].upper] = i;
        return true;
    }

    void ClearValues() {
        values.clear();
        valueIndex.clear();
    }
};

void MarkDeleted(Key& key) {
    key.deleted = true;
    for (auto& [upperName, child] : key.children) MarkDeleted(*child);
}

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// A path below some key, split at backslashes. Empty components (doubled or
// trailing backslashes) are skipped, as the real calls do.
struct SplitPath {
    RegStatus status = kErrorSuccess;
    std::vector<std::string> parts;
};

SplitPath Split(const char* subKey) {
    SplitPath result;
    if (subKey == nullptr) return result;
    std::string_view path(subKey);
    if (!path.empty() && path.front() == '\\') {
        result.status = kErrorBadPathname;
        return result;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) result.parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

} // namespace

// A handle refers either to one stored key, or (below HKEY_CLASSES_ROOT) to a
// path in the merged classes view, resolved at each use so that keys created
// on either side after the open are seen.
struct MergedCache {
    std::uint64_t generation = ~std::uint64_t{0};
    std::vector<std::pair<std::string, std::string>> subkeys; // upper, name
    std::vector<const Value*> values;
};

struct Handle {
    std::shared_ptr<Key> key;
    bool classesView = false;
    std::vector<std::string> classesPath;
    // The merged lists of a classes-view handle, kept while nothing in the
    // registry changes, so that enumerating it by index stays cheap.
    MergedCache cache;
};

struct MergedKey {
    std::shared_ptr<Key> user;
    std::shared_ptr<Key> machine;
    bool Exists() const { return user || machine; }
};

struct MemoryRegistry::State {
    std::map<RegKey, std::shared_ptr<Key>> roots;
    std::map<RegKey, Handle> handles;
    RegKey nextHandle = 0x100;

    // Raised by every change, so merged lists know when to rebuild.
    std::uint64_t generation = 0;

    std::shared_ptr<Key> Walk(std::shared_ptr<Key> from, const std::vector<std::string>& parts, std::size_t count) {
        for (std::size_t i = 0; i < count && from; ++i) from = from->Find(FoldUpper(parts[i]));
        return from;
    }

    // The machine's classes key always exists, as on Windows, where it cannot
    // be deleted: it is made again after anything that removed it.
    void EnsureMachineClasses() {
        std::shared_ptr<Key> at = roots[kHkeyLocalMachine];
        for (const char* part : {"SOFTWARE", "Classes"}) {
            auto next = at->Find(FoldUpper(part));
            at = next ? next : at->Add(part);
        }
    }

    std::shared_ptr<Key> UserClasses() {
        return Walk(roots[kHkeyCurrentUser], {"Software", "Classes"}, 2);
    }
    std::shared_ptr<Key> MachineClasses() {
        return Walk(roots[kHkeyLocalMachine], {"SOFTWARE", "Classes"}, 2);
    }

    MergedKey ResolveClasses(const std::vector<std::string>& path) {
        MergedKey merged;
        if (auto user = UserClasses()) merged.user = Walk(user, path, path.size());
        if (auto machine = MachineClasses()) merged.machine = Walk(machine, path, path.size());
        return merged;
    }

    // The handle entry for key, or null for an unknown handle. Roots are
    // looked up by their low 32 bits, as the real calls do.
    Handle* Lookup(RegKey key, Handle& rootScratch) {
        RegKey low = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
        if (IsPredefinedKey(low)) {
            if (low == kHkeyClassesRoot) {
                rootScratch = Handle{nullptr, true, {}, {}};
                return &rootScratch;
            }
            auto it = roots.find(low);
            if (it == roots.end()) return nullptr;
            rootScratch = Handle{it->second, false, {}, {}};
            return &rootScratch;
        }
        auto it = handles.find(key);
        return it == handles.end() ? nullptr : &it->second;
    }

    RegKey NewHandle(Handle handle) {
        RegKey id = nextHandle;
        nextHandle += 4;
        handles.emplace(id, std::move(handle));
        return id;
    }

    const MergedCache& Merged(Handle& handle) {
        MergedCache& cache = handle.cache;
        if (cache.generation == generation) return cache;
        cache = MergedCache{};
        cache.generation = generation;
        MergedKey merged = ResolveClasses(handle.classesPath);
        std::map<std::string, std::string> names;
        if (merged.machine) {
            for (const auto& [upperName, k] : merged.machine->children) names[upperName] = k->name;
        }
        if (merged.user) {
            for (const auto& [upperName, k] : merged.user->children) names[upperName] = k->name;
        }
        cache.subkeys.assign(names.begin(), names.end());
        if (merged.user) {
            for (const auto& v : merged.user->values) cache.values.push_back(&v);
        }
        if (merged.machine) {
            for (const auto& v : merged.machine->values) {
                if (!merged.user || !merged.user->FindValue(v.upper)) cache.values.push_back(&v);
            }
        }
        return cache;
    }
};

MemoryRegistry::MemoryRegistry() : state_(std::make_unique<State>()) {
    for (RegKey root : {kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers, kHkeyCurrentConfig}) {
        auto key = std::make_shared<Key>();
        key->name = std::string(RootNameByHandle(root));
        key->upper = key->name;
        state_->roots[root] = key;
    }
    state_->EnsureMachineClasses();
}

MemoryRegistry::~MemoryRegistry() = default;

std::size_t MemoryRegistry::OpenHandleCount() const {
    return state_->handles.size();
}

std::int32_t MemoryRegistry::GetPlatformId() {
    return platformId_;
}

namespace {

// One key as seen through a handle: either a stored key or a merged view.
struct Target {
    RegStatus status = kErrorSuccess;
    Handle* handle = nullptr;
    std::shared_ptr<Key> key; // plain key
    bool classes = false;
    std::vector<std::string> path; // classes view path
    MergedKey merged;
};

} // namespace

// scratch holds the entry of a root for as long as the target is used.
static Target Resolve(MemoryRegistry::State& s, RegKey key, Handle& scratch) {
    Target t;
    Handle* h = s.Lookup(key, scratch);
    if (h == nullptr) {
        t.status = kErrorInvalidHandle;
        return t;
    }
    t.handle = h;
    if (h->classesView) {
        t.classes = true;
        t.path = h->classesPath;
        t.merged = s.ResolveClasses(t.path);
        if (!t.merged.Exists()) t.status = kErrorKeyDeleted;
        return t;
    }
    t.key = h->key;
    if (t.key->deleted) t.status = kErrorKeyDeleted;
    return t;
}

// Opens subKey below key: a new handle, or an error.
static RegStatus OpenBelow(MemoryRegistry::State& s, RegKey key, const char* subKey, RegKey* result) {
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    SplitPath split = Split(subKey);
    if (split.status != kErrorSuccess) return split.status;
    if (t.classes) {
        std::vector<std::string> path = t.path;
        path.insert(path.end(), split.parts.begin(), split.parts.end());
        if (!s.ResolveClasses(path).Exists()) return kErrorFileNotFound;
        *result = s.NewHandle(Handle{nullptr, true, std::move(path), {}});
        return kErrorSuccess;
    }
    auto found = s.Walk(t.key, split.parts, split.parts.size());
    if (!found) return kErrorFileNotFound;
    *result = s.NewHandle(Handle{found, false, {}, {}});
    return kErrorSuccess;
}

RegStatus MemoryRegistry::OpenKeyEx(RegKey key, const char* subKey, std::uint32_t /*access*/, RegKey* result) {
    if (result == nullptr) return kErrorInvalidParameter;
    *result = 0;
    RegKey low = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
    if (IsPredefinedKey(low) && (subKey == nullptr || *subKey == '\0')) {
        Handle scratch;
    Target t = Resolve(*state_, key, scratch);
        if (t.status != kErrorSuccess) return t.status;
        *result = low;
        return kErrorSuccess;
    }
    return OpenBelow(*state_, key, subKey, result);
}

RegStatus MemoryRegistry::OpenKey(RegKey key, const char* subKey, RegKey* result) {
    if (result == nullptr) return kErrorInvalidParameter;
    if (subKey == nullptr || *subKey == '\0') {
        // The very handle passed in: closing it closes the caller's key.
        Handle scratch;
    Target t = Resolve(*state_, key, scratch);
        if (t.status == kErrorInvalidHandle) return t.status;
        *result = key;
        return kErrorSuccess;
    }
    *result = 0;
    return OpenBelow(*state_, key, subKey, result);
}

RegStatus MemoryRegistry::CreateKeyEx(RegKey key, const char* subKey, std::uint32_t /*access*/, RegKey* result,
                                      std::uint32_t* disposition) {
    if (result == nullptr) return kErrorInvalidParameter;
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    SplitPath split = Split(subKey);
    if (split.status != kErrorSuccess) return split.status;
    for (const auto& part : split.parts) {
        if (part.size() > kMaxKeyNameLength) return kErrorInvalidParameter;
    }

    std::shared_ptr<Key> base = t.key;
    std::vector<std::string> classesPath;
    if (t.classes) {
        // New keys go below the user's classes where the deepest existing
        // ancestor lives only there, else below the machine's classes.
        classesPath = t.path;
        classesPath.insert(classesPath.end(), split.parts.begin(), split.parts.end());
        std::size_t depth = classesPath.size();
        MergedKey deepest;
        while (true) {
            std::vector<std::string> prefix(classesPath.begin(), classesPath.begin() + depth);
            deepest = s.ResolveClasses(prefix);
            if (deepest.Exists() || depth == 0) break;
            --depth;
        }
        if (depth == classesPath.size()) {
            if (disposition) *disposition = kRegOpenedExistingKey;
            *result = s.NewHandle(Handle{nullptr, true, std::move(classesPath), {}});
            return kErrorSuccess;
        }
        bool toUser = deepest.user && !deepest.machine;
        std::shared_ptr<Key> from = toUser ? deepest.user : deepest.machine;
        for (std::size_t i = depth; i < classesPath.size(); ++i) from = from->Add(classesPath[i]);
        ++s.generation;
        if (disposition) *disposition = kRegCreatedNewKey;
        *result = s.NewHandle(Handle{nullptr, true, std::move(classesPath), {}});
        return kErrorSuccess;
    }

    bool created = false;
    for (const auto& part : split.parts) {
        auto next = base->Find(FoldUpper(part));
        if (!next) {
            next = base->Add(part);
            created = true;
        }
        base = next;
    }
    if (created) ++s.generation;
    if (disposition) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
    *result = s.NewHandle(Handle{base, false, {}, {}});
    return kErrorSuccess;
}

RegStatus MemoryRegistry::EnumKeyEx(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                                    char* className, std::uint32_t* classLength) {
    if (name == nullptr || nameLength == nullptr) return kErrorInvalidParameter;
    if (className != nullptr && classLength == nullptr) return kErrorInvalidParameter;
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    const std::string* found = nullptr;
    if (t.classes) {
        const auto& merged = s.Merged(*t.handle);
        if (index < merged.subkeys.size()) found = &merged.subkeys[index].second;
    } else if (index < t.key->Subkeys().size()) {
        found = &t.key->Subkeys()[index]->name;
    }
    if (found == nullptr) return kErrorNoMoreItems;
    // Keys have no class: it always fits a buffer with room for the NUL.
    if (found->size() >= *nameLength) return kErrorMoreData;
    if (className != nullptr && *classLength < 1) return kErrorMoreData;
    std::memcpy(name, found->data(), found->size());
    name[found->size()] = '\0';
    *nameLength = static_cast<std::uint32_t>(found->size());
    if (className != nullptr) {
        className[0] = '\0';
        *classLength = 0;
    }
    return kErrorSuccess;
}

// Copies value data into a caller's buffer of capacity bytes; string data
// that lacks its NUL gets one after it when there is room (not counted).
static void CopyData(const Value& v, std::uint8_t* data, std::uint32_t capacity) {
    if (v.data.empty()) return;
    std::memcpy(data, v.data.data(), v.data.size());
    if (IsStringType(v.type) && v.data.back() != 0 && v.data.size() < capacity) data[v.data.size()] = 0;
}

RegStatus MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                                    std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataLength) {
    if (name == nullptr || nameLength == nullptr) return kErrorInvalidParameter;
    if (data != nullptr && dataLength == nullptr) return kErrorInvalidParameter;
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    const Value* v = nullptr;
    if (t.classes) {
        const auto& merged = s.Merged(*t.handle);
        if (index < merged.values.size()) v = merged.values[index];
    } else if (index < t.key->values.size()) {
        v = &t.key->values[index];
    }
    if (v == nullptr) return kErrorNoMoreItems;

    const auto size = static_cast<std::uint32_t>(v->data.size());
    if (data != nullptr && size > *dataLength) {
        // Data that does not fit: nothing is copied, the size needed is told.
        *dataLength = size;
        return kErrorMoreData;
    }
    if (type) *type = v->type;
    if (data != nullptr) CopyData(*v, data, *dataLength);
    if (dataLength) *dataLength = size;
    if (v->name.size() >= *nameLength) {
        // The A call truncates a name that does not fit, data still copied.
        if (*nameLength > 0) {
            std::memcpy(name, v->name.data(), *nameLength - 1);
            name[*nameLength - 1] = '\0';
        }
        return kErrorMoreData;
    }
    std::memcpy(name, v->name.data(), v->name.size());
    name[v->name.size()] = '\0';
    *nameLength = static_cast<std::uint32_t>(v->name.size());
    return kErrorSuccess;
}

RegStatus MemoryRegistry::QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                       std::uint32_t* dataLength) {
    if (data != nullptr && dataLength == nullptr) return kErrorInvalidParameter;
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    std::string upper = FoldUpper(valueName ? valueName : "");
    const Value* v = nullptr;
    if (t.classes) {
        if (t.merged.user) v = t.merged.user->FindValue(upper);
        if (v == nullptr && t.merged.machine) v = t.merged.machine->FindValue(upper);
    } else {
        v = t.key->FindValue(upper);
    }
    if (v == nullptr) {
        // Wine clears the type of a missing value; the data stays alone.
        if (type) *type = kRegNone;
        if (data == nullptr && dataLength != nullptr) *dataLength = 0;
        return kErrorFileNotFound;
    }
    if (type) *type = v->type;
    const auto size = static_cast<std::uint32_t>(v->data.size());
    if (data == nullptr) {
        if (dataLength) *dataLength = size;
        return kErrorSuccess;
    }
    if (size > *dataLength) {
        *dataLength = size;
        return kErrorMoreData;
    }
    CopyData(*v, data, *dataLength);
    *dataLength = size;
    return kErrorSuccess;
}

RegStatus MemoryRegistry::SetValueEx(RegKey key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                     std::uint32_t length) {
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    std::string nameText = valueName ? valueName : "";
    if (nameText.size() > kMaxValueNameLength) return kErrorInvalidParameter;
    if (data == nullptr && length != 0) return kErrorInvalidParameter;
    // As on Windows: string data whose length leaves out the NUL that
    // follows it gets that NUL stored too.
    if (length > 0 && IsStringType(type) && data[length - 1] != 0 && data[length] == 0) ++length;

    std::shared_ptr<Key> target = t.key;
    if (t.classes) target = t.merged.user ? t.merged.user : t.merged.machine;
    std::string upper = FoldUpper(nameText);
    Value* v = target->FindValue(upper);
    if (v == nullptr) {
        v = &target->AddValue(Value{nameText, upper, type, {}, std::nullopt});
    }
    v->type = type;
    v->data.assign(data, data + length);
    v->wide.reset();
    ++s.generation;
    return kErrorSuccess;
}

namespace {

// The value a name designates through a resolved target, or null.
const Value* FindTargetValue(const Target& t, const std::string& upper) {
    if (!t.classes) return t.key->FindValue(upper);
    const Value* v = nullptr;
    if (t.merged.user) v = t.merged.user->FindValue(upper);
    if (v == nullptr && t.merged.machine) v = t.merged.machine->FindValue(upper);
    return v;
}

} // namespace

RegStatus MemoryRegistry::QueryValueWide(RegKey key, const char* valueName, std::uint32_t* type,
                                         std::vector<std::uint8_t>* data) {
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    const Value* v = FindTargetValue(t, FoldUpper(valueName ? valueName : ""));
    if (v == nullptr) return kErrorFileNotFound;
    if (type) *type = v->type;
    if (data) {
        if (v->wide) {
            *data = *v->wide;
        } else if (IsStringType(v->type)) {
            const std::string units =
                AnsiToUtf16Le(std::string_view(reinterpret_cast<const char*>(v->data.data()), v->data.size()));
            data->assign(units.begin(), units.end());
        } else {
            *data = v->data;
        }
    }
    return kErrorSuccess;
}

RegStatus MemoryRegistry::SetValueWide(RegKey key, const char* valueName, std::uint32_t type,
                                       const std::uint8_t* data, std::uint32_t length) {
    if (data == nullptr && length != 0) return kErrorInvalidParameter;
    std::vector<std::uint8_t> exact;
    if (length != 0) exact.assign(data, data + length);
    if (!IsStringType(type)) return SetValueEx(key, valueName, type, exact.data(), length);
    // The A form of the text: what RegQueryValueExA would answer.
    const std::string ansi = Utf16LeToAnsi(std::string_view(reinterpret_cast<const char*>(exact.data()), exact.size()));
    std::vector<std::uint8_t> narrow(ansi.begin(), ansi.end());
    narrow.push_back(0x7F);  // never taken for a terminator to add
    RegStatus status = SetValueEx(key, valueName, type, narrow.data(), static_cast<std::uint32_t>(ansi.size()));
    if (status != kErrorSuccess) return status;
    Handle scratch;
    Target t = Resolve(*state_, key, scratch);
    std::string upper = FoldUpper(valueName ? valueName : "");
    std::shared_ptr<Key> target = t.key;
    if (t.classes) target = t.merged.user ? t.merged.user : t.merged.machine;
    if (Value* v = target->FindValue(upper)) v->wide = std::move(exact);
    return kErrorSuccess;
}

RegStatus MemoryRegistry::DeleteValue(RegKey key, const char* valueName) {
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    std::string upper = FoldUpper(valueName ? valueName : "");
    std::shared_ptr<Key> target = t.key;
    if (t.classes) {
        target = (t.merged.user && t.merged.user->FindValue(upper)) ? t.merged.user : t.merged.machine;
        if (!target) return kErrorFileNotFound;
    }
    if (!target->RemoveValue(upper)) return kErrorFileNotFound;
    ++s.generation;
    return kErrorSuccess;
}

// Removes child from parent and marks its subtree deleted, so that open
// handles to it answer kErrorKeyDeleted.
static void RemoveChild(Key& parent, const std::shared_ptr<Key>& child) {
    MarkDeleted(*child);
    parent.Remove(child->upper);
}

RegStatus MemoryRegistry::DeleteTree(RegKey key, const char* subKey) {
    State& s = *state_;
    Handle scratch;
    Target t = Resolve(s, key, scratch);
    if (t.status != kErrorSuccess) return t.status;
    SplitPath split = Split(subKey);
    if (split.status != kErrorSuccess) return split.status;
    if (split.parts.empty()) {
        // Without a subkey, everything below the key goes, the key stays.
        auto clear = [&](const std::shared_ptr<Key>& k) {
            if (!k) return;
            for (auto& [upperName, child] : k->children) MarkDeleted(*child);
            k->ClearSubkeys();
            k->ClearValues();
        };
        if (t.classes) {
            clear(t.merged.user);
            clear(t.merged.machine);
        } else {
            clear(t.key);
        }
        s.EnsureMachineClasses();
        ++s.generation;
        return kErrorSuccess;
    }
    std::vector<std::string> parentParts(split.parts.begin(), split.parts.end() - 1);
    std::string last = FoldUpper(split.parts.back());
    auto removeFrom = [&](const std::shared_ptr<Key>& base) -> bool {
        if (!base) return false;
        auto parent = s.Walk(base, parentParts, parentParts.size());
        if (!parent) return false;
        auto child = parent->Find(last);
        if (!child) return false;
        RemoveChild(*parent, child);
        return true;
    };
    bool removed = false;
    if (t.classes) {
        // The user's key goes where it exists, else the machine's.
        MergedKey base = s.ResolveClasses(t.path);
        removed = removeFrom(base.user) || removeFrom(base.machine);
    } else {
        removed = removeFrom(t.key);
    }
    if (!removed) return kErrorFileNotFound;
    s.EnsureMachineClasses();
    ++s.generation;
    return kErrorSuccess;
}

RegStatus MemoryRegistry::CloseKey(RegKey key) {
    RegKey low = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
    if (IsPredefinedKey(low)) return kErrorSuccess;
    auto it = state_->handles.find(key);
    if (it == state_->handles.end()) return kErrorInvalidHandle;
    state_->handles.erase(it);
    return kErrorSuccess;
}

} // namespace hs
