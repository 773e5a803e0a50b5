#include "db/proc_param_reader.h"

#include "db/field_def_builder.h"
#include "db/sql_connection.h"
#include "platform/text.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace db {

namespace {

// Reads the listing's columns by name, whichever order the driver gives.
class Listing {
public:
    explicit Listing(ISQLCursor& cursor) : cursor_(cursor) {
        int count = 0;
        cursor_.getColumnCount(&count);
        for (int column = 1; column <= count; ++column) {
            const char* name = nullptr;
            if (cursor_.getColumnName(column, &name) == 0 && name != nullptr) {
                names_.emplace_back(name);
            } else {
                names_.emplace_back();
            }
        }
    }

    std::optional<int> integer(const char* name) const {
        const int column = columnOf(name);
        if (column == 0) {
            return std::nullopt;
        }
        int type = 0;
        int subType = 0;
        cursor_.getColumnType(column, &type, &subType);
        bool blank = true;
        if (type == DriverType::kInt16) {
            std::int16_t value = 0;
            if (cursor_.getShort(column, &value, &blank) == 0 && !blank) {
                return value;
            }
        } else {
            std::int32_t value = 0;
            if (cursor_.getLong(column, &value, &blank) == 0 && !blank) {
                return value;
            }
        }
        return std::nullopt;
    }

    std::optional<std::string> text(const char* name) const {
        const int column = columnOf(name);
        if (column == 0) {
            return std::nullopt;
        }
        int length = 0;
        cursor_.getColumnLength(column, &length);
        std::vector<char> buffer(static_cast<std::size_t>(std::max(length, 0) * 4 + 1), '\0');
        bool blank = true;
        if (cursor_.getString(column, buffer.data(), static_cast<int>(buffer.size()), &blank) !=
                0 ||
            blank) {
            return std::nullopt;
        }
        return platform::trim(buffer.data());
    }

private:
    int columnOf(const char* name) const {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (platform::equalsIgnoreCase(names_[i], name)) {
                return static_cast<int>(i) + 1;
            }
        }
        return 0;
    }

    ISQLCursor& cursor_;
    std::vector<std::string> names_;
};

ParamDirection directionOf(std::optional<int> value) {
    if (!value || *value < static_cast<int>(ParamDirection::Unknown) ||
        *value > static_cast<int>(ParamDirection::Result)) {
        return ParamDirection::Unknown;
    }
    return static_cast<ParamDirection>(*value);
}

} // namespace

std::vector<ProcParamDesc> ProcParamReader::read(SQLConnection& connection,
                                                 const std::string& procedureName,
                                                 const std::string& packageName) {
    connection.checkConnection();
    ISQLMetaData* metaData = connection.metaData();
    ISQLCursor* raw = nullptr;
    metaData->SetOption(MetaDataOption::PackageName, packageName);
    if (metaData->getProcedureParams(procedureName.c_str(), &raw) != 0 || raw == nullptr) {
        delete raw;
        connection.raiseDriverError(kListingFailed, metaData);
    }
    const std::unique_ptr<ISQLCursor> cursor(raw);
    const Listing listing(*cursor);
    std::vector<ProcParamDesc> result;
    for (;;) {
        const int r = cursor->next();
        if (r == DriverResult::kEndOfData || r == DriverResult::kNoData) {
            break;
        }
        if (r != 0) {
            connection.raiseDriverError(r, cursor.get());
        }
        ProcParamDesc d;
        d.position = listing.integer("PARAM_POSITION").value_or(0);
        d.direction = directionOf(listing.integer("PARAM_TYPE"));
        d.driver.type = listing.integer("PARAM_DATATYPE").value_or(DriverType::kUnknown);
        d.driver.subType = listing.integer("PARAM_SUBTYPE").value_or(0);
        d.driver.precision = listing.integer("PARAM_PRECISION").value_or(0);
        d.driver.scale = listing.integer("PARAM_SCALE").value_or(0);
        d.driver.length = listing.integer("PARAM_LENGTH").value_or(0);
        d.name = listing.text("PARAM_NAME").value_or(kUnnamedResult);
        FieldDef def;
        FieldDefBuilder::describe(d.driver, false, &def);
        d.fieldType = def.type;
        result.push_back(std::move(d));
    }
    return result;
}

} // namespace db
