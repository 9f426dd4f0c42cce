// ANSI text on Windows: the system code page (CP_ACP) through MultiByteToWideChar and WideCharToMultiByte.
#include "platform/ansi_text.h"

#include <windows.h>

#include <algorithm>

namespace hs {

namespace {

// The conversion calls count in int; longer text goes through in pieces of
// at most this many bytes (ANSI) or units (UTF-16).
constexpr std::size_t kPiece = std::size_t{1} << 28;

// Where a piece of ANSI text starting at begin may end: after the last byte
// below '0' in it, since such a byte is a whole character in every code page
// Windows offers (no lead or trail byte of a DBCS or UTF-8 sequence is that
// low). Text without one is cut at the piece size.
std::size_t AnsiPieceEnd(std::string_view ansi, std::size_t begin) {
    const std::size_t end = std::min(ansi.size(), begin + kPiece);
    if (end == ansi.size()) return end;
    for (std::size_t cut = end; cut > begin; --cut) {
        if (static_cast<unsigned char>(ansi[cut - 1]) < '0') return cut;
    }
    return end;
}

void AppendUnits(std::string& out, const std::wstring& units) {
    for (wchar_t unit : units) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>((unit >> 8) & 0xFF);
    }
}

} // namespace

std::string AnsiToUtf16Le(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() * 2);
    std::wstring units;
    for (std::size_t begin = 0; begin < ansi.size();) {
        const std::size_t end = AnsiPieceEnd(ansi, begin);
        const int length = static_cast<int>(end - begin);
        const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data() + begin, length, nullptr, 0);
        units.resize(static_cast<std::size_t>(std::max(needed, 0)));
        if (needed > 0) {
            const int written = MultiByteToWideChar(CP_ACP, 0, ansi.data() + begin, length, units.data(), needed);
            units.resize(static_cast<std::size_t>(std::max(written, 0)));
        }
        AppendUnits(out, units);
        begin = end;
    }
    return out;
}

std::string Utf16LeToAnsi(std::string_view utf16leBytes) {
    const std::size_t count = utf16leBytes.size() / 2; // an odd last byte is dropped
    std::wstring units(count, L'\0');
    for (std::size_t i = 0; i < count; ++i) {
        units[i] = static_cast<wchar_t>(static_cast<unsigned char>(utf16leBytes[2 * i]) |
                                        (static_cast<unsigned char>(utf16leBytes[2 * i + 1]) << 8));
    }
    std::string out;
    out.reserve(count);
    std::string piece;
    for (std::size_t begin = 0; begin < count;) {
        std::size_t end = std::min(count, begin + kPiece);
        // Keep a surrogate pair in one piece.
        if (end < count && units[end - 1] >= 0xD800 && units[end - 1] <= 0xDBFF) --end;
        const int length = static_cast<int>(end - begin);
        const int needed =
            WideCharToMultiByte(CP_ACP, 0, units.data() + begin, length, nullptr, 0, nullptr, nullptr);
        piece.resize(static_cast<std::size_t>(std::max(needed, 0)));
        if (needed > 0) {
            const int written = WideCharToMultiByte(CP_ACP, 0, units.data() + begin, length, piece.data(), needed,
                                                    nullptr, nullptr);
            piece.resize(static_cast<std::size_t>(std::max(written, 0)));
        }
        out += piece;
        begin = end;
    }
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
    return Utf16LeToUtf8(AnsiToUtf16Le(ansi));
}

std::string Utf8ToAnsi(std::string_view utf8) {
    return Utf16LeToAnsi(Utf8ToUtf16Le(utf8));
}

} // namespace hs
