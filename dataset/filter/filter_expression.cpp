#include "dataset/filter/filter_expression.h"

#include "dataset/filter/filter_arithmetic.h"
#include "platform/text.h"

#include <algorithm>
#include <compare>
#include <tuple>

namespace dataset {
namespace {

int sign(auto difference) {
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

// Decimals compared by their texts, after lining up their points.
int compareBcd(const db::Bcd& a, const db::Bcd& b) {
    struct Parts {
        bool negative;
        std::string integers;
        std::string decimals;
    };
    auto parts = [](const db::Bcd& bcd) {
        std::string text = bcd.toString();
        Parts p{false, {}, {}};
        if (!text.empty() && text[0] == '-') {
            p.negative = true;
            text.erase(0, 1);
        }
        const std::size_t point = text.find('.');
        p.integers = text.substr(0, point);
        if (point != std::string::npos) {
            p.decimals = text.substr(point + 1);
        }
        p.integers.erase(0, std::min(p.integers.find_first_not_of('0'), p.integers.size()));
        while (!p.decimals.empty() && p.decimals.back() == '0') {
            p.decimals.pop_back();
        }
        if (p.integers.empty() && p.decimals.empty()) {
            p.negative = false;
        }
        return p;
    };
    const Parts pa = parts(a);
    const Parts pb = parts(b);
    if (pa.negative != pb.negative) {
        return pa.negative ? -1 : 1;
    }
    int magnitude = 0;
    if (pa.integers.size() != pb.integers.size()) {
        magnitude = pa.integers.size() < pb.integers.size() ? -1 : 1;
    } else if (pa.integers != pb.integers) {
        magnitude = sign(pa.integers.compare(pb.integers));
    } else {
        magnitude = sign(pa.decimals.compare(pb.decimals));
    }
    return pa.negative ? -magnitude : magnitude;
}

} // namespace

int FilterExpression::compareText(std::string_view a, std::string_view b, bool caseInsensitive) {
    return caseInsensitive ? platform::compareIgnoreCase(a, b) : sign(a.compare(b));
}

std::optional<int> FilterExpression::compare(const Value& a, const Value& b, bool caseInsensitive) {
    if (a.index() != b.index()) {
        return std::nullopt;
    }
    if (const auto* text = std::get_if<std::string>(&a)) {
        return compareText(*text, std::get<std::string>(b), caseInsensitive);
    }
    if (const auto* integer = std::get_if<std::int64_t>(&a)) {
        const std::int64_t other = std::get<std::int64_t>(b);
        return *integer < other ? -1 : (*integer > other ? 1 : 0);
    }
    if (const auto* real = std::get_if<double>(&a)) {
        const double other = std::get<double>(b);
        return *real < other ? -1 : (*real > other ? 1 : 0);
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&a)) {
        if (const std::optional<int> order = FilterArithmetic::compareExact(a, b)) {
            return order;
        }
        return compareBcd(*bcd, std::get<db::Bcd>(b));
    }
    if (const auto* date = std::get_if<db::SQLDate>(&a)) {
        const auto& o = std::get<db::SQLDate>(b);
        const auto c =
            std::tie(date->year, date->month, date->day) <=> std::tie(o.year, o.month, o.day);
        return std::is_lt(c) ? -1 : (std::is_gt(c) ? 1 : 0);
    }
    if (const auto* time = std::get_if<db::SQLTime>(&a)) {
        const auto& o = std::get<db::SQLTime>(b);
        const auto c = std::tie(time->hour, time->minute, time->second, time->fraction) <=>
                       std::tie(o.hour, o.minute, o.second, o.fraction);
        return std::is_lt(c) ? -1 : (std::is_gt(c) ? 1 : 0);
    }
    if (const auto* stamp = std::get_if<db::SQLTimeStamp>(&a)) {
        const auto& o = std::get<db::SQLTimeStamp>(b);
        const auto c = std::tie(stamp->year, stamp->month, stamp->day, stamp->hour, stamp->minute,
                                stamp->second, stamp->fraction) <=>
                       std::tie(o.year, o.month, o.day, o.hour, o.minute, o.second, o.fraction);
        return std::is_lt(c) ? -1 : (std::is_gt(c) ? 1 : 0);
    }
    return std::nullopt;
}

bool FilterExpression::like(std::string_view text, std::string_view pattern, bool caseInsensitive) {
    const auto same = [&](char a, char b) {
        return caseInsensitive ? platform::lowerAscii(a) == platform::lowerAscii(b) : a == b;
    };
    // Greedy with one backtrack point: linear in practice, never exponential.
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '_' || same(pattern[p], text[t]))) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '%') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%') {
        ++p;
    }
    return p == pattern.size();
}

