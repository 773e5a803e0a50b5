#include "db/firebird/fb_metadata.h"

#include "db/firebird/fb_names.h"
#include "db/firebird/fb_types.h"
#include "db/firebird/fb_value_reader.h"
#include "db/firebird/memory_cursor.h"

#include <memory>

namespace db::firebird {

namespace {
constexpr int kCatalogueOutput = 1;
constexpr int kNameLength = 63;
} // namespace

int FbMetaData::SetOption(MetaDataOption option, std::string_view value) {
    switch (option) {
    case MetaDataOption::SchemaName:
        // Firebird 3 has no schemas; the name is kept and has no effect.
        schemaName_ = std::string(value);
        return DriverResult::kSuccess;
    case MetaDataOption::PackageName:
        packageName_ = std::string(value);
        return DriverResult::kSuccess;
    default:
        return DriverResult::kNotSupported;
    }
}

int FbMetaData::GetOption(MetaDataOption option, std::int64_t* value) {
    switch (option) {
    case MetaDataOption::ObjectQuoteChar:
        *value = FbNames::kQuoteChar;
        return DriverResult::kSuccess;
    case MetaDataOption::SupportsTransaction:
        *value = 1;
        return DriverResult::kSuccess;
    case MetaDataOption::SupportsTransactions:
        *value = session_->options().multipleTransactions ? 1 : 0;
        return DriverResult::kSuccess;
    default:
        return DriverResult::kNotSupported;
    }
}

int FbMetaData::getProcedureParams(const char* procedureName, ISQLCursor** cursor) {
    *cursor = nullptr;
    errors_.clear();
    if (procedureName == nullptr) {
        return errors_.fail(DriverResult::kInvalidParameter, "no procedure name");
    }
    if (!session_->attached()) {
        return errors_.fail(DriverResult::kInvalidHandle, "the connection is closed");
    }
    using Column = MemoryCursor::Column;
    auto result = std::make_unique<MemoryCursor>(std::vector<Column>{
        {"PARAM_POSITION", DriverType::kInt32, 0},
        {"PARAM_TYPE", DriverType::kInt32, 0},
        {"PARAM_DATATYPE", DriverType::kInt32, 0},
        {"PARAM_SUBTYPE", DriverType::kInt32, 0},
        {"PARAM_PRECISION", DriverType::kInt32, 0},
        {"PARAM_SCALE", DriverType::kInt32, 0},
        {"PARAM_LENGTH", DriverType::kInt32, 0},
        {"PARAM_NAME", DriverType::kString, kNameLength},
        {"PARAM_NULLABLE", DriverType::kInt32, 0},
    });
    const FbValueReader reader(session_->client());
    std::int32_t position = 0;
    const auto failure = session_->query(
        "select pp.rdb$parameter_name, pp.rdb$parameter_type, f.rdb$field_type,"
        " f.rdb$field_sub_type, f.rdb$field_scale, f.rdb$field_length,"
        " f.rdb$character_length, f.rdb$field_precision, f.rdb$character_set_id,"
        " coalesce(pp.rdb$null_flag, f.rdb$null_flag, 0)"
        " from rdb$procedure_parameters pp"
        " join rdb$fields f on f.rdb$field_name = pp.rdb$field_source"
        " where pp.rdb$procedure_name = ? and coalesce(pp.rdb$package_name, '') = ?"
        " order by pp.rdb$parameter_type, pp.rdb$parameter_number",
        {FbNames::stored(procedureName), FbNames::stored(packageName_)}, [&](const FbMessage& row) {
            std::string name;
            reader.text(row.field(0), row.data(0), true, &name);
            std::int64_t numbers[9] = {};
            for (int i = 1; i <= 9; ++i) {
                if (!row.isNull(i)) {
                    reader.integer(row.field(i), row.data(i), &numbers[i - 1]);
                }
            }
            const auto n = [&](int column) { return static_cast<int>(numbers[column - 1]); };
            const ColumnDescription d =
                FbTypes::describeCatalogue(n(2), n(3), n(4), n(5), n(6), n(7), n(8));
            const auto direction =
                n(1) == kCatalogueOutput ? ParamDirection::Out : ParamDirection::In;
            result->addRow({++position, static_cast<std::int32_t>(direction), d.type, d.subType,
                            d.precision, d.scale,
                            d.type == DriverType::kString ? d.precision : d.length, name,
                            n(9) != 0 ? 0 : 1});
        });
    if (failure) {
        return errors_.fail(failure->code, failure->message);
    }
    *cursor = result.release();
    return DriverResult::kSuccess;
}

} // namespace db::firebird
