#pragma once
// Pairs rows with the rows of a fresh read of equal values, each fresh row
// taken at most once, so that rows read again can be told from the rows
// that changed or went meanwhile. Values compare as the database compares
// them: 0.8 equals 0.8000.

#include "dataset/engine/row_codec.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace dataset {

class RowMatcher {
public:
    // The codec serves both the fresh rows and the rows offered to take().
    RowMatcher(const RowCodec& codec, const std::vector<RowBytes>& fresh);

    // Takes a fresh row holding the same values as row; false when none is
    // left.
    bool take(RowBytes row);
    // The fresh rows no row took, in their order.
    std::vector<std::size_t> untaken() const;

private:
    std::string key(RowBytes row) const;

    const RowCodec& codec_;
    std::unordered_map<std::string, std::vector<std::size_t>> free_;
    std::vector<bool> taken_;
};

} // namespace dataset
