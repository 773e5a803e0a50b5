#include "platform/short_date.h"

#include "platform/text.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <langinfo.h>
#include <locale.h>
#include <vector>

namespace platform {

namespace {

enum class Part { Literal, Day, Month, Year, MonthAbbr, MonthFull, WeekdayAbbr, WeekdayFull };
enum class Pad { Zero, Space, None };

struct Token {
    Part part = Part::Literal;
    Pad pad = Pad::Zero;
    std::string literal;
};

// The user's LC_TIME locale, taken from the environment the way
// setlocale(LC_TIME, "") takes it, but without changing the process's locale.
class TimeLocale {
public:
    TimeLocale() {
        locale_ = newlocale(LC_TIME_MASK, "", locale_t(nullptr));
        if (locale_ == locale_t(nullptr))
            locale_ = newlocale(LC_TIME_MASK, "C", locale_t(nullptr));
    }
    ~TimeLocale() {
        if (locale_ != locale_t(nullptr))
            freelocale(locale_);
    }
    TimeLocale(const TimeLocale&) = delete;
    TimeLocale& operator=(const TimeLocale&) = delete;

    std::string item(nl_item what) const {
        const char* text = locale_ != locale_t(nullptr) ? nl_langinfo_l(what, locale_) : "";
        return text != nullptr ? text : "";
    }

private:
    locale_t locale_;
};

struct Names {
    std::array<std::string, 12> monthsAbbr;
    std::array<std::string, 12> months;
    std::array<std::string, 7> weekdaysAbbr; // Sunday first
    std::array<std::string, 7> weekdays;
};

Names loadNames() {
    const TimeLocale locale;
    Names names;
    for (int i = 0; i < 12; ++i) {
        names.monthsAbbr[i] = locale.item(ABMON_1 + i);
        names.months[i] = locale.item(MON_1 + i);
    }
    for (int i = 0; i < 7; ++i) {
        names.weekdaysAbbr[i] = locale.item(ABDAY_1 + i);
        names.weekdays[i] = locale.item(DAY_1 + i);
    }
    return names;
}

bool usesNames(const std::vector<Token>& tokens) {
    for (const Token& token : tokens) {
        if (token.part != Part::Literal && token.part != Part::Day && token.part != Part::Month &&
            token.part != Part::Year) {
            return true;
        }
    }
    return false;
}

void addLiteral(std::vector<Token>& tokens, std::string_view text) {
    if (tokens.empty() || tokens.back().part != Part::Literal)
        tokens.push_back({Part::Literal, Pad::Zero, {}});
    tokens.back().literal += text;
}

// A day or month that is not zero padded is one digit wide or two.
bool hasVariableWidth(const Token& token) {
    return (token.part == Part::Day || token.part == Part::Month) && token.pad != Pad::Zero;
}

bool mayStartWithDigit(const Token& token) {
    if (token.part == Part::Literal)
        return std::isdigit(static_cast<unsigned char>(token.literal.front())) != 0;
    return token.part == Part::Day || token.part == Part::Month || token.part == Part::Year;
}

// The format split into literal text and date parts; nullopt when it holds a
// conversion that is not supported, or a digit right after a day or month of
// variable width, which reading back would take for its second digit.
std::optional<std::vector<Token>> tokenize(std::string_view format) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            addLiteral(tokens, format.substr(i, 1));
            continue;
        }
        if (++i == format.size())
            return std::nullopt;
        std::optional<Pad> pad;
        for (; i < format.size(); ++i) {
            const char flag = format[i];
            if (flag == '-') {
                pad = Pad::None;
            } else if (flag == '_') {
                pad = Pad::Space;
            } else if (flag == '0') {
                pad = Pad::Zero;
            } else if (flag != '^' && flag != '#') {
                break;
            }
        }
        if (i < format.size() && (format[i] == 'E' || format[i] == 'O'))
            ++i;
        if (i == format.size())
            return std::nullopt;
        const auto field = [&](Part part, Pad standard) {
            tokens.push_back({part, pad.value_or(standard), {}});
        };
        switch (format[i]) {
        case 'd':
            field(Part::Day, Pad::Zero);
            break;
        case 'e':
            field(Part::Day, Pad::Space);
            break;
        case 'm':
            field(Part::Month, Pad::Zero);
            break;
        case 'y':
        case 'Y':
            field(Part::Year, Pad::Zero);
            break;
        case 'b':
        case 'h':
            field(Part::MonthAbbr, Pad::None);
            break;
        case 'B':
            field(Part::MonthFull, Pad::None);
            break;
        case 'a':
            field(Part::WeekdayAbbr, Pad::None);
            break;
        case 'A':
            field(Part::WeekdayFull, Pad::None);
            break;
        case 'D':
            tokens.push_back({Part::Month, Pad::Zero, {}});
            addLiteral(tokens, "/");
            tokens.push_back({Part::Day, Pad::Zero, {}});
            addLiteral(tokens, "/");
            tokens.push_back({Part::Year, Pad::Zero, {}});
            break;
        case 'F':
            tokens.push_back({Part::Year, Pad::Zero, {}});
            addLiteral(tokens, "-");
            tokens.push_back({Part::Month, Pad::Zero, {}});
            addLiteral(tokens, "-");
            tokens.push_back({Part::Day, Pad::Zero, {}});
            break;
        case '%':
            addLiteral(tokens, "%");
            break;
        case 'n':
            addLiteral(tokens, "\n");
            break;
        case 't':
            addLiteral(tokens, "\t");
            break;
        default:
            return std::nullopt;
        }
    }
    bool day = false, month = false, year = false;
    for (const Token& token : tokens) {
        day = day || token.part == Part::Day;
        month = month || token.part == Part::Month || token.part == Part::MonthAbbr ||
                token.part == Part::MonthFull;
        year = year || token.part == Part::Year;
    }
    if (!day || !month || !year)
        return std::nullopt;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (hasVariableWidth(tokens[i]) && mayStartWithDigit(tokens[i + 1]))
            return std::nullopt;
    }
    return tokens;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// 0 for Sunday, as the locale's weekday names are ordered.
