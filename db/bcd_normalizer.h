#pragma once
// Brings a BCD value read from the driver to the precision and scale of its
// field, so that every value of a field has the same form.

#include "db/bcd.h"

#include <optional>

namespace db {

class BcdNormalizer {
public:
    // Empty when the integer digits do not fit precision - scale. Extra
    // decimals are rounded half away from zero.
    static std::optional<Bcd> normalize(const Bcd& value, int precision, int scale);
};

} // namespace db
