#pragma once
// Dates and time stamps of fields as text: the date in the user's short date
// format, a time stamp's time of day after one blank. Reading is strict: the
// text must be a real calendar day written in that format.

#include "db/sql_driver.h"

#include <optional>
#include <string>
#include <string_view>

namespace dataset {

std::string dateToText(const db::SQLDate& date);
// Also takes a two-digit year, as users type it.
std::optional<db::SQLDate> dateFromText(std::string_view text);

std::string timeStampToText(const db::SQLTimeStamp& stamp);
// The date alone stands for midnight.
std::optional<db::SQLTimeStamp> timeStampFromText(std::string_view text);

} // namespace dataset
