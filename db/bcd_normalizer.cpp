#include "db/bcd_normalizer.h"

#include <algorithm>
#include <string>

namespace db {

std::optional<Bcd> BcdNormalizer::normalize(const Bcd& value, int precision, int scale) {
    if (precision < 0 || scale < 0 || scale > precision || precision > Bcd::MaxDigits ||
        scale > Bcd::PlacesMask) {
        return std::nullopt;
    }
    const int places = std::min<int>(value.scale(), value.precision);
    const int integerDigits = value.precision - places;
    std::string integer;
    for (int i = 0; i < integerDigits; ++i) {
        if (!integer.empty() || value.digit(i) != 0) {
            integer += static_cast<char>('0' + value.digit(i));
        }
    }
    std::string decimals;
    for (int i = integerDigits; i < value.precision; ++i) {
        decimals += static_cast<char>('0' + value.digit(i));
    }
    bool roundUp = false;
    if (static_cast<int>(decimals.size()) > scale) {
        roundUp = decimals[static_cast<std::size_t>(scale)] >= '5';
        decimals.resize(static_cast<std::size_t>(scale));
    }
    decimals.resize(static_cast<std::size_t>(scale), '0');
    std::string digits = integer + decimals;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
            digits[static_cast<std::size_t>(i--)] = '0';
        }
        if (i >= 0) {
            ++digits[static_cast<std::size_t>(i)];
        } else {
            digits.insert(digits.begin(), '1');
        }
    }
    if (static_cast<int>(digits.size()) > precision) {
        return std::nullopt;
    }
    digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
    Bcd result;
    result.precision = static_cast<std::uint8_t>(precision);
    bool nonZero = false;
    for (int i = 0; i < precision; ++i) {
        const int d = digits[static_cast<std::size_t>(i)] - '0';
        nonZero = nonZero || d != 0;
        result.setDigit(i, d);
    }
    result.signSpecialPlaces = static_cast<std::uint8_t>(scale);
    if (value.negative() && nonZero) {
        result.signSpecialPlaces |= Bcd::NegativeBit;
    }
    return result;
}

} // namespace db
