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
    *subType = DriverSubType::kNone;
    switch (type) {
    case FieldType::String:
        return DriverType::kString;
    case FieldType::FixedChar:
        *subType = DriverSubType::kFixed;
        return DriverType::kString;
    case FieldType::SmallInt:
        return DriverType::kInt16;
    case FieldType::Integer:
    case FieldType::AutoInc:
        return DriverType::kInt32;
    case FieldType::LargeInt:
        return DriverType::kInt64;
    case FieldType::Boolean:
        return DriverType::kBoolean;
    case FieldType::Float:
    case FieldType::Currency:
        return DriverType::kFloat;
    case FieldType::BCD:
    case FieldType::FMTBcd:
        return DriverType::kBcd;
    case FieldType::Date:
        return DriverType::kDate;
    case FieldType::Time:
        return DriverType::kTime;
    case FieldType::DateTime:
        return DriverType::kDateTime;
    case FieldType::TimeStamp:
        return DriverType::kSQLTimeStamp;
    case FieldType::Bytes:
        return DriverType::kBytes;
    case FieldType::VarBytes:
        return DriverType::kVarBytes;
    case FieldType::Memo:
    case FieldType::FmtMemo:
        *subType = DriverSubType::kMemo;
        return DriverType::kBlob;
    case FieldType::Blob:
    case FieldType::Graphic:
        *subType = DriverSubType::kBinary;
        return DriverType::kBlob;
    default:
        return DriverType::kUnknown;
    }
}

namespace {

// Bcd::fromString(value.toString()): the value as its own decimal text
// would give it back, without the text. Zero when that text is no decimal.
Bcd textForm(const Bcd& value) {
    const int places = value.scale();
    const int integerDigits = value.precision - places;
    std::uint8_t digits[Bcd::kMaxDigits];
    int count = 0;
    bool nonZero = false;
    const auto add = [&](int d) {
        if (d > 9 || count == Bcd::kMaxDigits) {
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
        result.signSpecialPlaces |= Bcd::kNegativeBit;
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
    if (type == DriverType::kUnknown) {
        throw DatabaseError(platform::fill(ParamBinder::kNoValueForParameter, param.name));
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
    case DriverType::kString: {
        // The text and its terminating zero.
        const auto* text = std::get_if<std::string>(&param.value);
        const char* chars = text != nullptr ? text->c_str() : "";
        const auto length = text != nullptr ? text->size() : 0;
        return command.setParameter(position, 0, direction, type, subType, static_cast<int>(length),
                                    0, static_cast<int>(length) + 1, chars, false);
    }
    case DriverType::kInt16:
    case DriverType::kBoolean:
        fixed.set(numberOf<std::int16_t>(param.value));
        break;
    case DriverType::kInt32:
        fixed.set(numberOf<std::int32_t>(param.value));
        break;
    case DriverType::kInt64:
        fixed.set(numberOf<std::int64_t>(param.value));
        break;
    case DriverType::kFloat:
        fixed.set(numberOf<double>(param.value));
        precision = 8;
        break;
    case DriverType::kBcd: {
        const auto* given = std::get_if<Bcd>(&param.value);
        // The value's own decimal text, read back, gives precision and scale.
        const Bcd bcd = given != nullptr ? textForm(*given)
                                         : Bcd::fromScaled(numberOf<std::int64_t>(param.value), 0);
        fixed.set(bcd);
        precision = bcd.precision;
        scale = bcd.scale();
        break;
    }
    case DriverType::kDate:
        fixed.set(std::get_if<SQLDate>(&param.value) != nullptr ? std::get<SQLDate>(param.value)
                                                                : SQLDate{});
        break;
    case DriverType::kTime:
        fixed.set(std::get_if<SQLTime>(&param.value) != nullptr ? std::get<SQLTime>(param.value)
                                                                : SQLTime{});
        break;
    case DriverType::kDateTime:
    case DriverType::kSQLTimeStamp:
        fixed.set(std::get_if<SQLTimeStamp>(&param.value) != nullptr
                      ? std::get<SQLTimeStamp>(param.value)
                      : SQLTimeStamp{});
        break;
    case DriverType::kBytes:
    case DriverType::kVarBytes:
    case DriverType::kBlob: {
        std::vector<std::uint8_t> content;
        if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&param.value)) {
            content = *bytes;
        } else if (const auto* text = std::get_if<std::string>(&param.value)) {
            content.assign(text->begin(), text->end());
        }
        // Variable bytes carry their length in front.
        const std::size_t prefix = type == DriverType::kVarBytes ? sizeof(std::uint16_t) : 0;
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
            result != DriverResult::kSuccess) {
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
            result != DriverResult::kSuccess) {
            return Failure{result, i};
        }
    }
    return Failure{};
}

} // namespace db
