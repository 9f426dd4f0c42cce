// Text conversions between the system ANSI code page, UTF-8 and UTF-16LE.
//
// The program keeps its text in the ANSI code page, as the advapi32 A calls
// take it: cp1252 and the like on Windows, UTF-8 on the portable build. Files
// and outputs that are Unicode by definition (Version 5 .reg files, JSON)
// cross over through these functions. UTF-16LE text travels as its bytes in
// a std::string, low byte first, without a BOM.
//
// Malformed input never fails: a byte that is not part of well-formed UTF-8
// becomes U+FFFD, a lone surrogate in UTF-16 becomes U+FFFD, and an odd last
// byte of UTF-16 is dropped. A character the ANSI code page cannot hold
// becomes what WideCharToMultiByte makes of it (the code page's default
// character, "?", or a best-fit look-alike), as the A registry calls do.
// Embedded NULs are ordinary characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hs {

// ---- portable, the same on every build

// UTF-8 to UTF-16LE bytes; each byte that does not start a well-formed
// sequence (overlong forms and encoded surrogates included) becomes one U+FFFD.
[[nodiscard]] std::string Utf8ToUtf16Le(std::string_view utf8);

// UTF-16LE bytes to UTF-8: surrogate pairs are joined, a lone surrogate
// becomes U+FFFD, an odd last byte is dropped.
[[nodiscard]] std::string Utf16LeToUtf8(std::string_view utf16leBytes);

// Appends the UTF-8 or UTF-16LE form of one code point (at most U+10FFFF, no surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);
void AppendUtf16Le(std::string& out, char32_t codePoint);

// The length of the well-formed UTF-8 sequence at text[index] with its code
// point in codePoint, or 0 when the byte there starts none. index < text.size().
[[nodiscard]] std::size_t DecodeUtf8(std::string_view text, std::size_t index, char32_t& codePoint);

// ---- the ANSI code page (posix: UTF-8; Windows: CP_ACP)

// ANSI text to UTF-16LE bytes. Posix: Utf8ToUtf16Le.
[[nodiscard]] std::string AnsiToUtf16Le(std::string_view ansi);

// UTF-16LE bytes to ANSI text. Posix: Utf16LeToUtf8.
[[nodiscard]] std::string Utf16LeToAnsi(std::string_view utf16leBytes);

// ANSI text to well-formed UTF-8. Posix: the text itself, each byte that is
// not part of well-formed UTF-8 replaced by U+FFFD.
[[nodiscard]] std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 text to ANSI. Posix: the bytes unchanged, malformed ones included
// (they are already text in the ANSI code page, if not well-formed).
// Windows: malformed bytes count as U+FFFD and so come out as "?".
[[nodiscard]] std::string Utf8ToAnsi(std::string_view utf8);

} // namespace hs
