// Registry export files: a line parser made of small state handlers, the apply step, and the writer.
#include "platform/reg_file.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

#include "platform/ansi_text.h"
#include "platform/roots.h"

namespace hs {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// regedit breaks a hex list after the comma that takes a line to this many characters.
constexpr std::size_t kHexWrapColumn = 77;
constexpr std::string_view kHexIndent = "  ";

struct ShortRoot {
    std::string_view name;
    RegKey handle;
};

constexpr std::array<ShortRoot, 5> kShortRoots{{
    {"HKLM", kHkeyLocalMachine},
    {"HKCU", kHkeyCurrentUser},
    {"HKCR", kHkeyClassesRoot},
    {"HKU", kHkeyUsers},
    {"HKCC", kHkeyCurrentConfig},
}};

// The roots an export writes: the stored ones, not the classes view.
constexpr std::array<RegKey, 4> kExportRoots{kHkeyLocalMachine, kHkeyCurrentUser, kHkeyUsers, kHkeyCurrentConfig};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

// 1 to maxDigits hex digits and nothing else.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// A short quote of file text for an error message, cut at a character boundary.
std::string Excerpt(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    if (text.size() <= kLongest) return std::string(text);
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "...";
}

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

std::optional<RegKey> RootByName(std::string_view name) {
    for (const auto& root : kRoots) {
        if (EqualsNoCase(root.name, name)) return root.handle;
    }
    for (const auto& root : kShortRoots) {
        if (EqualsNoCase(root.name, name)) return root.handle;
    }
    return std::nullopt;
}

std::string KeyText(RegKey root, std::string_view path) {
    std::string text(RootNameByHandle(root));
    if (!path.empty()) {
        text += '\\';
        text += path;
    }
    return text;
}

std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The file as UTF-8 (or ANSI) text, byte order marks removed.
struct DecodedFile {
    std::string text;
    std::optional<RegFileError> error;
};

DecodedFile DecodeFile(std::string_view bytes) {
    DecodedFile file;
    if (bytes.substr(0, kUtf16Bom.size()) == kUtf16Bom) {
        std::string_view body = bytes.substr(kUtf16Bom.size());
        file.text = Utf16LeToUtf8(body);
        if (body.size() % 2 != 0) {
            std::size_t lines = 1;
            for (char c : file.text) lines += (c == '\n');
            file.error = RegFileError{lines, "the UTF-16 file ends in half a character (an odd number of bytes)"};
        }
    } else if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        file.text = bytes.substr(kUtf8Bom.size());
    } else {
        file.text = bytes;
    }
    return file;
}

// ---- parsing

// Reads the file line by line. Each state handler works on what is left of
// the current line and names the state that goes on from there.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}
    ParsedRegFile Run();

private:
    enum class State {
        Header,
        LineStart,
        KeyLine,
        ValueName,
        DataStart,
        DataType,
        StringData,
        DwordData,
        HexData,
        DeleteValue,
        Done,
        Failed,
    };
    using Handler = State (Parser::*)();

    State Header();
    State LineStart();
    State KeyLine();
    State ValueName();
    State DataStart();
    State DataType();
    State StringData();
    State DwordData();
    State HexData();
    State DeleteValue();

    bool NextLine();
    bool ConsumeNoCase(std::string_view prefix);
    std::optional<std::string> ReadQuoted(std::string& out);
    std::optional<std::string> RegistryKeyPath(std::string_view path, std::string& out) const;
    std::string RegistryText(std::string_view fileText) const;
    State EmitValue(RegFileOperation::Kind kind, std::uint32_t type);
    State Fail(std::string message);

    std::string_view text_;
    std::size_t offset_ = 0;
    std::size_t lineNumber_ = 0;
    std::string_view rest_; // the unread part of the current line, line end removed
    bool keyOpen_ = false;  // values may follow: the last key line created a key
    bool keyDeleted_ = false;
    std::string valueName_;
    std::size_t valueLine_ = 0;
    std::uint32_t hexType_ = kRegNone;
    std::vector<std::uint8_t> data_;
    ParsedRegFile result_;
};

