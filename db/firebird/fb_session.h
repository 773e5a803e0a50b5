#pragma once
// One server session: the attachment, its transactions and the driver objects
// that live on it. Commands and cursors hold the session, so a session that
// has been detached turns their later calls into "invalid handle" results
// instead of calls on dead Firebird objects.

#include "db/firebird/fb_client.h"
#include "db/firebird/fb_message.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace db::firebird {

struct FbSessionOptions {
    std::string hostName;
    std::string serverPort;
    std::string roleName;
    std::string serverCharSet;
    bool waitOnLocks = true;
    bool multipleTransactions = false;
    bool trimChar = false;
    int isolation = 0;
    int dialect = 3;
    int connectTimeout = 0;
    std::int64_t blobSize = -1;
};

// A driver object that holds Firebird handles of the session.
class FbSessionUser {
public:
    virtual ~FbSessionUser() = default;
    // Called before the attachment goes: drop every Firebird handle.
    virtual void sessionClosing() = 0;
};

struct FbFailure {
    int code = 0;
    std::string message;
};

class FbSession {
public:
    FbSession(FbClient& client, FbSessionOptions options);
    ~FbSession();
    FbSession(const FbSession&) = delete;
    FbSession& operator=(const FbSession&) = delete;

    std::optional<FbFailure> attach(const std::string& database, const std::string& user,
                                    const std::string& password);
    void detach();
    bool attached() const { return attachment_ != nullptr; }

    FbClient& client() const { return client_; }
    Firebird::IAttachment* attachment() const { return attachment_; }
    const FbSessionOptions& options() const { return options_; }
    unsigned dialect() const { return static_cast<unsigned>(options_.dialect); }

    void addUser(FbSessionUser* user);
    void removeUser(FbSessionUser* user);

    // Transactions the program begins; statements run in the latest one.
    std::optional<FbFailure> begin(std::uint32_t id, int isolation);
    std::optional<FbFailure> commit(std::uint32_t id);
    std::optional<FbFailure> rollback(std::uint32_t id);
    Firebird::ITransaction* activeTransaction() const;

    // A transaction of one statement when the program has none active: it is
    // committed when the statement's work is done (auto-commit).
    Firebird::ITransaction* startAutoTransaction(FbFailure* failure);
    std::optional<FbFailure> endAutoTransaction(Firebird::ITransaction* transaction, bool commit);

    // The read-only transaction statements are prepared in and the driver's
    // own catalogue queries run in.
    Firebird::ITransaction* readTransaction(FbFailure* failure);

    // Runs a catalogue query with text arguments; onRow sees every row.
    std::optional<FbFailure> query(const std::string& sql, const std::vector<std::string>& args,
                                   const std::function<void(const FbMessage&)>& onRow);

    // Declared precision of a NUMERIC or DECIMAL column of a table, view or
    // procedure, 0 when the catalogue does not know it.
    int declaredPrecision(const std::string& relation, const std::string& field);

private:
    Firebird::ITransaction* startTransaction(int isolation, bool readOnly, FbFailure* failure);
    static void endQuietly(Firebird::ITransaction* transaction, bool commit, FbClient& client);

    FbClient& client_;
    FbSessionOptions options_;
    Firebird::IAttachment* attachment_ = nullptr;
    Firebird::ITransaction* readTransaction_ = nullptr;
    std::vector<std::pair<std::uint32_t, Firebird::ITransaction*>> transactions_;
    std::set<Firebird::ITransaction*> autoTransactions_;
    std::vector<FbSessionUser*> users_;
    std::map<std::string, int> precisions_;
};

} // namespace db::firebird
