// Case folding of registry names.
#include "platform/reg_text.h"

namespace hs {

std::string FoldUpper(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < out.size()) {
            // U+00E0..U+00FE (but U+00F7, the division sign) fold to U+00C0..U+00DE.
            auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7) out[i + 1] = static_cast<char>(next - 0x20);
            ++i;
        }
    }
    return out;
}

bool SameRegistryName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FoldUpper(a) == FoldUpper(b);
}

} // namespace hs
