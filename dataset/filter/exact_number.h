#pragma once
// The exact side of filter arithmetic: integers and decimals as a scaled
// 128-bit integer, added, subtracted, multiplied, divided and ordered
// without going through text.

#include <optional>

namespace dataset {

struct ExactNumber {
    // Scales beyond this cannot be lined up inside 128 bits.
    static constexpr int kMaxScale = 18;
    // Decimals a quotient keeps at least.
    static constexpr int kQuotientScale = 4;

    __int128 scaled = 0;
    int scale = 0;

    // op is one of + - * /; a quotient keeps at least kQuotientScale
    // decimals, rounded half away from zero, a product the sum of the
    // scales. The result fits 64 bits, decimals it cannot carry rounded
    // away; empty for a division by zero or a result too large. Operands
    // have scales of at most kMaxScale.
    static std::optional<ExactNumber> apply(char op, ExactNumber a, ExactNumber b);
    // -1, 0, 1 after lining up the scales; empty when that overflows.
    static std::optional<int> compare(ExactNumber a, ExactNumber b);
};

} // namespace dataset
