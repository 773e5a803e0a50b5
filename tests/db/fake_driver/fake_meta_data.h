#pragma once
// Metadata that reports the quote character and transaction support the
// test chose.

#include "db/sql_driver.h"
#include "tests/db/fake_driver/fake_driver_control.h"

namespace db::fake {

class FakeMetaData final : public ISQLMetaData {
public:
    explicit FakeMetaData(FakeDriverControl& control);
    ~FakeMetaData() override;

    int getErrorMessageLen(int* length) override;
    int getErrorMessage(char* buffer) override;
    int SetOption(MetaDataOption option, std::string_view value) override;
    int GetOption(MetaDataOption option, std::int64_t* value) override;
    int getProcedureParams(const char* procedureName, ISQLCursor** cursor) override;

private:
    FakeDriverControl& control_;
};

} // namespace db::fake
