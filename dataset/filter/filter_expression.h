#pragma once
// A compiled filter or locate expression: a tree of comparisons of a row's
// columns with constants or with computed values, joined by AND, OR and NOT. The compiler builds
// it; the engine evaluates it against rows in the row format.

#include "dataset/engine/field_type.h"
#include "dataset/engine/row_codec.h"

#include <memory>
#include <vector>

namespace dataset {

enum class CompareOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

class FilterExpression {
public:
    struct Node {
        enum class Kind {
            And,
            Or,
            Not,
            Compare,
            IsNull,
            Constant,
            Like,
            In,
            // Two computed values compared: left op right.
            CompareValues,
            // Values: a column, a literal, left arithmetic right, -left.
            Column,
            Literal,
            Arithmetic,
            Negate
        };
        Kind kind = Kind::Constant;
        // And, Or: both; Not: left.
        std::unique_ptr<Node> left;
        std::unique_ptr<Node> right;
        // Compare and IsNull: the column; Compare: its constant.
        std::size_t column = 0;
        CompareOp op = CompareOp::Equal;
        Value constant;
        bool caseInsensitive = false;
        // The constant's text is a prefix to match ("abc*").
        bool partial = false;
        // IsNull: IS NOT NULL. Constant: its truth.
        bool flag = false;
        // In: the constants of the list; Like uses constant as its pattern.
        std::vector<Value> list;
        // Arithmetic: one of + - * /.
        char arithmetic = 0;
    };

    explicit FilterExpression(std::unique_ptr<Node> root) : root_(std::move(root)) {}

    // Evaluates through a Value per column read. TypedFilter gives the same
    // answers reading the stored forms; this stays the plain reference.
    bool matches(const RowCodec& codec, RowBytes row) const;
    const Node& root() const { return *root_; }
    // One condition of the tree, as matches() evaluates it.
    static bool evaluate(const Node& node, const RowCodec& codec, RowBytes row);

    // -1, 0, 1; empty when the two values cannot be compared.
    static std::optional<int> compare(const Value& a, const Value& b, bool caseInsensitive);
    static int compareText(std::string_view a, std::string_view b, bool caseInsensitive);
    // "%" stands for any text, "_" for any one character.
    static bool like(std::string_view text, std::string_view pattern, bool caseInsensitive);
    // Whether an order of -1, 0 or 1 satisfies op.
    static bool holds(CompareOp op, int order);

private:
    static Value compute(const Node& node, const RowCodec& codec, RowBytes row);
    std::unique_ptr<Node> root_;
};

} // namespace dataset
