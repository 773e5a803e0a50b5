#include "tests/db/fake_driver/fake_connection.h"

#include "tests/db/fake_driver/fake_command.h"
#include "tests/db/fake_driver/fake_error_message.h"
#include "tests/db/fake_driver/fake_meta_data.h"
#include "tests/db/fake_driver/fake_option_names.h"

#include <string>

namespace db::fake {

namespace {

std::string quoted(const char* text) {
    return "'" + std::string(text) + "'";
}

std::string descriptor(const TransactionDesc& desc) {
    return "(" + std::to_string(desc.transactionId) + ", " + std::to_string(desc.isolationLevel) +
           ")";
}

} // namespace

FakeConnection::FakeConnection(FakeDriverControl& control) : control_(control) {
    ++control_.liveObjects;
}

FakeConnection::~FakeConnection() {
    control_.calls.push_back("~Connection");
    --control_.liveObjects;
}

int FakeConnection::getErrorMessageLen(int* length) {
    return FakeErrorMessage(control_, control_.connectionMessage).length(length);
}

int FakeConnection::getErrorMessage(char* buffer) {
    return FakeErrorMessage(control_, control_.connectionMessage).copy(buffer);
}

int FakeConnection::SetOption(ConnectionOption option, std::int64_t value) {
    control_.calls.push_back("SetOption(" + FakeOptionNames::name(option) + ", " +
                             std::to_string(value) + ")");
    return 0;
}

int FakeConnection::SetOption(ConnectionOption option, std::string_view value) {
    control_.calls.push_back("SetOption(" + FakeOptionNames::name(option) + ", '" +
                             std::string(value) + "')");
    return 0;
}

int FakeConnection::GetOption(ConnectionOption option, std::int64_t* value) {
    control_.calls.push_back("GetOption(" + FakeOptionNames::name(option) + ")");
    if (option == ConnectionOption::MaxActiveCommands) {
        *value = control_.maxActiveCommands;
        return 0;
    }
    return DriverResult::kNotSupported;
}

int FakeConnection::GetOption(ConnectionOption option, char*, int, int*) {
    control_.calls.push_back("GetOption(" + FakeOptionNames::name(option) + ")");
    return DriverResult::kNotSupported;
}

int FakeConnection::connect(const char* database, const char* user, const char* password) {
    control_.calls.push_back("connect(" + quoted(database) + ", " + quoted(user) + ", " +
                             quoted(password) + ")");
    return control_.connectResult;
}

int FakeConnection::disconnect() {
    control_.calls.push_back("disconnect");
    return 0;
}

int FakeConnection::getSQLCommand(ISQLCommand** command) {
    control_.calls.push_back("getSQLCommand");
    *command = new FakeCommand(control_);
    return 0;
}

int FakeConnection::getSQLMetaData(ISQLMetaData** metaData) {
    control_.calls.push_back("getSQLMetaData");
    if (control_.metaDataResult != 0) {
        *metaData = nullptr;
        return control_.metaDataResult;
    }
    *metaData = new FakeMetaData(control_);
    return 0;
}

int FakeConnection::beginTransaction(const TransactionDesc& desc) {
    control_.calls.push_back("beginTransaction" + descriptor(desc));
    return control_.beginResult;
}

int FakeConnection::commit(const TransactionDesc& desc) {
    control_.calls.push_back("commit" + descriptor(desc));
    return control_.commitResult;
}

int FakeConnection::rollback(const TransactionDesc& desc) {
    control_.calls.push_back("rollback" + descriptor(desc));
    return control_.rollbackResult;
}

} // namespace db::fake
