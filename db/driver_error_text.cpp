#include "db/driver_error_text.h"

#include "platform/text.h"

#include <map>
#include <vector>

namespace db {

namespace {

constexpr const char* kDriverErrorFormat = "Driver Error: ";
constexpr const char* kServerErrorFormat = "SQL Server Error: ";
constexpr const char* kUnknownCodeFormat = "Driver Error: Unknown Error Code '%s'";

const std::map<int, std::string>& errorTable() {
    static const std::map<int, std::string> kTable{
        {0x0001, "[0x0001]: Warning"},
        {0x0002, "[0x0002]: Insufficient Memory for Operation"},
        {0x0003, "[0x0003]: Invalid Field Type"},
        {0x0004, "[0x0004]: Invalid Handle"},
        {0x0005, "[0x0005]: Operation Not Supported"},
        {0x0006, "[0x0006]: Invalid Time"},
        {0x0007, "[0x0007]: Invalid Data Translation"},
        {0x0008, "[0x0008]: Parameter/Column out of Range"},
        {0x0009, "[0x0009]: Invalid Parameter"},
        {0x000A, "[0x000A]: Result set at EOF"},
        {0x000B, "Driver Error [0x000B]: Parameter Not Set"},
        {0x000C, "[0x000C] Invalid Username/Password"},
        {0x000D, "[0x000D]: Invalid Precision"},
        {0x000E, "[0x000E]: Invalid Length"},
        {0x000F, "[0x000F]: Invalid Transaction Isolation Level"},
        {0x0010, "[0x0010]: Invalid Transaction ID"},
        {0x0011, "[0x0011]: Duplicate Transaction ID"},
        {0x0013, "[0x0013]: Local Transaction already active"},
        {0x0014, "[0x0014]: Multiple Transactions not Enabled"},
        {0x0015, "[0x0015]: Connection failed"},
        {0x0016, "[0x0016]: Driver initialization failed"},
        {0x0017, "[0x0017]: Optimistic Locking failed"},
        {0x0018, "[0x0018]: Invalid REF"},
        {0x0019, "[0x0019]: No table found"},
    };
    return kTable;
}

} // namespace

std::string DriverErrorText::tableText(int code) {
    const auto found = errorTable().find(code);
    return found != errorTable().end() ? found->second : std::string();
}

std::string DriverErrorText::driverMessage(ISQLErrorSource* source) {
    if (source == nullptr) {
        return {};
    }
    int length = 0;
    if (source->getErrorMessageLen(&length) != DriverResult::kSuccess || length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    if (source->getErrorMessage(buffer.data()) != DriverResult::kSuccess) {
        return {};
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

std::string DriverErrorText::build(int code, ISQLErrorSource* source,
                                   const std::string& lastError) {
    std::string first = tableText(code);
    if (!first.empty()) {
        first = kDriverErrorFormat + first;
    }
    std::string second = driverMessage(source);
    if (!second.empty()) {
        second = kServerErrorFormat + second;
    }
    std::string text = first;
    if (!first.empty() && !second.empty()) {
        text += "\r\n";
    }
    text += second;
    if (text.empty()) {
        text = lastError;
    }
    if (text.empty()) {
        text = platform::fill(kUnknownCodeFormat, std::to_string(code));
    }
    return text;
}

} // namespace db
