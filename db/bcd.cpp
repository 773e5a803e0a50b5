#include "db/bcd.h"

#include <algorithm>
#include <limits>

namespace db {

int Bcd::digit(int index) const {
    const std::uint8_t byte = fraction[index / 2];
    return index % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

void Bcd::setDigit(int index, int value) {
    std::uint8_t& byte = fraction[index / 2];
    if (index % 2 == 0) {
        byte = static_cast<std::uint8_t>((byte & 0x0F) | (value << 4));
    } else {
        byte = static_cast<std::uint8_t>((byte & 0xF0) | value);
    }
}

std::optional<Bcd> Bcd::fromString(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto point = text.find('.');
    std::string_view integer = text.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (integer.empty() && decimals.empty()) {
        return std::nullopt;
    }
    for (const std::string_view part : {integer, decimals}) {
        for (const char c : part) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
        }
    }
    while (integer.size() > 1 && integer.front() == '0') {
        integer.remove_prefix(1);
    }
    if (integer.empty()) {
        integer = "0";
    }
    const std::size_t digits = integer.size() + decimals.size();
    if (digits > kMaxDigits || decimals.size() > kPlacesMask) {
        return std::nullopt;
    }
    Bcd result;
    result.precision = static_cast<std::uint8_t>(digits);
    int index = 0;
    bool nonZero = false;
    for (const std::string_view part : {integer, decimals}) {
        for (const char c : part) {
            nonZero = nonZero || c != '0';
            result.setDigit(index++, c - '0');
        }
    }
    result.signSpecialPlaces = static_cast<std::uint8_t>(decimals.size());
    if (negative && nonZero) {
        result.signSpecialPlaces |= kNegativeBit;
    }
    return result;
}

Bcd Bcd::fromScaled(std::int64_t value, int scale) {
    // Work on the magnitude as unsigned so that the lowest value has one too.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits;
    while (magnitude > 0) {
        digits += static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    while (digits.size() < static_cast<std::size_t>(scale) + 1) {
        digits += '0';
    }
    std::reverse(digits.begin(), digits.end());
    Bcd result;
    result.precision = static_cast<std::uint8_t>(digits.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        result.setDigit(static_cast<int>(i), digits[i] - '0');
    }
    result.signSpecialPlaces = static_cast<std::uint8_t>(scale);
    if (value < 0) {
        result.signSpecialPlaces |= kNegativeBit;
    }
    return result;
}

std::string Bcd::toString() const {
    const int places = scale();
    const int integerDigits = precision - places;
    std::string text;
    for (int i = 0; i < integerDigits; ++i) {
        const int d = digit(i);
        if (!text.empty() || d != 0) {
            text += static_cast<char>('0' + d);
        }
    }
    if (text.empty()) {
        text.push_back('0');
    }
    if (places > 0) {
        text += '.';
        for (int i = 0; i < places; ++i) {
            // Decimals beyond the stored digits read as zeros.
            const int index = integerDigits + i;
            text += static_cast<char>('0' + (index >= 0 && index < precision ? digit(index) : 0));
        }
    }
    if (negative() && text.find_first_not_of("0.") != std::string::npos) {
        text = '-' + text;
    }
    return text;
}

std::optional<std::int64_t> Bcd::toScaled() const {
    constexpr std::uint64_t kLimit = std::numeric_limits<std::int64_t>::max();
    std::uint64_t magnitude = 0;
    for (int i = 0; i < precision; ++i) {
        const std::uint64_t d = static_cast<std::uint64_t>(digit(i));
        if (magnitude > (kLimit + 1 - d) / 10) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + d;
    }
    if (negative()) {
        if (magnitude > kLimit + 1) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(0 - magnitude);
    }
    if (magnitude > kLimit) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(magnitude);
}

} // namespace db
