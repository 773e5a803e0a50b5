#include "db/sql_query.h"

#include "db/param_markers.h"
#include "db/sql_connection.h"
#include "db/sql_text_scan.h"

namespace db {

void SQLQuery::prepareStatement() {
    if (commandText().empty()) {
        throw DatabaseError(prefixed(kNoStatement));
    }
    setupStatement();
    prepareText(nativeText(), static_cast<int>(params().size()));
}

void SQLQuery::buildParams() {
    for (const std::string& name : ParamMarkers::names(commandText(), connection()->quoteChar())) {
        SQLParam param;
        param.name = name;
        param.direction = ParamDirection::In;
        params().push_back(std::move(param));
    }
}

std::string SQLQuery::providerTableName() const {
    return SqlTextScan::tableName(commandText());
}

std::string SQLQuery::defaultOrder() const {
    return SqlTextScan::orderByFields(commandText());
}

} // namespace db
