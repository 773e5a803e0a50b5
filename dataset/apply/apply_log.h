#pragma once
// The apply log: a table of the database where each apply writes a batch id
// of its own inside its own transaction. When the server stops answering
// after the commit was sent, nobody knows whether the commit was made; the
// batch id, looked for once the server answers again, tells it for certain.

#include "db/database_error.h"

#include <string>

namespace db {
class SQLCommand;
}

namespace dataset {

// An apply whose commit was sent but not answered. The client keeps its
// changes until the batch is looked for.
class ApplyOutcomeUnknown : public db::DatabaseError {
public:
    static constexpr const char* kMessage =
        "The server stopped answering while saving the changes. Whether they were saved is "
        "checked on the next save; the changes are kept until then";

    explicit ApplyOutcomeUnknown(std::string batch)
        : db::DatabaseError(kMessage), batch_(std::move(batch)) {}
    const std::string& batch() const { return batch_; }

private:
    std::string batch_;
};

namespace apply_log {

// 32 hexadecimal digits of a random 128-bit number.
std::string newBatchId();

// Writes the batch into the table inside the source's open transaction.
// False when the table cannot be written (a database without it): the
// statement is undone and the transaction goes on, without a batch.
// A lost connection passes as its error.
bool write(db::SQLCommand& source, const std::string& table, const std::string& batch);

// Whether a committed transaction wrote the batch.
bool contains(db::SQLCommand& source, const std::string& table, const std::string& batch);

} // namespace apply_log
} // namespace dataset
