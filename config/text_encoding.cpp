#include "config/text_encoding.h"

#include <cstdint>

namespace config {

namespace {

void appendUtf8(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

char16_t unitAt(std::string_view bytes, std::size_t offset) {
    return static_cast<char16_t>(static_cast<uint8_t>(bytes[offset]) |
                                 (static_cast<uint8_t>(bytes[offset + 1]) << 8));
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

bool appendUtf16leAsUtf8(std::string_view bytes, std::string& out) {
    out.reserve(out.size() + bytes.size() / 2);
    std::size_t offset = 0;
    while (offset + 1 < bytes.size()) {
        const char16_t unit = unitAt(bytes, offset);
        offset += 2;
        if (isLowSurrogate(unit)) {
            return false;
        }
        if (!isHighSurrogate(unit)) {
            appendUtf8(unit, out);
            continue;
        }
        if (offset + 1 >= bytes.size()) {
            return false;
        }
        const char16_t low = unitAt(bytes, offset);
        if (!isLowSurrogate(low)) {
            return false;
        }
        offset += 2;
        appendUtf8(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{low} - 0xDC00), out);
    }
    return offset == bytes.size();
}

bool isValidUtf8(std::string_view text, std::size_t& badOffset) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t codePoint = 0;
        char32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
            minimum = 0x10000;
        } else {
            badOffset = i;
            return false;
        }
        if (text.size() - i < length) {
            badOffset = i;
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                badOffset = i;
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < minimum || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            badOffset = i;
            return false;
        }
        i += length;
    }
    return true;
}

} // namespace config
