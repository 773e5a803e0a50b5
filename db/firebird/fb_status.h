#pragma once
// A Firebird status vector for one call, and the one place where a failed
// status becomes a driver result code and a message.

#include "db/firebird/fb_client.h"

#include <string>

namespace db::firebird {

class FbStatus {
public:
    explicit FbStatus(const FbClient& client);
    ~FbStatus();
    FbStatus(const FbStatus&) = delete;
    FbStatus& operator=(const FbStatus&) = delete;

    Firebird::CheckStatusWrapper* get() { return &wrapper_; }
    bool failed() const;
    // The first error number of the vector, 0 when there is none.
    long errorNumber() const;
    // The server's text of the vector, lines joined by line feeds.
    std::string message() const;
    // The driver result code for a failure of an ordinary call.
    int resultCode() const;
    void clear() { wrapper_.init(); }

private:
    const FbClient& client_;
    Firebird::IStatus* status_;
    Firebird::CheckStatusWrapper wrapper_;
};

} // namespace db::firebird
