#include "dataset/filter/filter_arithmetic.h"

#include "dataset/filter/exact_number.h"
#include "dataset/filter/filter_expression.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace dataset {
namespace {

std::optional<ExactNumber> exact(const Value& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return ExactNumber{*integer, 0};
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&value)) {
        const std::optional<std::int64_t> scaled = bcd->toScaled();
        if (!scaled || bcd->scale() > ExactNumber::kMaxScale) {
            return std::nullopt;
        }
        return ExactNumber{*scaled, bcd->scale()};
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

// The result fits 64 bits: an integer for two integers, else a decimal.
Value toValue(const std::optional<ExactNumber>& result, bool integral) {
    if (!result) {
        return {};
    }
    const auto scaled = static_cast<std::int64_t>(result->scaled);
    return integral ? Value(scaled) : Value(db::Bcd::fromScaled(scaled, result->scale));
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
    const std::optional<ExactNumber> x = exact(a);
    const std::optional<ExactNumber> y = exact(b);
    if (!x || !y) {
        return {};
    }
    const bool integral = op != '/' && std::holds_alternative<std::int64_t>(a) &&
                          std::holds_alternative<std::int64_t>(b);
    return toValue(ExactNumber::apply(op, *x, *y), integral);
}

std::optional<int> FilterArithmetic::compareExact(const Value& a, const Value& b) {
    const std::optional<ExactNumber> x = exact(a);
    const std::optional<ExactNumber> y = exact(b);
    if (!x || !y) {
        return std::nullopt;
    }
    return ExactNumber::compare(*x, *y);
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
