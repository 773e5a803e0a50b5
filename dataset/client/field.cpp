#include "dataset/client/field.h"

#include "dataset/client/client_data_set.h"
#include "dataset/client/date_text.h"
#include "dataset/engine/time_text.h"
#include "db/database_error.h"

#include <charconv>
#include <cstdio>

namespace dataset {
namespace {

// Decimal text without the trailing zeros of its decimals.
std::string shortDecimal(const db::Bcd& bcd) {
    std::string text = bcd.toString();
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

[[noreturn]] void notValid(std::string_view text, const std::string& what) {
    throw db::DatabaseError("'" + std::string(text) + "' is not a valid " + what);
}

[[noreturn]] void notConvertible(const Field& field, const std::string& to) {
    notValid(field.AsString(), to);
}

// Reads text with one of the parsers of date_text.h or time_text.h; text
// that does not convert raises before the row is touched.
template <typename Parse> auto parsed(std::string_view text, Parse parse, const std::string& what) {
    auto value = parse(text);
    if (!value) {
        notValid(text, what);
    }
    return *value;
}

} // namespace

Field::Field(std::string name, std::string fieldName, FieldType type, int size, int precision)
    : name_(std::move(name)), fieldName_(std::move(fieldName)), type_(type), size_(size),
      declaredSize_(size), precision_(precision), fixedChar_(type == FieldType::FixedChar) {}

const std::string& Field::displayName() const {
    return DisplayLabel.empty() ? fieldName_ : DisplayLabel;
}

Value Field::value() const {
    return dataSet_ != nullptr ? dataSet_->fieldValue(*this) : Value{};
}

bool Field::IsNull() const {
    return std::holds_alternative<std::monostate>(value());
}

std::string Field::textOf(const Value& value) const {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        if (type_ == FieldType::Boolean) {
            return *integer != 0 ? "True" : "False";
        }
        return std::to_string(*integer);
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&value)) {
        return shortDecimal(*bcd);
    }
    if (const auto* real = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", *real);
        return text;
    }
    if (const auto* date = std::get_if<db::SQLDate>(&value)) {
        return dateToText(*date);
    }
    if (const auto* time = std::get_if<db::SQLTime>(&value)) {
        return timeToText(*time);
    }
    if (const auto* stamp = std::get_if<db::SQLTimeStamp>(&value)) {
        return timeStampToText(*stamp);
    }
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
        return std::string(bytes->begin(), bytes->end());
    }
    return {};
}

std::string Field::displayTextOf(const Value& value) const {
    if (isBlobType(type_) && type_ != FieldType::Memo && type_ != FieldType::FmtMemo) {
        return "(" + std::string(fieldTypeName(type_)) + ")";
    }
    return textOf(value);
}

std::string Field::AsString() const {
    return textOf(value());
}

std::string Field::DisplayText() const {
    return displayTextOf(value());
}

std::int64_t Field::AsInteger() const {
    const Value v = value();
    if (std::holds_alternative<std::monostate>(v)) {
        return 0;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&v)) {
        return *integer;
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&v)) {
        // A whole value reads as an integer whatever the field's scale.
        const std::optional<std::int64_t> scaled = bcd->toScaled();
        if (scaled && bcd->scale() <= 18) {
            std::int64_t unit = 1;
            for (int i = 0; i < bcd->scale(); ++i) {
                unit *= 10;
            }
            if (*scaled % unit == 0) {
                return *scaled / unit;
            }
        }
    }
    if (const auto* text = std::get_if<std::string>(&v)) {
        std::int64_t result = 0;
        const char* end = text->data() + text->size();
        const auto [ptr, ec] = std::from_chars(text->data(), end, result);
        if (ec == std::errc() && ptr == end) {
            return result;
        }
    }
    notConvertible(*this, "integer value");
}

db::Bcd Field::AsBcd() const {
    const Value v = value();
    if (std::holds_alternative<std::monostate>(v)) {
        return db::Bcd::fromScaled(0, type_ == FieldType::BCD || type_ == FieldType::FMTBcd ? size_
                                                                                            : 0);
    }
    if (const auto* bcd = std::get_if<db::Bcd>(&v)) {
        return *bcd;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&v)) {
        return db::Bcd::fromScaled(*integer, 0);
    }
    if (const auto* text = std::get_if<std::string>(&v)) {
        if (std::optional<db::Bcd> bcd = db::Bcd::fromString(*text)) {
            return *bcd;
        }
    }
    notConvertible(*this, "BCD value");
}

db::SQLDate Field::AsDate() const {
    const Value v = value();
    if (const auto* date = std::get_if<db::SQLDate>(&v)) {
        return *date;
    }
    if (const auto* stamp = std::get_if<db::SQLTimeStamp>(&v)) {
        return {stamp->year, stamp->month, stamp->day};
    }
    return {};
}

void Field::setValue(Value value) {
    if (dataSet_ == nullptr) {
        throw db::DatabaseError("Field '" + fieldName_ + "' is not bound to a dataset");
    }
    dataSet_->setFieldValue(*this, std::move(value));
}

void Field::setAsString(std::string_view text) {
    if (isStringType(type_) || type_ == FieldType::Memo || type_ == FieldType::FmtMemo) {
        setValue(std::string(text));
        return;
    }
    if (text.empty()) {
        Clear();
        return;
    }
    if (isIntegerType(type_)) {
        std::int64_t result = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, result);
        if (ec != std::errc() || ptr != end) {
            throw db::DatabaseError("'" + std::string(text) + "' is not a valid integer value");
        }
        setValue(result);
        return;
    }
    if (type_ == FieldType::BCD || type_ == FieldType::FMTBcd) {
        std::optional<db::Bcd> bcd = db::Bcd::fromString(text);
        if (!bcd) {
            throw db::DatabaseError("'" + std::string(text) + "' is not a valid BCD value");
        }
        setValue(*bcd);
        return;
    }
    switch (type_) {
    case FieldType::Date:
        setValue(parsed(text, dateFromText, "date"));
        return;
    case FieldType::Time:
        setValue(parsed(text, timeFromText, "time"));
        return;
    case FieldType::DateTime:
    case FieldType::TimeStamp:
        setValue(parsed(text, timeStampFromText, "date and time"));
        return;
    default:
        break;
    }
    setValue(std::string(text));
}

void Field::setAsInteger(std::int64_t value) {
    if (type_ == FieldType::BCD || type_ == FieldType::FMTBcd) {
        setValue(db::Bcd::fromScaled(value, 0));
    } else if (isStringType(type_)) {
        setValue(std::to_string(value));
    } else {
        setValue(value);
    }
}

void Field::setAsBcd(const db::Bcd& value) {
    setValue(value);
}

void Field::setAsDate(const db::SQLDate& value) {
    if (type_ == FieldType::DateTime || type_ == FieldType::TimeStamp) {
        setValue(db::SQLTimeStamp{value.year, value.month, value.day, 0, 0, 0, 0});
    } else {
        setValue(value);
    }
}

void Field::Clear() {
    setValue(Value{});
}

} // namespace dataset
