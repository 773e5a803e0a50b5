#pragma once
// Finds the values of a set of columns in rows of one layout in a single
// pass. The steps between those columns are worked out once: in a row whose
// columns up to the last of them all hold values, only the texts and
// decimals on the way need reading.

#include "dataset/engine/row_codec.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dataset {

class CellWalk {
public:
    // columns: ascending and distinct; the codec must outlive the walk.
    CellWalk(const RowCodec& codec, std::vector<std::size_t> columns);

    std::span<const std::size_t> columns() const { return columns_; }
    // found[i]: where the value of columns()[i] starts; null when it holds none.
    void find(RowBytes row, const std::uint8_t** found) const;

private:
    enum class Step : std::uint8_t { Skip, SkipText, SkipOther, Found };
    struct Op {
        Step step;
        // Skip: bytes; SkipText and SkipOther: the column; Found: its index.
        std::uint32_t value;
    };

    bool allHoldValues(RowBytes row) const {
        // A value's state is 0.
        const std::uint8_t* states = row.data() + 1;
        for (std::size_t i = 0; i < stateBytes_; ++i) {
            if (states[i] != 0) {
                return false;
            }
        }
        return lastStateMask_ == 0 || (states[stateBytes_] & lastStateMask_) == 0;
    }
    void findAlongNulls(RowBytes row, const std::uint8_t** found) const;

    const RowCodec& codec_;
    std::vector<std::size_t> columns_;
    std::vector<Op> ops_;
    // The whole bytes of states up to the last column, and the bits of it
    // in the byte after them.
    std::size_t stateBytes_ = 0;
    std::uint8_t lastStateMask_ = 0;
};

} // namespace dataset