ParsedRegFile Parser::Run() {
    // In the order of State.
    static constexpr std::array<Handler, 10> kHandlers{
        &Parser::Header,   &Parser::LineStart,  &Parser::KeyLine,   &Parser::ValueName, &Parser::DataStart,
        &Parser::DataType, &Parser::StringData, &Parser::DwordData, &Parser::HexData,   &Parser::DeleteValue,
    };
    State state = State::Header;
    while (state != State::Done && state != State::Failed) {
        state = (this->*kHandlers[static_cast<std::size_t>(state)])();
    }
    if (state == State::Failed) result_.operations = {};
    return std::move(result_);
}

bool Parser::NextLine() {
    if (offset_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', offset_);
    if (end == std::string_view::npos) end = text_.size();
    rest_ = text_.substr(offset_, end - offset_);
    if (!rest_.empty() && rest_.back() == '\r') rest_.remove_suffix(1);
    offset_ = end + 1;
    ++lineNumber_;
    return true;
}

bool Parser::ConsumeNoCase(std::string_view prefix) {
    if (rest_.size() < prefix.size() || !EqualsNoCase(rest_.substr(0, prefix.size()), prefix)) return false;
    rest_.remove_prefix(prefix.size());
    return true;
}

// The message quotes file text, which Version 5 reads as UTF-8; like all
// the program's text it is handed out in the ANSI code page.
Parser::State Parser::Fail(std::string message) {
    if (result_.format == RegFileFormat::Version5) message = Utf8ToAnsi(message);
    result_.error = RegFileError{lineNumber_ == 0 ? 1 : lineNumber_, std::move(message)};
    return State::Failed;
}

// The first line that is not blank names the format.
Parser::State Parser::Header() {
    while (NextLine()) {
        std::string_view line = TrimRight(TrimLeft(rest_));
        if (line.empty()) continue;
        if (line == kHeader4) {
            result_.format = RegFileFormat::Regedit4;
            return State::LineStart;
        }
        if (line == kHeader5) {
            result_.format = RegFileFormat::Version5;
            return State::LineStart;
        }
        return Fail("not a registry file: the first line must be \"REGEDIT4\" or "
                    "\"Windows Registry Editor Version 5.00\"");
    }
    return Fail("empty file: expected the line \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
}

// Skips blank and comment lines; the first character picks the next handler.
Parser::State Parser::LineStart() {
    while (NextLine()) {
        rest_ = TrimLeft(rest_);
        if (rest_.empty() || rest_.front() == ';') continue;
        if (rest_.front() == '[') return State::KeyLine;
        if (rest_.front() == '@' || rest_.front() == '"') return State::ValueName;
        return Fail("unrecognised line \"" + Excerpt(rest_) + "\": expected [key], \"name\"=data or @=data");
    }
    return State::Done;
}

// Text of a Version 5 file as the registry port takes it: ANSI, converted
// from the UTF-8 the file was read as. REGEDIT4 text is ANSI already.
std::string Parser::RegistryText(std::string_view fileText) const {
    if (result_.format == RegFileFormat::Version5) return Utf8ToAnsi(fileText);
    return std::string(fileText);
}

// Checks the names of a key path and puts the path as the registry takes it
// into out. Lengths count the bytes the registry is handed.
std::optional<std::string> Parser::RegistryKeyPath(std::string_view path, std::string& out) const {
    out.clear();
    std::size_t depth = 0;
    while (true) {
        std::size_t end = path.find('\\');
        std::string_view name = path.substr(0, end);
        if (name.empty()) return "empty key name in the path (doubled or leading backslash)";
        const std::string registryName = RegistryText(name);
        if (registryName.size() > kMaxKeyNameLength) {
            return "key name \"" + Excerpt(name) + "\" is longer than " + std::to_string(kMaxKeyNameLength) +
                   " characters";
        }
        // The code page may stand in a backslash for a look-alike (U+FF3C and
        // U+2216 in cp1252), which would name another key, in a deletion too.
        if (result_.format == RegFileFormat::Version5 && AnsiToUtf8(registryName).find('\\') != std::string::npos) {
            return "key name \"" + Excerpt(name) + "\" holds a character that the ANSI code page turns into a "
                   "backslash";
        }
        if (name.find('\0') != std::string_view::npos) return "key name holds a NUL character";
        if (++depth > kMaxRegFileKeyDepth) {
            return "key path deeper than " + std::to_string(kMaxRegFileKeyDepth) + " levels";
        }
        if (depth > 1) out += '\\';
        out += registryName;
        if (end == std::string_view::npos) return std::nullopt;
        path.remove_prefix(end + 1);
    }
}

// [ROOT\path] creates a key, [-ROOT\path] deletes one with its subtree. The
// last ']' closes the name, since key names may hold ']' themselves.
Parser::State Parser::KeyLine() {
    const std::size_t close = rest_.rfind(']');
    if (close == std::string_view::npos) return Fail("key line without a closing ]");
    if (!TrimRight(rest_.substr(close + 1)).empty()) {
        return Fail("unexpected text after ]: \"" + Excerpt(rest_.substr(close + 1)) + "\"");
    }
    std::string_view inside = rest_.substr(1, close - 1);
    const bool remove = !inside.empty() && inside.front() == '-';
    if (remove) inside.remove_prefix(1);

    const std::size_t slash = inside.find('\\');
    const std::string_view rootName = inside.substr(0, slash);
    const std::optional<RegKey> root = RootByName(rootName);
    if (!root) return Fail("unknown root key \"" + Excerpt(rootName) + "\"");
    std::string path;
    if (slash != std::string_view::npos) {
        std::string_view filePath = inside.substr(slash + 1);
        if (!filePath.empty() && filePath.back() == '\\') filePath.remove_suffix(1);
        if (!filePath.empty()) {
            if (auto problem = RegistryKeyPath(filePath, path)) return Fail(std::move(*problem));
        }
    }
    if (remove && path.empty()) return Fail("a root key cannot be deleted");

    RegFileOperation op;
    op.kind = remove ? RegFileOperation::Kind::DeleteKey : RegFileOperation::Kind::CreateKey;
    op.line = lineNumber_;
    op.root = *root;
    op.path = std::move(path);
    result_.operations.push_back(std::move(op));
    keyOpen_ = !remove;
    keyDeleted_ = remove;
    return State::LineStart;
}

// Reads a quoted text up to its closing quote (already past the opening
// one). Only \\ and \" are escapes: anything else after a backslash is
// refused rather than guessed at.
std::optional<std::string> Parser::ReadQuoted(std::string& out) {
    out.clear();
    while (!rest_.empty()) {
        const std::size_t stop = rest_.find_first_of("\"\\");
        if (stop == std::string_view::npos) break;
        out.append(rest_.substr(0, stop));
        const char c = rest_[stop];
        rest_.remove_prefix(stop + 1);
        if (c == '"') return std::nullopt;
        if (rest_.empty()) break;
        const char escaped = rest_.front();
        if (escaped != '\\' && escaped != '"') {
            return "unknown escape \\" + std::string(1, escaped) + " in a quoted text (only \\\\ and \\\" are allowed)";
        }
        out += escaped;
        rest_.remove_prefix(1);
    }
    return "unterminated string: no closing \" on the line";
}

// "name" or @, the unnamed value.
Parser::State Parser::ValueName() {
    if (!keyOpen_) {
        return Fail(keyDeleted_ ? "value line after a key deletion: values need a [key] line before them"
                                : "value line before any [key] line");
    }
    valueLine_ = lineNumber_;
    const bool unnamed = rest_.front() == '@';
    rest_.remove_prefix(1);
    if (unnamed) {
        valueName_.clear();
        return State::DataStart;
    }
    if (auto problem = ReadQuoted(valueName_)) return Fail("value name: " + *problem);
    valueName_ = RegistryText(valueName_);
    if (valueName_.size() > kMaxValueNameLength) {
        return Fail("value name longer than " + std::to_string(kMaxValueNameLength) + " characters");
    }
    if (valueName_.find('\0') != std::string::npos) return Fail("value name holds a NUL character");
    return State::DataStart;
}

// '=' and the first character of the data.
Parser::State Parser::DataStart() {
    rest_ = TrimLeft(rest_);
    if (rest_.empty() || rest_.front() != '=') return Fail("expected = after the value name");
    rest_ = TrimLeft(rest_.substr(1));
    if (rest_.empty()) return Fail("missing value data after =");
    if (rest_.front() == '-') {
        rest_.remove_prefix(1);
        return State::DeleteValue;
    }
    if (rest_.front() == '"') {
        rest_.remove_prefix(1);
        return State::StringData;
    }
    return State::DataType;
}

// dword:, hex: or hex(n):
Parser::State Parser::DataType() {
    if (ConsumeNoCase("dword:")) return State::DwordData;
    if (ConsumeNoCase("hex:")) {
        hexType_ = kRegBinary;
        return State::HexData;
    }
    if (ConsumeNoCase("hex(")) {
        const std::size_t close = rest_.find(')');
        std::optional<std::uint32_t> type;
        if (close != std::string_view::npos) type = ParseHexNumber(rest_.substr(0, close), 8);
        if (!type || close + 1 >= rest_.size() || rest_[close + 1] != ':') {
            return Fail("bad value type: expected hex(n): with n of 1 to 8 hex digits");
        }
        hexType_ = *type;
        rest_.remove_prefix(close + 2);
        return State::HexData;
    }
    return Fail("unknown value data \"" + Excerpt(rest_) + "\": expected \"text\", dword:, hex:, hex(n): or -");
}

// "text": REG_SZ, stored with its terminating NUL as regedit stores it.
Parser::State Parser::StringData() {
    std::string text;
    if (auto problem = ReadQuoted(text)) return Fail(std::move(*problem));
    if (!TrimRight(rest_).empty()) return Fail("unexpected text after the closing \": \"" + Excerpt(rest_) + "\"");
    text = RegistryText(text);
    data_.assign(text.begin(), text.end());
    data_.push_back(0);
    return EmitValue(RegFileOperation::Kind::SetValue, kRegSz);
}

// dword:xxxxxxxx, stored little-endian.
Parser::State Parser::DwordData() {
    const std::optional<std::uint32_t> value = ParseHexNumber(TrimRight(rest_), 8);
    if (!value) return Fail("bad dword: expected 1 to 8 hex digits after dword:");
    data_ = {static_cast<std::uint8_t>(*value), static_cast<std::uint8_t>(*value >> 8),
             static_cast<std::uint8_t>(*value >> 16), static_cast<std::uint8_t>(*value >> 24)};
    return EmitValue(RegFileOperation::Kind::SetValue, kRegDword);
}

// Comma-separated bytes of one or two hex digits; a backslash ending a line
// continues the list on the next one. A trailing comma is tolerated.
Parser::State Parser::HexData() {
    data_.clear();
    while (true) {
        rest_ = TrimLeft(rest_);
        if (rest_.empty()) break;
        if (rest_.front() == '\\' && TrimRight(rest_.substr(1)).empty()) {
            if (!NextLine()) return Fail("the file ends inside a hex list continued with \\");
            continue;
        }
        const int high = HexDigit(rest_.front());
        if (high < 0) return Fail("bad hex byte \"" + Excerpt(rest_) + "\"");
        int value = high;
        rest_.remove_prefix(1);
        if (!rest_.empty() && HexDigit(rest_.front()) >= 0) {
            value = value * 16 + HexDigit(rest_.front());
            rest_.remove_prefix(1);
        }
        data_.push_back(static_cast<std::uint8_t>(value));
        rest_ = TrimLeft(rest_);
        if (rest_.empty() || rest_.front() == '\\') continue;
        if (rest_.front() != ',') return Fail("bad hex list: expected a comma at \"" + Excerpt(rest_) + "\"");
        rest_.remove_prefix(1);
    }
    // Version 5 writes string data as UTF-16LE; the registry takes ANSI.
    if (result_.format == RegFileFormat::Version5 && IsStringType(hexType_)) {
        const std::string text = Utf16LeToAnsi(AsText(data_));
        data_.assign(text.begin(), text.end());
    }
    return EmitValue(RegFileOperation::Kind::SetValue, hexType_);
}

// =-, deleting the value.
Parser::State Parser::DeleteValue() {
    if (!TrimRight(rest_).empty()) return Fail("unexpected text after =-: \"" + Excerpt(rest_) + "\"");
    data_.clear();
    return EmitValue(RegFileOperation::Kind::DeleteValue, kRegNone);
}

Parser::State Parser::EmitValue(RegFileOperation::Kind kind, std::uint32_t type) {
    if (data_.size() > std::numeric_limits<std::uint32_t>::max()) return Fail("value data larger than 4 GB");
    RegFileOperation op;
    op.kind = kind;
    op.line = valueLine_;
    op.name = valueName_;
    op.type = type;
    op.data = std::move(data_);
    data_ = {};
    result_.operations.push_back(std::move(op));
    return State::LineStart;
}

// ---- writing

// Collects the file text with CR LF line ends: ANSI for REGEDIT4, UTF-8
// for Version 5 until Finish makes it UTF-16LE. Registry text enters through
// Text, and is escaped only after that, as a DBCS character may hold a byte
// that looks like a backslash.
class Writer {
public:
    explicit Writer(RegFileFormat format) : format_(format) {}

    // Registry (ANSI) text as this format writes it.
    std::string Text(std::string_view ansi) const {
        return format_ == RegFileFormat::Regedit4 ? std::string(ansi) : AnsiToUtf8(ansi);
    }

    void Line(std::string_view text) {
        out_ += text;
        out_ += kLineEnd;
    }

    void Value(std::string_view name, std::uint32_t type, const std::vector<std::uint8_t>& data);

    std::string Finish() {
        if (format_ == RegFileFormat::Regedit4) return std::move(out_);
        return std::string(kUtf16Bom) + Utf8ToUtf16Le(out_);
    }

private:
    // Characters of text as this format counts them.
    std::size_t Width(std::string_view text) const {
        return format_ == RegFileFormat::Regedit4 ? text.size() : Utf8ToUtf16Le(text).size() / 2;
    }
    void HexList(std::string line, std::string_view bytes);

    RegFileFormat format_;
    std::string out_;
};

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// REG_SZ data that a quoted text gives back unchanged: one final NUL, no
// other NUL, and no line break.
bool IsPlainText(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) return false;
    std::string_view text = AsText(data);
    text.remove_suffix(1);
    return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

void Writer::Value(std::string_view name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    std::string line = name.empty() ? std::string("@=") : "\"" + Escape(Text(name)) + "\"=";
    if (type == kRegSz && IsPlainText(data)) {
        std::string_view text = AsText(data);
        text.remove_suffix(1);
        Line(line + "\"" + Escape(Text(text)) + "\"");
        return;
    }
    if (type == kRegDword && data.size() == 4) {
        const std::uint32_t value = data[0] | (data[1] << 8) | (data[2] << 16) | (std::uint32_t{data[3]} << 24);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value));
        Line(line + "dword:" + digits);
        return;
    }
    if (type == kRegBinary) {
        line += "hex:";
    } else {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(type));
        line += "hex(" + std::string(digits) + "):";
    }
    if (format_ == RegFileFormat::Version5 && IsStringType(type)) {
        HexList(std::move(line), AnsiToUtf16Le(AsText(data)));
    } else {
        HexList(std::move(line), AsText(data));
    }
}

