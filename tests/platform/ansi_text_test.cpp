// Tests of the UTF-8 / UTF-16LE conversions, and of the ANSI ones where the ANSI code page is UTF-8.
#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hs {
namespace {

using namespace std::string_literals;

const std::string kFffd8 = "\xEF\xBF\xBD";
const std::string kFffd16 = "\xFD\xFF";

// Text that converts both ways without loss.
struct SameTextCase {
    const char* title;
    std::string utf8;
    std::string utf16le;
};

const std::vector<SameTextCase> kSameText = {
    {"empty", "", ""},
    {"ASCII with a backslash and a NUL", "Ab\\\0z"s, "A\0b\0\\\0\0\0z\0"s},
    {"\xC3\xA9, two bytes", "caf\xC3\xA9", "c\0a\0f\0\xE9\0"s},
    {"euro sign, three bytes", "\xE2\x82\xAC", "\xAC\x20"},
    {"U+1F600, four bytes and a surrogate pair", "<\xF0\x9F\x98\x80>", "<\0\x3D\xD8\x00\xDE>\0"s},
    {"U+10FFFF, the last code point", "\xF4\x8F\xBF\xBF", "\xFF\xDB\xFF\xDF"},
};

TEST(AnsiText, WellFormedTextConvertsBothWays) {
    for (std::size_t i = 0; i < kSameText.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << kSameText[i].title);
        EXPECT_EQ(Utf8ToUtf16Le(kSameText[i].utf8), kSameText[i].utf16le);
        EXPECT_EQ(Utf16LeToUtf8(kSameText[i].utf16le), kSameText[i].utf8);
    }
}

struct OneWayCase {
    const char* title;
    std::string from;
    std::string to;
};

TEST(AnsiText, MalformedUtf8BecomesOneReplacementPerByte) {
    const std::vector<OneWayCase> cases = {
        {"lone continuation byte", "a\x80z", "a\0"s + kFffd16 + "z\0"s},
        {"lead byte cut off by the end", "a\xC3", "a\0"s + kFffd16},
        {"lead byte before ASCII keeps the ASCII", "\xC3\"", kFffd16 + "\"\0"s},
        {"overlong slash", "\xC0\xAF", kFffd16 + kFffd16},
        {"overlong three-byte form", "\xE0\x80\xAF", kFffd16 + kFffd16 + kFffd16},
        {"encoded surrogate", "\xED\xA0\x80", kFffd16 + kFffd16 + kFffd16},
        {"past U+10FFFF", "\xF4\x90\x80\x80", kFffd16 + kFffd16 + kFffd16 + kFffd16},
        {"cp1252 e acute", "caf\xE9", "c\0a\0f\0"s + kFffd16},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << cases[i].title);
        EXPECT_EQ(Utf8ToUtf16Le(cases[i].from), cases[i].to);
    }
}

TEST(AnsiText, MalformedUtf16ReadsAsTheAnsiCallsGiveIt) {
    const std::vector<OneWayCase> cases = {
        {"high surrogate at the end", "A\0\x3D\xD8"s, "A" + kFffd8},
        {"high surrogate before a letter", "\x3D\xD8" "B\0"s, kFffd8 + "B"},
        {"two high surrogates before a low one", "\x3D\xD8\x3D\xD8\x00\xDE"s, kFffd8 + "\xF0\x9F\x98\x80"},
        {"lone low surrogate", "\x00\xDC"s, kFffd8},
        {"low before high", "\x00\xDC\x3D\xD8"s, kFffd8 + kFffd8},
        {"odd last byte dropped", "A\0B"s, "A"},
        {"a single byte", "A", ""},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << cases[i].title);
        EXPECT_EQ(Utf16LeToUtf8(cases[i].from), cases[i].to);
    }
}

#ifndef _WIN32
// The portable build's ANSI code page is UTF-8.
TEST(AnsiText, PortableAnsiIsUtf8) {
    for (std::size_t i = 0; i < kSameText.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "] " << kSameText[i].title);
        EXPECT_EQ(AnsiToUtf16Le(kSameText[i].utf8), kSameText[i].utf16le);
        EXPECT_EQ(Utf16LeToAnsi(kSameText[i].utf16le), kSameText[i].utf8);
        EXPECT_EQ(AnsiToUtf8(kSameText[i].utf8), kSameText[i].utf8);
        EXPECT_EQ(Utf8ToAnsi(kSameText[i].utf8), kSameText[i].utf8);
    }
    // Malformed input: Unicode outputs get U+FFFD, ANSI outputs keep the bytes.
    EXPECT_EQ(AnsiToUtf16Le("\xE9" "a"), kFffd16 + "a\0"s);
    EXPECT_EQ(Utf16LeToAnsi("\x00\xD8" "a\0" "b"s), kFffd8 + "a");
    EXPECT_EQ(AnsiToUtf8("a\xC3\xA9\xFF\xC3"), "a\xC3\xA9" + kFffd8 + kFffd8);
    EXPECT_EQ(Utf8ToAnsi("a\xFF\xC3"), "a\xFF\xC3");
}
#endif

} // namespace
} // namespace hs
