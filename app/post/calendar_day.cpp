#include "app/post/calendar_day.h"

#include "platform/short_date.h"

namespace app::post {

namespace {

constexpr const char* kIsoFormat = "%Y-%m-%d";

platform::Date calendarDate(Day day) {
    const std::chrono::year_month_day date(day);
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day()))};
}

} // namespace

std::optional<Day> parseIsoDay(std::string_view text) {
    // Always two digits for the month and the day, which the short date
    // reader would also take with one.
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const std::optional<platform::Date> date = platform::parseDate(text, kIsoFormat);
    if (!date) {
        return std::nullopt;
    }
    return Day(std::chrono::year_month_day(std::chrono::year(date->year),
                                           std::chrono::month(static_cast<unsigned>(date->month)),
                                           std::chrono::day(static_cast<unsigned>(date->day))));
}

std::string isoText(Day day) {
    return platform::formatDate(calendarDate(day), kIsoFormat);
}

std::string shortDateText(Day day, std::string_view order) {
    if (order.size() != 3 || order.find('D') == std::string_view::npos ||
        order.find('M') == std::string_view::npos || order.find('Y') == std::string_view::npos) {
        return {};
    }
    // The company's order as a short date format: the year always with four
    // digits, so that it is never read in another century.
    std::string format;
    for (const char part : order) {
        format += format.empty() ? "" : "/";
        format += part == 'D' ? "%d" : part == 'M' ? "%m" : "%Y";
    }
    return platform::formatDate(calendarDate(day), format);
}

long daysInRange(Day first, Day last) {
    return static_cast<long>((last - first).count()) + 1;
}

} // namespace app::post
