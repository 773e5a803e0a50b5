#include "dataset/filter/typed_filter.h"

#include "dataset/filter/typed_column_condition.h"
#include "dataset/filter/typed_number_condition.h"

namespace dataset {
namespace {

using Node = FilterExpression::Node;

class AndCondition final : public TypedCondition {
public:
    AndCondition(TypedConditionPtr left, TypedConditionPtr right)
        : left_(std::move(left)), right_(std::move(right)) {}
    bool test(const RowCells& row) const override { return left_->test(row) && right_->test(row); }
    int generalCount() const override { return left_->generalCount() + right_->generalCount(); }

private:
    TypedConditionPtr left_;
    TypedConditionPtr right_;
};

class OrCondition final : public TypedCondition {
public:
    OrCondition(TypedConditionPtr left, TypedConditionPtr right)
        : left_(std::move(left)), right_(std::move(right)) {}
    bool test(const RowCells& row) const override { return left_->test(row) || right_->test(row); }
    int generalCount() const override { return left_->generalCount() + right_->generalCount(); }

private:
    TypedConditionPtr left_;
    TypedConditionPtr right_;
};

class NotCondition final : public TypedCondition {
public:
    explicit NotCondition(TypedConditionPtr operand) : operand_(std::move(operand)) {}
    bool test(const RowCells& row) const override { return !operand_->test(row); }
    int generalCount() const override { return operand_->generalCount(); }

private:
    TypedConditionPtr operand_;
};

class ConstantCondition final : public TypedCondition {
public:
    explicit ConstantCondition(bool truth) : truth_(truth) {}
    bool test(const RowCells& /*row*/) const override { return truth_; }

private:
    bool truth_;
};

class NullCondition final : public TypedCondition {
public:
    explicit NullCondition(const Node& node) : column_(node.column), notNull_(node.flag) {}
    bool test(const RowCells& row) const override {
        return (RowCodec::state(row.row, column_) != CellState::Assigned) != notNull_;
    }

private:
    std::size_t column_;
    bool notNull_;
};

TypedConditionPtr build(const Node& node, const CellSlots& slots) {
    TypedConditionPtr typed;
    switch (node.kind) {
    case Node::Kind::And:
        return std::make_unique<AndCondition>(build(*node.left, slots), build(*node.right, slots));
    case Node::Kind::Or:
        return std::make_unique<OrCondition>(build(*node.left, slots), build(*node.right, slots));
    case Node::Kind::Not:
        return std::make_unique<NotCondition>(build(*node.left, slots));
    case Node::Kind::Constant:
        return std::make_unique<ConstantCondition>(node.flag);
    case Node::Kind::IsNull:
        if (node.column < slots.codec().columnCount()) {
            typed = std::make_unique<NullCondition>(node);
        }
        break;
    case Node::Kind::Compare:
    case Node::Kind::In:
    case Node::Kind::Like:
        typed = TypedColumnCondition::make(node, slots);
        break;
    case Node::Kind::CompareValues:
        typed = TypedNumberCondition::make(node, slots);
        break;
    default:
        break;
    }
    return typed ? std::move(typed) : std::make_unique<GeneralCondition>(node, slots.codec());
}

// The columns whose values the conditions read.
void collectColumns(const Node& node, std::size_t columnCount, std::vector<std::size_t>& columns) {
    switch (node.kind) {
    case Node::Kind::Compare:
    case Node::Kind::In:
    case Node::Kind::Like:
    case Node::Kind::Column:
        if (node.column < columnCount) {
            columns.push_back(node.column);
        }
        break;
    default:
        break;
    }
    if (node.left) {
        collectColumns(*node.left, columnCount, columns);
    }
    if (node.right) {
        collectColumns(*node.right, columnCount, columns);
    }
}

std::vector<std::size_t> columnsOf(const FilterExpression& expression, const RowCodec& codec) {
    std::vector<std::size_t> columns;
    collectColumns(expression.root(), codec.columnCount(), columns);
    return columns;
}

} // namespace

TypedFilter::TypedFilter(const FilterExpression& expression, const RowCodec& codec)
    : slots_(codec, columnsOf(expression, codec)),
      walk_(codec, {slots_.columns().begin(), slots_.columns().end()}),
      root_(build(expression.root(), slots_)) {}

bool TypedFilter::matches(RowBytes row) const {
    // Filled by the walk up to the filter's column count; the rest is never read.
    std::array<const std::uint8_t*, CellSlots::kMaxSlots> cells;
    walk_.find(row, cells.data());
    return root_->test(RowCells{row, cells.data()});
}

} // namespace dataset
