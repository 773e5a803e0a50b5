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
    // No connection, or the one there was is gone: the server stopped, the
    // network dropped it, or the database was shut down under it.
    case isc_network_error:
    case isc_unavailable:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_lost_db_connection:
    case isc_conn_lost:
    case isc_att_shutdown:
    case isc_shutdown:
        return DriverResult::kConnectionFailed;
    default:
        return DriverResult::kSqlError;
    }
}

} // namespace db::firebird
