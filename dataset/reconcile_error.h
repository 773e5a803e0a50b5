#pragma once
// A row of the error packet as the client sees it while reconciling.

#include "db/database_error.h"

#include <string>

namespace dataset {

class ReconcileError : public db::DatabaseError {
public:
    ReconcileError(const std::string& message, std::string context, int errorCode,
                   int previousError)
        : db::DatabaseError(message), context_(std::move(context)), errorCode_(errorCode),
          previousError_(previousError) {}

    const std::string& context() const { return context_; }
    int errorCode() const { return errorCode_; }
    int previousError() const { return previousError_; }

private:
    std::string context_;
    int errorCode_;
    int previousError_;
};

} // namespace dataset
