// The registry contract: cases every implementation of the registry port must
// pass, run natively against the stand-in and under Wine against both the
// stand-in and the real advapi32 calls.
//
// An environment type (the TypeParam) owns one registry and a scratch key in
// which each case works. Cases that need HKEY_LOCAL_MACHINE or
// HKEY_CLASSES_ROOT use the predefined roots: the Win32 environment redirects
// them into its scratch key, so the suite never touches a real registry.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/roots.h"

namespace hs::contract {

// What an environment gives the cases.
class RegistryEnvironment {
public:
    virtual ~RegistryEnvironment() = default;
    virtual Registry& Reg() = 0;
    // An open, empty scratch key, private to the running case.
    virtual RegKey Base() = 0;
    // Wine's registry, where it knowingly differs from Windows.
    virtual bool IsWine() const = 0;
};

template <typename Env>
class RegistryContract : public ::testing::Test {
protected:
    void SetUp() override {
        env_ = std::make_unique<Env>();
        reg_ = &env_->Reg();
        base_ = env_->Base();
    }
    void TearDown() override { env_.reset(); }

    // Creates (or opens) path below the scratch key; the caller closes it.
    RegKey Create(const std::string& path) {
        RegKey key = 0;
        EXPECT_EQ(kErrorSuccess, reg_->CreateKeyEx(base_, path.c_str(), kKeyAllAccess, &key, nullptr)) << path;
        return key;
    }
    void Close(RegKey key) { EXPECT_EQ(kErrorSuccess, reg_->CloseKey(key)); }
    void MakeKeys(const std::vector<std::string>& paths) {
        for (const auto& p : paths) Close(Create(p));
    }
    // Stores a string with its NUL, as programs normally do.
    void SetSz(RegKey key, const char* name, const std::string& text, std::uint32_t type = kRegSz) {
        ASSERT_EQ(kErrorSuccess, reg_->SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                                  static_cast<std::uint32_t>(text.size() + 1)));
    }
    void SetBytes(RegKey key, const char* name, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
        // One byte more than passed, and not NUL, so that the string-length
        // repair of SetValueEx cannot apply.
        std::vector<std::uint8_t> buffer = bytes;
        buffer.push_back(0x7F);
        ASSERT_EQ(kErrorSuccess, reg_->SetValueEx(key, name, type, buffer.data(), static_cast<std::uint32_t>(bytes.size())));
    }
    std::vector<std::string> SubkeyNames(RegKey key) {
        std::vector<std::string> names;
        char name[256];
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t length = sizeof name;
            if (reg_->EnumKeyEx(key, i, name, &length, nullptr, nullptr) != kErrorSuccess) break;
            names.emplace_back(name, length);
        }
        return names;
    }
    std::vector<std::string> ValueNames(RegKey key) {
        std::vector<std::string> names;
        char name[256];
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t length = sizeof name;
            if (reg_->EnumValue(key, i, name, &length, nullptr, nullptr, nullptr) != kErrorSuccess) break;
            names.emplace_back(name, length);
        }
        return names;
    }

    std::unique_ptr<Env> env_;
    Registry* reg_ = nullptr;
    RegKey base_ = 0;
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, MissingKeysAndValuesLeaveOutputsAlone) {
    auto& reg = *this->reg_;
    RegKey missing = 12345;
    EXPECT_EQ(kErrorFileNotFound, reg.OpenKeyEx(this->base_, "nope", kKeyRead, &missing));
    EXPECT_EQ(0, missing);
    EXPECT_EQ(kErrorFileNotFound, reg.OpenKey(this->base_, "nope\\deeper", &missing));

    std::uint8_t buffer[8] = {'s', 'e', 'n', 't', 'i', 'n', 'e', 'l'};
    std::uint32_t type = 99, size = sizeof buffer;
    EXPECT_EQ(kErrorFileNotFound, reg.QueryValueEx(this->base_, "absent", &type, buffer, &size));
    EXPECT_EQ(8u, size);
    EXPECT_EQ(kRegNone, type);
    EXPECT_EQ(0, std::memcmp(buffer, "sentinel", 8));
    // With no buffer the size is zeroed.
    EXPECT_EQ(kErrorFileNotFound, reg.QueryValueEx(this->base_, "absent", nullptr, nullptr, &size));
    EXPECT_EQ(0u, size);
    // The unset unnamed value is missing too.
    EXPECT_EQ(kErrorFileNotFound, reg.QueryValueEx(this->base_, "", nullptr, nullptr, &size));
    // Deleting a missing value changes nothing.
    EXPECT_EQ(kErrorFileNotFound, reg.DeleteValue(this->base_, "absent"));
    EXPECT_TRUE(this->ValueNames(this->base_).empty());
}

