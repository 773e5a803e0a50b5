#pragma once
// A command that runs the SQL text it is given: the shared query of the
// window, whose providers hand it their command texts.

#include "db/sql_command.h"

namespace db {

class SQLQuery : public SQLCommand {
public:
    static constexpr const char* kUnableToExecute = "Unable to execute Query";

    explicit SQLQuery(std::string name = {}) : SQLCommand(std::move(name)) {}

    const std::string& SQL() const { return commandText(); }
    void setSQL(std::string_view text) { setCommandText(text); }

protected:
    void prepareStatement() override;
    void buildParams() override;
    const char* notPreparedText() const override { return kUnableToExecute; }
    std::string providerTableName() const override;
    std::string defaultOrder() const override;
};

} // namespace db
