#include "config/registry_parser.h"

#include "config/text_encoding.h"
#include "platform/text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace config {

namespace {

constexpr std::string_view kHeaderVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderRegedit4 = "REGEDIT4";

constexpr std::string_view kMalformedFile = "Malformed registry file";
constexpr std::string_view kMissingHeader =
    "missing header \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"";
constexpr std::string_view kBigEndianText =
    "UTF-16 big-endian text is not supported; save the file as UTF-8 or UTF-16LE";
constexpr std::string_view kBadUtf16File = "invalid UTF-16 text";
constexpr std::string_view kBadUtf8File = "invalid UTF-8 text";
constexpr std::string_view kBadLine = "line is neither a key, a value nor a comment";
constexpr std::string_view kUnterminatedKey = "key name without a closing ']'";
constexpr std::string_view kEmptyKey = "empty key name";
constexpr std::string_view kKeyDeletion = "key deletions are not supported";
constexpr std::string_view kValueDeletion = "value deletions are not supported";
constexpr std::string_view kValueOutsideKey = "value before the first key";
constexpr std::string_view kMissingEquals = "expected '=' after the value name";
constexpr std::string_view kUnterminatedString = "unterminated string";
constexpr std::string_view kUnknownEscape =
    "unknown escape sequence in a string (only \\\\ and \\\" are allowed)";
constexpr std::string_view kTrailingText = "unexpected text after the value";
constexpr std::string_view kUnknownType = "unknown value type";
constexpr std::string_view kBadDword = "bad dword value (expected 1 to 8 hex digits)";
constexpr std::string_view kBadHexType = "bad type number in hex(...)";
constexpr std::string_view kBadHex = "bad hex data (expected hex bytes separated by commas)";
constexpr std::string_view kContinuationAtEnd = "hex data continued past the end of the file";
constexpr std::string_view kBadUtf16Value = "string value is not valid UTF-16LE text";
constexpr std::string_view kBadUtf8Value = "string value is not valid UTF-8 text";

// Registry type numbers as hex(N) writes them, and the types they stand for.
struct TypeNumber {
    uint32_t number;
    RegistryValueType type;
};
constexpr TypeNumber kTypeNumbers[] = {
    {0, RegistryValueType::None},         {1, RegistryValueType::String},
    {2, RegistryValueType::ExpandString}, {3, RegistryValueType::Binary},
    {4, RegistryValueType::DWord},        {7, RegistryValueType::MultiString},
    {11, RegistryValueType::QWord},
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view text) {
    return platform::trimmedStart(text, isBlank);
}

std::string_view trimRight(std::string_view text) {
    return platform::trimmedEnd(text, isBlank);
}

std::string_view trim(std::string_view text) {
    return platform::trimmed(text, isBlank);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// 1 to maxDigits hex digits and nothing else.
std::optional<uint32_t> parseHexNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) {
        return std::nullopt;
    }
    uint32_t number = 0;
    for (char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        number = (number << 4) | static_cast<uint32_t>(digit);
    }
    return number;
}

