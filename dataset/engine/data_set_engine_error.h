#pragma once
// A failure of the client data set engine: the engine's text for a status
// and the status itself.

#include "db/database_error.h"

namespace dataset {

// The engine's statuses; 0 is success.
enum class EngineStatus : int {
    Ok = 0,
    InvalidPacket = 0x2201,
    ValueMismatch = 0x2202,
    NoSuchRow = 0x2203,
    NoSuchColumn = 0x2204,
    NoSuchFilter = 0x2205,
};

class DataSetEngineError : public db::DatabaseError {
public:
    DataSetEngineError(EngineStatus status, const std::string& message)
        : db::DatabaseError(message), status_(status) {}
    EngineStatus status() const { return status_; }
    int errorCode() const { return static_cast<int>(status_); }

private:
    EngineStatus status_;
};

} // namespace dataset
