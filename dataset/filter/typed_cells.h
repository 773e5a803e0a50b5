#pragma once
// Where typed conditions find their columns' values: the filter walks each
// row once to the cells of the columns it reads (up to kMaxSlots of them)
// and hands them down; a column past those asks the codec itself.

#include "dataset/engine/row_codec.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

namespace dataset {

// A row and the cells found in it, by slot; a null cell holds no value.
struct RowCells {
    RowBytes row;
    const std::uint8_t* const* cells;
};

// One column's cell in a row, as a condition reads it.
class CellRef {
public:
    static constexpr std::size_t kNoSlot = ~std::size_t{0};

    CellRef(const RowCodec& codec, std::size_t column, std::size_t slot)
        : codec_(codec), column_(column), slot_(slot) {}

    const std::uint8_t* operator()(const RowCells& row) const {
        return slot_ != kNoSlot ? row.cells[slot_] : codec_.cell(row.row, column_);
    }
    const RowCodec& codec() const { return codec_; }
    std::size_t column() const { return column_; }

private:
    const RowCodec& codec_;
    std::size_t column_;
    std::size_t slot_;
};

// The columns a filter reads, in ascending order; the first kMaxSlots of
// them are found by the one walk.
class CellSlots {
public:
    static constexpr std::size_t kMaxSlots = 16;

    CellSlots(const RowCodec& codec, std::vector<std::size_t> columns)
        : codec_(codec), columns_(std::move(columns)) {
        std::sort(columns_.begin(), columns_.end());
        columns_.erase(std::unique(columns_.begin(), columns_.end()), columns_.end());
        columns_.resize(std::min(columns_.size(), kMaxSlots));
    }

    const RowCodec& codec() const { return codec_; }
    std::span<const std::size_t> columns() const { return columns_; }
    CellRef ref(std::size_t column) const {
        const auto at = std::lower_bound(columns_.begin(), columns_.end(), column);
        const bool walked = at != columns_.end() && *at == column;
        return {codec_, column,
                walked ? static_cast<std::size_t>(at - columns_.begin()) : CellRef::kNoSlot};
    }

private:
    const RowCodec& codec_;
    std::vector<std::size_t> columns_;
};

} // namespace dataset
