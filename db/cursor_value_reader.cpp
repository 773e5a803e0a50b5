#include "db/cursor_value_reader.h"

#include "db/bcd_normalizer.h"
#include "db/database_error.h"
#include "db/field_def_builder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace db {

namespace {

constexpr std::size_t kLocalStringBuffer = 1024;

// A string column's length counts bytes; leave room for the zero.
int stringBuffer(const FieldDef& def) {
    return std::max(def.driverLength, def.size * 4) + 1;
}

} // namespace

int CursorValueReader::read(ISQLCursor& cursor, int column, const FieldDef& def, int maxBlobSize,
                            SQLValue* value) {
    // The value of the row before is replaced in place where it has the same
    // type; whatever is not read becomes null at the end.
    bool assigned = false;
    bool blank = false;
    int r = 0;
    switch (def.driverType) {
    case DriverType::kString: {
        // Short columns, the common case, are read without a heap buffer.
        const auto size = static_cast<std::size_t>(stringBuffer(def));
        char local[kLocalStringBuffer];
        std::vector<char> large;
        char* buffer = local;
        if (size > sizeof local) {
            large.resize(size);
            buffer = large.data();
        }
        std::memset(buffer, 0, size);
        r = cursor.getString(column, buffer, static_cast<int>(size), &blank);
        if (r == 0 && !blank) {
            if (auto* text = std::get_if<std::string>(value)) {
                text->assign(buffer);
            } else {
                *value = std::string(buffer);
            }
            assigned = true;
        }
        break;
    }
    case DriverType::kDate: {
        SQLDate date;
        r = cursor.getDate(column, &date, &blank);
        if (r == 0 && !blank) {
            *value = date;
            assigned = true;
        }
        break;
    }
    case DriverType::kInt16:
    case DriverType::kBoolean: {
        std::int16_t number = 0;
        r = cursor.getShort(column, &number, &blank);
        if (r == 0 && !blank) {
            *value = std::int64_t{number};
            assigned = true;
        }
        break;
    }
    case DriverType::kInt32: {
        std::int32_t number = 0;
        r = cursor.getLong(column, &number, &blank);
        if (r == 0 && !blank) {
            *value = std::int64_t{number};
            assigned = true;
        }
        break;
    }
    case DriverType::kInt64: {
        std::int64_t number = 0;
        r = cursor.getInt64(column, &number, &blank);
        if (r == 0 && !blank) {
            *value = number;
            assigned = true;
        }
        break;
    }
    case DriverType::kFloat: {
        double number = 0;
        r = cursor.getDouble(column, &number, &blank);
        if (r == 0 && !blank) {
            *value = number;
            assigned = true;
        }
        break;
    }
    case DriverType::kBcd:
    case DriverType::kFmtBcd: {
        Bcd bcd;
        r = cursor.getBcd(column, &bcd, &blank);
        if (r == 0 && !blank) {
            const auto normal = BcdNormalizer::normalize(
                bcd, std::min(def.precision, FieldDefBuilder::kMaxFmtBcdPrecision), def.size);
            if (!normal) {
                *value = std::monostate{};
                throw DatabaseError(kBcdOverflow);
            }
            *value = *normal;
            assigned = true;
        }
        break;
    }
    case DriverType::kTime: {
        SQLTime time;
        r = cursor.getTime(column, &time, &blank);
        if (r == 0 && !blank) {
            *value = time;
            assigned = true;
        }
        break;
    }
    case DriverType::kDateTime:
    case DriverType::kSQLTimeStamp: {
        SQLTimeStamp stamp;
        r = cursor.getTimeStamp(column, &stamp, &blank);
        if (r == 0 && !blank) {
            *value = stamp;
            assigned = true;
        }
        break;
    }
    case DriverType::kBytes:
    case DriverType::kVarBytes: {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max(def.driverLength, 0)));
        int length = 0;
        r = cursor.getBytes(column, bytes.data(), static_cast<int>(bytes.size()), &length, &blank);
        if (r == 0 && !blank) {
            bytes.resize(static_cast<std::size_t>(std::clamp(length, 0, def.driverLength)));
            *value = std::move(bytes);
            assigned = true;
        }
        break;
    }
    case DriverType::kBlob: {
        if (maxBlobSize == 0) {
            break;
        }
        std::uint32_t size = 0;
        r = cursor.getBlobSize(column, &size, &blank);
        if (r != 0 || blank || size == 0) {
            break;
        }
        std::vector<std::uint8_t> bytes(size);
        r = cursor.getBlob(column, bytes.data(), size, &blank);
        if (r == 0 && !blank) {
            if (def.type == FieldType::Memo) {
                *value = std::string(bytes.begin(), bytes.end());
            } else {
                *value = std::move(bytes);
            }
            assigned = true;
        }
        break;
    }
    default:
        break;
    }
    if (!assigned) {
        *value = std::monostate{};
    }
    return r;
}

} // namespace db
