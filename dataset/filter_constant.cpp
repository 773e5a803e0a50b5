#include "dataset/filter_constant.h"

#include "db/database_error.h"

#include <charconv>

namespace dataset {
namespace {

// Longest text a string comparison keeps.
constexpr std::size_t MaxTextConstant = 255;

[[noreturn]] void mismatch() {
    throw db::DatabaseError(FilterCompiler::TypeMismatch);
}

[[noreturn]] void invalidDate(const std::string& text) {
    const std::string_view pattern = FilterCompiler::InvalidDate;
    const std::size_t at = pattern.find("%s");
    std::string message(pattern.substr(0, at));
    message.append(text).append(pattern.substr(at + 2));
    throw db::DatabaseError(message);
}

bool readInt(std::string_view& text, int& value, std::size_t maxDigits) {
    std::size_t digits = 0;
    value = 0;
    while (digits < text.size() && digits < maxDigits && text[digits] >= '0' &&
           text[digits] <= '9') {
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    text.remove_prefix(digits);
    return digits > 0;
}

// "h:mm", "h:mm:ss" or "h:mm:ss.zzz" (milliseconds).
std::optional<db::SQLTime> parseTime(std::string_view text) {
    db::SQLTime time;
    if (!readInt(text, time.hour, 2) || text.empty() || text.front() != ':') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    if (!readInt(text, time.minute, 2)) {
        return std::nullopt;
    }
    if (!text.empty() && text.front() == ':') {
        text.remove_prefix(1);
        if (!readInt(text, time.second, 2)) {
            return std::nullopt;
        }
        if (!text.empty() && text.front() == '.') {
            text.remove_prefix(1);
            int millis = 0;
            if (!readInt(text, millis, 3)) {
                return std::nullopt;
            }
            time.fraction = millis * 10;
        }
    }
    if (!text.empty() || time.hour > 23 || time.minute > 59 || time.second > 59) {
        return std::nullopt;
    }
    return time;
}

} // namespace

Value FilterConstant::make(const FilterCompiler::FieldRef& field, bool quoted,
                           const std::string& text, const FilterCompiler::DateParser& parseDate) {
    switch (field.type) {
    case FieldType::String:
    case FieldType::FixedChar:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return text.size() > MaxTextConstant ? text.substr(0, MaxTextConstant) : text;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
    case FieldType::AutoInc: {
        std::int64_t value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, value);
        if (ec != std::errc() || ptr != end) {
            mismatch();
        }
        return value;
    }
    case FieldType::Float:
    case FieldType::Currency: {
        double value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, value);
        if (ec != std::errc() || ptr != end || !db::Bcd::fromString(text)) {
            mismatch();
        }
        return value;
    }
    case FieldType::BCD:
    case FieldType::FMTBcd: {
        const std::optional<db::Bcd> value = db::Bcd::fromString(text);
        if (!value) {
            mismatch();
        }
        return *value;
    }
    case FieldType::Date:
    case FieldType::DateTime:
    case FieldType::TimeStamp: {
        if (!quoted) {
            mismatch();
        }
        const std::size_t blank = text.find(' ');
        const std::string_view datePart = std::string_view(text).substr(0, blank);
        const std::optional<db::SQLDate> date = parseDate ? parseDate(datePart) : std::nullopt;
        if (!date) {
            invalidDate(text);
        }
        if (field.type == FieldType::Date) {
            if (blank != std::string::npos) {
                invalidDate(text);
            }
            return *date;
        }
        db::SQLTime time;
        if (blank != std::string::npos) {
            const std::optional<db::SQLTime> read =
                parseTime(std::string_view(text).substr(blank + 1));
            if (!read) {
                invalidDate(text);
            }
            time = *read;
        }
        return db::SQLTimeStamp{date->year,  date->month, date->day,    time.hour,
                                time.minute, time.second, time.fraction};
    }
    case FieldType::Time: {
        if (!quoted) {
            mismatch();
        }
        const std::optional<db::SQLTime> time = parseTime(text);
        if (!time) {
            invalidDate(text);
        }
        return *time;
    }
    default:
        mismatch();
    }
}

} // namespace dataset
