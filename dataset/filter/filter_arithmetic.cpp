#include "dataset/filter/filter_arithmetic.h"

#include "dataset/filter/filter_expression.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

namespace dataset {
namespace {

using Wide = __int128;

struct Exact {
    Wide scaled = 0;
    int scale = 0;
};

// Scales beyond this cannot be lined up inside 128 bits.
constexpr int kMaxScale = 18;

std::optional<Exact> exact(const Value& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return Exact{*integer, 0};
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&value)) {
        const std::optional<std::int64_t> scaled = bcd->toScaled();
        if (!scaled || bcd->scale() > kMaxScale) {
            return std::nullopt;
        }
        return Exact{*scaled, bcd->scale()};
    }
    return std::nullopt;
}

double real(const Value& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return static_cast<double>(*integer);
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&value)) {
        const std::string text = bcd->toString();
        double result = 0;
        std::from_chars(text.data(), text.data() + text.size(), result);
        return result;
    }
    return std::get<double>(value);
}

Wide power10(int exponent) {
    Wide result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= 10;
    }
    return result;
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
    Wide result = 0;
    if (__builtin_mul_overflow(a, b, &result)) {
        return std::nullopt;
    }
    return result;
}

Value toValue(Exact result, bool integral) {
    if (integral && result.scale == 0) {
        return fits(result.scaled) ? Value(static_cast<std::int64_t>(result.scaled)) : Value();
    }
    // Drop decimals the 64-bit form cannot carry, rounding.
    while (!fits(result.scaled) && result.scale > 0) {
        result.scaled = roundedDivide(result.scaled, 10);
        --result.scale;
    }
    if (!fits(result.scaled)) {
        return {};
    }
    return db::Bcd::fromScaled(static_cast<std::int64_t>(result.scaled), result.scale);
}

Value applyExact(char op, Exact a, Exact b, bool integral) {
    switch (op) {
    case '+':
    case '-': {
        const int scale = std::max(a.scale, b.scale);
        const std::optional<Wide> x = multiply(a.scaled, power10(scale - a.scale));
        const std::optional<Wide> y = multiply(b.scaled, power10(scale - b.scale));
        if (!x || !y) {
            return {};
        }
        return toValue({op == '+' ? *x + *y : *x - *y, scale}, integral);
    }
    case '*': {
        const std::optional<Wide> product = multiply(a.scaled, b.scaled);
        if (!product) {
            return {};
        }
        return toValue({*product, a.scale + b.scale}, integral);
    }
    default: {
        if (b.scaled == 0) {
            return {};
        }
        // a / b with `scale` decimals: a * 10^(scale - a.scale + b.scale) / b.
        const int scale = std::max({a.scale, b.scale, FilterArithmetic::kQuotientScale});
        const std::optional<Wide> n = multiply(a.scaled, power10(scale - a.scale + b.scale));
        if (!n) {
            return {};
        }
        return toValue({roundedDivide(*n, b.scaled), scale}, false);
    }
    }
}

} // namespace

bool FilterArithmetic::isNumber(const Value& value) {
    return std::holds_alternative<std::int64_t>(value) || std::holds_alternative<double>(value) ||
           std::holds_alternative<db::Bcd>(value);
}

Value FilterArithmetic::apply(char op, const Value& a, const Value& b) {
    if (!isNumber(a) || !isNumber(b)) {
        return {};
    }
    if (std::holds_alternative<double>(a) || std::holds_alternative<double>(b)) {
        const double x = real(a);
        const double y = real(b);
        switch (op) {
        case '+':
            return x + y;
        case '-':
            return x - y;
        case '*':
            return x * y;
        default:
            return y == 0 ? Value() : Value(x / y);
        }
    }
    const std::optional<Exact> x = exact(a);
    const std::optional<Exact> y = exact(b);
    if (!x || !y) {
        return {};
    }
    const bool integral =
        std::holds_alternative<std::int64_t>(a) && std::holds_alternative<std::int64_t>(b);
    return applyExact(op, *x, *y, integral);
}

std::optional<int> FilterArithmetic::compareExact(const Value& a, const Value& b) {
    const std::optional<Exact> x = exact(a);
    const std::optional<Exact> y = exact(b);
    if (!x || !y) {
        return std::nullopt;
    }
    const int scale = std::max(x->scale, y->scale);
    const std::optional<Wide> left = multiply(x->scaled, power10(scale - x->scale));
    const std::optional<Wide> right = multiply(y->scaled, power10(scale - y->scale));
    if (!left || !right) {
        return std::nullopt;
    }
    return *left < *right ? -1 : (*left > *right ? 1 : 0);
}

Value FilterArithmetic::negate(const Value& value) {
    return apply('-', std::int64_t{0}, value);
}

std::optional<int> FilterArithmetic::compare(const Value& a, const Value& b) {
    if (!isNumber(a) || !isNumber(b)) {
        return std::nullopt;
    }
    if (std::holds_alternative<double>(a) || std::holds_alternative<double>(b)) {
        const double x = real(a);
        const double y = real(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (const std::optional<int> order = compareExact(a, b)) {
        return order;
    }
    const auto asBcd = [](const Value& v) {
        const auto* integer = std::get_if<std::int64_t>(&v);
        return integer != nullptr ? Value(db::Bcd::fromScaled(*integer, 0)) : v;
    };
    return FilterExpression::compare(asBcd(a), asBcd(b), false);
}

} // namespace dataset
