#pragma once
// Facts about the database the program asks for: quoting, transaction
// support and the parameters of stored procedures.

#include "db/firebird/error_slot.h"
#include "db/firebird/fb_session.h"
#include "db/sql_driver.h"

#include <memory>
#include <string>

namespace db::firebird {

class FbMetaData final : public ReportsErrors<ISQLMetaData> {
public:
    explicit FbMetaData(std::shared_ptr<FbSession> session) : session_(std::move(session)) {}

    int SetOption(MetaDataOption option, std::string_view value) override;
    int GetOption(MetaDataOption option, std::int64_t* value) override;
    int getProcedureParams(const char* procedureName, ISQLCursor** cursor) override;

private:
    std::shared_ptr<FbSession> session_;
    std::string schemaName_;
    std::string packageName_;
};

} // namespace db::firebird
