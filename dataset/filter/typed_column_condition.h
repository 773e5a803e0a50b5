#pragma once
// Conditions of one column against constants, read in the column's stored
// form: a comparison with a constant (a text one may be a prefix, "abc*"),
// IN a list, LIKE a pattern. The constants are turned into the stored form
// once; a row whose value that form cannot hold is left to the node's
// general evaluation.

#include "dataset/filter/typed_condition.h"

namespace dataset {

class TypedColumnCondition {
public:
    // The typed form of a Compare, In or Like node; null when its constants
    // do not suit how the column is stored.
    static TypedConditionPtr make(const FilterExpression::Node& node, const CellSlots& slots);
};

} // namespace dataset
