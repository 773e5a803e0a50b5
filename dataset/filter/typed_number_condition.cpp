#include "dataset/filter/typed_number_condition.h"

#include "dataset/filter/exact_number.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace dataset {
namespace {

using Node = FilterExpression::Node;

// A number as FilterArithmetic would hold it in a Value: null, an integer,
// a decimal (scaled / 10^scale) or a float; Unsure when only the general
// evaluation can tell. Sixteen bytes, so that it travels in registers.
struct Number {
    enum class Kind : std::uint8_t { Null, Integer, Decimal, Real, Unsure };
    Kind kind = Kind::Null;
    int scale = 0;
    // An integer or scaled decimal; a float's bits.
    std::int64_t scaled = 0;

    static Number ofKind(Kind kind) { return {kind, 0, 0}; }
    ExactNumber exact() const { return {scaled, scale}; }
    double real() const { return std::bit_cast<double>(scaled); }
};

using Kind = Number::Kind;

// Powers of ten that doubles hold exactly.
constexpr int kExactPowers = 23;
constexpr std::array<double, kExactPowers> kPowers = [] {
    std::array<double, kExactPowers> powers{};
    double power = 1;
    for (double& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();
// Integers up to 2^53 convert to doubles exactly.
constexpr std::int64_t kExactDouble = std::int64_t{1} << 53;

// A number as a double, rounded as reading its decimal text would round it:
// a quotient of two exact doubles is rounded once. False when that does not
// hold.
bool toReal(const Number& n, double& real) {
    switch (n.kind) {
    case Kind::Real:
        real = n.real();
        return true;
    case Kind::Integer:
        real = static_cast<double>(n.scaled);
        return true;
    case Kind::Decimal:
        if (n.scale >= kExactPowers || n.scaled > kExactDouble || n.scaled < -kExactDouble) {
            return false;
        }
        real = static_cast<double>(n.scaled) / kPowers.at(static_cast<std::size_t>(n.scale));
        return true;
    default:
        return false;
    }
}

// Powers of ten that 64-bit integers hold.
constexpr int kIntegerPowers = 19;
constexpr std::array<std::int64_t, kIntegerPowers> kIntegerPowerValues = [] {
    std::array<std::int64_t, kIntegerPowers> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) {
        powers.at(i) = powers.at(i - 1) * 10;
    }
    return powers;
}();

// a and b at the scale of the larger one, when 64 bits hold them.
bool lineUp(const Number& a, const Number& b, std::int64_t& x, std::int64_t& y) {
    x = a.scaled;
    y = b.scaled;
    if (a.scale == b.scale) {
        return true;
    }
    const int difference = a.scale < b.scale ? b.scale - a.scale : a.scale - b.scale;
    if (difference >= kIntegerPowers) {
        return false;
    }
    std::int64_t& smaller = a.scale < b.scale ? x : y;
    return !__builtin_mul_overflow(
        smaller, kIntegerPowerValues.at(static_cast<std::size_t>(difference)), &smaller);
}

Number realNumber(double value) {
    return {Kind::Real, 0, std::bit_cast<std::int64_t>(value)};
}

Number apply(char op, const Number& a, const Number& b) {
    if (a.kind == Kind::Unsure || b.kind == Kind::Unsure) {
        return Number::ofKind(Kind::Unsure);
    }
    if (a.kind == Kind::Null || b.kind == Kind::Null) {
        return {};
    }
    if (a.kind == Kind::Real || b.kind == Kind::Real) {
        double x = 0;
        double y = 0;
        if (!toReal(a, x) || !toReal(b, y)) {
            return Number::ofKind(Kind::Unsure);
        }
        switch (op) {
        case '+':
            return realNumber(x + y);
        case '-':
            return realNumber(x - y);
        case '*':
            return realNumber(x * y);
        default:
            return y == 0 ? Number{} : realNumber(x / y);
        }
    }
    // Decimals of a larger scale take no part in exact arithmetic.
    if (a.scale > ExactNumber::kMaxScale || b.scale > ExactNumber::kMaxScale) {
        return {};
    }
    const bool integral = op != '/' && a.kind == Kind::Integer && b.kind == Kind::Integer;
    const Kind kind = integral ? Kind::Integer : Kind::Decimal;
    // Results that 64 bits hold come out the same from 64-bit arithmetic.
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t z = 0;
    if (op == '*' && !__builtin_mul_overflow(a.scaled, b.scaled, &z)) {
        return {kind, a.scale + b.scale, z};
    }
    if ((op == '+' || op == '-') && lineUp(a, b, x, y) &&
        !(op == '+' ? __builtin_add_overflow(x, y, &z) : __builtin_sub_overflow(x, y, &z))) {
        return {kind, std::max(a.scale, b.scale), z};
    }
    const std::optional<ExactNumber> result = ExactNumber::apply(op, a.exact(), b.exact());
    if (!result) {
        return {};
    }
    return {kind, result->scale, static_cast<std::int64_t>(result->scaled)};
}

// The order of two numbers, or why there is none.
constexpr int kNoOrder = 2;
constexpr int kUnsureOrder = 3;

int order(const Number& a, const Number& b) {
    if (a.kind == Kind::Unsure || b.kind == Kind::Unsure) {
        return kUnsureOrder;
    }
    if (a.kind == Kind::Null || b.kind == Kind::Null) {
        return kNoOrder;
    }
    if (a.kind == Kind::Real || b.kind == Kind::Real) {
        double x = 0;
        double y = 0;
        if (!toReal(a, x) || !toReal(b, y)) {
            return kUnsureOrder;
        }
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.scale > ExactNumber::kMaxScale || b.scale > ExactNumber::kMaxScale) {
        return kUnsureOrder;
    }
    std::int64_t x = 0;
    std::int64_t y = 0;
    if (lineUp(a, b, x, y)) {
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const std::optional<int> exact = ExactNumber::compare(a.exact(), b.exact());
    return exact ? *exact : kUnsureOrder;
}

class Term {
public:
    Term() = default;
    Term(const Term&) = delete;
    Term& operator=(const Term&) = delete;
    virtual ~Term() = default;
    virtual Number value(const RowCells& row) const = 0;
};

using TermPtr = std::unique_ptr<Term>;

template <ValueStorage kStorage> class ColumnTerm final : public Term {
public:
    explicit ColumnTerm(CellRef cell) : cell_(cell) {}

    Number value(const RowCells& row) const override {
        const std::uint8_t* cell = cell_(row);
        if (cell == nullptr) {
            return {};
        }
        if constexpr (kStorage == ValueStorage::Double) {
            return realNumber(RowCodec::doubleAt(cell));
        } else if constexpr (kStorage == ValueStorage::Decimal) {
            const std::optional<ScaledDecimal> decimal = RowCodec::decimalAt(cell);
            if (!decimal) {
                return Number::ofKind(Kind::Unsure);
            }
            return {Kind::Decimal, decimal->scale, decimal->scaled};
        } else {
            return {Kind::Integer, 0, RowCodec::integerAt(cell, kStorage)};
        }
    }

private:
    CellRef cell_;
};

class LiteralTerm final : public Term {
public:
    explicit LiteralTerm(Number number) : number_(number) {}
    Number value(const RowCells& /*row*/) const override { return number_; }

private:
    Number number_;
};

class ArithmeticTerm final : public Term {
public:
    ArithmeticTerm(char op, TermPtr left, TermPtr right)
        : op_(op), left_(std::move(left)), right_(std::move(right)) {}
    Number value(const RowCells& row) const override {
        return apply(op_, left_->value(row), right_->value(row));
    }

private:
    char op_;
    TermPtr left_;
    TermPtr right_;
};

class NegateTerm final : public Term {
public:
    explicit NegateTerm(TermPtr operand) : operand_(std::move(operand)) {}
    Number value(const RowCells& row) const override {
        return apply('-', Number{Kind::Integer, 0, 0}, operand_->value(row));
    }

private:
    TermPtr operand_;
};

TermPtr columnTerm(const Node& node, const CellSlots& slots) {
    if (node.column >= slots.codec().columnCount()) {
        return nullptr;
    }
    const CellRef cell = slots.ref(node.column);
    switch (slots.codec().storage(node.column)) {
    case ValueStorage::Int32:
        return std::make_unique<ColumnTerm<ValueStorage::Int32>>(cell);
    case ValueStorage::Int64:
        return std::make_unique<ColumnTerm<ValueStorage::Int64>>(cell);
    case ValueStorage::Double:
        return std::make_unique<ColumnTerm<ValueStorage::Double>>(cell);
    case ValueStorage::Decimal:
        return std::make_unique<ColumnTerm<ValueStorage::Decimal>>(cell);
    default:
        return nullptr;
    }
}

TermPtr literalTerm(const Value& constant) {
    if (const auto* integer = std::get_if<std::int64_t>(&constant)) {
        return std::make_unique<LiteralTerm>(Number{Kind::Integer, 0, *integer});
    }
    if (const auto* real = std::get_if<double>(&constant)) {
        return std::make_unique<LiteralTerm>(realNumber(*real));
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&constant)) {
        const std::optional<std::int64_t> scaled = bcd->toScaled();
        if (scaled) {
            return std::make_unique<LiteralTerm>(Number{Kind::Decimal, bcd->scale(), *scaled});
        }
    }
    return nullptr;
}

TermPtr term(const Node& node, const CellSlots& slots) {
    switch (node.kind) {
    case Node::Kind::Column:
        return columnTerm(node, slots);
    case Node::Kind::Literal:
        return literalTerm(node.constant);
    case Node::Kind::Arithmetic: {
        TermPtr left = term(*node.left, slots);
        TermPtr right = left ? term(*node.right, slots) : nullptr;
        if (!right) {
            return nullptr;
        }
        return std::make_unique<ArithmeticTerm>(node.arithmetic, std::move(left), std::move(right));
    }
    case Node::Kind::Negate: {
        TermPtr operand = term(*node.left, slots);
        return operand ? std::make_unique<NegateTerm>(std::move(operand)) : nullptr;
    }
    default:
        return nullptr;
    }
}

class NumberCompare final : public TypedCondition {
public:
    NumberCompare(const Node& node, const RowCodec& codec, TermPtr left, TermPtr right)
        : general_(node, codec), accepts_(node.op), left_(std::move(left)),
          right_(std::move(right)) {}

    bool test(const RowCells& row) const override {
        const int result = order(left_->value(row), right_->value(row));
        if (result == kUnsureOrder) {
            return general_.test(row);
        }
        return result != kNoOrder && accepts_(result);
    }

private:
    GeneralCondition general_;
    OrderTest accepts_;
    TermPtr left_;
    TermPtr right_;
};

} // namespace

TypedConditionPtr TypedNumberCondition::make(const Node& node, const CellSlots& slots) {
    if (node.kind != Node::Kind::CompareValues) {
        return nullptr;
    }
    TermPtr left = term(*node.left, slots);
    TermPtr right = left ? term(*node.right, slots) : nullptr;
    if (!right) {
        return nullptr;
    }
    return std::make_unique<NumberCompare>(node, slots.codec(), std::move(left), std::move(right));
}

} // namespace dataset
