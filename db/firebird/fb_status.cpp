#include "db/firebird/fb_status.h"

#include "db/sql_driver.h"

#include <vector>

namespace db::firebird {

FbStatus::FbStatus(const FbClient& client)
    : client_(client), status_(client.master()->getStatus()), wrapper_(status_) {}

FbStatus::~FbStatus() {
    status_->dispose();
}

bool FbStatus::failed() const {
    return (const_cast<Firebird::CheckStatusWrapper&>(wrapper_).getState() &
            Firebird::IStatus::STATE_ERRORS) != 0;
}

long FbStatus::errorNumber() const {
    const ISC_STATUS* vector = const_cast<Firebird::CheckStatusWrapper&>(wrapper_).getErrors();
    return vector[0] == isc_arg_gds ? static_cast<long>(vector[1]) : 0;
}

std::string FbStatus::message() const {
    std::vector<char> buffer(4096);
    const unsigned length =
        client_.util()->formatStatus(buffer.data(), static_cast<unsigned>(buffer.size()),
                                     const_cast<Firebird::CheckStatusWrapper*>(&wrapper_));
    std::string text(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) {
        text.pop_back();
    }
    return text;
}

int FbStatus::resultCode() const {
    switch (errorNumber()) {
    case isc_login:
        return DriverResult::kInvalidUserPassword;
    case isc_network_error:
    case isc_unavailable:
        return DriverResult::kConnectionFailed;
    default:
        return DriverResult::kSqlError;
    }
}

} // namespace db::firebird
