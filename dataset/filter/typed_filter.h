#pragma once
// A compiled filter bound to the layout of the rows it will test: each
// condition reads its columns in their stored form (dates as one number,
// decimals as scaled integers, text in place) and compares them with
// constants turned into that form once, here. It answers as
// FilterExpression::matches does; conditions it has no typed form for are
// evaluated by the expression's nodes themselves.

#include "dataset/engine/cell_walk.h"
#include "dataset/filter/typed_condition.h"

namespace dataset {

class TypedFilter {
public:
    // Both must outlive the typed filter.
    TypedFilter(const FilterExpression& expression, const RowCodec& codec);

    bool matches(RowBytes row) const;
    // Conditions evaluated through general values.
    int generalCount() const { return root_->generalCount(); }

private:
    CellSlots slots_;
    CellWalk walk_;
    TypedConditionPtr root_;
};

} // namespace dataset