int weekday(const Date& date) {
    // Days since 1970-01-01 (a Thursday), after H. Hinnant's days_from_civil.
    const int y = date.year - (date.month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long days = long(era) * 146097 + dayOfEra - 719468;
    return int(((days % 7) + 11) % 7);
}

std::string number(int value, int width, Pad pad) {
    char buffer[16];
    if (pad == Pad::None) {
        std::snprintf(buffer, sizeof buffer, "%d", value);
    } else if (pad == Pad::Space) {
        std::snprintf(buffer, sizeof buffer, "%*d", width, value);
    } else {
        std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    }
    return buffer;
}

// Reads up to maxDigits digits (at least minDigits) from the front of text.
std::optional<int> readNumber(std::string_view& text, std::size_t minDigits,
                              std::size_t maxDigits) {
    std::size_t count = 0;
    int value = 0;
    while (count < maxDigits && count < text.size() &&
           std::isdigit(static_cast<unsigned char>(text[count]))) {
        value = value * 10 + (text[count] - '0');
        ++count;
    }
    if (count < minDigits)
        return std::nullopt;
    text.remove_prefix(count);
    return value;
}

// The index of the longest name that the text begins with, ignoring ASCII
// letter case.
template <std::size_t N>
std::optional<int> readName(std::string_view& text, const std::array<std::string, N>& names) {
    std::optional<int> found;
    std::size_t length = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const std::string& name = names[i];
        if (!name.empty() && name.size() > length && name.size() <= text.size() &&
            equalsIgnoreCase(text.substr(0, name.size()), name)) {
            found = int(i);
            length = name.size();
        }
    }
    if (found)
        text.remove_prefix(length);
    return found;
}

// Keeps the first value read for a part; a second, different one fails.
bool settle(std::optional<int>& slot, std::optional<int> value) {
    if (!value || (slot && *slot != *value))
        return false;
    slot = value;
    return true;
}

} // namespace

