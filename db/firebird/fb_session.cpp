#include "db/firebird/fb_session.h"

#include "db/firebird/fb_input_message.h"
#include "db/firebird/fb_status.h"
#include "db/firebird/fb_value_reader.h"

#include <algorithm>

namespace db::firebird {

namespace {

constexpr const char* kDefaultCharSet = "UTF8";

// The database string with the host (and port) of the options in front,
// unless it names a host of its own.
std::string fullDatabaseName(const std::string& database, const FbSessionOptions& options) {
    if (options.hostName.empty() || database.find(':') != std::string::npos) {
        return database;
    }
    std::string host = options.hostName;
    if (!options.serverPort.empty()) {
        host += "/" + options.serverPort;
    }
    return host + ":" + database;
}

} // namespace

FbSession::FbSession(FbClient& client, FbSessionOptions options)
    : client_(client), options_(std::move(options)) {}

FbSession::~FbSession() {
    detach();
}

std::optional<FbFailure> FbSession::attach(const std::string& database, const std::string& user,
                                           const std::string& password) {
    FbStatus status(client_);
    Firebird::IXpbBuilder* dpb =
        client_.util()->getXpbBuilder(status.get(), Firebird::IXpbBuilder::DPB, nullptr, 0);
    if (!user.empty()) {
        dpb->insertString(status.get(), isc_dpb_user_name, user.c_str());
    }
    if (!password.empty()) {
        dpb->insertString(status.get(), isc_dpb_password, password.c_str());
    }
    const std::string charSet =
        options_.serverCharSet.empty() ? kDefaultCharSet : options_.serverCharSet;
    dpb->insertString(status.get(), isc_dpb_lc_ctype, charSet.c_str());
    if (!options_.roleName.empty()) {
        dpb->insertString(status.get(), isc_dpb_sql_role_name, options_.roleName.c_str());
    }
    dpb->insertInt(status.get(), isc_dpb_sql_dialect, options_.dialect);
    if (options_.connectTimeout > 0) {
        dpb->insertInt(status.get(), isc_dpb_connect_timeout, options_.connectTimeout);
    }
    if (!status.failed()) {
        const std::string name = fullDatabaseName(database, options_);
        attachment_ = client_.provider()->attachDatabase(status.get(), name.c_str(),
                                                         dpb->getBufferLength(status.get()),
                                                         dpb->getBuffer(status.get()));
    }
    if (dpb != nullptr) {
        dpb->dispose();
    }
    if (status.failed()) {
        attachment_ = nullptr;
        // Every attach failure that is not a refused login is a failed connection.
        const int code = status.errorNumber() == isc_login ? DriverResult::kInvalidUserPassword
                                                           : DriverResult::kConnectionFailed;
        return FbFailure{code, status.message()};
    }
    return std::nullopt;
}

void FbSession::detach() {
    // Users go first, latest first: cursors end before the statements they came from.
    while (!users_.empty()) {
        FbSessionUser* user = users_.back();
        users_.pop_back();
        user->sessionClosing();
    }
    // Work the program left unfinished is undone; auto-commit work is kept.
    for (auto it = transactions_.rbegin(); it != transactions_.rend(); ++it) {
        endQuietly(it->second, false, client_);
    }
    transactions_.clear();
    for (Firebird::ITransaction* transaction : autoTransactions_) {
        endQuietly(transaction, true, client_);
    }
    autoTransactions_.clear();
    if (readTransaction_ != nullptr) {
        endQuietly(readTransaction_, true, client_);
        readTransaction_ = nullptr;
    }
    precisions_.clear();
    if (attachment_ != nullptr) {
        FbStatus status(client_);
        attachment_->detach(status.get());
        if (status.failed()) {
            // A connection the server dropped cannot detach; let go of it.
            attachment_->release();
        }
        attachment_ = nullptr;
    }
}

void FbSession::endQuietly(Firebird::ITransaction* transaction, bool commit, FbClient& client) {
    FbStatus status(client);
    if (commit) {
        transaction->commit(status.get());
    } else {
        transaction->rollback(status.get());
    }
    if (status.failed()) {
        transaction->release();
    }
}

void FbSession::addUser(FbSessionUser* user) {
    users_.push_back(user);
}

void FbSession::removeUser(FbSessionUser* user) {
    users_.erase(std::remove(users_.begin(), users_.end(), user), users_.end());
}

Firebird::ITransaction* FbSession::startTransaction(int isolation, bool readOnly,
                                                    FbFailure* failure) {
    if (attachment_ == nullptr) {
        *failure = {DriverResult::kInvalidHandle, "the connection is closed"};
        return nullptr;
    }
    FbStatus status(client_);
    Firebird::IXpbBuilder* tpb =
        client_.util()->getXpbBuilder(status.get(), Firebird::IXpbBuilder::TPB, nullptr, 0);
    if (isolation == IsolationLevel::kRepeatableRead) {
        tpb->insertTag(status.get(), isc_tpb_concurrency);
    } else {
        // Firebird has no dirty reads; read committed is the nearest level.
        tpb->insertTag(status.get(), isc_tpb_read_committed);
        tpb->insertTag(status.get(), isc_tpb_rec_version);
    }
    tpb->insertTag(status.get(), readOnly ? isc_tpb_read : isc_tpb_write);
    tpb->insertTag(status.get(), options_.waitOnLocks && !readOnly ? isc_tpb_wait : isc_tpb_nowait);
    Firebird::ITransaction* transaction = nullptr;
    if (!status.failed()) {
        transaction = attachment_->startTransaction(
            status.get(), tpb->getBufferLength(status.get()), tpb->getBuffer(status.get()));
    }
    if (tpb != nullptr) {
        tpb->dispose();
    }
    if (status.failed()) {
        *failure = {status.resultCode(), status.message()};
        return nullptr;
    }
    return transaction;
}

std::optional<FbFailure> FbSession::begin(std::uint32_t id, int isolation) {
    for (const auto& entry : transactions_) {
        if (entry.first == id) {
            return FbFailure{DriverResult::kDuplicateTransactionId, "duplicate transaction id"};
        }
    }
    if (!transactions_.empty() && !options_.multipleTransactions) {
        return FbFailure{DriverResult::kLocalTransactionActive, "a transaction is already active"};
    }
    if (isolation < IsolationLevel::kReadCommitted || isolation > IsolationLevel::kDirtyRead) {
        return FbFailure{DriverResult::kInvalidIsolationLevel, "invalid isolation level"};
    }
    FbFailure failure;
    Firebird::ITransaction* transaction = startTransaction(isolation, false, &failure);
    if (transaction == nullptr) {
        return failure;
    }
    transactions_.emplace_back(id, transaction);
    return std::nullopt;
}

std::optional<FbFailure> FbSession::commit(std::uint32_t id) {
    for (auto it = transactions_.begin(); it != transactions_.end(); ++it) {
        if (it->first != id) {
            continue;
        }
        FbStatus status(client_);
        it->second->commit(status.get());
        if (status.failed()) {
            // The transaction stays active, so the program can roll it back.
            return FbFailure{status.resultCode(), status.message()};
        }
        transactions_.erase(it);
        return std::nullopt;
    }
    return FbFailure{DriverResult::kInvalidTransactionId, "no active transaction with this id"};
}

std::optional<FbFailure> FbSession::rollback(std::uint32_t id) {
    for (auto it = transactions_.begin(); it != transactions_.end(); ++it) {
        if (it->first != id) {
            continue;
        }
        FbStatus status(client_);
        it->second->rollback(status.get());
        if (status.failed()) {
            FbFailure failure{status.resultCode(), status.message()};
            // A rollback that fails leaves nothing worth keeping.
            it->second->release();
            transactions_.erase(it);
            return failure;
        }
        transactions_.erase(it);
        return std::nullopt;
    }
    return FbFailure{DriverResult::kInvalidTransactionId, "no active transaction with this id"};
}

Firebird::ITransaction* FbSession::activeTransaction() const {
    return transactions_.empty() ? nullptr : transactions_.back().second;
}

Firebird::ITransaction* FbSession::startAutoTransaction(FbFailure* failure) {
    Firebird::ITransaction* transaction = startTransaction(options_.isolation, false, failure);
    if (transaction != nullptr) {
        autoTransactions_.insert(transaction);
    }
    return transaction;
}

std::optional<FbFailure> FbSession::endAutoTransaction(Firebird::ITransaction* transaction,
                                                       bool commit) {
    if (autoTransactions_.erase(transaction) == 0) {
        return std::nullopt; // already ended by a detach
    }
    FbStatus status(client_);
    if (commit) {
        transaction->commit(status.get());
    } else {
        transaction->rollback(status.get());
    }
    if (status.failed()) {
        FbFailure failure{status.resultCode(), status.message()};
        if (commit) {
            FbStatus undo(client_);
            transaction->rollback(undo.get());
            if (!undo.failed()) {
                return failure;
            }
        }
        transaction->release();
        return failure;
    }
    return std::nullopt;
}

Firebird::ITransaction* FbSession::readTransaction(FbFailure* failure) {
    if (readTransaction_ == nullptr) {
        readTransaction_ = startTransaction(IsolationLevel::kReadCommitted, true, failure);
    }
    return readTransaction_;
}

std::optional<FbFailure> FbSession::query(const std::string& sql,
                                          const std::vector<std::string>& args,
                                          const std::function<void(const FbMessage&)>& onRow) {
    FbFailure failure;
    Firebird::ITransaction* transaction = readTransaction(&failure);
    if (transaction == nullptr) {
        return failure;
    }
    FbStatus status(client_);
    Firebird::IStatement* statement =
        attachment_->prepare(status.get(), transaction, 0, sql.c_str(), dialect(),
                             Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    if (status.failed()) {
        return FbFailure{status.resultCode(), status.message()};
    }
    std::vector<FbParamValue> values;
    for (const std::string& arg : args) {
        values.push_back(FbParamValue::ofText(arg));
    }
    std::vector<const FbParamValue*> pointers;
    for (const FbParamValue& value : values) {
        pointers.push_back(&value);
    }
    FbInputMessage input;
    Firebird::IMessageMetadata* serverInput = statement->getInputMetadata(status.get());
    std::optional<FbFailure> result = input.build(*this, transaction, pointers, serverInput);
    if (serverInput != nullptr) {
        serverInput->release();
    }
    FbMessage row;
    std::string error;
    if (!result && !row.describe(client_, statement->getOutputMetadata(status.get()), &error)) {
        result = FbFailure{DriverResult::kSqlError, error};
    }
    Firebird::IResultSet* cursor = nullptr;
    if (!result) {
        cursor = statement->openCursor(status.get(), transaction, input.metadata(), input.buffer(),
                                       row.metadata(), 0);
    }
    while (!result && !status.failed() &&
           cursor->fetchNext(status.get(), row.buffer()) == Firebird::IStatus::RESULT_OK) {
        onRow(row);
    }
    if (!result && status.failed()) {
        result = FbFailure{status.resultCode(), status.message()};
    }
    if (cursor != nullptr) {
        FbStatus closing(client_);
        cursor->close(closing.get());
        if (closing.failed()) {
            cursor->release();
        }
    }
    FbStatus freeing(client_);
    statement->free(freeing.get());
    if (freeing.failed()) {
        statement->release();
    }
    return result;
}

int FbSession::declaredPrecision(const std::string& relation, const std::string& field) {
    const std::string key = relation + '.' + field;
    if (const auto found = precisions_.find(key); found != precisions_.end()) {
        return found->second;
    }
    int precision = 0;
    const FbValueReader reader(client_);
    const auto failure =
        query("select f.rdb$field_precision from rdb$relation_fields rf"
              " join rdb$fields f on f.rdb$field_name = rf.rdb$field_source"
              " where rf.rdb$relation_name = ? and rf.rdb$field_name = ?"
              " union all "
              "select f.rdb$field_precision from rdb$procedure_parameters pp"
              " join rdb$fields f on f.rdb$field_name = pp.rdb$field_source"
              " where pp.rdb$procedure_name = ? and pp.rdb$parameter_name = ?"
              " and pp.rdb$parameter_type = 1",
              {relation, field, relation, field}, [&](const FbMessage& row) {
                  std::int64_t value = 0;
                  if (precision == 0 && !row.isNull(0) &&
                      reader.integer(row.field(0), row.data(0), &value) == DriverResult::kSuccess) {
                      precision = static_cast<int>(value);
                  }
              });
    if (!failure) {
        precisions_[key] = precision;
    }
    return precision;
}

} // namespace db::firebird
