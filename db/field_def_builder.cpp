#include "db/field_def_builder.h"

#include <algorithm>
#include <cstdlib>

namespace db {

namespace {

constexpr int kMaxBcdPrecision = 14;
constexpr int kMaxBcdScale = 4;
constexpr int kWidestDecimal = 38;
constexpr int kWidestDecimalScale = 8;

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
    case DriverType::kString:
        if (precision == 0) {
            def->type = FieldType::Unknown;
        } else {
            def->type = subType == DriverSubType::kFixed ? FieldType::FixedChar : FieldType::String;
            def->size = precision;
        }
        break;
    case DriverType::kDate:
        def->type = FieldType::Date;
        break;
    case DriverType::kInt16:
        def->type = FieldType::SmallInt;
        break;
    case DriverType::kInt32:
        def->type = subType == DriverSubType::kAutoInc ? FieldType::AutoInc : FieldType::Integer;
        break;
    case DriverType::kBcd:
    case DriverType::kFmtBcd: {
        scale = std::abs(scale);
        precision = std::max(precision, scale);
        if (precision > kMaxBcdPrecision || scale > kMaxBcdScale || numericMapping) {
            def->type = FieldType::FMTBcd;
            if (precision == kWidestDecimal && (scale == 0 || scale == kWidestDecimal)) {
                precision = kMaxFmtBcdPrecision;
                scale = kWidestDecimalScale;
            }
            precision = std::min(precision, kMaxFmtBcdPrecision);
        } else {
            def->type = FieldType::BCD;
        }
        def->size = scale;
        def->precision = precision;
        break;
    }
    // The types below are not met by the program's own statements.
    case DriverType::kBoolean:
        def->type = FieldType::Boolean;
        break;
    case DriverType::kInt64:
        def->type = FieldType::LargeInt;
        break;
    case DriverType::kFloat:
        def->type = FieldType::Float;
        break;
    case DriverType::kTime:
        def->type = FieldType::Time;
        break;
    case DriverType::kDateTime:
        def->type = FieldType::DateTime;
        break;
    case DriverType::kSQLTimeStamp:
        def->type = FieldType::TimeStamp;
        break;
    case DriverType::kBytes:
        def->type = FieldType::Bytes;
        def->size = length;
        break;
    case DriverType::kVarBytes:
        def->type = FieldType::VarBytes;
        def->size = length;
        break;
    case DriverType::kBlob:
        def->type = subType == DriverSubType::kMemo ? FieldType::Memo : FieldType::Blob;
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
