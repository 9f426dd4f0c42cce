// The program's registry operations, run over every registry implementation:
// what they store must not depend on which registry stores it.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "tests/contract/registry_contract.h"

namespace hs::contract {

template <typename Env>
class RegistryAccessContract : public RegistryContract<Env> {
protected:
    void SetUp() override {
        RegistryContract<Env>::SetUp();
        access_.emplace(*this->reg_);
    }
    void TearDown() override {
        access_.reset();
        RegistryContract<Env>::TearDown();
    }

    // Where the cases work, below HKEY_CURRENT_USER.
    static constexpr const char* kPath = "Software\\HivesweepContract\\Access";

    struct Stored {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> bytes;
    };
    std::optional<Stored> Raw(const char* name) {
        RegKey key = 0;
        if (this->reg_->OpenKey(kHkeyCurrentUser, kPath, &key) != kErrorSuccess) return std::nullopt;
        Stored stored;
        std::uint32_t size = 0;
        RegStatus status = this->reg_->QueryValueEx(key, name, &stored.type, nullptr, &size);
        if (status == kErrorSuccess) {
            stored.bytes.resize(size);
            status = this->reg_->QueryValueEx(key, name, nullptr, stored.bytes.data(), &size);
        }
        this->Close(key);
        if (status != kErrorSuccess) return std::nullopt;
        return stored;
    }
    static std::vector<std::uint8_t> Bytes(const std::string& text, bool withNul) {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        if (withNul) bytes.push_back(0);
        return bytes;
    }
    static std::vector<std::uint8_t> Dword(std::uint32_t n) {
        return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
                static_cast<std::uint8_t>(n >> 24)};
    }

    std::optional<RegistryAccess> access_;
};

TYPED_TEST_SUITE_P(RegistryAccessContract);

TYPED_TEST_P(RegistryAccessContract, WriteValueChoosesTheTypeByTheText) {
    auto& access = *this->access_;
    this->Close(this->Create("Access"));
    struct Case {
        const char* text;
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
    };
    // Text is written without its NUL; the registry stores the NUL that
    // follows it in memory, as Windows does. An empty text stays empty.
    const Case cases[] = {
        {"42", kRegDword, TestFixture::Dword(42)},
        {" -7 ", kRegDword, TestFixture::Dword(static_cast<std::uint32_t>(-7))},
        {"2.5", kRegDword, TestFixture::Dword(2)},
        {"3.5", kRegDword, TestFixture::Dword(4)},
        {"1e3", kRegDword, TestFixture::Dword(1000)},
        {"C:\\x.exe", kRegSz, TestFixture::Bytes("C:\\x.exe", true)},
        {"  padded text  ", kRegSz, TestFixture::Bytes("padded text", true)},
        {"", kRegSz, {}},
        {"4294967296", kRegSz, TestFixture::Bytes("4294967296", true)},
        {"-2147483649", kRegSz, TestFixture::Bytes("-2147483649", true)},
        {"12abc", kRegSz, TestFixture::Bytes("12abc", true)},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] \"" << cases[i].text << "\"");
        EXPECT_EQ(kErrorSuccess, access.WriteValue(kHkeyCurrentUser, TestFixture::kPath, "v", cases[i].text));
        auto stored = this->Raw("v");
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(cases[i].type, stored->type);
        EXPECT_EQ(cases[i].bytes, stored->bytes);
    }
}

TYPED_TEST_P(RegistryAccessContract, WriteValueAndDeleteValueNeedAnExistingKey) {
    auto& access = *this->access_;
    EXPECT_NE(kErrorSuccess, access.WriteValue(kHkeyCurrentUser, TestFixture::kPath, "v", "x"));
    EXPECT_NE(kErrorSuccess, access.DeleteValue(kHkeyCurrentUser, TestFixture::kPath, "v"));
    RegKey key = 0;
    EXPECT_EQ(kErrorFileNotFound, this->reg_->OpenKey(kHkeyCurrentUser, TestFixture::kPath, &key));
}

TYPED_TEST_P(RegistryAccessContract, ReadTextValue) {
    auto& access = *this->access_;
    RegKey key = this->Create("Access");
    this->SetSz(key, "sz", "C:\\Program Files");
    this->SetSz(key, "expand", "%SystemRoot%", kRegExpandSz);
    this->SetBytes(key, "dword", kRegDword, TestFixture::Dword(0xFFFFFFFF));
    this->SetBytes(key, "bare", kRegSz, {'a', 'b', 'c'});
    this->SetBytes(key, "empty", kRegSz, {});
    this->Close(key);

    EXPECT_EQ("C:\\Program Files", access.ReadTextValue(kHkeyCurrentUser, TestFixture::kPath, "sz"));
    EXPECT_EQ("-1", access.ReadTextValue(kHkeyCurrentUser, TestFixture::kPath, "dword"));
    // Text stored without its NUL keeps every character.
    EXPECT_EQ("abc", access.ReadTextValue(kHkeyCurrentUser, TestFixture::kPath, "bare"));
    EXPECT_EQ("", access.ReadTextValue(kHkeyCurrentUser, TestFixture::kPath, "empty"));
    EXPECT_EQ(std::nullopt, access.ReadTextValue(kHkeyCurrentUser, TestFixture::kPath, "expand"));
    EXPECT_EQ(std::nullopt, access.ReadTextValue(kHkeyCurrentUser, TestFixture::kPath, "absent"));
    EXPECT_EQ(std::nullopt, access.ReadTextValue(kHkeyCurrentUser, "Software\\HivesweepContract\\Nope", "sz"));
}

