#pragma once
// One statement on a session: prepared once, executed as often as wanted,
// each run in the program's active transaction or, without one, in a
// transaction of its own that is committed when the run's work is done.

#include "db/firebird/error_slot.h"
#include "db/firebird/fb_input_message.h"
#include "db/firebird/fb_session.h"
#include "db/sql_driver.h"

#include <memory>
#include <string>
#include <vector>

namespace db::firebird {

class FbCommand final : public ReportsErrors<ISQLCommand>, private FbSessionUser {
public:
    explicit FbCommand(std::shared_ptr<FbSession> session);
    ~FbCommand() override;

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
    void sessionClosing() override;
    void freeStatement();
    // The text that calls a stored procedure named by its quoted name.
    int procedureCall(const std::string& quotedName, std::string* sql);
    int fail(const FbFailure& failure) { return errors_.fail(failure.code, failure.message); }

    std::shared_ptr<FbSession> session_;
    Firebird::IStatement* statement_ = nullptr;
    unsigned flags_ = 0;
    unsigned inputCount_ = 0;
    // The server's description of the inputs, read once per prepare.
    Firebird::IMessageMetadata* serverInputs_ = nullptr;
    // Kept between runs: a statement run again with values of the same types
    // reuses the message's layout.
    FbInputMessage input_;
    std::vector<const FbParamValue*> inputValues_;
    FbMessage outputs_;
    bool outputsValid_ = false;
    std::vector<FbParamValue> params_;
    std::int64_t rowsAffected_ = -1;
    std::int64_t rowsetSize_ = 20;
    bool storedProc_ = false;
    std::string packageName_;
};

} // namespace db::firebird
