#pragma once
// A command that reads every row of one table, named by its TableName.

#include "db/sql_command.h"

namespace db {

class SQLTable : public SQLCommand {
public:
    static constexpr const char* kTableNotFound = "Table/Procedure not found";

    explicit SQLTable(std::string name = {}) : SQLCommand(std::move(name)) {}

    const std::string& TableName() const { return commandText(); }
    void setTableName(std::string_view name) { setCommandText(name); }

    // The select text built from the driver's quoted name, empty until the
    // first prepare.
    const std::string& selectText() const { return selectText_; }

protected:
    void prepareStatement() override;
    const char* notPreparedText() const override { return kTableNotFound; }
    void textReplaced() override { selectText_.clear(); }
    std::string providerTableName() const override { return TableName(); }

private:
    std::string selectText_;
};

} // namespace db
