#include "dataset/engine/cell_walk.h"

namespace dataset {

CellWalk::CellWalk(const RowCodec& codec, std::vector<std::size_t> columns)
    : codec_(codec), columns_(std::move(columns)) {
    if (columns_.empty()) {
        return;
    }
    const std::size_t last = columns_.back();
    std::size_t next = 0;
    for (std::size_t c = 0; c <= last; ++c) {
        if (c == columns_[next]) {
            ops_.push_back({Step::Found, static_cast<std::uint32_t>(next++)});
        }
        if (c == last) {
            break;
        }
        const ValueStorage storage = codec_.storage(c);
        const auto fixed = static_cast<std::uint32_t>(RowCodec::fixedSize(storage));
        if (fixed == 0) {
            ops_.push_back({storage == ValueStorage::Text ? Step::SkipText : Step::SkipOther,
                            static_cast<std::uint32_t>(c)});
        } else if (!ops_.empty() && ops_.back().step == Step::Skip) {
            ops_.back().value += fixed;
        } else {
            ops_.push_back({Step::Skip, fixed});
        }
    }
    // Two bits of state a column, four columns a byte.
    stateBytes_ = (last + 1) / 4;
    lastStateMask_ = static_cast<std::uint8_t>((1u << ((last + 1) % 4 * 2)) - 1);
}

void CellWalk::find(RowBytes row, const std::uint8_t** found) const {
    if (columns_.empty()) {
        return;
    }
    if (!allHoldValues(row)) {
        findAlongNulls(row, found);
        return;
    }
    const std::uint8_t* p = row.data() + 1 + codec_.stateBytes();
    for (const Op& op : ops_) {
        switch (op.step) {
        case Step::Skip:
            p += op.value;
            break;
        case Step::SkipText:
            // A text shorter than 128 bytes, the usual kind, has a one-byte length.
            p += *p < 0x80 ? 1u + *p : codec_.sizeAt(row, p, op.value);
            break;
        case Step::SkipOther:
            p += codec_.sizeAt(row, p, op.value);
            break;
        case Step::Found:
            found[op.value] = p;
            break;
        }
    }
}

void CellWalk::findAlongNulls(RowBytes row, const std::uint8_t** found) const {
    const std::uint8_t* p = row.data() + 1 + codec_.stateBytes();
    std::size_t next = 0;
    for (std::size_t c = 0; next < columns_.size(); ++c) {
        const bool holds = RowCodec::state(row, c) == CellState::Assigned;
        if (c == columns_[next]) {
            found[next++] = holds ? p : nullptr;
        }
        if (holds && next < columns_.size()) {
            const std::size_t fixed = RowCodec::fixedSize(codec_.storage(c));
            p += fixed != 0 ? fixed : codec_.sizeAt(row, p, c);
        }
    }
}

} // namespace dataset
