#include "db/param_binder.h"

#include "db/database_error.h"
#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace db {

namespace {

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

namespace {

// Bcd::fromString(value.toString()): the value as its own decimal text
// would give it back, without the text. Zero when that text is no decimal.
Bcd textForm(const Bcd& value) {
    const int places = value.scale();
    const int integerDigits = value.precision - places;
    std::uint8_t digits[Bcd::MaxDigits];
    int count = 0;
    bool nonZero = false;
    const auto add = [&](int d) {
        if (d > 9 || count == Bcd::MaxDigits) {
            return false;
        }
        digits[count++] = static_cast<std::uint8_t>(d);
        nonZero = nonZero || d != 0;
        return true;
    };
    for (int i = 0; i < integerDigits; ++i) {
        const int d = value.digit(i);
        if ((count > 0 || d != 0) && !add(d)) {
            return Bcd{};
        }
    }
    if (count == 0) {
        add(0);
    }
    for (int i = 0; i < places; ++i) {
        // Decimals beyond the stored digits read as zeros.
        const int index = integerDigits + i;
        if (!add(index >= 0 && index < value.precision ? value.digit(index) : 0)) {
            return Bcd{};
        }
    }
    Bcd result;
    result.precision = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i) {
        result.setDigit(i, digits[i]);
    }
    result.signSpecialPlaces = static_cast<std::uint8_t>(places);
    if (value.negative() && nonZero) {
        result.signSpecialPlaces |= Bcd::NegativeBit;
    }
    return result;
}

// The value of a fixed-size type, copied to where the driver reads it.
class FixedValue {
public:
    template <typename T> void set(const T& value) {
        static_assert(sizeof value <= sizeof bytes_);
        std::memcpy(bytes_, &value, sizeof value);
        size_ = sizeof value;
    }
    const std::uint8_t* data() const { return bytes_; }
    int size() const { return static_cast<int>(size_); }

private:
    alignas(8) std::uint8_t bytes_[std::max(sizeof(Bcd), sizeof(SQLTimeStamp))];
    std::size_t size_ = 0;
};

int bindOne(ISQLCommand& command, std::size_t index, const SQLParam& param,
            ParamDirection direction) {
    int subType = 0;
    const int type = ParamBinder::driverType(param.dataType, &subType);
    if (type == DriverType::Unknown) {
        throw DatabaseError(platform::fill(ParamBinder::NoValueForParameter, param.name));
    }
    const auto position = static_cast<int>(index) + 1;
    const bool isNull = param.isNull();
    if (isNull) {
        return command.setParameter(position, 0, direction, type, subType, 0, 0, 0, nullptr, true);
    }
    FixedValue fixed;
    int precision = 0;
    int scale = 0;
    switch (type) {
    case DriverType::String: {
        // The text and its terminating zero.
        const auto* text = std::get_if<std::string>(&param.value);
        const char* chars = text != nullptr ? text->c_str() : "";
        const auto length = text != nullptr ? text->size() : 0;
        return command.setParameter(position, 0, direction, type, subType, static_cast<int>(length),
                                    0, static_cast<int>(length) + 1, chars, false);
    }
    case DriverType::Int16:
    case DriverType::Boolean:
        fixed.set(numberOf<std::int16_t>(param.value));
        break;
    case DriverType::Int32:
        fixed.set(numberOf<std::int32_t>(param.value));
        break;
    case DriverType::Int64:
        fixed.set(numberOf<std::int64_t>(param.value));
        break;
    case DriverType::Float:
        fixed.set(numberOf<double>(param.value));
        precision = 8;
        break;
    case DriverType::Bcd: {
        const auto* given = std::get_if<Bcd>(&param.value);
        // The value's own decimal text, read back, gives precision and scale.
        const Bcd bcd = given != nullptr ? textForm(*given)
                                         : Bcd::fromScaled(numberOf<std::int64_t>(param.value), 0);
        fixed.set(bcd);
        precision = bcd.precision;
        scale = bcd.scale();
        break;
    }
    case DriverType::Date:
        fixed.set(std::get_if<SQLDate>(&param.value) != nullptr ? std::get<SQLDate>(param.value)
                                                                : SQLDate{});
        break;
    case DriverType::Time:
        fixed.set(std::get_if<SQLTime>(&param.value) != nullptr ? std::get<SQLTime>(param.value)
                                                                : SQLTime{});
        break;
    case DriverType::DateTime:
    case DriverType::SQLTimeStamp:
        fixed.set(std::get_if<SQLTimeStamp>(&param.value) != nullptr
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
        std::vector<std::uint8_t> buffer(prefix + content.size());
        if (prefix > 0) {
            const auto length = static_cast<std::uint16_t>(content.size());
            std::memcpy(buffer.data(), &length, sizeof length);
        }
        if (!content.empty()) {
            std::memcpy(buffer.data() + prefix, content.data(), content.size());
        }
        // An empty buffer has no storage: the driver takes it as null.
        return command.setParameter(position, 0, direction, type, subType,
                                    static_cast<int>(content.size()), 0,
                                    static_cast<int>(buffer.size()), buffer.data(), false);
    }
    default:
        // No value bytes at all, as for an empty buffer.
        return command.setParameter(position, 0, direction, type, subType, 0, 0, 0, nullptr, false);
    }
    return command.setParameter(position, 0, direction, type, subType, precision, scale,
                                fixed.size(), fixed.data(), false);
}

} // namespace

ParamBinder::Failure ParamBinder::bind(ISQLCommand& command, SQLParams& params) {
    for (std::size_t i = 0; i < params.size(); ++i) {
        SQLParam& param = params[i];
        if (param.direction == ParamDirection::Unknown) {
            param.direction = ParamDirection::In;
        }
        if (const int result = bindOne(command, i, param, param.direction);
            result != DriverResult::Success) {
            return Failure{result, i};
        }
    }
    return Failure{};
}

ParamBinder::Failure ParamBinder::bind(ISQLCommand& command, const SQLParams& params) {
    for (std::size_t i = 0; i < params.size(); ++i) {
        const SQLParam& param = params[i];
        const ParamDirection direction =
            param.direction == ParamDirection::Unknown ? ParamDirection::In : param.direction;
        if (const int result = bindOne(command, i, param, direction);
            result != DriverResult::Success) {
            return Failure{result, i};
        }
    }
    return Failure{};
}

} // namespace db
