#pragma once
// Arithmetic and ordering of the numbers a filter computes with: integers
// and decimals stay exact, a float operand makes the result a float. A null
// operand, a division by zero or a result too large gives null, which no
// comparison accepts.

#include "dataset/engine/field_type.h"
#include "dataset/filter/exact_number.h"

#include <optional>

namespace dataset {

class FilterArithmetic {
public:
    // Decimals a quotient keeps at least.
    static constexpr int kQuotientScale = ExactNumber::kQuotientScale;

    static bool isNumber(const Value& value);
    // op is one of + - * /. Integers give an integer, except for /, which
    // gives a decimal of at least QuotientScale places, rounded half away
    // from zero; decimals add their scales when multiplied.
    static Value apply(char op, const Value& a, const Value& b);
    static Value negate(const Value& value);
    // -1, 0, 1 between two numbers of any kind; empty when either is not one.
    static std::optional<int> compare(const Value& a, const Value& b);
    // The same between integers and decimals whose scaled values fit 64
    // bits, without going through text; empty for any other pair.
    static std::optional<int> compareExact(const Value& a, const Value& b);
};

} // namespace dataset
