#include "db/bcd_normalizer.h"

#include <algorithm>
#include <cstring>

namespace db {

std::optional<Bcd> BcdNormalizer::normalize(const Bcd& value, int precision, int scale) {
    if (precision < 0 || scale < 0 || scale > precision || precision > Bcd::kMaxDigits ||
        scale > Bcd::kPlacesMask) {
        return std::nullopt;
    }
    if (value.scale() == scale && value.precision >= scale && value.precision <= precision) {
        // Already of the field's scale: the digits only move right, behind
        // the zeros that pad them to the field's precision, a byte or half a
        // byte at a time.
        Bcd result;
        result.precision = static_cast<std::uint8_t>(precision);
        const int pad = precision - value.precision;
        const int bytes = (value.precision + 1) / 2;
        std::uint8_t digits[sizeof value.fraction];
        std::memcpy(digits, value.fraction, static_cast<std::size_t>(bytes));
        if (value.precision % 2 != 0) {
            // The half byte past the last digit is no digit.
            digits[bytes - 1] &= 0xF0;
        }
        bool nonZero = false;
        for (int i = 0; i < bytes; ++i) {
            nonZero = nonZero || digits[i] != 0;
        }
        std::uint8_t* target = result.fraction + pad / 2;
        if (pad % 2 == 0) {
            std::memcpy(target, digits, static_cast<std::size_t>(bytes));
        } else {
            std::uint8_t carry = 0;
            for (int i = 0; i < bytes; ++i) {
                target[i] = static_cast<std::uint8_t>(carry | (digits[i] >> 4));
                carry = static_cast<std::uint8_t>(digits[i] << 4);
            }
            if (carry != 0) {
                target[bytes] = carry;
            }
        }
        result.signSpecialPlaces = static_cast<std::uint8_t>(scale);
        if (value.negative() && nonZero) {
            result.signSpecialPlaces |= Bcd::kNegativeBit;
        }
        return result;
    }
    const int places = std::min<int>(value.scale(), value.precision);
    const int integerDigits = value.precision - places;
    // The integer digits without leading zeros, then the decimals cut or
    // padded to the scale; one more place for a carry of the rounding.
    int digits[Bcd::kMaxDigits + Bcd::kPlacesMask + 2];
    int count = 0;
    int i = 0;
    while (i < integerDigits && value.digit(i) == 0) {
        ++i;
    }
    for (; i < integerDigits; ++i) {
        // Digits are only ever added: too many integer digits never fit.
        if (count == precision) {
            return std::nullopt;
        }
        digits[count++] = value.digit(i);
    }
    const int kept = std::min(places, scale);
    for (int k = 0; k < kept; ++k) {
        digits[count++] = value.digit(integerDigits + k);
    }
    const bool roundUp = places > scale && value.digit(integerDigits + scale) >= 5;
    for (int k = kept; k < scale; ++k) {
        digits[count++] = 0;
    }
    if (roundUp) {
        int at = count - 1;
        while (at >= 0 && digits[at] == 9) {
            digits[at--] = 0;
        }
        if (at >= 0) {
            ++digits[at];
        } else {
            std::copy_backward(digits, digits + count, digits + count + 1);
            digits[0] = 1;
            ++count;
        }
    }
    if (count > precision) {
        return std::nullopt;
    }
    Bcd result;
    result.precision = static_cast<std::uint8_t>(precision);
    // The leading zeros that pad the digits to the precision are already in
    // the zeroed fraction.
    const int pad = precision - count;
    bool nonZero = false;
    for (int k = 0; k < count; ++k) {
        nonZero = nonZero || digits[k] != 0;
        result.setDigit(pad + k, digits[k]);
    }
    result.signSpecialPlaces = static_cast<std::uint8_t>(scale);
    if (value.negative() && nonZero) {
        result.signSpecialPlaces |= Bcd::kNegativeBit;
    }
    return result;
}

} // namespace db
