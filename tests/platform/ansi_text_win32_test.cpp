// ANSI text in a Windows code page (cp1252, Wine's default): the conversions and a Version 5 .reg round trip.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/ansi_text.h"
#include "platform/reg_file.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"

namespace hs {
namespace {

using namespace std::string_literals;

// UTF-16LE bytes of text, with a BOM when asked.
std::string Utf16(std::u16string_view text, bool bom = true) {
    std::string out = bom ? "\xFF\xFE"s : ""s;
    for (char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

struct Stored {
    RegStatus status = kErrorFileNotFound;
    std::uint32_t type = kRegNone;
    std::string data;
};

Stored Get(Registry& registry, const char* path, const char* name) {
    Stored value;
    RegKey key = 0;
    value.status = registry.OpenKeyEx(kHkeyCurrentUser, path, kKeyRead, &key);
    if (value.status != kErrorSuccess) return value;
    std::uint8_t buffer[64];
    std::uint32_t length = sizeof buffer;
    value.status = registry.QueryValueEx(key, name, &value.type, buffer, &length);
    if (value.status == kErrorSuccess) value.data.assign(reinterpret_cast<char*>(buffer), length);
    (void)registry.CloseKey(key);
    return value;
}

class AnsiTextCp1252 : public testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    }
};

TEST_F(AnsiTextCp1252, ConvertsThroughTheCodePage) {
    EXPECT_EQ(AnsiToUtf16Le("\xE9"), "\xE9\x00"s);
    EXPECT_EQ(AnsiToUtf16Le("\x80" "a\0"s), "\xAC\x20" "a\0\0\0"s); // euro sign; NUL kept
    EXPECT_EQ(Utf16LeToAnsi("\xE9\x00\xAC\x20"s), "\xE9\x80");
    EXPECT_EQ(AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9"), "caf\xE9");
    // What the code page cannot hold, as WideCharToMultiByte gives it.
    EXPECT_EQ(Utf16LeToAnsi("\x2D\x4E"), "?");          // U+4E2D
    EXPECT_EQ(Utf16LeToAnsi("\x00\xD8" "a\0" "b"s), "?a"); // lone surrogate, odd byte
    EXPECT_EQ(Utf8ToAnsi("\xFF"), "?");
    EXPECT_EQ(AnsiToUtf16Le(""), "");
    EXPECT_EQ(Utf16LeToAnsi(""), "");
}

TEST_F(AnsiTextCp1252, Version5ImportStoresAnsiAndExportsTheSameFile) {
    // Exactly what an export of the registry it makes gives back.
    const std::string file = Utf16(
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE]\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_USER]\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_USER\\Café]\r\n"
        u"\"café\"=\"é\"\r\n"
        u"\"€\"=hex(2):e9,00,00,00\r\n"
        u"\r\n"
        u"[HKEY_USERS]\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_CONFIG]\r\n"
        u"\r\n");
    MemoryRegistry registry;
    const std::optional<RegFileError> error = ImportRegFile(registry, file);
    ASSERT_FALSE(error) << error->line << ": " << error->message;

    const Stored text = Get(registry, "Caf\xE9", "caf\xE9");
    ASSERT_EQ(text.status, kErrorSuccess);
    EXPECT_EQ(text.type, kRegSz);
    EXPECT_EQ(text.data, "\xE9\0"s);
    const Stored expand = Get(registry, "Caf\xE9", "\x80");
    ASSERT_EQ(expand.status, kErrorSuccess);
    EXPECT_EQ(expand.type, kRegExpandSz);
    EXPECT_EQ(expand.data, "\xE9\0"s);

    EXPECT_EQ(ExportRegFile(registry, RegFileFormat::Version5), file);
    // REGEDIT4 writes the ANSI bytes as they are.
    EXPECT_NE(ExportRegFile(registry).find("[HKEY_CURRENT_USER\\Caf\xE9]\r\n\"caf\xE9\"=\"\xE9\"\r\n"),
              std::string::npos);
}

TEST_F(AnsiTextCp1252, Regedit4BytesAndVersion5ErrorsStayAnsi) {
    MemoryRegistry registry;
    const std::string regedit4 = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\k]\r\n\"\xE9\x81\"=\"\xC3\xA9\"\r\n";
    ASSERT_FALSE(ImportRegFile(registry, regedit4));
    EXPECT_EQ(Get(registry, "k", "\xE9\x81").data, "\xC3\xA9\0"s);
    EXPECT_NE(ExportRegFile(registry).find("\"\xE9\x81\"=\"\xC3\xA9\"\r\n"), std::string::npos);

    const std::optional<RegFileError> error =
        ImportRegFile(registry, Utf16(u"Windows Registry Editor Version 5.00\r\n[HKEY_É\\x]\r\n"));
    ASSERT_TRUE(error);
    EXPECT_NE(error->message.find("\"HKEY_\xC9\""), std::string::npos) << error->message;
}

// A look-alike that cp1252 turns into a backslash must not name another key.
TEST_F(AnsiTextCp1252, KeyNameTurnedIntoPathIsRefused) {
    MemoryRegistry registry;
    RegKey key = 0;
    ASSERT_EQ(registry.CreateKeyEx(kHkeyCurrentUser, "Software\\Old", kKeyAllAccess, &key, nullptr), kErrorSuccess);
    ASSERT_EQ(registry.CloseKey(key), kErrorSuccess);
    for (std::u16string_view lookAlike : {u"\uFF3C", u"\u2216"}) {
        const std::u16string file = u"Windows Registry Editor Version 5.00\r\n[-HKEY_CURRENT_USER\\Software" +
                                    std::u16string(lookAlike) + u"Old]\r\n";
        const std::optional<RegFileError> error = ImportRegFile(registry, Utf16(file));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->line, 2u);
        EXPECT_NE(error->message.find("backslash"), std::string::npos) << error->message;
        RegKey old = 0;
        ASSERT_EQ(registry.OpenKeyEx(kHkeyCurrentUser, "Software\\Old", kKeyRead, &old), kErrorSuccess);
        (void)registry.CloseKey(old);
    }
}

} // namespace
} // namespace hs