// Bytes as "xx,xx,...", wrapped with a backslash and an indented next line
// where regedit wraps them.
void Writer::HexList(std::string line, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::size_t column = Width(line);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
        if (i + 1 == bytes.size()) break;
        line += ',';
        column += 3;
        if (column >= kHexWrapColumn) {
            line += '\\';
            Line(line);
            line = kHexIndent;
            column = kHexIndent.size();
        }
    }
    Line(line);
}

// A name that fits on one line of the file.
bool IsWritableName(std::string_view name) {
    return name.find('\n') == std::string_view::npos;
}

// Walks the registry through the port and hands what it finds to a Writer.
// The enumeration buffers are the sizes the limits call for, allocated once.
class Exporter {
public:
    Exporter(Registry& registry, Writer& writer) : registry_(registry), writer_(writer) {}

    // One root and everything below it, depth first. An explicit stack, as a
    // registry may nest deeper than the call stack would like.
    void WriteTree(RegKey root);

private:
    struct Frame {
        RegKey key;
        std::string path;                  // as the file writes it
        std::vector<std::string> children; // as the registry names them
        std::size_t next = 0;
    };

    void Enter(RegKey key, std::string path);
    std::vector<std::string> SubkeyNames(RegKey key);
    void WriteValues(RegKey key);
    bool ReadValue(RegKey key, const std::string& name, std::uint32_t& type);

