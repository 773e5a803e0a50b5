#include "dataset/filter/typed_column_condition.h"

#include "dataset/filter/exact_number.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace dataset {
namespace {

using Node = FilterExpression::Node;

template <typename T> std::optional<int> orderOf(const T& a, const T& b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// A reader turns a constant into the stored form of its column (empty when
// it cannot) and reads a row's value in that form (false leaves the row to
// the general evaluation); order() then compares the two.
template <ValueStorage kStorage> struct IntegerReader {
    using Key = std::int64_t;
    static std::optional<Key> constant(const Value& value) {
        const auto* integer = std::get_if<std::int64_t>(&value);
        return integer != nullptr ? std::optional<Key>(*integer) : std::nullopt;
    }
    static bool read(const std::uint8_t* cell, Key& key) {
        key = RowCodec::integerAt(cell, kStorage);
        return true;
    }
    static std::optional<int> order(Key a, Key b) { return orderOf(a, b); }
};

struct DoubleReader {
    using Key = double;
    static std::optional<Key> constant(const Value& value) {
        const auto* real = std::get_if<double>(&value);
        return real != nullptr ? std::optional<Key>(*real) : std::nullopt;
    }
    static bool read(const std::uint8_t* cell, Key& key) {
        key = RowCodec::doubleAt(cell);
        return true;
    }
    static std::optional<int> order(Key a, Key b) { return orderOf(a, b); }
};

struct DecimalReader {
    using Key = ExactNumber;
    static std::optional<Key> constant(const Value& value) {
        const auto* bcd = std::get_if<db::Bcd>(&value);
        if (bcd == nullptr || bcd->scale() > ExactNumber::kMaxScale) {
            return std::nullopt;
        }
        const std::optional<std::int64_t> scaled = bcd->toScaled();
        return scaled ? std::optional<Key>(ExactNumber{*scaled, bcd->scale()}) : std::nullopt;
    }
    static bool read(const std::uint8_t* cell, Key& key) {
        const std::optional<ScaledDecimal> decimal = RowCodec::decimalAt(cell);
        if (!decimal || decimal->scale > ExactNumber::kMaxScale) {
            return false;
        }
        key = ExactNumber{decimal->scaled, decimal->scale};
        return true;
    }
    static std::optional<int> order(const Key& a, const Key& b) {
        return ExactNumber::compare(a, b);
    }
};

struct DateReader {
    using Key = std::int64_t;
    // Month and day each take a byte of the key.
    static constexpr int kPartLimit = 256;
    static std::optional<Key> constant(const Value& value) {
        const auto* date = std::get_if<db::SQLDate>(&value);
        if (date == nullptr || date->month < 0 || date->month >= kPartLimit || date->day < 0 ||
            date->day >= kPartLimit) {
            return std::nullopt;
        }
        return (Key{date->year} * kPartLimit + date->month) * kPartLimit + date->day;
    }
    static bool read(const std::uint8_t* cell, Key& key) {
        key = RowCodec::dateKeyAt(cell);
        return true;
    }
    static std::optional<int> order(Key a, Key b) { return orderOf(a, b); }
};

// Times and time stamps: their parts in order, compared one after another.
template <std::size_t kParts> struct PartsReader {
    using Key = std::array<int, kParts>;
    static std::optional<Key> constant(const Value& value) {
        if constexpr (kParts == 4) {
            const auto* t = std::get_if<db::SQLTime>(&value);
            return t != nullptr
                       ? std::optional<Key>(Key{t->hour, t->minute, t->second, t->fraction})
                       : std::nullopt;
        } else {
            const auto* s = std::get_if<db::SQLTimeStamp>(&value);
            return s != nullptr ? std::optional<Key>(Key{s->year, s->month, s->day, s->hour,
                                                         s->minute, s->second, s->fraction})
                                : std::nullopt;
        }
    }
    static bool read(const std::uint8_t* cell, Key& key) {
        for (std::size_t i = 0; i < kParts; ++i) {
            key[i] = RowCodec::timePartAt(cell, i);
        }
        return true;
    }
    static std::optional<int> order(const Key& a, const Key& b) { return orderOf(a, b); }
};

template <typename Reader> class CompareCondition final : public TypedCondition {
public:
    using Key = typename Reader::Key;

    static TypedConditionPtr make(const Node& node, const CellSlots& slots) {
        const std::optional<Key> constant = Reader::constant(node.constant);
        if (!constant) {
            return nullptr;
        }
        return std::make_unique<CompareCondition>(node, slots, *constant);
    }

    CompareCondition(const Node& node, const CellSlots& slots, Key constant)
        : general_(node, slots.codec()), cell_(slots.ref(node.column)), accepts_(node.op),
          constant_(constant) {}

    bool test(const RowCells& row) const override {
        const std::uint8_t* cell = cell_(row);
        if (cell == nullptr) {
            return false;
        }
        Key key{};
        if (!Reader::read(cell, key)) {
            return general_.test(row);
        }
        const std::optional<int> order = Reader::order(key, constant_);
        return order ? accepts_(*order) : general_.test(row);
    }

private:
    GeneralCondition general_;
    CellRef cell_;
    OrderTest accepts_;
    Key constant_;
};

template <typename Reader> class InCondition final : public TypedCondition {
public:
    using Key = typename Reader::Key;

    static TypedConditionPtr make(const Node& node, const CellSlots& slots) {
        std::vector<Key> items;
        for (const Value& item : node.list) {
            const std::optional<Key> key = Reader::constant(item);
            if (!key) {
                return nullptr;
            }
            items.push_back(*key);
        }
        return std::make_unique<InCondition>(node, slots, std::move(items));
    }

    InCondition(const Node& node, const CellSlots& slots, std::vector<Key> items)
        : general_(node, slots.codec()), cell_(slots.ref(node.column)), items_(std::move(items)) {}

    bool test(const RowCells& row) const override {
        const std::uint8_t* cell = cell_(row);
        if (cell == nullptr) {
            return false;
        }
        Key key{};
        if (!Reader::read(cell, key)) {
            return general_.test(row);
        }
        for (const Key& item : items_) {
            const std::optional<int> order = Reader::order(key, item);
            if (!order) {
                return general_.test(row);
            }
            if (*order == 0) {
                return true;
            }
        }
        return false;
    }

private:
    GeneralCondition general_;
    CellRef cell_;
    std::vector<Key> items_;
};

// Text is compared where it lies in the row, never copied.
class TextCompare final : public TypedCondition {
public:
    TextCompare(const Node& node, const CellSlots& slots)
        : cell_(slots.ref(node.column)), accepts_(node.op),
          notEqual_(node.op == CompareOp::NotEqual),
          constant_(std::get<std::string>(node.constant)), caseInsensitive_(node.caseInsensitive),
          partial_(node.partial) {}

    bool test(const RowCells& row) const override {
        const std::uint8_t* cell = cell_(row);
        if (cell == nullptr) {
            return false;
        }
        const std::string_view text = RowCodec::textAt(row.row, cell);
        if (partial_) {
            const bool prefix = text.size() >= constant_.size() &&
                                FilterExpression::compareText(text.substr(0, constant_.size()),
                                                              constant_, caseInsensitive_) == 0;
            return prefix != notEqual_;
        }
        return accepts_(FilterExpression::compareText(text, constant_, caseInsensitive_));
    }

private:
    CellRef cell_;
    OrderTest accepts_;
    bool notEqual_;
    std::string constant_;
    bool caseInsensitive_;
    bool partial_;
};

class TextIn final : public TypedCondition {
public:
    TextIn(const Node& node, const CellSlots& slots, std::vector<std::string> items)
        : cell_(slots.ref(node.column)), items_(std::move(items)),
          caseInsensitive_(node.caseInsensitive) {}

    bool test(const RowCells& row) const override {
        const std::uint8_t* cell = cell_(row);
        if (cell == nullptr) {
            return false;
        }
        const std::string_view text = RowCodec::textAt(row.row, cell);
        return std::any_of(items_.begin(), items_.end(), [&](const std::string& item) {
            return FilterExpression::compareText(text, item, caseInsensitive_) == 0;
        });
    }

private:
    CellRef cell_;
    std::vector<std::string> items_;
    bool caseInsensitive_;
};

class TextLike final : public TypedCondition {
public:
    TextLike(const Node& node, const CellSlots& slots)
        : cell_(slots.ref(node.column)), pattern_(std::get<std::string>(node.constant)),
          caseInsensitive_(node.caseInsensitive) {}

    bool test(const RowCells& row) const override {
        const std::uint8_t* cell = cell_(row);
        return cell != nullptr &&
               FilterExpression::like(RowCodec::textAt(row.row, cell), pattern_, caseInsensitive_);
    }

private:
    CellRef cell_;
    std::string pattern_;
    bool caseInsensitive_;
};

TypedConditionPtr textIn(const Node& node, const CellSlots& slots) {
    std::vector<std::string> items;
    for (const Value& item : node.list) {
        const auto* text = std::get_if<std::string>(&item);
        if (text == nullptr) {
            return nullptr;
        }
        items.push_back(*text);
    }
    return std::make_unique<TextIn>(node, slots, std::move(items));
}

// Condition over the reader of the column's storage.
template <template <typename> class Condition>
TypedConditionPtr forStorage(const Node& node, const CellSlots& slots) {
    switch (slots.codec().storage(node.column)) {
    case ValueStorage::Int32:
        return Condition<IntegerReader<ValueStorage::Int32>>::make(node, slots);
    case ValueStorage::Int64:
        return Condition<IntegerReader<ValueStorage::Int64>>::make(node, slots);
    case ValueStorage::Double:
        return Condition<DoubleReader>::make(node, slots);
    case ValueStorage::Decimal:
        return Condition<DecimalReader>::make(node, slots);
    case ValueStorage::Date:
        return Condition<DateReader>::make(node, slots);
    case ValueStorage::Time:
        return Condition<PartsReader<4>>::make(node, slots);
    case ValueStorage::TimeStamp:
        return Condition<PartsReader<7>>::make(node, slots);
    default:
        return nullptr;
    }
}

} // namespace

TypedConditionPtr TypedColumnCondition::make(const Node& node, const CellSlots& slots) {
    if (node.column >= slots.codec().columnCount()) {
        return nullptr;
    }
    const bool text = slots.codec().storage(node.column) == ValueStorage::Text;
    switch (node.kind) {
    case Node::Kind::Like:
        return text ? std::make_unique<TextLike>(node, slots) : nullptr;
    case Node::Kind::Compare:
        if (std::holds_alternative<std::string>(node.constant)) {
            return text ? std::make_unique<TextCompare>(node, slots) : nullptr;
        }
        return forStorage<CompareCondition>(node, slots);
    case Node::Kind::In:
        return text ? textIn(node, slots) : forStorage<InCondition>(node, slots);
    default:
        return nullptr;
    }
}

} // namespace dataset
