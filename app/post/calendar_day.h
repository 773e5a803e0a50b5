#pragma once
// A day of the calendar as the posting tool reads and writes it: ISO 8601
// on the command line and in its output, and the short date text a company
// database reads in the order of day, month and year it stores.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace app::post {

using Day = std::chrono::sys_days;

// YYYY-MM-DD with four, two and two digits, and a day that exists.
std::optional<Day> parseIsoDay(std::string_view text);
std::string isoText(Day day);

// The day as "dd/mm/yyyy" with its parts in the order given by a
// permutation of D, M and Y (as a company stores it, e.g. "DMY" or "MDY");
// empty when the order is not such a permutation.
std::string shortDateText(Day day, std::string_view order);

// The number of days from first to last, both counted.
long daysInRange(Day first, Day last);

} // namespace app::post