    Registry& registry_;
    Writer& writer_;
    std::vector<Frame> stack_;
    std::vector<char> keyName_ = std::vector<char>(kMaxKeyNameLength + 1);
    // Not zero-filled: only what the registry writes into it is read.
    std::unique_ptr<char[]> valueName_ = std::make_unique_for_overwrite<char[]>(kMaxValueNameLength + 1);
    std::vector<std::uint8_t> data_;
};

void Exporter::WriteTree(RegKey root) {
    RegKey rootKey = 0;
    if (registry_.OpenKeyEx(root, nullptr, kKeyRead, &rootKey) != kErrorSuccess) return;
    Enter(rootKey, std::string(RootNameByHandle(root)));
    while (!stack_.empty()) {
        Frame& top = stack_.back();
        if (top.next == top.children.size()) {
            (void)registry_.CloseKey(top.key);
            stack_.pop_back();
            continue;
        }
        const std::string& name = top.children[top.next++];
        RegKey child = 0;
        if (registry_.OpenKeyEx(top.key, name.c_str(), kKeyRead, &child) != kErrorSuccess) continue;
        Enter(child, top.path + '\\' + writer_.Text(name));
    }
}

// Writes the key's line and values, then stacks its subkeys.
void Exporter::Enter(RegKey key, std::string path) {
    writer_.Line("[" + path + "]");
    WriteValues(key);
    writer_.Line("");
    stack_.push_back(Frame{key, std::move(path), SubkeyNames(key)});
}

