// UTF-8 and UTF-16LE conversions shared by every build; the ANSI ones live in the suffix files.
#include "platform/ansi_text.h"

namespace hs {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

} // namespace

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void AppendUtf16Le(std::string& out, char32_t codePoint) {
    auto unit = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    if (codePoint < 0x10000) {
        unit(codePoint);
    } else {
        codePoint -= 0x10000;
        unit(0xD800 + (codePoint >> 10));
        unit(0xDC00 + (codePoint & 0x3FF));
    }
}

std::size_t DecodeUtf8(std::string_view text, std::size_t index, char32_t& codePoint) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(index);
    std::size_t length = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - index < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(index + k) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(index + k) & 0x3F);
    }
    if ((length == 3 && codePoint < 0x800) || (length == 4 && (codePoint < 0x10000 || codePoint > 0x10FFFF)) ||
        IsSurrogate(codePoint)) {
        return 0;
    }
    return length;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t codePoint = 0;
        std::size_t length = DecodeUtf8(utf8, i, codePoint);
        if (length == 0) {
            codePoint = kReplacementCharacter;
            length = 1;
        }
        AppendUtf16Le(out, codePoint);
        i += length;
    }
    return out;
}

// As the ANSI calls hand UTF-16 text over: what is not a pair is U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16leBytes) {
    std::string out;
    out.reserve(utf16leBytes.size() + utf16leBytes.size() / 2);
    auto unitAt = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(utf16leBytes[i]) |
                                     (static_cast<unsigned char>(utf16leBytes[i + 1]) << 8));
    };
    const std::size_t end = utf16leBytes.size() - utf16leBytes.size() % 2;
    for (std::size_t i = 0; i < end; i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 2 < end) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, IsSurrogate(unit) ? kReplacementCharacter : unit);
    }
    return out;
}

} // namespace hs
