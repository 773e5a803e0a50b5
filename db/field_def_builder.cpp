#include "db/field_def_builder.h"

#include <algorithm>
#include <cstdlib>

namespace db {

namespace {

constexpr int MaxBcdPrecision = 14;
constexpr int MaxBcdScale = 4;
constexpr int WidestDecimal = 38;
constexpr int WidestDecimalScale = 8;

bool taken(const std::string& name, const std::vector<FieldDef>& defs) {
    return std::any_of(defs.begin(), defs.end(), [&](const FieldDef& d) { return d.name == name; });
}

} // namespace

void FieldDefBuilder::describe(const DriverTypeDesc& driver, bool numericMapping, FieldDef* def) {
    auto [driverType, subType, precision, scale, length] = driver;
    def->driverType = driverType;
    def->driverSubType = subType;
    def->driverLength = length;
    def->size = 0;
    def->precision = 0;
    switch (driverType) {
    case DriverType::String:
        if (precision == 0) {
            def->type = FieldType::Unknown;
        } else {
            def->type = subType == DriverSubType::Fixed ? FieldType::FixedChar : FieldType::String;
            def->size = precision;
        }
        break;
    case DriverType::Date:
        def->type = FieldType::Date;
        break;
    case DriverType::Int16:
        def->type = FieldType::SmallInt;
        break;
    case DriverType::Int32:
        def->type = subType == DriverSubType::AutoInc ? FieldType::AutoInc : FieldType::Integer;
        break;
    case DriverType::Bcd:
    case DriverType::FmtBcd: {
        scale = std::abs(scale);
        precision = std::max(precision, scale);
        if (precision > MaxBcdPrecision || scale > MaxBcdScale || numericMapping) {
            def->type = FieldType::FMTBcd;
            if (precision == WidestDecimal && (scale == 0 || scale == WidestDecimal)) {
                precision = MaxFmtBcdPrecision;
                scale = WidestDecimalScale;
            }
            precision = std::min(precision, MaxFmtBcdPrecision);
        } else {
            def->type = FieldType::BCD;
        }
        def->size = scale;
        def->precision = precision;
        break;
    }
    // The types below are not met by the program's own statements.
    case DriverType::Boolean:
        def->type = FieldType::Boolean;
        break;
    case DriverType::Int64:
        def->type = FieldType::LargeInt;
        break;
    case DriverType::Float:
        def->type = FieldType::Float;
        break;
    case DriverType::Time:
        def->type = FieldType::Time;
        break;
    case DriverType::DateTime:
        def->type = FieldType::DateTime;
        break;
    case DriverType::SQLTimeStamp:
        def->type = FieldType::TimeStamp;
        break;
    case DriverType::Bytes:
        def->type = FieldType::Bytes;
        def->size = length;
        break;
    case DriverType::VarBytes:
        def->type = FieldType::VarBytes;
        def->size = length;
        break;
    case DriverType::Blob:
        def->type = subType == DriverSubType::Memo ? FieldType::Memo : FieldType::Blob;
        break;
    default:
        def->type = FieldType::Unknown;
        break;
    }
}

std::string FieldDefBuilder::uniqueName(const std::string& name,
                                        const std::vector<FieldDef>& defs) {
    if (!taken(name, defs)) {
        return name;
    }
    for (int n = 1;; ++n) {
        std::string candidate = name + "_" + std::to_string(n);
        if (!taken(candidate, defs)) {
            return candidate;
        }
    }
}

int FieldDefBuilder::build(ISQLCursor& cursor, bool numericMapping, std::vector<FieldDef>* defs) {
    defs->clear();
    int count = 0;
    if (const int r = cursor.getColumnCount(&count); r != 0) {
        return r;
    }
    for (int column = 1; column <= count; ++column) {
        bool nullable = true;
        const char* name = nullptr;
        DriverTypeDesc driver;
        bool readOnly = false;
        int r = cursor.isNullable(column, &nullable);
        if (r == 0) {
            r = cursor.getColumnName(column, &name);
        }
        if (r == 0) {
            r = cursor.getColumnType(column, &driver.type, &driver.subType);
        }
        if (r == 0) {
            r = cursor.getColumnLength(column, &driver.length);
        }
        if (r == 0) {
            r = cursor.getColumnPrecision(column, &driver.precision);
        }
        if (r == 0) {
            r = cursor.getColumnScale(column, &driver.scale);
        }
        if (r == 0) {
            r = cursor.isReadOnly(column, &readOnly);
        }
        if (r != 0) {
            return r;
        }
        FieldDef def;
        describe(driver, numericMapping, &def);
        def.name = uniqueName(name != nullptr ? name : "", *defs);
        def.required = !nullable && def.type != FieldType::AutoInc;
        def.readOnly = readOnly;
        defs->push_back(std::move(def));
    }
    return 0;
}

} // namespace db
