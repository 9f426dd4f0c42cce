// Tests of the .reg file reader and writer: parsing alone, import and export against the memory registry.
#include "platform/reg_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/registry_memory.h"
#include "platform/roots.h"

namespace hs {
namespace {

using namespace std::string_literals;

// Some expectations spell registry text in UTF-8, which is the ANSI code page
// on the portable build only; ansi_text_win32_test.cpp checks a Windows code page.
#ifdef _WIN32
constexpr bool kAnsiIsUtf8 = false;
#else
constexpr bool kAnsiIsUtf8 = true;
#endif

// One line per step: "+KEY", "-KEY", "name=type:bytes", "name=-" (@ for the unnamed value).
std::string Describe(const std::vector<RegFileOperation>& operations) {
    std::string out;
    for (const auto& op : operations) {
        std::string name = op.name.empty() ? "@" : op.name;
        switch (op.kind) {
        case RegFileOperation::Kind::CreateKey:
        case RegFileOperation::Kind::DeleteKey:
            out += op.kind == RegFileOperation::Kind::CreateKey ? "+" : "-";
            out += RootNameByHandle(op.root);
            if (!op.path.empty()) out += "\\" + op.path;
            break;
        case RegFileOperation::Kind::SetValue: {
            char type[16];
            std::snprintf(type, sizeof type, "%x:", static_cast<unsigned>(op.type));
            out += name + "=" + type;
            for (std::size_t i = 0; i < op.data.size(); ++i) {
                char byte[4];
                std::snprintf(byte, sizeof byte, "%s%02x", i ? " " : "", op.data[i]);
                out += byte;
            }
            break;
        }
        case RegFileOperation::Kind::DeleteValue:
            out += name + "=-";
            break;
        }
        out += "\n";
    }
    return out;
}

// UTF-16LE bytes of text (with a BOM when asked).
std::string Utf16(std::u16string_view text, bool bom = true) {
    std::string out = bom ? "\xFF\xFE"s : ""s;
    for (char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

// Stores a value through the port; bytes need no NUL of their own (a
// non-NUL byte follows them, so string data is kept exactly).
void Set(Registry& registry, RegKey root, const char* path, const char* name, std::uint32_t type,
         const std::string& bytes) {
    RegKey key = 0;
    ASSERT_EQ(registry.CreateKeyEx(root, path, kKeyAllAccess, &key, nullptr), kErrorSuccess);
    std::string buffer = bytes + "X";
    ASSERT_EQ(registry.SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(buffer.data()),
                                  static_cast<std::uint32_t>(bytes.size())),
              kErrorSuccess);
    ASSERT_EQ(registry.CloseKey(key), kErrorSuccess);
}

struct StoredValue {
    RegStatus status = kErrorFileNotFound;
    std::uint32_t type = 0;
    std::string data;
};

StoredValue Get(Registry& registry, RegKey root, const char* path, const char* name) {
    StoredValue value;
    RegKey key = 0;
    value.status = registry.OpenKeyEx(root, path, kKeyRead, &key);
    if (value.status != kErrorSuccess) return value;
    std::uint8_t buffer[512];
    std::uint32_t length = sizeof buffer;
    value.status = registry.QueryValueEx(key, name, &value.type, buffer, &length);
    if (value.status == kErrorSuccess) value.data.assign(reinterpret_cast<char*>(buffer), length);
    (void)registry.CloseKey(key);
    return value;
}

bool KeyExists(Registry& registry, RegKey root, const char* path) {
    RegKey key = 0;
    if (registry.OpenKeyEx(root, path, kKeyRead, &key) != kErrorSuccess) return false;
    (void)registry.CloseKey(key);
    return true;
}

// ---- parsing

struct ParseCase {
    const char* title;
    std::string file;
    std::string steps;
    bool utf8Ansi = false; // steps hold non-ASCII Version 5 text as UTF-8
};

TEST(RegFileParse, ReadsEveryLineKind) {
    const std::vector<ParseCase> cases = {
        {"key, string, unnamed value, comments and blank lines",
         "REGEDIT4\r\n\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\r\n\"s\"=\"hi\"\r\n@=\"\"\r\n",
         "+HKEY_CURRENT_USER\\Software\\A\ns=1:68 69 00\n@=1:00\n"},
        {"LF line ends, leading blanks, blanks around =", "REGEDIT4\n  [HKLM\\x]\n  \"a\" = \"b\"  \n",
         "+HKEY_LOCAL_MACHINE\\x\na=1:62 00\n"},
        {"escapes in names and text", "REGEDIT4\n[HKCU\\k]\n\"q\\\"\\\\n\"=\"c:\\\\dir \\\"x\\\"\"\n",
         "+HKEY_CURRENT_USER\\k\nq\"\\n=1:63 3a 5c 64 69 72 20 22 78 22 00\n"},
        {"dword, 1 to 8 digits", "REGEDIT4\n[HKCU\\k]\n\"a\"=dword:0000ABcd\n\"b\"=dword:7\n",
         "+HKEY_CURRENT_USER\\k\na=4:cd ab 00 00\nb=4:07 00 00 00\n"},
        {"hex kinds, empty list, one-digit bytes, type up to ffffffff",
         "REGEDIT4\n[HKCU\\k]\n\"b\"=hex:01,ff\n\"n\"=hex(0):\n\"e\"=hex(2):41,00\n\"q\"=hex(b):1,2,3,4,5,6,7,8\n"
         "\"x\"=HEX(FFFFFFFF):0a\n",
         "+HKEY_CURRENT_USER\\k\nb=3:01 ff\nn=0:\ne=2:41 00\nq=b:01 02 03 04 05 06 07 08\nx=ffffffff:0a\n"},
        {"hex list continued over lines, trailing comma",
         "REGEDIT4\r\n[HKCU\\k]\r\n\"b\"=hex:01,02,\\\r\n   03,04,\\\r\n\t05,\r\n@=-\r\n",
         "+HKEY_CURRENT_USER\\k\nb=3:01 02 03 04 05\n@=-\n"},
        {"delete key, delete value, short and lower-case roots, trailing backslash",
         "REGEDIT4\n[-HKCU\\gone\\deep]\n[hkey_users\\u\\]\n\"v\"=-\n[HKCC\\c]\n[HKU]\n[HKCR\\.txt]\n",
         "-HKEY_CURRENT_USER\\gone\\deep\n+HKEY_USERS\\u\nv=-\n+HKEY_CURRENT_CONFIG\\c\n+HKEY_USERS\n"
         "+HKEY_CLASSES_ROOT\\.txt\n"},
        {"key names may hold ] and blanks", "REGEDIT4\n[HKCU\\a]b ]  \n", "+HKEY_CURRENT_USER\\a]b \n"},
        {"version 5 in UTF-8 with BOM: string-typed hex data is UTF-16",
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKCU\\k]\n\"e\"=hex(2):25,00,e9,00,00,00\n"
         "\"b\"=hex:e9,00\n",
         "+HKEY_CURRENT_USER\\k\ne=2:25 c3 a9 00\nb=3:e9 00\n", true},
        {"version 5 without BOM; lone surrogate and odd byte as the ANSI calls see them",
         "Windows Registry Editor Version 5.00\n[HKCU\\k]\n\"m\"=hex(7):00,d8,41,00,42\n",
         "+HKEY_CURRENT_USER\\k\nm=7:ef bf bd 41\n", true},
        {"REGEDIT4 takes string-typed hex data as it is", "REGEDIT4\n[HKCU\\k]\n\"e\"=hex(2):25,00,e9,00\n",
         "+HKEY_CURRENT_USER\\k\ne=2:25 00 e9 00\n"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (cases[i].utf8Ansi && !kAnsiIsUtf8) continue;
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << cases[i].title);
        ParsedRegFile parsed = ParseRegFile(cases[i].file);
        ASSERT_FALSE(parsed.error) << parsed.error->line << ": " << parsed.error->message;
        EXPECT_EQ(Describe(parsed.operations), cases[i].steps);
    }
}

TEST(RegFileParse, ReadsRegeditVersion5Utf16File) {
    if (!kAnsiIsUtf8) GTEST_SKIP() << "expects the registry text in UTF-8";
    const std::string file = Utf16(
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_USER\\Software\\Café]\r\n"
        u"\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,\\\r\n"
        u"  25,00,00,00\r\n"
        u"\"Größe\"=dword:00000010\r\n"
        u"@=\"Grüße €\"\r\n"
        u"\"Multi\"=hex(7):61,00,00,00,e9,00,00,00,00,00\r\n"
        u"\r\n");
    ParsedRegFile parsed = ParseRegFile(file);
    ASSERT_FALSE(parsed.error) << parsed.error->line << ": " << parsed.error->message;
    EXPECT_EQ(parsed.format, RegFileFormat::Version5);
    EXPECT_EQ(Describe(parsed.operations),
              "+HKEY_CURRENT_USER\\Software\\Caf\xC3\xA9\n"
              "Path=2:25 53 79 73 74 65 6d 52 6f 6f 74 25 00\n"
              "Gr\xC3\xB6\xC3\x9F" "e=4:10 00 00 00\n"
              "@=1:47 72 c3 bc c3 9f 65 20 e2 82 ac 00\n"
              "Multi=7:61 00 c3 a9 00 00\n");
    EXPECT_EQ(parsed.operations[1].line, 4u); // a continued value counts from its first line
    EXPECT_EQ(parsed.operations[2].line, 6u);
}

struct ErrorCase {
    const char* title;
    std::string file;
    std::size_t line;
    const char* says;
};

TEST(RegFileParse, FaultsNameTheirLineAndApplyNothing) {
    const std::string longName(kMaxKeyNameLength + 1, 'k');
    const std::string before = "REGEDIT4\n[HKCU\\kept]\n\"v\"=\"1\"\n";
    std::string deep = "REGEDIT4\n[HKCU";
    for (std::size_t i = 0; i <= kMaxRegFileKeyDepth; ++i) deep += "\\d";
    deep += "]\n";
    const std::vector<ErrorCase> cases = {
        {"empty file", "", 1, "empty file"},
        {"bad header", "REGEDIT5\n[HKCU\\k]\n", 1, "first line must be"},
        {"header after blank lines", "\n\nWindows Registry Editor Version 4.00\n", 3, "first line must be"},
        {"UTF-16 header that is not one", Utf16(u"REGEDIT 4\r\n"), 1, "first line must be"},
        {"UTF-16 file of odd length", Utf16(u"REGEDIT4\r\n[HKCU\\k]\r\n") + "x", 3, "odd number of bytes"},
        {"value before any key", "REGEDIT4\n\n\"v\"=\"1\"\n", 3, "before any [key]"},
        {"value after a key deletion", before + "[-HKCU\\kept]\n@=\"x\"\n", 5, "after a key deletion"},
        {"unknown root", before + "[HKEY_LOCAL_MACHIN\\x]\n", 4, "unknown root key \"HKEY_LOCAL_MACHIN\""},
        {"root deletion", before + "[-HKCU]\n", 4, "root key cannot be deleted"},
        {"no closing ]", before + "[HKCU\\x\n", 4, "closing ]"},
        {"text after ]", before + "[HKCU\\x] y\n", 4, "after ]"},
        {"empty key name", before + "[HKCU\\a\\\\b]\n", 4, "empty key name"},
        {"key name too long", before + "[HKCU\\a\\" + longName + "]\n", 4, "longer than 255"},
        {"key path too deep", deep, 2, "deeper than 512"},
        {"bad hex byte", before + "\"b\"=hex:01,zz\n", 4, "bad hex byte \"zz\""},
        {"three-digit hex byte", before + "\"b\"=hex:012\n", 4, "expected a comma"},
        {"bad hex on a continuation line", before + "\"b\"=hex:01,\\\n  02,\\\n  0x\n", 6, "expected a comma"},
        {"continuation at end of file", before + "\"b\"=hex:01,\\", 4, "ends inside a hex list"},
        {"bad hex type", before + "\"b\"=hex(100000000):00\n", 4, "hex(n):"},
        {"hex type without colon", before + "\"b\"=hex(2)00\n", 4, "hex(n):"},
        {"unterminated string", before + "\"s\"=\"abc\n", 4, "unterminated string"},
        {"unterminated name", before + "\"s=\"abc\"\n", 4, "expected ="},
        {"unknown escape", before + "\"s\"=\"a\\nb\"\n", 4, "unknown escape \\n"},
        {"text after string", before + "\"s\"=\"a\" b\n", 4, "after the closing"},
        {"bad dword", before + "\"d\"=dword:12345678 9\n", 4, "bad dword"},
        {"dword of nine digits", before + "\"d\"=dword:123456789\n", 4, "bad dword"},
        {"empty dword", before + "\"d\"=dword:\n", 4, "bad dword"},
        {"unknown type", before + "\"d\"=qword:1\n", 4, "unknown value data"},
        {"missing =", before + "\"d\" \"x\"\n", 4, "expected ="},
        {"missing data", before + "@=\n", 4, "missing value data"},
        {"text after =-", before + "@=- x\n", 4, "after =-"},
        {"NUL in a value name", before + "\"a\0b\"=\"x\"\n"s, 4, "NUL"},
        {"stray line", before + "HKCU\\x\n", 4, "unrecognised line"},
    };
    MemoryRegistry pristine;
    const std::string untouched = ExportRegFile(pristine);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << cases[i].title);
        MemoryRegistry registry;
        std::optional<RegFileError> error = ImportRegFile(registry, cases[i].file);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->line, cases[i].line) << error->message;
        EXPECT_NE(error->message.find(cases[i].says), std::string::npos) << error->message;
        EXPECT_EQ(ExportRegFile(registry), untouched);
    }
}