TYPED_TEST_P(RegistryContract, CreateMakesParentsAndReportsDisposition) {
    auto& reg = *this->reg_;
    RegKey key = 0;
    std::uint32_t how = 0;
    ASSERT_EQ(kErrorSuccess, reg.CreateKeyEx(this->base_, "a\\b\\c", kKeyAllAccess, &key, &how));
    EXPECT_EQ(kRegCreatedNewKey, how);
    this->Close(key);
    ASSERT_EQ(kErrorSuccess, reg.CreateKeyEx(this->base_, "A\\B", kKeyAllAccess, &key, &how));
    EXPECT_EQ(kRegOpenedExistingKey, how);
    this->Close(key);
    // Trailing backslashes are accepted; a leading one is a bad path.
    ASSERT_EQ(kErrorSuccess, reg.OpenKey(this->base_, "a\\b\\c\\", &key));
    this->Close(key);
    EXPECT_EQ(kErrorBadPathname, reg.OpenKey(this->base_, "\\a", &key));
}

TYPED_TEST_P(RegistryContract, NamesMatchWithoutCaseAndKeepTheirFirstCase) {
    auto& reg = *this->reg_;
    this->MakeKeys({"SubKey", "SUBKEY"});
    EXPECT_EQ(std::vector<std::string>{"SubKey"}, this->SubkeyNames(this->base_));

    this->SetSz(this->base_, "MixedName", "one");
    this->SetSz(this->base_, "MIXEDNAME", "two");
    EXPECT_EQ(std::vector<std::string>{"MixedName"}, this->ValueNames(this->base_));
    char data[16] = {};
    std::uint32_t size = sizeof data;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "mixedname", nullptr, reinterpret_cast<std::uint8_t*>(data), &size));
    EXPECT_STREQ("two", data);
    EXPECT_EQ(kErrorSuccess, reg.DeleteValue(this->base_, "MIXEDname"));
    EXPECT_TRUE(this->ValueNames(this->base_).empty());
}

TYPED_TEST_P(RegistryContract, SubkeysEnumerateSorted) {
    this->MakeKeys({"beta", "Alpha", "gamma", "alpha2", "Zed", "a", "B", "10", "9", "Ab", "ab1", "_under", "~tilde"});
    auto names = this->SubkeyNames(this->base_);
    // Windows sorts by upper-cased name, Wine by lower-cased: they differ
    // only for the characters between 'Z' and 'a', such as '_'.
    if (this->env_->IsWine()) {
        EXPECT_EQ((std::vector<std::string>{"10", "9", "_under", "a", "Ab", "ab1", "Alpha", "alpha2", "B", "beta",
                                            "gamma", "Zed", "~tilde"}),
                  names);
    } else {
        EXPECT_EQ((std::vector<std::string>{"10", "9", "a", "Ab", "ab1", "Alpha", "alpha2", "B", "beta", "gamma",
                                            "Zed", "_under", "~tilde"}),
                  names);
    }
    char name[8];
    std::uint32_t length = sizeof name;
    EXPECT_EQ(kErrorNoMoreItems, this->reg_->EnumKeyEx(this->base_, 13, name, &length, nullptr, nullptr));
}

