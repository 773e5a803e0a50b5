#include "dataset/filter/exact_number.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace dataset {
namespace {

using Wide = __int128;

// Powers of ten up to the largest a division lines up with: a scale less
// the dividend's plus the divisor's.
constexpr int kMaxPower = 2 * ExactNumber::kMaxScale;

constexpr std::array<Wide, kMaxPower + 1> kPowers = [] {
    std::array<Wide, kMaxPower + 1> powers{};
    Wide power = 1;
    for (Wide& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

Wide power10(int exponent) {
    return kPowers.at(static_cast<std::size_t>(exponent));
}

// n / d rounded half away from zero; d is not 0.
Wide roundedDivide(Wide n, Wide d) {
    const bool negative = (n < 0) != (d < 0);
    const Wide an = n < 0 ? -n : n;
    const Wide ad = d < 0 ? -d : d;
    const Wide q = (an + ad / 2) / ad;
    return negative ? -q : q;
}

bool fits(Wide value) {
    return value >= std::numeric_limits<std::int64_t>::min() &&
           value <= std::numeric_limits<std::int64_t>::max();
}

// Either an overflow-checked product or empty.
std::optional<Wide> multiply(Wide a, Wide b) {
    if (fits(a) && fits(b)) {
        // Two 64-bit factors never overflow 128 bits.
        return Wide{static_cast<std::int64_t>(a)} * static_cast<std::int64_t>(b);
    }
    Wide result = 0;
    if (__builtin_mul_overflow(a, b, &result)) {
        return std::nullopt;
    }
    return result;
}

// Drops decimals the 64-bit form cannot carry, rounding.
std::optional<ExactNumber> narrowed(ExactNumber result) {
    while (!fits(result.scaled) && result.scale > 0) {
        result.scaled = roundedDivide(result.scaled, 10);
        --result.scale;
    }
    if (!fits(result.scaled)) {
        return std::nullopt;
    }
    return result;
}

} // namespace

std::optional<ExactNumber> ExactNumber::apply(char op, ExactNumber a, ExactNumber b) {
    switch (op) {
    case '+':
    case '-': {
        const int scale = std::max(a.scale, b.scale);
        const std::optional<Wide> x = multiply(a.scaled, power10(scale - a.scale));
        const std::optional<Wide> y = multiply(b.scaled, power10(scale - b.scale));
        if (!x || !y) {
            return std::nullopt;
        }
        return narrowed({op == '+' ? *x + *y : *x - *y, scale});
    }
    case '*': {
        const std::optional<Wide> product = multiply(a.scaled, b.scaled);
        if (!product) {
            return std::nullopt;
        }
        return narrowed({*product, a.scale + b.scale});
    }
    default: {
        if (b.scaled == 0) {
            return std::nullopt;
        }
        // a / b with `scale` decimals: a * 10^(scale - a.scale + b.scale) / b.
        const int scale = std::max({a.scale, b.scale, kQuotientScale});
        const std::optional<Wide> n = multiply(a.scaled, power10(scale - a.scale + b.scale));
        if (!n) {
            return std::nullopt;
        }
        return narrowed({roundedDivide(*n, b.scaled), scale});
    }
    }
}

std::optional<int> ExactNumber::compare(ExactNumber a, ExactNumber b) {
    const int scale = std::max(a.scale, b.scale);
    const std::optional<Wide> left = multiply(a.scaled, power10(scale - a.scale));
    const std::optional<Wide> right = multiply(b.scaled, power10(scale - b.scale));
    if (!left || !right) {
        return std::nullopt;
    }
    return *left < *right ? -1 : (*left > *right ? 1 : 0);
}

} // namespace dataset
