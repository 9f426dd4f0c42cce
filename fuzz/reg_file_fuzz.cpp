// libFuzzer target: arbitrary bytes as a .reg file, and the export of whatever imports must be stable.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/reg_file.h"
#include "platform/registry_memory.h"

namespace {

// The last fault of a re-import, told when a check fails.
std::string lastImportError;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "reg_file_fuzz: %s (last re-import fault: %s)\n", what, lastImportError.c_str());
    std::abort();
}

// True when text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
        if (length == 0 || text.size() - i < length) return false;
        std::uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// Imports text into a fresh registry and exports it again; nothing when the
// import fails, which only a lossy Version 5 file may do.
std::optional<std::string> Reexport(const std::string& text, hs::RegFileFormat format) {
    hs::MemoryRegistry registry;
    if (const auto error = hs::ImportRegFile(registry, text)) {
        lastImportError = "line " + std::to_string(error->line) + ": " + error->message;
        return std::nullopt;
    }
    std::string again = hs::ExportRegFile(registry, format);
    Check(registry.OpenHandleCount() == 0, "a key handle was left open");
    return again;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    hs::MemoryRegistry registry;
    if (hs::ImportRegFile(registry, bytes)) return 0;
    Check(registry.OpenHandleCount() == 0, "import left a key handle open");

    // REGEDIT4 carries every byte: one round gives the same text.
    const std::string first = hs::ExportRegFile(registry, hs::RegFileFormat::Regedit4);
    const auto second = Reexport(first, hs::RegFileFormat::Regedit4);
    Check(second.has_value(), "a REGEDIT4 export does not import");
    Check(*second == first, "REGEDIT4 export is not stable");

    // Version 5 gives the same text back when every name and string is
    // UTF-8; string-typed hex data is converted as the ANSI calls would, which
    // is settled after the first export. Other bytes become U+FFFD, which may
    // merge names or make them too long: a file that still imports must then
    // be stable from the next round on.
    const std::string unicode = hs::ExportRegFile(registry, hs::RegFileFormat::Version5);
    const auto unicodeAgain = Reexport(unicode, hs::RegFileFormat::Version5);
    if (IsUtf8(first)) {
        Check(unicodeAgain.has_value(), "a Version 5 export of UTF-8 text does not import");
        Check(*unicodeAgain == unicode, "Version 5 export is not stable");
    } else if (unicodeAgain) {
        Check(Reexport(*unicodeAgain, hs::RegFileFormat::Version5) == unicodeAgain, "Version 5 export is not stable");
    }
    return 0;
}
