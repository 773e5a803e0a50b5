#pragma once
// Dates as text in the user's short date format (LC_TIME), and today's date.
// A two-digit year is always written with four digits, so that a date turned
// into text reads back as the same date. The posting statement, filter texts
// and the date picker all go through these functions.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A calendar date of the proleptic Gregorian calendar, years 1 to 9999.
struct Date {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31

    friend bool operator==(const Date&, const Date&) = default;
};

bool isValidDate(const Date& date);

// The user's short date format as strftime conversions (nl_langinfo(D_FMT)
// of the LC_TIME locale the environment names). A format that this file
// cannot write and read back falls back to kFallbackDateFormat.
std::string shortDateFormat();
inline constexpr const char* kFallbackDateFormat = "%Y-%m-%d";

// True when every conversion of the format is one of those below and the
// format names a day, a month and a year: %d %e %m %y %Y %D %F %b %h %B %a %A
// %% %n %t, with the flags - _ 0 ^ # and the modifiers E and O, which are
// accepted and, apart from the padding flags, ignored. A day or month padded
// with blanks or not at all (%e, %-d, %_m) must not be followed by a digit
// (as in %-d%m%Y or %-m1), which would be read back as part of it.
bool isSupportedDateFormat(std::string_view format);

// The order of day, month and year in the format, as the letters D, M and Y
// ("DMY" for "%d/%m/%Y"); empty for an unsupported format.
std::string dateOrder(std::string_view format);
// The order of the user's short date format.
std::string shortDateOrder();

// The date written in the format; %y and %Y both write four digits. Returns
// an empty text for an invalid date or an unsupported format.
std::string formatDate(const Date& date, std::string_view format);

// How many digits a year may be typed with. Two digits name a year from
// 1950 to 2049, as the regional settings do by default.
enum class YearDigits { Four, FourOrTwo };
inline constexpr int kTwoDigitYearPivot = 50;

// Reads a date written in the format. Day and month take one or two digits,
// the year exactly four (or two, when allowed); literal text must match
// exactly and nothing may follow. Text that is not a valid calendar date in
// the format gives nullopt.
std::optional<Date> parseDate(std::string_view text, std::string_view format,
                              YearDigits years = YearDigits::Four);

// formatDate and parseDate with the user's short date format.
std::string dateToShortText(const Date& date);
std::optional<Date> shortTextToDate(std::string_view text);
// As a user types it: the year may also have two digits.
std::optional<Date> typedShortTextToDate(std::string_view text);

// The system date in the local time zone.
Date today();

} // namespace platform
