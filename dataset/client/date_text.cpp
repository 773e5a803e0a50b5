#include "dataset/client/date_text.h"

#include "dataset/engine/time_text.h"
#include "platform/short_date.h"

namespace dataset {

std::string dateToText(const db::SQLDate& date) {
    return platform::dateToShortText({date.year, date.month, date.day});
}

std::optional<db::SQLDate> dateFromText(std::string_view text) {
    const std::optional<platform::Date> day = platform::typedShortTextToDate(text);
    if (!day) {
        return std::nullopt;
    }
    return db::SQLDate{day->year, day->month, day->day};
}

std::string timeStampToText(const db::SQLTimeStamp& stamp) {
    return dateToText({stamp.year, stamp.month, stamp.day}) + " " +
           timeToText({stamp.hour, stamp.minute, stamp.second, stamp.fraction});
}

std::optional<db::SQLTimeStamp> timeStampFromText(std::string_view text) {
    std::optional<db::SQLDate> date = dateFromText(text);
    db::SQLTime time;
    if (!date) {
        // A short date format may hold blanks itself; the time holds none.
        const std::size_t blank = text.rfind(' ');
        if (blank == std::string_view::npos) {
            return std::nullopt;
        }
        date = dateFromText(text.substr(0, blank));
        const std::optional<db::SQLTime> read = timeFromText(text.substr(blank + 1));
        if (!date || !read) {
            return std::nullopt;
        }
        time = *read;
    }
    return db::SQLTimeStamp{date->year,  date->month, date->day,    time.hour,
                            time.minute, time.second, time.fraction};
}

} // namespace dataset
