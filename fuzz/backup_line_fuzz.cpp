// libFuzzer target: arbitrary lines through the backup line decoder, and
// arbitrary field text through the encoder.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "results/backup_file.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "backup_line_fuzz: %s\n", what);
    std::abort();
}

// The input as one line: whatever decodes re-encodes to the same bytes, and
// whatever parses as a record formats to a line that parses to it again.
void DecodeLine(std::string_view line) {
    const auto fields = hs::DecodeBackupFields(line);
    const auto text = hs::DecodeBackupLine(line);
    Check(fields.has_value() == text.has_value(), "the two decoders disagree on a line");
    if (fields) Check(hs::EncodeBackupFields(*fields) == line, "decoded fields do not encode to the line");
    const hs::ParsedBackupLine parsed = hs::ParseBackupLine(line);
    Check(parsed.record.has_value() != !parsed.error.empty(), "a line is both read and refused, or neither");
    if (parsed.record) {
        Check(fields.has_value(), "a record from a line that does not decode");
        const std::string again = hs::FormatBackupRecord(*parsed.record);
        const hs::ParsedBackupLine reparsed = hs::ParseBackupLine(again);
        Check(reparsed.record.has_value() && *reparsed.record == *parsed.record, "a record does not read back");
    }
}

// The input as field text, split at the byte 0xFE: the
// encoded line holds no line end and decodes to the same fields.
void EncodeFields(std::string_view text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == '\xFE') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    const std::string line = hs::EncodeBackupFields(fields);
    Check(line.find_first_of("\r\n") == std::string::npos, "an encoded line holds a line end");
    const auto decoded = hs::DecodeBackupFields(line);
    Check(decoded.has_value() && *decoded == fields, "encoded fields do not decode back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    DecodeLine(input);
    EncodeFields(input);
    return 0;
}