TEST(RegFileParse, LongestNamesAreAccepted) {
    const std::string keyName(kMaxKeyNameLength, 'k');
    const std::string valueName(kMaxValueNameLength, 'v');
    ParsedRegFile parsed = ParseRegFile("REGEDIT4\n[HKCU\\" + keyName + "]\n\"" + valueName + "\"=-\n");
    ASSERT_FALSE(parsed.error) << parsed.error->message;
    ASSERT_EQ(parsed.operations.size(), 2u);
    EXPECT_EQ(parsed.operations[0].path, keyName);
    EXPECT_EQ(parsed.operations[1].name, valueName);

    parsed = ParseRegFile("REGEDIT4\n[HKCU\\k]\n\"" + valueName + "v\"=-\n");
    ASSERT_TRUE(parsed.error);
    EXPECT_EQ(parsed.error->line, 3u);
}

// ---- export and round trips

// A registry with every kind of value an export has to write.
void Populate(Registry& registry) {
    const char* test = "Software\\Test";
    Set(registry, kHkeyCurrentUser, test, "", kRegSz, "default"s + '\0');
    Set(registry, kHkeyCurrentUser, test, "str", kRegSz, "a \"q\" and \\ back"s + '\0');
    Set(registry, kHkeyCurrentUser, test, "q\"\\name", kRegSz, ""s + '\0');
    Set(registry, kHkeyCurrentUser, test, "nonul", kRegSz, "abc");
    Set(registry, kHkeyCurrentUser, test, "crlf", kRegSz, "a\r\nb"s + '\0');
    Set(registry, kHkeyCurrentUser, test, "twonul", kRegSz, "a\0\0"s);
    Set(registry, kHkeyCurrentUser, test, "expand", kRegExpandSz, "%PATH%"s + '\0');
    Set(registry, kHkeyCurrentUser, test, "multi", kRegMultiSz, "a\0b\0\0"s);
    Set(registry, kHkeyCurrentUser, test, "dw", kRegDword, "\x78\x56\x34\x12");
    Set(registry, kHkeyCurrentUser, test, "dw3", kRegDword, "\x01\x02\x03");
    Set(registry, kHkeyCurrentUser, test, "qw", kRegQword, "\x01\x02\x03\x04\x05\x06\x07\x08");
    Set(registry, kHkeyCurrentUser, test, "none", kRegNone, "");
    Set(registry, kHkeyCurrentUser, test, "odd", 0x20000, "\x01");
    std::string bytes;
    for (int i = 0; i < 30; ++i) bytes += static_cast<char>(i * 8);
    Set(registry, kHkeyCurrentUser, test, "bin", kRegBinary, bytes);
    RegKey key = 0;
    ASSERT_EQ(registry.CreateKeyEx(kHkeyCurrentUser, "Software\\Test\\Empty", kKeyAllAccess, &key, nullptr),
              kErrorSuccess);
    (void)registry.CloseKey(key);
    Set(registry, kHkeyCurrentUser, "Software\\Test\\b", "x", kRegSz, "\xC3\xA9t\xC3\xA9"s + '\0');
    Set(registry, kHkeyUsers, ".DEFAULT", "u", kRegDword, "\0\0\0\0"s);
}

