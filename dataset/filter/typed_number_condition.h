#pragma once
// A comparison of two computed numbers (columns, literals, + - * / and
// negation) worked out on the columns' stored forms: integers and decimals
// as scaled integers, exactly as FilterArithmetic does with Values, floats
// as doubles. A row whose decimals do not fit 64 bits is left to the
// node's general evaluation.

#include "dataset/filter/typed_condition.h"

namespace dataset {

class TypedNumberCondition {
public:
    // The typed form of a CompareValues node; null unless both sides are
    // numbers.
    static TypedConditionPtr make(const FilterExpression::Node& node, const CellSlots& slots);
};

} // namespace dataset