TYPED_TEST_P(RegistryContract, ValuesEnumerateInCreationOrderOnWindows) {
    this->SetSz(this->base_, "b", "1");
    this->SetSz(this->base_, "A", "2");
    this->SetSz(this->base_, "c", "3");
    this->SetSz(this->base_, "", "default");
    auto names = this->ValueNames(this->base_);
    // Windows keeps creation order; Wine sorts values by name.
    if (this->env_->IsWine()) {
        EXPECT_EQ((std::vector<std::string>{"", "A", "b", "c"}), names);
    } else {
        EXPECT_EQ((std::vector<std::string>{"b", "A", "c", ""}), names);
    }
}

TYPED_TEST_P(RegistryContract, EnumKeyExBufferRules) {
    auto& reg = *this->reg_;
    const std::string name254(254, 'k');
    const std::string name255(255, 'm'); // sorts after name254
    this->MakeKeys({name254, name255});

    char name[300];
    char cls[8];
    std::uint32_t length = 255, classLength = sizeof cls;
    std::memset(name, '#', sizeof name);
    ASSERT_EQ(kErrorSuccess, reg.EnumKeyEx(this->base_, 0, name, &length, cls, &classLength));
    EXPECT_EQ(254u, length);
    EXPECT_EQ(name254, std::string(name));
    EXPECT_EQ(0u, classLength);
    EXPECT_EQ('\0', cls[0]);

    // A 255-character name does not fit 255 characters with its NUL.
    length = 255;
    classLength = sizeof cls;
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(kErrorMoreData, reg.EnumKeyEx(this->base_, 1, name, &length, cls, &classLength));
    EXPECT_EQ(255u, length);
    EXPECT_EQ('#', name[0]);

    length = 256;
    ASSERT_EQ(kErrorSuccess, reg.EnumKeyEx(this->base_, 1, name, &length, nullptr, nullptr));
    EXPECT_EQ(255u, length);
    EXPECT_EQ(name255, std::string(name));

    length = 255;
    EXPECT_EQ(kErrorNoMoreItems, reg.EnumKeyEx(this->base_, 2, name, &length, nullptr, nullptr));
}

TYPED_TEST_P(RegistryContract, EnumValueBufferRules) {
    auto& reg = *this->reg_;
    // One value per case, each alone in its own key.
    struct Case {
        const char* key;
        std::string name;
        std::size_t dataSize;
        RegStatus status;
        bool nameWritten;  // whole name returned
        bool nameTruncated;  // first 254 characters returned
        bool dataCopied;
    };
    const Case cases[] = {
        {"fits", std::string(254, 'n'), 254, kErrorSuccess, true, false, true},
        {"longname", std::string(255, 'n'), 10, kErrorMoreData, false, true, true},
        {"data255", "v", 255, kErrorSuccess, true, false, true},
        {"data256", "v", 256, kErrorMoreData, false, false, false},
        {"data300", "v", 300, kErrorMoreData, false, false, false},
        {"both", std::string(300, 'n'), 300, kErrorMoreData, false, false, false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << c.key);
        RegKey key = this->Create(c.key);
        std::vector<std::uint8_t> bytes(c.dataSize, 'd');
        this->SetBytes(key, c.name.c_str(), kRegBinary, bytes);

        char name[300];
        std::uint8_t data[300];
        std::memset(name, '#', sizeof name);
        std::memset(data, '#', sizeof data);
        std::uint32_t nameLength = 255, dataLength = 255;
        EXPECT_EQ(c.status, reg.EnumValue(key, 0, name, &nameLength, nullptr, data, &dataLength));
        if (c.nameWritten) {
            EXPECT_EQ(c.name, std::string(name));
            EXPECT_EQ(c.name.size(), nameLength);
        } else if (c.nameTruncated) {
            EXPECT_EQ(c.name.substr(0, 254), std::string(name));
            EXPECT_EQ(255u, nameLength);
        } else {
            EXPECT_EQ('#', name[0]);
            EXPECT_EQ(255u, nameLength);
        }
        EXPECT_EQ(c.dataSize, dataLength);
        EXPECT_EQ(c.dataCopied ? 'd' : '#', data[0]);
        this->Close(key);
    }
}

