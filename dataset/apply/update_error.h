#pragma once
// The error of one row that could not be applied, made from whatever the
// row's statement raised.

#include "db/database_error.h"

#include <string>

namespace dataset {

class UpdateError : public db::DatabaseError {
public:
    UpdateError(const std::string& message, int previousError)
        : db::DatabaseError(message), previousError_(previousError) {}

    const std::string& context() const { return context_; }
    int errorCode() const { return 1; }
    // The code of the row's earlier update error, 0 when none.
    int previousError() const { return previousError_; }

private:
    std::string context_;
    int previousError_;
};

} // namespace dataset