TYPED_TEST_P(RegistryAccessContract, SetValueCreatingKeyAndDeleteValue) {
    auto& access = *this->access_;
    ASSERT_EQ(kErrorSuccess, access.SetValueCreatingKey(kHkeyCurrentUser, TestFixture::kPath, "", "C:\\gone.dll", kRegSz));
    ASSERT_EQ(kErrorSuccess, access.SetValueCreatingKey(kHkeyCurrentUser, TestFixture::kPath, "n", "-5", kRegDword));
    EXPECT_NE(kErrorSuccess, access.SetValueCreatingKey(kHkeyCurrentUser, TestFixture::kPath, "bad", "five", kRegDword));
    EXPECT_EQ(kErrorSuccess, access.SetValueCreatingKey(kHkeyCurrentUser, TestFixture::kPath, "bin", "x", kRegBinary));

    auto unnamed = this->Raw("");
    ASSERT_TRUE(unnamed.has_value());
    EXPECT_EQ(kRegSz, unnamed->type);
    EXPECT_EQ(TestFixture::Bytes("C:\\gone.dll", true), unnamed->bytes);
    auto number = this->Raw("n");
    ASSERT_TRUE(number.has_value());
    EXPECT_EQ(TestFixture::Dword(static_cast<std::uint32_t>(-5)), number->bytes);
    EXPECT_FALSE(this->Raw("bad").has_value());
    EXPECT_FALSE(this->Raw("bin").has_value());

    // An empty name deletes the unnamed value; a missing value changes nothing.
    EXPECT_EQ(kErrorSuccess, access.DeleteValue(kHkeyCurrentUser, TestFixture::kPath, ""));
    EXPECT_FALSE(this->Raw("").has_value());
    EXPECT_EQ(kErrorFileNotFound, access.DeleteValue(kHkeyCurrentUser, TestFixture::kPath, "absent"));
    EXPECT_TRUE(this->Raw("n").has_value());

    EXPECT_EQ(kErrorSuccess, access.CreateKey(kHkeyCurrentUser, "Software\\HivesweepContract\\Made\\Deep"));
    RegKey key = 0;
    ASSERT_EQ(kErrorSuccess, this->reg_->OpenKey(kHkeyCurrentUser, "Software\\HivesweepContract\\Made\\Deep", &key));
    this->Close(key);
}

TYPED_TEST_P(RegistryAccessContract, RawValuesReadAndWriteExactly) {
    auto& access = *this->access_;
    RawValue value{kRegSz, {0xEE}};
    // A missing key and a missing value both read as not found.
    EXPECT_EQ(kErrorFileNotFound, access.ReadRawValue(kHkeyCurrentUser, TestFixture::kPath, "v", value));
    this->Close(this->Create("Access"));
    EXPECT_EQ(kErrorFileNotFound, access.ReadRawValue(kHkeyCurrentUser, TestFixture::kPath, "v", value));
    EXPECT_EQ((RawValue{kRegSz, {0xEE}}), value);

    // Written into a key that does not exist yet: the key is made.
    const std::string deep = std::string(TestFixture::kPath) + "\\New\\Deeper";
    const RawValue text{kRegExpandSz, {'%', 0, 'X', 0, '%', 0, 0x3A, 0x26, 0, 0}};
    ASSERT_EQ(kErrorSuccess, access.WriteRawValueCreatingKey(kHkeyCurrentUser, deep, "", text));
    ASSERT_EQ(kErrorSuccess, access.ReadRawValue(kHkeyCurrentUser, deep, "", value));
    EXPECT_EQ(text, value);
    const RawValue number{kRegDword, {7, 0, 0, 0}};
    ASSERT_EQ(kErrorSuccess, access.WriteRawValueCreatingKey(kHkeyCurrentUser, TestFixture::kPath, "n", number));
    ASSERT_EQ(kErrorSuccess, access.ReadRawValue(kHkeyCurrentUser, TestFixture::kPath, "n", value));
    EXPECT_EQ(number, value);
    EXPECT_EQ("7", access.ReadTextValue(kHkeyCurrentUser, TestFixture::kPath, "n"));

    // What WriteValue stored reads back as UTF-16LE with its terminator.
    ASSERT_EQ(kErrorSuccess, access.WriteValue(kHkeyCurrentUser, TestFixture::kPath, "p", "C:\\a.dll"));
    ASSERT_EQ(kErrorSuccess, access.ReadRawValue(kHkeyCurrentUser, TestFixture::kPath, "p", value));
    EXPECT_EQ((RawValue{kRegSz, {'C', 0, ':', 0, '\\', 0, 'a', 0, '.', 0, 'd', 0, 'l', 0, 'l', 0, 0, 0}}), value);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryAccessContract, WriteValueChoosesTheTypeByTheText,
                            WriteValueAndDeleteValueNeedAnExistingKey, ReadTextValue,
                            SetValueCreatingKeyAndDeleteValue, RawValuesReadAndWriteExactly);

} // namespace hs::contract