TYPED_TEST_P(RegistryContract, StringsWithoutTerminator) {
    auto& reg = *this->reg_;
    // Length 10 with a NUL right after: the NUL is stored too.
    const char full[] = "FullString";
    ASSERT_EQ(kErrorSuccess, reg.SetValueEx(this->base_, "full", kRegSz, reinterpret_cast<const std::uint8_t*>(full), 10));
    std::uint32_t size = 0;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "full", nullptr, nullptr, &size));
    EXPECT_EQ(11u, size);

    // Length 10 with another character after: stored as given, no NUL.
    const char part[] = "ABCDEFGHIJK";
    ASSERT_EQ(kErrorSuccess, reg.SetValueEx(this->base_, "part", kRegSz, reinterpret_cast<const std::uint8_t*>(part), 10));
    std::uint32_t type = 0;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "part", &type, nullptr, &size));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(10u, size);

    // A larger buffer gets a NUL after the data, not counted.
    std::uint8_t big[64];
    std::memset(big, '#', sizeof big);
    size = sizeof big;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "part", nullptr, big, &size));
    EXPECT_EQ(10u, size);
    EXPECT_EQ(0, std::memcmp(big, "ABCDEFGHIJ\0", 11));

    // So does the enumeration.
    char name[8];
    std::uint32_t nameLength = sizeof name;
    std::memset(big, '#', sizeof big);
    size = sizeof big;
    ASSERT_EQ(kErrorSuccess, reg.EnumValue(this->base_, 1, name, &nameLength, nullptr, big, &size));
    EXPECT_STREQ("part", name);
    EXPECT_EQ(10u, size);
    EXPECT_EQ(0, std::memcmp(big, "ABCDEFGHIJ\0", 11));

    // A buffer of exactly the size gets no NUL.
    std::uint8_t exact[11];
    std::memset(exact, '#', sizeof exact);
    size = 10;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "part", nullptr, exact, &size));
    EXPECT_EQ('#', exact[10]);

    // One byte short: more data, the size needed, buffer untouched.
    std::memset(exact, '#', sizeof exact);
    size = 9;
    EXPECT_EQ(kErrorMoreData, reg.QueryValueEx(this->base_, "part", nullptr, exact, &size));
    EXPECT_EQ(10u, size);
    EXPECT_EQ('#', exact[0]);

    // An empty string of size 0 leaves the buffer untouched.
    ASSERT_EQ(kErrorSuccess, reg.SetValueEx(this->base_, "empty", kRegSz, reinterpret_cast<const std::uint8_t*>(""), 0));
    std::memset(big, '#', sizeof big);
    size = sizeof big;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "empty", nullptr, big, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ('#', big[0]);
}

TYPED_TEST_P(RegistryContract, OtherTypesComeBackRaw) {
    auto& reg = *this->reg_;
    this->SetBytes(this->base_, "dword", kRegDword, {0x44, 0x43, 0x42, 0x41});
    this->SetBytes(this->base_, "multi", kRegMultiSz, {'a', 0, 'b', 0, 0});
    this->SetSz(this->base_, "expand", "%WINDIR%\\x.dll", kRegExpandSz);

    std::uint8_t data[32];
    std::uint32_t type = 0, size = sizeof data;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "dword", &type, data, &size));
    EXPECT_EQ(kRegDword, type);
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0x41424344u, data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24);

    size = sizeof data;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "multi", &type, data, &size));
    EXPECT_EQ(kRegMultiSz, type);
    EXPECT_EQ(5u, size);
    EXPECT_EQ(0, std::memcmp(data, "a\0b\0\0", 5));

    size = sizeof data;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "expand", &type, data, &size));
    EXPECT_EQ(kRegExpandSz, type);
    EXPECT_STREQ("%WINDIR%\\x.dll", reinterpret_cast<char*>(data));
}

