// The portable build's ANSI code page is UTF-8: conversions are the Unicode ones, or none at all.
#include "platform/ansi_text.h"

namespace hs {

std::string AnsiToUtf16Le(std::string_view ansi) {
    return Utf8ToUtf16Le(ansi);
}

std::string Utf16LeToAnsi(std::string_view utf16leBytes) {
    return Utf16LeToUtf8(utf16leBytes);
}

// Copies well-formed runs as they are; only malformed bytes are rewritten.
std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (std::size_t i = 0; i < ansi.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(ansi, i, codePoint);
        if (length == 0) {
            AppendUtf8(out, 0xFFFD);
            ++i;
        } else {
            out.append(ansi.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    return std::string(utf8);
}

} // namespace hs
