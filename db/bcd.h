#pragma once
// The binary form of an exact decimal that crosses the driver boundary, and
// its conversions to decimal text and to scaled integers. Never floating point.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace db {

struct Bcd {
    static constexpr int kMaxDigits = 64;
    static constexpr std::uint8_t kNegativeBit = 0x80;
    static constexpr std::uint8_t kPlacesMask = 0x3F;

    // Number of digits held in fraction, the integer digits and the decimals.
    std::uint8_t precision = 0;
    // Bit 7 marks a negative value; bits 0-5 hold the number of decimals.
    std::uint8_t signSpecialPlaces = 0;
    // Digits, two to a byte, most significant first (high nibble before low).
    std::uint8_t fraction[32] = {};

    int scale() const { return signSpecialPlaces & kPlacesMask; }
    bool negative() const { return (signSpecialPlaces & kNegativeBit) != 0; }
    int digit(int index) const;
    void setDigit(int index, int value);

    // Decimal text such as "-12.3400": an optional sign, digits, an optional
    // point and decimals. Empty when the text is no decimal or too long.
    static std::optional<Bcd> fromString(std::string_view text);
    // value / 10^scale, exactly.
    static Bcd fromScaled(std::int64_t value, int scale);

    // The decimal text with as many decimals as the scale; "0" for no digits.
    std::string toString() const;
    // The value times 10^scale(); empty when it does not fit 64 bits.
    std::optional<std::int64_t> toScaled() const;
};

} // namespace db
