#include "app/post/calendar_day.h"

#include <cstdio>

namespace app::post {

namespace {

bool digitsAt(std::string_view text, std::size_t from, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

std::string twoDigits(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value);
    return text;
}

} // namespace

std::optional<Day> parseIsoDay(std::string_view text) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digitsAt(text, 0, 4, year) ||
        !digitsAt(text, 5, 2, month) || !digitsAt(text, 8, 2, day)) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) {
        return std::nullopt;
    }
    return Day(date);
}

std::string isoText(Day day) {
    const std::chrono::year_month_day date(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::string shortDateText(Day day, std::string_view order) {
    if (order.size() != 3 || order.find('D') == std::string_view::npos ||
        order.find('M') == std::string_view::npos || order.find('Y') == std::string_view::npos) {
        return {};
    }
    const std::chrono::year_month_day date(day);
    std::string text;
    for (const char part : order) {
        if (!text.empty()) {
            text += '/';
        }
        if (part == 'D') {
            text += twoDigits(static_cast<unsigned>(date.day()));
        } else if (part == 'M') {
            text += twoDigits(static_cast<unsigned>(date.month()));
        } else {
            // Always four digits: a shorter year would be read in the
            // century nearest today.
            char year[8];
            std::snprintf(year, sizeof year, "%04d", static_cast<int>(date.year()));
            text += year;
        }
    }
    return text;
}

long daysInRange(Day first, Day last) {
    return static_cast<long>((last - first).count()) + 1;
}

} // namespace app::post