bool isValidDate(const Date& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

bool isSupportedDateFormat(std::string_view format) {
    return tokenize(format).has_value();
}

std::string shortDateFormat() {
    const std::string format = TimeLocale().item(D_FMT);
    return isSupportedDateFormat(format) ? format : kFallbackDateFormat;
}

std::string dateOrder(std::string_view format) {
    const auto tokens = tokenize(format);
    if (!tokens)
        return {};
    std::string order;
    const auto add = [&order](char part) {
        if (order.find(part) == std::string::npos)
            order += part;
    };
    for (const Token& token : *tokens) {
        switch (token.part) {
        case Part::Day:
            add('D');
            break;
        case Part::Month:
        case Part::MonthAbbr:
        case Part::MonthFull:
            add('M');
            break;
        case Part::Year:
            add('Y');
            break;
        default:
            break;
        }
    }
    return order;
}

std::string shortDateOrder() {
    return dateOrder(shortDateFormat());
}

std::string formatDate(const Date& date, std::string_view format) {
    const auto tokens = tokenize(format);
    if (!tokens || !isValidDate(date))
        return {};
    const Names names = usesNames(*tokens) ? loadNames() : Names{};
    std::string text;
    for (const Token& token : *tokens) {
        switch (token.part) {
        case Part::Literal:
            text += token.literal;
            break;
        case Part::Day:
            text += number(date.day, 2, token.pad);
            break;
        case Part::Month:
            text += number(date.month, 2, token.pad);
            break;
        case Part::Year:
            text += number(date.year, 4, Pad::Zero);
            break;
        case Part::MonthAbbr:
            text += names.monthsAbbr[date.month - 1];
            break;
        case Part::MonthFull:
            text += names.months[date.month - 1];
            break;
        case Part::WeekdayAbbr:
            text += names.weekdaysAbbr[weekday(date)];
            break;
        case Part::WeekdayFull:
            text += names.weekdays[weekday(date)];
            break;
        }
    }
    return text;
}

std::optional<Date> parseDate(std::string_view text, std::string_view format, YearDigits years) {
    const auto tokens = tokenize(format);
    if (!tokens)
        return std::nullopt;
    const Names names = usesNames(*tokens) ? loadNames() : Names{};
    std::optional<int> day, month, year, dayOfWeek;
    for (const Token& token : *tokens) {
        bool ok = true;
        switch (token.part) {
        case Part::Literal:
            ok = text.substr(0, token.literal.size()) == token.literal;
            if (ok)
                text.remove_prefix(token.literal.size());
            break;
        case Part::Day:
        case Part::Month: {
            if (token.pad == Pad::Space && !text.empty() && text.front() == ' ')
                text.remove_prefix(1);
            std::optional<int>& slot = token.part == Part::Day ? day : month;
            ok = settle(slot, readNumber(text, 1, 2));
            break;
        }
        case Part::Year: {
            const std::size_t before = text.size();
            std::optional<int> read = readNumber(text, years == YearDigits::Four ? 4 : 2, 4);
            const std::size_t digits = before - text.size();
            if (read && digits == 2) {
                read = *read + (*read < kTwoDigitYearPivot ? 2000 : 1900);
            } else if (digits != 4) {
                read.reset();
            }
            ok = settle(year, read);
            break;
        }
        case Part::MonthAbbr:
        case Part::MonthFull: {
            const auto index =
                readName(text, token.part == Part::MonthAbbr ? names.monthsAbbr : names.months);
            ok = settle(month, index ? std::optional<int>(*index + 1) : std::nullopt);
            break;
        }
        case Part::WeekdayAbbr:
        case Part::WeekdayFull:
            ok = settle(dayOfWeek,
                        readName(text, token.part == Part::WeekdayAbbr ? names.weekdaysAbbr
                                                                       : names.weekdays));
            break;
        }
        if (!ok)
            return std::nullopt;
    }
    if (!text.empty())
        return std::nullopt;
    const Date date{*year, *month, *day};
    if (!isValidDate(date) || (dayOfWeek && *dayOfWeek != weekday(date)))
        return std::nullopt;
    return date;
}

std::string dateToShortText(const Date& date) {
    return formatDate(date, shortDateFormat());
}

std::optional<Date> shortTextToDate(std::string_view text) {
    return parseDate(text, shortDateFormat());
}

std::optional<Date> typedShortTextToDate(std::string_view text) {
    return parseDate(text, shortDateFormat(), YearDigits::FourOrTwo);
}

Date today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

} // namespace platform
