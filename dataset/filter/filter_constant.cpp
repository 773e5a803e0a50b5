#include "dataset/filter/filter_constant.h"

#include "dataset/engine/time_text.h"
#include "db/database_error.h"
#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace dataset {
namespace {

// Longest text a string comparison keeps.
constexpr std::size_t kMaxTextConstant = 255;

// The first characters of a UTF-8 text, at most count of them.
std::string firstCharacters(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Every byte but a continuation byte starts a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == count) {
            return text.substr(0, i);
        }
    }
    return text;
}

[[noreturn]] void mismatch() {
    throw db::DatabaseError(FilterCompiler::kTypeMismatch);
}

[[noreturn]] void invalidDate(const std::string& text) {
    throw db::DatabaseError(platform::fill(FilterCompiler::kInvalidDate, text));
}

} // namespace

Value FilterConstant::make(const FilterCompiler::FieldRef& field, bool quoted,
                           const std::string& text, const FilterCompiler::DateParser& parseDate) {
    switch (field.type) {
    case FieldType::String:
    case FieldType::FixedChar:
        // Compared as the field would store it: no longer than its size.
        if (field.size > 0) {
            return firstCharacters(text.substr(0, kMaxTextConstant),
                                   static_cast<std::size_t>(field.size));
        }
        return text.substr(0, kMaxTextConstant);
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return text.substr(0, kMaxTextConstant);
    case FieldType::Boolean: {
        // The words True and False, bare or quoted, in any letter case.
        if (platform::equalsIgnoreCase(text, "true")) {
            return std::int64_t{1};
        }
        if (platform::equalsIgnoreCase(text, "false")) {
            return std::int64_t{0};
        }
        mismatch();
    }
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
        // The short date format may hold blanks itself ("%e.%m.%Y" writes
        // " 5.03.2024"); a time, when there is one, follows the last blank.
        std::optional<db::SQLDate> date = parseDate ? parseDate(text) : std::nullopt;
        db::SQLTime time;
        if (!date && field.type != FieldType::Date) {
            const std::size_t blank = text.rfind(' ');
            if (blank != std::string::npos && parseDate) {
                date = parseDate(std::string_view(text).substr(0, blank));
                const std::optional<db::SQLTime> read =
                    timeFromText(std::string_view(text).substr(blank + 1));
                if (!read) {
                    date.reset();
                } else {
                    time = *read;
                }
            }
        }
        if (!date) {
            invalidDate(text);
        }
        if (field.type == FieldType::Date) {
            return *date;
        }
        return db::SQLTimeStamp{date->year,  date->month, date->day,    time.hour,
                                time.minute, time.second, time.fraction};
    }
    case FieldType::Time: {
        if (!quoted) {
            mismatch();
        }
        const std::optional<db::SQLTime> time = timeFromText(text);
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