TYPED_TEST_P(RegistryContract, UnnamedValue) {
    auto& reg = *this->reg_;
    this->SetSz(this->base_, nullptr, "by null");
    char data[16] = {};
    std::uint32_t size = sizeof data;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "", nullptr, reinterpret_cast<std::uint8_t*>(data), &size));
    EXPECT_STREQ("by null", data);

    char name[8];
    std::memset(name, '#', sizeof name);
    std::uint32_t length = sizeof name;
    ASSERT_EQ(kErrorSuccess, reg.EnumValue(this->base_, 0, name, &length, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, length);
    EXPECT_EQ('\0', name[0]);

    EXPECT_EQ(kErrorSuccess, reg.DeleteValue(this->base_, ""));
    EXPECT_EQ(kErrorFileNotFound, reg.QueryValueEx(this->base_, nullptr, nullptr, nullptr, &size));
}

TYPED_TEST_P(RegistryContract, DeletingWhileEnumeratingSkipsTheNextValue) {
    auto& reg = *this->reg_;
    for (const char* v : {"v0", "v1", "v2", "v3", "v4"}) this->SetSz(this->base_, v, "x");
    std::vector<std::string> visited;
    char name[16];
    std::uint32_t i = 0;
    for (;; ++i) {
        std::uint32_t length = sizeof name;
        if (reg.EnumValue(this->base_, i, name, &length, nullptr, nullptr, nullptr) != kErrorSuccess) break;
        visited.emplace_back(name);
        if (i % 2 == 0) {
            ASSERT_EQ(kErrorSuccess, reg.DeleteValue(this->base_, name));
        }
    }
    EXPECT_EQ((std::vector<std::string>{"v0", "v2", "v3"}), visited);
    EXPECT_EQ(3u, i);
}

TYPED_TEST_P(RegistryContract, OpenWithEmptyPath) {
    auto& reg = *this->reg_;
    RegKey key = this->Create("child");
    // RegOpenKeyA hands back the very same handle.
    RegKey same = 0;
    ASSERT_EQ(kErrorSuccess, reg.OpenKey(key, "", &same));
    EXPECT_EQ(key, same);
    // RegOpenKeyExA gives a new handle to an ordinary key, the root to a root.
    RegKey other = 0;
    ASSERT_EQ(kErrorSuccess, reg.OpenKeyEx(key, "", kKeyRead, &other));
    EXPECT_NE(key, other);
    this->Close(other);
    ASSERT_EQ(kErrorSuccess, reg.OpenKeyEx(kHkeyLocalMachine, "", kKeyRead, &other));
    EXPECT_EQ(kHkeyLocalMachine, other);

    // Closing the handle from RegOpenKeyA closed the caller's key.
    this->Close(same);
    std::uint32_t size = 0;
    EXPECT_EQ(kErrorInvalidHandle, reg.QueryValueEx(key, "x", nullptr, nullptr, &size));
    EXPECT_EQ(kErrorInvalidHandle, reg.CloseKey(key));
}

TYPED_TEST_P(RegistryContract, ClassesRootShowsMachineClasses) {
    auto& reg = *this->reg_;
    const char* machinePath = "SOFTWARE\\Classes\\HivesweepContractProbe";
    RegKey key = 0;
    ASSERT_EQ(kErrorSuccess, reg.CreateKeyEx(kHkeyLocalMachine, machinePath, kKeyAllAccess, &key, nullptr));
    this->SetSz(key, "", "from machine");
    this->Close(key);

    ASSERT_EQ(kErrorSuccess, reg.OpenKey(kHkeyClassesRoot, "HivesweepContractProbe", &key));
    char data[32] = {};
    std::uint32_t size = sizeof data;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(key, "", nullptr, reinterpret_cast<std::uint8_t*>(data), &size));
    EXPECT_STREQ("from machine", data);
    this->Close(key);

    // A key created through the view lands below the machine's classes.
    ASSERT_EQ(kErrorSuccess, reg.CreateKeyEx(kHkeyClassesRoot, "HivesweepContractProbe\\Made", kKeyAllAccess, &key, nullptr));
    this->Close(key);
    ASSERT_EQ(kErrorSuccess, reg.OpenKeyEx(kHkeyLocalMachine, "SOFTWARE\\Classes\\HivesweepContractProbe\\Made", kKeyRead, &key));
    this->Close(key);
    EXPECT_EQ(kErrorSuccess, reg.DeleteTree(kHkeyLocalMachine, machinePath));
    EXPECT_EQ(kErrorFileNotFound, reg.OpenKey(kHkeyClassesRoot, "HivesweepContractProbe", &key));
}

