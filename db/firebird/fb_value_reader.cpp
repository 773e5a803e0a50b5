#include "db/firebird/fb_value_reader.h"

#include "db/firebird/fb_types.h"

#include <cstring>

namespace db::firebird {

namespace {

template <typename T> T load(const unsigned char* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

std::int64_t loadExact(const FbField& field, const unsigned char* data) {
    switch (field.type) {
    case SQL_SHORT:
        return load<std::int16_t>(data);
    case SQL_LONG:
        return load<std::int32_t>(data);
    case SQL_BOOLEAN:
        return load<unsigned char>(data) != 0 ? 1 : 0;
    default:
        return load<std::int64_t>(data);
    }
}

} // namespace

bool FbValueReader::isText(const FbField& field) {
    return field.type == SQL_TEXT || field.type == SQL_VARYING;
}

bool FbValueReader::isExactNumber(const FbField& field) {
    return field.type == SQL_SHORT || field.type == SQL_LONG || field.type == SQL_INT64;
}

int FbValueReader::text(const FbField& field, const unsigned char* data, bool trimBlanks,
                        std::string* value) const {
    if (field.type == SQL_VARYING) {
        const auto length = load<std::uint16_t>(data);
        value->assign(reinterpret_cast<const char*>(data) + 2, length);
    } else if (field.type == SQL_TEXT) {
        value->assign(reinterpret_cast<const char*>(data), field.length);
        // A multi-byte CHAR(n) comes padded to its byte length; its value is
        // its first n characters.
        const int perCharacter = FbTypes::bytesPerCharacter(field.charSet);
        if (perCharacter > 1) {
            std::size_t characters = field.length / static_cast<unsigned>(perCharacter);
            std::size_t end = 0;
            while (end < value->size() && characters > 0) {
                ++end;
                while (end < value->size() &&
                       (static_cast<unsigned char>((*value)[end]) & 0xC0) == 0x80) {
                    ++end;
                }
                --characters;
            }
            value->resize(end);
        }
        if (trimBlanks) {
            value->erase(value->find_last_not_of(' ') + 1);
        }
    } else {
        return DriverResult::kInvalidFieldType;
    }
    return DriverResult::kSuccess;
}

int FbValueReader::integer(const FbField& field, const unsigned char* data,
                           std::int64_t* value) const {
    if ((!isExactNumber(field) && field.type != SQL_BOOLEAN) || field.scale != 0) {
        return DriverResult::kInvalidFieldType;
    }
    *value = loadExact(field, data);
    return DriverResult::kSuccess;
}

int FbValueReader::bcd(const FbField& field, const unsigned char* data, Bcd* value) const {
    if (!isExactNumber(field)) {
        return DriverResult::kInvalidFieldType;
    }
    *value = Bcd::fromScaled(loadExact(field, data), -field.scale);
    return DriverResult::kSuccess;
}

int FbValueReader::real(const FbField& field, const unsigned char* data, double* value) const {
    switch (field.type) {
    case SQL_FLOAT:
        *value = load<float>(data);
        return DriverResult::kSuccess;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        *value = load<double>(data);
        return DriverResult::kSuccess;
    default:
        return DriverResult::kInvalidFieldType;
    }
}

int FbValueReader::date(const FbField& field, const unsigned char* data, SQLDate* value) const {
    ISC_DATE raw;
    if (field.type == SQL_TYPE_DATE) {
        raw = load<ISC_DATE>(data);
    } else if (field.type == SQL_TIMESTAMP) {
        raw = load<ISC_TIMESTAMP>(data).timestamp_date;
    } else {
        return DriverResult::kInvalidFieldType;
    }
    unsigned year = 0, month = 0, day = 0;
    client_.util()->decodeDate(raw, &year, &month, &day);
    *value = SQLDate{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
    return DriverResult::kSuccess;
}

int FbValueReader::time(const FbField& field, const unsigned char* data, SQLTime* value) const {
    ISC_TIME raw;
    if (field.type == SQL_TYPE_TIME) {
        raw = load<ISC_TIME>(data);
    } else if (field.type == SQL_TIMESTAMP) {
        raw = load<ISC_TIMESTAMP>(data).timestamp_time;
    } else {
        return DriverResult::kInvalidFieldType;
    }
    unsigned hours = 0, minutes = 0, seconds = 0, fractions = 0;
    client_.util()->decodeTime(raw, &hours, &minutes, &seconds, &fractions);
    *value = SQLTime{static_cast<int>(hours), static_cast<int>(minutes), static_cast<int>(seconds),
                     static_cast<int>(fractions)};
    return DriverResult::kSuccess;
}

int FbValueReader::timeStamp(const FbField& field, const unsigned char* data,
                             SQLTimeStamp* value) const {
    SQLDate d;
    SQLTime t;
    if (field.type == SQL_TYPE_DATE) {
        date(field, data, &d);
    } else if (field.type == SQL_TIMESTAMP) {
        date(field, data, &d);
        time(field, data, &t);
    } else {
        return DriverResult::kInvalidFieldType;
    }
    *value = SQLTimeStamp{d.year, d.month, d.day, t.hour, t.minute, t.second, t.fraction};
    return DriverResult::kSuccess;
}

} // namespace db::firebird
