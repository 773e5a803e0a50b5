#include "db/param_binder.h"

#include "db/database_error.h"
#include "db/text_util.h"

#include <cstring>

namespace db {

namespace {

template <typename T> std::vector<std::uint8_t> bytesOf(const T& value) {
    std::vector<std::uint8_t> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return data;
}

template <typename T> T numberOf(const SQLValue& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        return static_cast<T>(*i);
    }
    if (const auto* d = std::get_if<double>(&value)) {
        return static_cast<T>(*d);
    }
    return T{};
}

} // namespace

int ParamBinder::driverType(FieldType type, int* subType) {
    *subType = DriverSubType::None;
    switch (type) {
    case FieldType::String:
        return DriverType::String;
    case FieldType::FixedChar:
        *subType = DriverSubType::Fixed;
        return DriverType::String;
    case FieldType::SmallInt:
        return DriverType::Int16;
    case FieldType::Integer:
    case FieldType::AutoInc:
        return DriverType::Int32;
    case FieldType::LargeInt:
        return DriverType::Int64;
    case FieldType::Boolean:
        return DriverType::Boolean;
    case FieldType::Float:
    case FieldType::Currency:
        return DriverType::Float;
    case FieldType::BCD:
    case FieldType::FMTBcd:
        return DriverType::Bcd;
    case FieldType::Date:
        return DriverType::Date;
    case FieldType::Time:
        return DriverType::Time;
    case FieldType::DateTime:
        return DriverType::DateTime;
    case FieldType::TimeStamp:
        return DriverType::SQLTimeStamp;
    case FieldType::Bytes:
        return DriverType::Bytes;
    case FieldType::VarBytes:
        return DriverType::VarBytes;
    case FieldType::Memo:
    case FieldType::FmtMemo:
        *subType = DriverSubType::Memo;
        return DriverType::Blob;
    case FieldType::Blob:
    case FieldType::Graphic:
        *subType = DriverSubType::Binary;
        return DriverType::Blob;
    default:
        return DriverType::Unknown;
    }
}

ParamBinder::Failure ParamBinder::bind(ISQLCommand& command, SQLParams& params) {
    for (std::size_t i = 0; i < params.size(); ++i) {
        SQLParam& param = params[i];
        if (param.direction == ParamDirection::Unknown) {
            param.direction = ParamDirection::In;
        }
        int subType = 0;
        const int type = driverType(param.dataType, &subType);
        if (type == DriverType::Unknown) {
            throw DatabaseError(TextUtil::format(NoValueForParameter, param.name));
        }
        std::vector<std::uint8_t> buffer;
        int precision = 0;
        int scale = 0;
        const bool isNull = param.isNull();
        if (!isNull) {
            switch (type) {
            case DriverType::String: {
                const auto* text = std::get_if<std::string>(&param.value);
                const std::string value = text != nullptr ? *text : std::string();
                buffer.assign(value.begin(), value.end());
                buffer.push_back(0);
                precision = static_cast<int>(buffer.size()) - 1;
                break;
            }
            case DriverType::Int16:
            case DriverType::Boolean:
                buffer = bytesOf(numberOf<std::int16_t>(param.value));
                break;
            case DriverType::Int32:
                buffer = bytesOf(numberOf<std::int32_t>(param.value));
                break;
            case DriverType::Int64:
                buffer = bytesOf(numberOf<std::int64_t>(param.value));
                break;
            case DriverType::Float:
                buffer = bytesOf(numberOf<double>(param.value));
                precision = 8;
                break;
            case DriverType::Bcd: {
                const auto* given = std::get_if<Bcd>(&param.value);
                // The value's own decimal text, read back, gives precision and scale.
                const Bcd bcd = given != nullptr
                                    ? Bcd::fromString(given->toString()).value_or(Bcd{})
                                    : Bcd::fromScaled(numberOf<std::int64_t>(param.value), 0);
                buffer = bytesOf(bcd);
                precision = bcd.precision;
                scale = bcd.scale();
                break;
            }
            case DriverType::Date:
                buffer = bytesOf(std::get_if<SQLDate>(&param.value) != nullptr
                                     ? std::get<SQLDate>(param.value)
                                     : SQLDate{});
                break;
            case DriverType::Time:
                buffer = bytesOf(std::get_if<SQLTime>(&param.value) != nullptr
                                     ? std::get<SQLTime>(param.value)
                                     : SQLTime{});
                break;
            case DriverType::DateTime:
            case DriverType::SQLTimeStamp:
                buffer = bytesOf(std::get_if<SQLTimeStamp>(&param.value) != nullptr
                                     ? std::get<SQLTimeStamp>(param.value)
                                     : SQLTimeStamp{});
                break;
            case DriverType::Bytes:
            case DriverType::VarBytes:
            case DriverType::Blob: {
                std::vector<std::uint8_t> content;
                if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&param.value)) {
                    content = *bytes;
                } else if (const auto* text = std::get_if<std::string>(&param.value)) {
                    content.assign(text->begin(), text->end());
                }
                // Variable bytes carry their length in front.
                const std::size_t prefix = type == DriverType::VarBytes ? sizeof(std::uint16_t) : 0;
                buffer.resize(prefix + content.size());
                if (prefix > 0) {
                    const auto length = static_cast<std::uint16_t>(content.size());
                    std::memcpy(buffer.data(), &length, sizeof length);
                }
                if (!content.empty()) {
                    std::memcpy(buffer.data() + prefix, content.data(), content.size());
                }
                precision = static_cast<int>(content.size());
                break;
            }
            default:
                break;
            }
        }
        const int result = command.setParameter(
            static_cast<int>(i) + 1, 0, param.direction, type, subType, precision, scale,
            static_cast<int>(buffer.size()), isNull ? nullptr : buffer.data(), isNull);
        if (result != DriverResult::Success) {
            return Failure{result, i};
        }
    }
    return Failure{};
}

} // namespace db
