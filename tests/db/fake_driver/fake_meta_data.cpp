#include "tests/db/fake_driver/fake_meta_data.h"

#include "tests/db/fake_driver/fake_error_message.h"
#include "tests/db/fake_driver/fake_option_names.h"

#include <string>

namespace db::fake {

FakeMetaData::FakeMetaData(FakeDriverControl& control) : control_(control) {
    ++control_.liveObjects;
}

FakeMetaData::~FakeMetaData() {
    control_.calls.push_back("~MetaData");
    --control_.liveObjects;
}

int FakeMetaData::getErrorMessageLen(int* length) {
    return FakeErrorMessage(control_, control_.metaDataMessage).length(length);
}

int FakeMetaData::getErrorMessage(char* buffer) {
    return FakeErrorMessage(control_, control_.metaDataMessage).copy(buffer);
}

int FakeMetaData::SetOption(MetaDataOption option, std::string_view value) {
    control_.calls.push_back("MetaData.SetOption(" + FakeOptionNames::name(option) + ", '" +
                             std::string(value) + "')");
    return 0;
}

int FakeMetaData::GetOption(MetaDataOption option, std::int64_t* value) {
    control_.calls.push_back("MetaData.GetOption(" + FakeOptionNames::name(option) + ")");
    switch (option) {
    case MetaDataOption::ObjectQuoteChar:
        *value = control_.quoteChar;
        return 0;
    case MetaDataOption::SupportsTransaction:
        *value = control_.supportsTransaction;
        return 0;
    case MetaDataOption::SupportsTransactions:
        *value = control_.supportsTransactions;
        return 0;
    default:
        return DriverResult::kNotSupported;
    }
}

int FakeMetaData::getProcedureParams(const char*, ISQLCursor** cursor) {
    *cursor = nullptr;
    return DriverResult::kNotSupported;
}

} // namespace db::fake