const char* const kPopulatedExport =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE]\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
    "@=\"default\"\r\n"
    "\"str\"=\"a \\\"q\\\" and \\\\ back\"\r\n"
    "\"q\\\"\\\\name\"=\"\"\r\n"
    "\"nonul\"=hex(1):61,62,63\r\n"
    "\"crlf\"=hex(1):61,0d,0a,62,00\r\n"
    "\"twonul\"=hex(1):61,00,00\r\n"
    "\"expand\"=hex(2):25,50,41,54,48,25,00\r\n"
    "\"multi\"=hex(7):61,00,62,00,00\r\n"
    "\"dw\"=dword:12345678\r\n"
    "\"dw3\"=hex(4):01,02,03\r\n"
    "\"qw\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    "\"none\"=hex(0):\r\n"
    "\"odd\"=hex(20000):01\r\n"
    "\"bin\"=hex:00,08,10,18,20,28,30,38,40,48,50,58,60,68,70,78,80,88,90,98,a0,a8,b0,\\\r\n"
    "  b8,c0,c8,d0,d8,e0,e8\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Test\\b]\r\n"
    "\"x\"=\"\xC3\xA9t\xC3\xA9\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Test\\Empty]\r\n"
    "\r\n"
    "[HKEY_USERS]\r\n"
    "\r\n"
    "[HKEY_USERS\\.DEFAULT]\r\n"
    "\"u\"=dword:00000000\r\n"
    "\r\n"
    "[HKEY_CURRENT_CONFIG]\r\n"
    "\r\n";

