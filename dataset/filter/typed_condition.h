#pragma once
// One condition of a filter bound to the layout of the rows it tests. The
// typed forms read columns in their stored form; a condition, or a single
// value, they leave aside goes to GeneralCondition, which evaluates the
// expression's own node.

#include "dataset/filter/filter_expression.h"
#include "dataset/filter/typed_cells.h"

#include <array>
#include <memory>

namespace dataset {

class TypedCondition {
public:
    TypedCondition() = default;
    TypedCondition(const TypedCondition&) = delete;
    TypedCondition& operator=(const TypedCondition&) = delete;
    virtual ~TypedCondition() = default;

    virtual bool test(const RowCells& row) const = 0;
    // Conditions of this one's tree evaluated through general values.
    virtual int generalCount() const { return 0; }
};

using TypedConditionPtr = std::unique_ptr<TypedCondition>;

class GeneralCondition final : public TypedCondition {
public:
    GeneralCondition(const FilterExpression::Node& node, const RowCodec& codec)
        : node_(node), codec_(codec) {}

    bool test(const RowCells& row) const override {
        return FilterExpression::evaluate(node_, codec_, row.row);
    }
    int generalCount() const override { return 1; }

private:
    const FilterExpression::Node& node_;
    const RowCodec& codec_;
};

// Whether an order of -1, 0 or 1 satisfies a comparison, looked up rather
// than worked out for every row.
class OrderTest {
public:
    explicit OrderTest(CompareOp op)
        : accepts_{FilterExpression::holds(op, -1), FilterExpression::holds(op, 0),
                   FilterExpression::holds(op, 1)} {}
    bool operator()(int order) const {
        const int index = order + 1;
        return accepts_[static_cast<std::size_t>(index)];
    }

private:
    std::array<bool, 3> accepts_;
};

} // namespace dataset
