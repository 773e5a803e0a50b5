#pragma once
// A statement that records what it is given and answers as the test says.
// It never gives rows.

#include "db/sql_driver.h"
#include "tests/db/fake_driver/fake_driver_control.h"

namespace db::fake {

class FakeCommand final : public ISQLCommand {
public:
    explicit FakeCommand(FakeDriverControl& control);
    ~FakeCommand() override;

    int getErrorMessageLen(int* length) override;
    int getErrorMessage(char* buffer) override;
    int SetOption(CommandOption option, std::int64_t value) override;
    int SetOption(CommandOption option, std::string_view value) override;
    int GetOption(CommandOption option, std::int64_t* value) override;
    int prepare(const char* sql, int paramCount) override;
    int setParameter(int position, int childPosition, ParamDirection direction, int type,
                     int subType, int precision, int scale, int length, const void* buffer,
                     bool isNull) override;
    int getParameter(int position, int childPosition, void* buffer, int bufferLength,
                     bool* isNull) override;
    int execute(ISQLCursor** cursor) override;
    int getRowsAffected(std::int64_t* rows) override;
    int close() override;

private:
    FakeDriverControl& control_;
};

} // namespace db::fake
