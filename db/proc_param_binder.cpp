#include "db/proc_param_binder.h"

#include "db/database_error.h"
#include "db/param_binder.h"
#include "platform/text.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace db {

namespace {

constexpr int kFloatLength = 4;
constexpr int kDoubleLength = 8;
constexpr int kBytesPerCharacter = 4;

template <typename T> std::vector<std::uint8_t> bytesOf(const T& value) {
    std::vector<std::uint8_t> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return data;
}

std::int64_t integerOf(const SQLValue& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        return *i;
    }
    if (const auto* d = std::get_if<double>(&value)) {
        return static_cast<std::int64_t>(*d);
    }
    if (const auto* b = std::get_if<Bcd>(&value)) {
        // Whole units of the decimal, decimals dropped.
        std::optional<std::int64_t> scaled = b->toScaled();
        std::int64_t result = scaled.value_or(0);
        for (int i = 0; i < b->scale(); ++i) {
            result /= 10;
        }
        return result;
    }
    if (const auto* s = std::get_if<std::string>(&value)) {
        return platform::toInteger(platform::trim(*s)).value_or(0);
    }
    return 0;
}

Bcd bcdOf(const SQLValue& value) {
    if (const auto* b = std::get_if<Bcd>(&value)) {
        return *b;
    }
    if (const auto* s = std::get_if<std::string>(&value)) {
        return Bcd::fromString(platform::trim(*s)).value_or(Bcd{});
    }
    return Bcd::fromScaled(integerOf(value), 0);
}

std::vector<std::uint8_t> contentOf(const SQLValue& value) {
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
        return *bytes;
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return std::vector<std::uint8_t>(text->begin(), text->end());
    }
    return {};
}

bool isOutput(ParamDirection direction) {
    return direction == ParamDirection::Out || direction == ParamDirection::InOut ||
           direction == ParamDirection::Result;
}

template <typename T> int readInto(ISQLCommand& command, int position, SQLValue* value) {
    T data{};
    bool isNull = true;
    const int r = command.getParameter(position, 0, &data, sizeof data, &isNull);
    if (r == 0 && !isNull) {
        if constexpr (std::is_integral_v<T>) {
            *value = static_cast<std::int64_t>(data);
        } else {
            *value = data;
        }
    }
    return r;
}

} // namespace

std::vector<std::uint8_t> ProcParamBinder::encode(int driverType, int length,
                                                  const SQLValue& value) {
    switch (driverType) {
    case DriverType::kString: {
        std::vector<std::uint8_t> text = contentOf(value);
        if (text.empty() && !std::holds_alternative<std::string>(value)) {
            const std::string number = std::to_string(integerOf(value));
            text.assign(number.begin(), number.end());
        }
        text.push_back(0);
        return text;
    }
    case DriverType::kInt16:
    case DriverType::kBoolean:
        return bytesOf(static_cast<std::int16_t>(integerOf(value)));
    case DriverType::kInt32:
        return bytesOf(static_cast<std::int32_t>(integerOf(value)));
    case DriverType::kInt64:
        return bytesOf(integerOf(value));
    case DriverType::kFloat: {
        const auto* d = std::get_if<double>(&value);
        const double number = d != nullptr ? *d : static_cast<double>(integerOf(value));
        return length == kFloatLength ? bytesOf(static_cast<float>(number)) : bytesOf(number);
    }
    case DriverType::kBcd:
    case DriverType::kFmtBcd:
        return bytesOf(bcdOf(value));
    case DriverType::kDate: {
        const auto* date = std::get_if<SQLDate>(&value);
        return bytesOf(date != nullptr ? *date : SQLDate{});
    }
    case DriverType::kTime: {
        const auto* time = std::get_if<SQLTime>(&value);
        return bytesOf(time != nullptr ? *time : SQLTime{});
    }
    case DriverType::kDateTime:
    case DriverType::kSQLTimeStamp: {
        const auto* stamp = std::get_if<SQLTimeStamp>(&value);
        return bytesOf(stamp != nullptr ? *stamp : SQLTimeStamp{});
    }
    default:
        return contentOf(value);
    }
}