TEST(RegFileExport, WritesRegeditText) {
    MemoryRegistry registry;
    ASSERT_NO_FATAL_FAILURE(Populate(registry));
    EXPECT_EQ(ExportRegFile(registry), kPopulatedExport);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(RegFileExport, RoundTripsByteForByte) {
    for (RegFileFormat format : {RegFileFormat::Regedit4, RegFileFormat::Version5}) {
        SCOPED_TRACE(format == RegFileFormat::Regedit4 ? "REGEDIT4" : "Version 5");
        MemoryRegistry original;
        ASSERT_NO_FATAL_FAILURE(Populate(original));
        const std::string first = ExportRegFile(original, format);
        MemoryRegistry copy;
        std::optional<RegFileError> error = ImportRegFile(copy, first);
        ASSERT_FALSE(error) << error->line << ": " << error->message;
        EXPECT_EQ(ExportRegFile(copy, format), first);
        // Both formats carry the same registry.
        EXPECT_EQ(ExportRegFile(copy), kPopulatedExport);
        EXPECT_EQ(copy.OpenHandleCount(), 0u);
    }
}

TEST(RegFileExport, RoundTripsAnyBytesInRegedit4) {
    MemoryRegistry original;
    std::string text;
    for (int c = 1; c < 256; ++c) {
        if (c != '\n') text += static_cast<char>(c);
    }
    std::string keyName = text.substr(0, 200);
    for (char& c : keyName) {
        if (c == '\\') c = '/';
    }
    const std::string path = "Software\\" + keyName;
    Set(original, kHkeyCurrentUser, path.c_str(), text.c_str(), kRegSz, text + '\0');
    Set(original, kHkeyCurrentUser, path.c_str(), "bytes", kRegExpandSz, "\xFF\xFE\x80"s + '\0');
    const std::string first = ExportRegFile(original);
    MemoryRegistry copy;
    std::optional<RegFileError> error = ImportRegFile(copy, first);
    ASSERT_FALSE(error) << error->line << ": " << error->message;
    EXPECT_EQ(ExportRegFile(copy), first);
    EXPECT_EQ(Get(copy, kHkeyCurrentUser, path.c_str(), text.c_str()).data, text + '\0');
}

TEST(RegFileExport, Version5IsUtf16WithUtf16StringData) {
    if (!kAnsiIsUtf8) GTEST_SKIP() << "stores the registry text in UTF-8";
    MemoryRegistry registry;
    Set(registry, kHkeyCurrentConfig, "Caf\xC3\xA9", "\xE2\x82\xAC", kRegExpandSz, "\xC3\xA9"s + '\0');
    Set(registry, kHkeyCurrentConfig, "Caf\xC3\xA9", "b", kRegBinary, "\xC3\xA9");
    const std::string exported = ExportRegFile(registry, RegFileFormat::Version5);
    const std::string expectedEnd = Utf16(
        u"[HKEY_CURRENT_CONFIG]\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_CONFIG\\Café]\r\n"
        u"\"€\"=hex(2):e9,00,00,00\r\n"
        u"\"b\"=hex:c3,a9\r\n"
        u"\r\n",
        false);
    ASSERT_GE(exported.size(), expectedEnd.size());
    EXPECT_EQ(exported.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(exported.substr(2, 72), Utf16(u"Windows Registry Editor Version 5.00\r\n", false).substr(0, 72));
    EXPECT_EQ(exported.substr(exported.size() - expectedEnd.size()), expectedEnd);
}

TEST(RegFileExport, WrapsHexListsAsRegeditDoes) {
    MemoryRegistry registry;
    Set(registry, kHkeyCurrentConfig, "k", "a-longer-name", kRegBinary, std::string(60, '\x11'));
    const std::string exported = ExportRegFile(registry);
    const std::string expected =
        "\"a-longer-name\"=hex:11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,\\\r\n"
        "  11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,\\\r\n"
        "  11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11\r\n";
    EXPECT_NE(exported.find(expected), std::string::npos) << exported;
}

// ---- import into a registry

TEST(RegFileImport, DeletesKeysAndValues) {
    MemoryRegistry registry;
    Set(registry, kHkeyCurrentUser, "Software\\Old\\Sub", "v", kRegSz, "x"s + '\0');
    Set(registry, kHkeyCurrentUser, "Software\\Keep", "drop", kRegSz, "x"s + '\0');
    Set(registry, kHkeyCurrentUser, "Software\\Keep", "stay", kRegSz, "y"s + '\0');
    std::optional<RegFileError> error = ImportRegFile(registry,
                                                      "REGEDIT4\r\n"
                                                      "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                                                      "[-HKEY_CURRENT_USER\\Software\\Never]\r\n"
                                                      "[HKEY_CURRENT_USER\\Software\\Keep]\r\n"
                                                      "\"DROP\"=-\r\n"
                                                      "\"missing\"=-\r\n");
    ASSERT_FALSE(error) << error->message;
    EXPECT_FALSE(KeyExists(registry, kHkeyCurrentUser, "Software\\Old"));
    EXPECT_EQ(Get(registry, kHkeyCurrentUser, "Software\\Keep", "drop").status, kErrorFileNotFound);
    EXPECT_EQ(Get(registry, kHkeyCurrentUser, "Software\\Keep", "stay").data, "y"s + '\0');
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(RegFileImport, StoresValuesAsGiven) {
    MemoryRegistry registry;
    std::optional<RegFileError> error = ImportRegFile(registry,
                                                      "REGEDIT4\n"
                                                      "[HKCU\\k]\n"
                                                      "\"nonul\"=hex(1):61,62\n"
                                                      "\"s\"=\"ab\"\n"
                                                      "@=dword:1\n"
                                                      "\"S\"=hex(1):63,00\n");
    ASSERT_FALSE(error) << error->message;
    StoredValue nonul = Get(registry, kHkeyCurrentUser, "k", "nonul");
    EXPECT_EQ(nonul.type, kRegSz);
    EXPECT_EQ(nonul.data, "ab");
    EXPECT_EQ(Get(registry, kHkeyCurrentUser, "k", "s").data, "c"s + '\0'); // names match without case
    StoredValue unnamed = Get(registry, kHkeyCurrentUser, "k", "");
    EXPECT_EQ(unnamed.type, kRegDword);
    EXPECT_EQ(unnamed.data, "\x01\0\0\0"s);
}

TEST(RegFileImport, ClassesRootGoesToTheStoredClassesKey) {
    MemoryRegistry registry;
    std::optional<RegFileError> error =
        ImportRegFile(registry, "REGEDIT4\n[HKEY_CLASSES_ROOT\\.txt]\n@=\"txtfile\"\n");
    ASSERT_FALSE(error) << error->message;
    EXPECT_EQ(Get(registry, kHkeyLocalMachine, "SOFTWARE\\Classes\\.txt", "").data, "txtfile"s + '\0');
    EXPECT_NE(ExportRegFile(registry).find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt]\r\n@=\"txtfile\"\r\n"),
              std::string::npos);
}

TEST(RegFileImport, RegistryRefusalIsReportedAndTheRestApplied) {
    MemoryRegistry registry; // has no HKEY_DYN_DATA, as on the NT family
    std::optional<RegFileError> error = ImportRegFile(registry,
                                                      "REGEDIT4\n"
                                                      "[HKEY_DYN_DATA\\x]\n"
                                                      "\"lost\"=\"1\"\n"
                                                      "[HKCU\\after]\n"
                                                      "\"kept\"=\"2\"\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 2u);
    EXPECT_NE(error->message.find("HKEY_DYN_DATA\\x"), std::string::npos) << error->message;
    EXPECT_EQ(Get(registry, kHkeyCurrentUser, "after", "kept").data, "2"s + '\0');
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(RegFileImport, ReadsAndWritesFiles) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("hs_reg_file_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "saved.reg").string();
    MemoryRegistry original;
    ASSERT_NO_FATAL_FAILURE(Populate(original));
    {
        std::ofstream old(path, std::ios::binary);
        old << "an older file";
    }
    ASSERT_TRUE(ExportRegFileToPath(original, path, RegFileFormat::Version5));
    MemoryRegistry copy;
    std::optional<RegFileError> error = ImportRegFileFromPath(copy, path);
    EXPECT_FALSE(error) << error->message;
    EXPECT_EQ(ExportRegFile(copy), kPopulatedExport);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    error = ImportRegFileFromPath(copy, (folder / "missing.reg").string());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 0u);
    EXPECT_FALSE(ExportRegFileToPath(copy, (folder / "no" / "such" / "folder.reg").string()));
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace hs
