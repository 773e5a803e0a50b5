#pragma once
// A command that calls one stored procedure, named by its StoredProcName,
// with parameters described by the server.

#include "db/proc_param_desc.h"
#include "db/sql_command.h"

#include <optional>
#include <vector>

namespace db {

class SQLStoredProc : public SQLCommand {
public:
    static constexpr const char* kProcNotFound = "Table/Procedure not found";

    explicit SQLStoredProc(std::string name = {}) : SQLCommand(std::move(name)) {}

    const std::string& StoredProcName() const { return commandText(); }
    // Always forgets the cached parameter descriptions, also for the same name.
    void setStoredProcName(std::string_view name);
    std::string PackageName;

    // Runs the procedure without opening it; gives the rows affected.
    std::int64_t execProc();

    // How many times the descriptions were read from the server; tests read it.
    int descriptionReads() const { return descriptionReads_; }

protected:
    void prepareStatement() override;
    void buildParams() override;
    void bindParams() override;
    void readBackParams() override;
    const char* notPreparedText() const override { return kProcNotFound; }
    void statementReleased() override { descriptions_.reset(); }

private:
    const std::vector<ProcParamDesc>& descriptions();

    std::optional<std::vector<ProcParamDesc>> descriptions_;
    int descriptionReads_ = 0;
};

} // namespace db