std::size_t lineOfOffset(std::string_view text, std::size_t offset) {
    const std::string_view before = text.substr(0, offset);
    return static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

RegistryValueType typeOfNumber(uint32_t number) {
    for (const TypeNumber& known : kTypeNumbers) {
        if (known.number == number) {
            return known.type;
        }
    }
    return RegistryValueType::Other;
}

class Parser {
public:
    explicit Parser(std::string_view source) : source_(source) {}

    RegistryKeys run(std::string_view bytes) {
        decode(bytes);
        splitLines();
        const std::string_view header = lines_.empty() ? std::string_view{} : trimRight(lines_[0]);
        if (header != kHeaderVersion5 && header != kHeaderRegedit4) {
            fail(0, kMissingHeader);
        }
        utf16Strings_ = header == kHeaderVersion5;
        for (lineIndex_ = 1; lineIndex_ < lines_.size(); ++lineIndex_) {
            const std::string_view line = trim(lines_[lineIndex_]);
            if (line.empty() || line.front() == ';') {
                continue;
            }
            if (line.front() == '[') {
                parseKeyLine(line);
            } else if (line.front() == '"' || line.front() == '@') {
                parseValueLine(line);
            } else {
                fail(lineIndex_, kBadLine);
            }
        }
        return std::move(keys_);
    }

private:
    [[noreturn]] void fail(std::size_t lineIndex, std::string_view problem) const {
        std::string message(kMalformedFile);
        if (!source_.empty()) {
            message.append(" '").append(source_).append("'");
        }
        message.append(", line ").append(std::to_string(lineIndex + 1)).append(": ");
        message.append(problem);
        throw RegistryError(message);
    }

    // Brings the file's bytes to UTF-8 text in text_.
    void decode(std::string_view bytes) {
        if (bytes.starts_with("\xFF\xFE")) {
            if (!appendUtf16leAsUtf8(bytes.substr(2), text_)) {
                fail(lineOfOffset(text_, text_.size()), kBadUtf16File);
            }
            return;
        }
        if (bytes.starts_with("\xFE\xFF")) {
            fail(0, kBigEndianText);
        }
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            bytes.remove_prefix(3);
        }
        std::size_t badOffset = 0;
        if (!isValidUtf8(bytes, badOffset)) {
            fail(lineOfOffset(bytes, badOffset), kBadUtf8File);
        }
        text_.assign(bytes);
    }

    // CR LF, LF and a lone CR each end a line.
    void splitLines() {
        const std::string_view text = text_;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                lines_.push_back(text.substr(start));
                break;
            }
            lines_.push_back(text.substr(start, end - start));
            start = end + 1;
            if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
                ++start;
            }
        }
    }

    void parseKeyLine(std::string_view line) {
        if (line.size() < 2 || line.back() != ']') {
            fail(lineIndex_, kUnterminatedKey);
        }
        const std::string_view name = line.substr(1, line.size() - 2);
        if (name.starts_with('-')) {
            fail(lineIndex_, kKeyDeletion);
        }
        std::string key = normalizeKeyPath(name);
        if (key.empty()) {
            fail(lineIndex_, kEmptyKey);
        }
        currentKey_ = &keys_[std::move(key)];
    }

    void parseValueLine(std::string_view line) {
        if (currentKey_ == nullptr) {
            fail(lineIndex_, kValueOutsideKey);
        }
        const std::size_t firstLine = lineIndex_;
        std::size_t pos = 0;
        std::string name;
        if (line.front() == '@') {
            pos = 1;
        } else {
            name = readQuoted(line, pos);
        }
        const std::string_view rest = trimLeft(line.substr(pos));
        if (rest.empty() || rest.front() != '=') {
            fail(lineIndex_, kMissingEquals);
        }
        RegistryValue value = parseData(trimLeft(rest.substr(1)), firstLine);
        (*currentKey_)[normalizeValueName(name)] = std::move(value);
    }

    // A quoted text starting at line[pos]; leaves pos after the closing quote.
    std::string readQuoted(std::string_view line, std::size_t& pos) const {
        std::string text;
        for (++pos; pos < line.size(); ++pos) {
            const char c = line[pos];
            if (c == '"') {
                ++pos;
                return text;
            }
            if (c == '\\') {
                if (pos + 1 >= line.size()) {
                    break;
                }
                const char escaped = line[++pos];
                if (escaped != '\\' && escaped != '"') {
                    fail(lineIndex_, kUnknownEscape);
                }
                text.push_back(escaped);
            } else {
                text.push_back(c);
            }
        }
        fail(lineIndex_, kUnterminatedString);
    }

    RegistryValue parseData(std::string_view data, std::size_t firstLine) {
        RegistryValue value;
        if (data.starts_with('"')) {
            std::size_t pos = 0;
            std::string text = readQuoted(data, pos);
            if (!trim(data.substr(pos)).empty()) {
                fail(lineIndex_, kTrailingText);
            }
            value.type = RegistryValueType::String;
            value.text = text.substr(0, text.find('\0'));
            return value;
        }
        if (data == "-") {
            fail(lineIndex_, kValueDeletion);
        }
        if (platform::startsWithIgnoreCase(data, "dword:")) {
            const std::optional<uint32_t> number = parseHexNumber(trim(data.substr(6)), 8);
            if (!number) {
                fail(lineIndex_, kBadDword);
            }
            value.type = RegistryValueType::DWord;
            for (int shift = 0; shift < 32; shift += 8) {
                value.bytes.push_back(static_cast<uint8_t>(*number >> shift));
            }
            return value;
        }
        if (platform::startsWithIgnoreCase(data, "hex:")) {
            value.type = RegistryValueType::Binary;
            value.bytes = readHexBytes(data.substr(4));
            return value;
        }
        if (platform::startsWithIgnoreCase(data, "hex(")) {
            const std::size_t close = data.find(')');
            if (close == std::string_view::npos || close + 1 >= data.size() ||
                data[close + 1] != ':') {
                fail(lineIndex_, kBadHexType);
            }
            const std::optional<uint32_t> number = parseHexNumber(data.substr(4, close - 4), 8);
            if (!number) {
                fail(lineIndex_, kBadHexType);
            }
            value.type = typeOfNumber(*number);
            std::vector<uint8_t> bytes = readHexBytes(data.substr(close + 2));
            if (value.type == RegistryValueType::String ||
                value.type == RegistryValueType::ExpandString) {
                value.text = decodeStringBytes(bytes, firstLine);
            } else {
                value.bytes = std::move(bytes);
            }
            return value;
        }
        fail(lineIndex_, describeUnknownType(data));
    }

    static std::string describeUnknownType(std::string_view data) {
        std::string problem(kUnknownType);
        const std::string_view name = data.substr(0, data.find(':'));
        const bool printable = std::all_of(name.begin(), name.end(),
                                           [](char c) { return c > ' ' && c < 0x7F && c != '\''; });
        if (!name.empty() && name.size() <= 16 && printable) {
            problem.append(" '").append(name).append("'");
        }
        return problem;
    }

    // Comma-separated hex bytes; a line ending in a backslash goes on in the
    // next line.
    std::vector<uint8_t> readHexBytes(std::string_view segment) {
        std::vector<uint8_t> bytes;
        for (;;) {
            segment = trim(segment);
            const bool continued = segment.ends_with('\\');
            if (continued) {
                segment.remove_suffix(1);
            }
            readHexSegment(trim(segment), continued, bytes);
            if (!continued) {
                return bytes;
            }
            if (lineIndex_ + 1 >= lines_.size()) {
                fail(lineIndex_, kContinuationAtEnd);
            }
            segment = lines_[++lineIndex_];
        }
    }

    void readHexSegment(std::string_view segment, bool continued,
                        std::vector<uint8_t>& bytes) const {
        if (segment.empty()) {
            return;
        }
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = segment.find(',', start);
            const bool last = comma == std::string_view::npos;
            const std::string_view token =
                trim(segment.substr(start, last ? std::string_view::npos : comma - start));
            // Only the comma that precedes a line continuation may have
            // nothing after it.
            if (token.empty() && last && continued) {
                return;
            }
            const std::optional<uint32_t> byte = parseHexNumber(token, 2);
            if (!byte) {
                fail(lineIndex_, kBadHex);
            }
            bytes.push_back(static_cast<uint8_t>(*byte));
            if (last) {
                return;
            }
            start = comma + 1;
        }
    }

    // The text of a string value written as hex: UTF-16LE in version 5 files,
    // 8-bit (here UTF-8) in REGEDIT4 files; it ends at its first zero.
    std::string decodeStringBytes(const std::vector<uint8_t>& bytes, std::size_t firstLine) const {
        const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        std::string text;
        if (utf16Strings_) {
            std::size_t end = 0;
            while (end + 1 < raw.size() && (raw[end] != '\0' || raw[end + 1] != '\0')) {
                end += 2;
            }
            if (end + 1 >= raw.size()) {
                end = raw.size();
            }
            if (!appendUtf16leAsUtf8(raw.substr(0, end), text)) {
                fail(firstLine, kBadUtf16Value);
            }
            return text;
        }
        text.assign(raw.substr(0, raw.find('\0')));
        std::size_t badOffset = 0;
        if (!isValidUtf8(text, badOffset)) {
            fail(firstLine, kBadUtf8Value);
        }
        return text;
    }

    std::string_view source_;
    std::string text_;
    std::vector<std::string_view> lines_;
    std::size_t lineIndex_ = 0;
    bool utf16Strings_ = true;
    RegistryKeys keys_;
    std::map<std::string, RegistryValue>* currentKey_ = nullptr;
};

} // namespace

RegistryKeys parseRegistryExport(std::string_view bytes, std::string_view source) {
    return Parser(source).run(bytes);
}

std::string normalizeKeyPath(std::string_view keyPath) {
    std::string normalized;
    normalized.reserve(keyPath.size());
    std::size_t start = 0;
    while (start <= keyPath.size()) {
        std::size_t end = keyPath.find('\\', start);
        if (end == std::string_view::npos) {
            end = keyPath.size();
        }
        if (end > start) {
            if (!normalized.empty()) {
                normalized.push_back('\\');
            }
            for (std::size_t i = start; i < end; ++i) {
                normalized.push_back(platform::upperAscii(keyPath[i]));
            }
        }
        start = end + 1;
    }
    return normalized;
}

std::string normalizeValueName(std::string_view name) {
    std::string normalized(name);
    std::transform(normalized.begin(), normalized.end(), normalized.begin(), platform::upperAscii);
    return normalized;
}

} // namespace config