bool FilterExpression::matches(const RowCodec& codec, RowBytes row) const {
    return evaluate(*root_, codec, row);
}

Value FilterExpression::compute(const Node& node, const RowCodec& codec, RowBytes row) {
    switch (node.kind) {
    case Node::Kind::Column:
        return codec.value(row, node.column);
    case Node::Kind::Arithmetic:
        return FilterArithmetic::apply(node.arithmetic, compute(*node.left, codec, row),
                                       compute(*node.right, codec, row));
    case Node::Kind::Negate:
        return FilterArithmetic::negate(compute(*node.left, codec, row));
    default:
        return node.constant;
    }
}

bool FilterExpression::evaluate(const Node& node, const RowCodec& codec, RowBytes row) {
    switch (node.kind) {
    case Node::Kind::And:
        return evaluate(*node.left, codec, row) && evaluate(*node.right, codec, row);
    case Node::Kind::Or:
        return evaluate(*node.left, codec, row) || evaluate(*node.right, codec, row);
    case Node::Kind::Not:
        return !evaluate(*node.left, codec, row);
    case Node::Kind::Constant:
        return node.flag;
    case Node::Kind::IsNull:
        return (codec.state(row, node.column) != CellState::Assigned) != node.flag;
    case Node::Kind::Like: {
        const std::optional<std::string_view> text = codec.text(row, node.column);
        return text && like(*text, std::get<std::string>(node.constant), node.caseInsensitive);
    }
    case Node::Kind::In: {
        if (codec.state(row, node.column) != CellState::Assigned) {
            return false;
        }
        const Value value = codec.value(row, node.column);
        return std::any_of(node.list.begin(), node.list.end(), [&](const Value& item) {
            const std::optional<int> order = compare(value, item, node.caseInsensitive);
            return order && *order == 0;
        });
    }
    case Node::Kind::CompareValues: {
        const Value a = compute(*node.left, codec, row);
        const Value b = compute(*node.right, codec, row);
        std::optional<int> order = FilterArithmetic::compare(a, b);
        if (!order) {
            order = compare(a, b, node.caseInsensitive);
        }
        return order && holds(node.op, *order);
    }
    case Node::Kind::Compare:
        break;
    default:
        return false;
    }
    int order = 0;
    if (const auto* constant = std::get_if<std::string>(&node.constant)) {
        // Text read in place: locating and filtering never copy a row's text.
        const std::optional<std::string_view> text = codec.text(row, node.column);
        if (!text) {
            return false;
        }
        if (node.partial) {
            const std::string_view head = text->substr(0, constant->size());
            const bool prefix = head.size() == constant->size() &&
                                compareText(head, *constant, node.caseInsensitive) == 0;
            return node.op == CompareOp::NotEqual ? !prefix : prefix;
        }
        order = compareText(*text, *constant, node.caseInsensitive);
    } else {
        const std::optional<int> result =
            compare(codec.value(row, node.column), node.constant, node.caseInsensitive);
        if (!result) {
            return false;
        }
        order = *result;
    }
    return holds(node.op, order);
}

bool FilterExpression::holds(CompareOp op, int order) {
    switch (op) {
    case CompareOp::Equal:
        return order == 0;
    case CompareOp::NotEqual:
        return order != 0;
    case CompareOp::Less:
        return order < 0;
    case CompareOp::Greater:
        return order > 0;
    case CompareOp::LessEqual:
        return order <= 0;
    case CompareOp::GreaterEqual:
        return order >= 0;
    }
    return false;
}

} // namespace dataset