// The wide-character calls give back exactly what was stored: text outside
// the ANSI code page, odd lengths, missing terminators and unknown types.
TYPED_TEST_P(RegistryContract, WideValuesComeBackExactly) {
    auto& reg = *this->reg_;
    const auto utf16 = [](std::u16string text) {
        std::vector<std::uint8_t> bytes;
        for (char16_t unit : text) {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        return bytes;
    };
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"sz", kRegSz, utf16(u"C:\\x\u263A\u4E2D.dll" + std::u16string(1, u'\0'))},
        {"no terminator", kRegSz, utf16(u"ab")},
        {"odd", kRegSz, {0x41, 0x00, 0x42}},
        {"expand", kRegExpandSz, utf16(u"%SystemRoot%\\x.dll" + std::u16string(1, u'\0'))},
        {"multi", kRegMultiSz, utf16(std::u16string(u"a\0b\0\0", 5))},
        {"binary", kRegBinary, {0x00, 0x0A, 0x0D, 0xFF}},
        {"dword", kRegDword, {0x01, 0x02, 0x03, 0x84}},
        {"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"none", kRegNone, {}},
        {"empty sz", kRegSz, {}},
        {"own type", 0x12345, {0x5E, 0x00}},
        {"", kRegSz, utf16(u"unnamed" + std::u16string(1, u'\0'))},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << cases[i].name);
        const Case& c = cases[i];
        ASSERT_EQ(kErrorSuccess, reg.SetValueWide(this->base_, c.name, c.type, c.bytes.data(),
                                                  static_cast<std::uint32_t>(c.bytes.size())));
        std::uint32_t type = 0;
        std::vector<std::uint8_t> bytes{0xEE};
        ASSERT_EQ(kErrorSuccess, reg.QueryValueWide(this->base_, c.name, &type, &bytes));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.bytes, bytes);
    }

    // Text stored through the A call reads as UTF-16LE, terminator and all;
    // text stored through the W call reads through the A call as ANSI.
    this->SetSz(this->base_, "ansi", "C:\\old.dll");
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueWide(this->base_, "ansi", &type, &bytes));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(utf16(u"C:\\old.dll" + std::u16string(1, u'\0')), bytes);
    char text[32] = {};
    std::uint32_t size = sizeof text;
    ASSERT_EQ(kErrorSuccess, reg.QueryValueEx(this->base_, "expand", &type, reinterpret_cast<std::uint8_t*>(text), &size));
    EXPECT_EQ(kRegExpandSz, type);
    EXPECT_EQ(std::string("%SystemRoot%\\x.dll", 19), std::string(text, size));  // with its NUL

    // A missing value leaves the outputs alone.
    type = 99;
    bytes = {0xEE};
    EXPECT_EQ(kErrorFileNotFound, reg.QueryValueWide(this->base_, "absent", &type, &bytes));
    EXPECT_EQ(99u, type);
    EXPECT_EQ(std::vector<std::uint8_t>{0xEE}, bytes);
}

TYPED_TEST_P(RegistryContract, PlatformIsTheNtFamily) {
    EXPECT_EQ(2, this->reg_->GetPlatformId());
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, MissingKeysAndValuesLeaveOutputsAlone,
                            CreateMakesParentsAndReportsDisposition, NamesMatchWithoutCaseAndKeepTheirFirstCase,
                            SubkeysEnumerateSorted, ValuesEnumerateInCreationOrderOnWindows, EnumKeyExBufferRules,
                            EnumValueBufferRules, StringsWithoutTerminator, OtherTypesComeBackRaw, UnnamedValue,
                            DeletingWhileEnumeratingSkipsTheNextValue, OpenWithEmptyPath,
                            ClassesRootShowsMachineClasses, WideValuesComeBackExactly, PlatformIsTheNtFamily);

} // namespace hs::contract
