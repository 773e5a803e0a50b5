#include "dataset/engine/time_text.h"

#include <cstdio>

namespace dataset {
namespace {

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

} // namespace

std::string timeToText(const db::SQLTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

std::optional<db::SQLTime> timeFromText(std::string_view text) {
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
            const std::size_t before = text.size();
            int millis = 0;
            if (!readInt(text, millis, 3)) {
                return std::nullopt;
            }
            // ".5" is half a second: the digits read are the first ones of
            // the milliseconds.
            for (std::size_t digits = before - text.size(); digits < 3; ++digits) {
                millis *= 10;
            }
            // The fraction counts tenths of a millisecond.
            time.fraction = millis * 10;
        }
    }
    if (!text.empty() || time.hour > 23 || time.minute > 59 || time.second > 59) {
        return std::nullopt;
    }
    return time;
}

} // namespace dataset