std::vector<std::string> Exporter::SubkeyNames(RegKey key) {
    std::vector<std::string> names;
    for (std::uint32_t index = 0;; ++index) {
        auto length = static_cast<std::uint32_t>(keyName_.size());
        const RegStatus status = registry_.EnumKeyEx(key, index, keyName_.data(), &length, nullptr, nullptr);
        if (status == kErrorMoreData) continue; // longer than any key line may name
        if (status != kErrorSuccess) break;
        std::string_view name(keyName_.data(), length);
        if (!name.empty() && IsWritableName(name)) names.emplace_back(name);
    }
    return names;
}

void Exporter::WriteValues(RegKey key) {
    for (std::uint32_t index = 0;; ++index) {
        auto nameLength = static_cast<std::uint32_t>(kMaxValueNameLength + 1);
        const RegStatus status =
            registry_.EnumValue(key, index, valueName_.get(), &nameLength, nullptr, nullptr, nullptr);
        if (status == kErrorMoreData) continue;
        if (status != kErrorSuccess) break;
        const std::string name(valueName_.get(), nameLength);
        std::uint32_t type = kRegNone;
        if (IsWritableName(name) && ReadValue(key, name, type)) writer_.Value(name, type, data_);
    }
}

// The type and data of one value into data_, sized first by a query without
// a buffer, as the data may be of any size.
bool Exporter::ReadValue(RegKey key, const std::string& name, std::uint32_t& type) {
    // A few tries, in case the value grows between the two calls.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t size = 0;
        if (registry_.QueryValueEx(key, name.c_str(), &type, nullptr, &size) != kErrorSuccess) return false;
        data_.resize(std::size_t{size} + 1); // never empty, so the buffer pointer is never null
        std::uint32_t length = size;
        const RegStatus status = registry_.QueryValueEx(key, name.c_str(), &type, data_.data(), &length);
        if (status == kErrorMoreData) continue;
        if (status != kErrorSuccess) return false;
        data_.resize(length);
        return true;
    }
    return false;
}

} // namespace

