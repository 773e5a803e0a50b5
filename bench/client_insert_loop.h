#pragma once
// The bare baseline of the insert benchmarks: one insert prepared with the
// Firebird client API and run for every row in one transaction, its input
// message filled in place.

#include "bench/bench_database.h"

#include <cstring>
#include <firebird/Interface.h>
#include <string_view>
#include <vector>

namespace bench {

// The input message of a prepared statement; every parameter not null.
class InsertMessage {
public:
    InsertMessage(ClientStatus& status, Firebird::IStatement* statement);
    ~InsertMessage();
    InsertMessage(const InsertMessage&) = delete;
    InsertMessage& operator=(const InsertMessage&) = delete;

    // A value in the parameter's own binary form.
    template <typename T> void set(unsigned parameter, const T& value) {
        std::memcpy(buffer_.data() + offsets_[parameter], &value, sizeof value);
    }
    // A VARCHAR parameter: its length, then its bytes.
    void setVarying(unsigned parameter, std::string_view text);

    Firebird::IMessageMetadata* meta() const { return meta_; }
    void* data() { return buffer_.data(); }

private:
    Firebird::IMessageMetadata* meta_;
    std::vector<unsigned char> buffer_;
    std::vector<unsigned> offsets_;
};

// Starts a transaction, prepares sql, fills and executes it for the rows 0
// to rowCount - 1 (fill(message, row)) and commits.
template <typename Fill>
void runPreparedInsert(Firebird::IAttachment* attachment, const char* sql, int rowCount,
                       Fill fill) {
    ClientStatus status;
    Firebird::ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
    Firebird::IStatement* statement = attachment->prepare(status.get(), transaction, 0, sql, 3, 0);
    status.check("prepare");
    {
        InsertMessage message(status, statement);
        for (int i = 0; i < rowCount; ++i) {
            fill(message, i);
            statement->execute(status.get(), transaction, message.meta(), message.data(), nullptr,
                               nullptr);
        }
        status.check("insert");
    }
    statement->free(status.get());
    transaction->commit(status.get());
    status.check("commit");
}

} // namespace bench
