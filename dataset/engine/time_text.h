#pragma once
// Times of day as text: written hh:mm:ss, read back as h:mm, h:mm:ss or
// h:mm:ss.zzz (milliseconds). Field texts and filter constants share them.

#include "db/sql_driver.h"

#include <optional>
#include <string>
#include <string_view>

namespace dataset {

// Drops the fraction of a second.
std::string timeToText(const db::SQLTime& time);
std::optional<db::SQLTime> timeFromText(std::string_view text);

} // namespace dataset