int ProcParamBinder::bind(ISQLCommand& command, SQLParams& params,
                          const std::vector<ProcParamDesc>& descriptions) {
    for (std::size_t i = 0; i < params.size(); ++i) {
        SQLParam& param = params[i];
        int ownSubType = 0;
        const int ownType = ParamBinder::driverType(param.dataType, &ownSubType);
        if (ownType == DriverType::kUnknown) {
            throw DatabaseError(platform::fill(ParamBinder::kNoValueForParameter, param.name));
        }
        // A parameter beyond the server's list goes over as its own type.
        ProcParamDesc d;
        if (i < descriptions.size()) {
            d = descriptions[i];
        } else {
            d.direction = param.direction;
            d.driver.type = ownType;
            d.driver.subType = ownSubType;
        }
        if (d.driver.type == DriverType::kUnknown) {
            d.driver.type = ownType;
            d.driver.subType = ownSubType;
        }
        const ParamDirection direction =
            d.direction == ParamDirection::Unknown ? ParamDirection::In : d.direction;
        const int position = static_cast<int>(i) + 1;
        int r = 0;
        if (param.isNull()) {
            r = command.setParameter(position, 0, direction, d.driver.type, d.driver.subType, 0,
                                     d.driver.scale, d.driver.length, nullptr, true);
        } else {
            const std::vector<std::uint8_t> buffer =
                encode(d.driver.type, d.driver.length, param.value);
            int precision = direction == ParamDirection::In ? 0 : d.driver.precision;
            int scale = d.driver.scale;
            int length = d.driver.length;
            switch (d.driver.type) {
            case DriverType::kString:
            case DriverType::kBlob:
            case DriverType::kBytes:
            case DriverType::kVarBytes:
                length = static_cast<int>(buffer.size());
                break;
            case DriverType::kFloat:
                length = d.driver.precision == kFloatLength ? kFloatLength : kDoubleLength;
                break;
            case DriverType::kBcd:
            case DriverType::kFmtBcd: {
                const Bcd bcd = bcdOf(param.value);
                precision = bcd.precision;
                scale = bcd.scale();
                break;
            }
            default:
                break;
            }
            r = command.setParameter(position, 0, direction, d.driver.type, d.driver.subType,
                                     precision, scale, length, buffer.data(), false);
        }
        if (r != 0) {
            return r;
        }
    }
    return 0;
}

int ProcParamBinder::readBack(ISQLCommand& command, SQLParams& params,
                              const std::vector<ProcParamDesc>& descriptions) {
    for (std::size_t i = 0; i < params.size() && i < descriptions.size(); ++i) {
        const ProcParamDesc& d = descriptions[i];
        if (!isOutput(d.direction)) {
            continue;
        }
        const int position = static_cast<int>(i) + 1;
        SQLValue value;
        int r = 0;
        switch (d.driver.type) {
        case DriverType::kString: {
            std::vector<char> buffer(
                static_cast<std::size_t>(std::max(d.driver.length, 0) * kBytesPerCharacter + 1),
                '\0');
            bool isNull = true;
            r = command.getParameter(position, 0, buffer.data(), static_cast<int>(buffer.size()),
                                     &isNull);
            if (r == 0 && !isNull) {
                value = std::string(buffer.data());
            }
            break;
        }
        case DriverType::kInt16:
        case DriverType::kBoolean:
            r = readInto<std::int16_t>(command, position, &value);
            break;
        case DriverType::kInt32:
            r = readInto<std::int32_t>(command, position, &value);
            break;
        case DriverType::kInt64:
            r = readInto<std::int64_t>(command, position, &value);
            break;
        case DriverType::kFloat:
            r = readInto<double>(command, position, &value);
            break;
        case DriverType::kBcd:
        case DriverType::kFmtBcd:
            r = readInto<Bcd>(command, position, &value);
            break;
        case DriverType::kDate:
            r = readInto<SQLDate>(command, position, &value);
            break;
        case DriverType::kTime:
            r = readInto<SQLTime>(command, position, &value);
            break;
        case DriverType::kDateTime:
        case DriverType::kSQLTimeStamp:
            r = readInto<SQLTimeStamp>(command, position, &value);
            break;
        default:
            continue;
        }
        if (r != 0) {
            return r;
        }
        params[i].value = std::move(value);
    }
    return 0;
}

} // namespace db
