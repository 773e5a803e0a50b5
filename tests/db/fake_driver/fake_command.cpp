#include "tests/db/fake_driver/fake_command.h"

#include "tests/db/fake_driver/fake_error_message.h"
#include "tests/db/fake_driver/fake_option_names.h"

#include <string>

namespace db::fake {

FakeCommand::FakeCommand(FakeDriverControl& control) : control_(control) {
    ++control_.liveObjects;
}

FakeCommand::~FakeCommand() {
    control_.calls.push_back("~Command");
    --control_.liveObjects;
}

int FakeCommand::getErrorMessageLen(int* length) {
    return FakeErrorMessage(control_, control_.commandMessage).length(length);
}

int FakeCommand::getErrorMessage(char* buffer) {
    return FakeErrorMessage(control_, control_.commandMessage).copy(buffer);
}

int FakeCommand::SetOption(CommandOption option, std::int64_t value) {
    control_.calls.push_back("Command.SetOption(" + FakeOptionNames::name(option) + ", " +
                             std::to_string(value) + ")");
    return 0;
}

int FakeCommand::SetOption(CommandOption option, std::string_view value) {
    control_.calls.push_back("Command.SetOption(" + FakeOptionNames::name(option) + ", '" +
                             std::string(value) + "')");
    return 0;
}

int FakeCommand::GetOption(CommandOption, std::int64_t*) {
    return DriverResult::kNotSupported;
}

int FakeCommand::prepare(const char* sql, int paramCount) {
    control_.calls.push_back("prepare('" + std::string(sql) + "', " + std::to_string(paramCount) +
                             ")");
    return control_.prepareResult;
}

int FakeCommand::setParameter(int position, int childPosition, ParamDirection direction, int type,
                              int subType, int precision, int scale, int length, const void* buffer,
                              bool isNull) {
    control_.calls.push_back(
        "setParameter(" + std::to_string(position) + ", " + std::to_string(childPosition) + ", " +
        std::to_string(static_cast<int>(direction)) + ", " + std::to_string(type) + ", " +
        std::to_string(subType) + ", " + std::to_string(precision) + ", " + std::to_string(scale) +
        ", " + std::to_string(length) + ", " + (buffer != nullptr ? "buffer" : "none") + ", " +
        std::to_string(isNull ? 1 : 0) + ")");
    return control_.setParameterResult;
}

int FakeCommand::getParameter(int, int, void*, int, bool*) {
    return DriverResult::kNotSupported;
}

int FakeCommand::execute(ISQLCursor** cursor) {
    control_.calls.push_back("execute");
    *cursor = nullptr;
    return control_.executeResult;
}

int FakeCommand::getRowsAffected(std::int64_t* rows) {
    control_.calls.push_back("getRowsAffected");
    *rows = control_.rowsAffected;
    return 0;
}

int FakeCommand::close() {
    return 0;
}

} // namespace db::fake
