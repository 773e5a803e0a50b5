#pragma once
// A Firebird database of a benchmark's own, created with the embedded engine
// under a temporary directory and dropped afterwards, and the bare client
// calls the baselines are made of.

#include "db/sql_connection.h"

#include <firebird/Interface.h>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// A status vector that throws on error.
class ClientStatus {
public:
    ClientStatus();
    ~ClientStatus();
    ClientStatus(const ClientStatus&) = delete;
    ClientStatus& operator=(const ClientStatus&) = delete;

    Firebird::CheckStatusWrapper* get() { return &wrapper_; }
    void check(const std::string& what);

private:
    Firebird::IStatus* status_;
    Firebird::CheckStatusWrapper wrapper_;
};

// The sales table that the fetch benchmarks read: rowCount rows of an id, a
// name, an amount with four decimals and a posting date.
constexpr const char* kSalesSelect = "select id, name, amount, posted from sale";
std::vector<std::string> salesTableSetup(int rowCount);

class BenchDatabase {
public:
    // Creates <temp>/pelmora-bench-<name>/bench.fdb and runs the statements.
    BenchDatabase(const std::string& name, const std::vector<std::string>& setup);
    ~BenchDatabase();
    BenchDatabase(const BenchDatabase&) = delete;
    BenchDatabase& operator=(const BenchDatabase&) = delete;

    const std::string& path() const { return path_; }

    // A new attachment in UTF8 as SYSDBA; the caller detaches it.
    Firebird::IAttachment* attach() const;
    void execute(const std::string& sql) const;
    // Reads every row of a select and drops them; the engine collects the
    // old versions of deleted rows as it passes them.
    void fetchAll(const std::string& sql) const;

    // The driver library built with this tree.
    static std::string driverLibrary();
    // Gives a connection the program's driver settings for this database.
    void configure(db::SQLConnection& connection) const;
    // A connection so configured, connected.
    std::unique_ptr<db::SQLConnection> connect() const;

private:
    std::string directory_;
    std::string path_;
};

} // namespace bench
