#pragma once
// Test helper: UTF-8 text to the UTF-16LE bytes a registry editor writes.

#include <cstdint>
#include <string>
#include <string_view>

namespace testing_support {

inline void appendUnit(std::string& out, char32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

// The text must be valid UTF-8.
inline std::string utf16le(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t codePoint = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) {
            codePoint = (codePoint << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        }
        i += length;
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            appendUnit(out, 0xD800 + (codePoint >> 10));
            appendUnit(out, 0xDC00 + (codePoint & 0x3FF));
        } else {
            appendUnit(out, codePoint);
        }
    }
    return out;
}

// The hex bytes of a hex(2) value as the registry editor writes them, e.g.
// "43,00,3a,00,00,00" for "C:" with its terminating zero.
inline std::string hexList(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (char c : bytes) {
        if (!out.empty()) {
            out.push_back(',');
        }
        out.push_back(kDigits[(static_cast<uint8_t>(c) >> 4) & 0xF]);
        out.push_back(kDigits[static_cast<uint8_t>(c) & 0xF]);
    }
    return out;
}

} // namespace testing_support