ParsedRegFile ParseRegFile(std::string_view fileBytes) {
    DecodedFile file = DecodeFile(fileBytes);
    if (file.error) {
        ParsedRegFile failed;
        failed.error = std::move(file.error);
        return failed;
    }
    return Parser(file.text).Run();
}

std::optional<RegFileError> ApplyRegFile(Registry& registry, const std::vector<RegFileOperation>& operations) {
    using Kind = RegFileOperation::Kind;
    std::optional<RegFileError> first;
    auto note = [&first](const RegFileOperation& op, const std::string& what, RegStatus status) {
        if (!first) first = RegFileError{op.line, what + " (error " + std::to_string(status) + ")"};
    };
    RegKey current = 0;
    const RegFileOperation* currentKey = nullptr;
    auto closeCurrent = [&] {
        if (current != 0) (void)registry.CloseKey(current);
        current = 0;
    };
    std::vector<std::uint8_t> buffer;
    for (const RegFileOperation& op : operations) {
        switch (op.kind) {
        case Kind::DeleteKey: {
            closeCurrent();
            const RegStatus status = registry.DeleteTree(op.root, op.path.c_str());
            if (status != kErrorSuccess && status != kErrorFileNotFound) {
                note(op, "cannot delete key " + KeyText(op.root, op.path), status);
            }
            break;
        }
        case Kind::CreateKey: {
            closeCurrent();
            currentKey = &op;
            RegKey key = 0;
            const RegStatus status = registry.CreateKeyEx(op.root, op.path.c_str(), kKeyAllAccess, &key, nullptr);
            if (status == kErrorSuccess) {
                current = key;
            } else {
                note(op, "cannot create key " + KeyText(op.root, op.path), status);
            }
            break;
        }
        case Kind::SetValue: {
            if (current == 0) break;
            // A byte after the data that is not NUL: string data is then
            // stored exactly as given, never with a NUL taken from past its end.
            buffer.assign(op.data.begin(), op.data.end());
            buffer.push_back(0xFF);
            const RegStatus status = registry.SetValueEx(current, op.name.c_str(), op.type, buffer.data(),
                                                         static_cast<std::uint32_t>(op.data.size()));
            if (status != kErrorSuccess) {
                note(op, "cannot set value \"" + op.name + "\" of " + KeyText(currentKey->root, currentKey->path),
                     status);
            }
            break;
        }
        case Kind::DeleteValue: {
            if (current == 0) break;
            const RegStatus status = registry.DeleteValue(current, op.name.c_str());
            if (status != kErrorSuccess && status != kErrorFileNotFound) {
                note(op, "cannot delete value \"" + op.name + "\" of " + KeyText(currentKey->root, currentKey->path),
                     status);
            }
            break;
        }
        }
    }
    closeCurrent();
    return first;
}

std::optional<RegFileError> ImportRegFile(Registry& registry, std::string_view fileBytes) {
    ParsedRegFile parsed = ParseRegFile(fileBytes);
    if (parsed.error) return parsed.error;
    return ApplyRegFile(registry, parsed.operations);
}

std::string ExportRegFile(Registry& registry, RegFileFormat format) {
    Writer writer(format);
    writer.Line(format == RegFileFormat::Regedit4 ? kHeader4 : kHeader5);
    writer.Line("");
    Exporter exporter(registry, writer);
    for (RegKey root : kExportRoots) exporter.WriteTree(root);
    return writer.Finish();
}

std::optional<RegFileError> ImportRegFileFromPath(Registry& registry, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return RegFileError{0, "cannot open " + path};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return RegFileError{0, "cannot read " + path};
    return ImportRegFile(registry, bytes);
}

bool ExportRegFileToPath(Registry& registry, const std::string& path, RegFileFormat format) {
    const std::string text = ExportRegFile(registry, format);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            (void)std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    // Windows does not rename over an existing file; the new text stays in
    // the temporary file should this second attempt fail too.
    (void)std::remove(path.c_str());
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace hs
