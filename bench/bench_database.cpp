#include "bench/bench_database.h"

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace bench {

using namespace Firebird;

namespace {

IAttachment* open(const std::string& path, bool create) {
    IMaster* master = fb_get_master_interface();
    ClientStatus status;
    IXpbBuilder* dpb =
        master->getUtilInterface()->getXpbBuilder(status.get(), IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(status.get(), isc_dpb_user_name, "SYSDBA");
    dpb->insertString(status.get(), isc_dpb_lc_ctype, "UTF8");
    if (create) {
        dpb->insertString(status.get(), isc_dpb_set_db_charset, "UTF8");
        dpb->insertInt(status.get(), isc_dpb_sql_dialect, 3);
    }
    IProvider* provider = master->getDispatcher();
    const auto length = dpb->getBufferLength(status.get());
    const auto* buffer = dpb->getBuffer(status.get());
    IAttachment* attachment =
        create ? provider->createDatabase(status.get(), path.c_str(), length, buffer)
               : provider->attachDatabase(status.get(), path.c_str(), length, buffer);
    dpb->dispose();
    provider->release();
    status.check(path);
    return attachment;
}

} // namespace

std::vector<std::string> salesTableSetup(int rowCount) {
    return {"create table sale (id integer not null, name varchar(30), amount numeric(15,4), "
            "posted date)",
            "execute block as declare i integer = 0; begin while (i < " + std::to_string(rowCount) +
                ") do begin insert into sale values (:i, 'Venta ' || :i, :i * 1.2575, "
                "dateadd(mod(:i, 365) day to date '2022-01-01')); i = i + 1; end end"};
}

ClientStatus::ClientStatus() : status_(fb_get_master_interface()->getStatus()), wrapper_(status_) {}

ClientStatus::~ClientStatus() {
    status_->dispose();
}

void ClientStatus::check(const std::string& what) {
    if (wrapper_.getState() & IStatus::STATE_ERRORS) {
        char text[2048];
        fb_get_master_interface()->getUtilInterface()->formatStatus(text, sizeof text, &wrapper_);
        throw std::runtime_error(what + ": " + text);
    }
}

BenchDatabase::BenchDatabase(const std::string& name, const std::vector<std::string>& setup)
    : directory_((std::filesystem::temp_directory_path() /
                  ("pelmora-bench-" + name + "-" + std::to_string(::getpid())))
                     .string()),
      path_(directory_ + "/bench.fdb") {
    std::filesystem::create_directories(directory_);
    std::filesystem::remove(path_);
    ClientStatus status;
    open(path_, true)->detach(status.get());
    status.check("detach");
    for (const std::string& sql : setup) {
        execute(sql);
    }
}

BenchDatabase::~BenchDatabase() {
    try {
        ClientStatus status;
        open(path_, false)->dropDatabase(status.get());
    } catch (...) {
        // Still attached somewhere: the directory goes anyway.
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

IAttachment* BenchDatabase::attach() const {
    return open(path_, false);
}

void BenchDatabase::execute(const std::string& sql) const {
    IAttachment* attachment = attach();
    ClientStatus status;
    ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
    attachment->execute(status.get(), transaction, 0, sql.c_str(), 3, nullptr, nullptr, nullptr,
                        nullptr);
    status.check(sql);
    transaction->commit(status.get());
    attachment->detach(status.get());
    status.check("detach");
}

void BenchDatabase::fetchAll(const std::string& sql) const {
    IAttachment* attachment = attach();
    ClientStatus status;
    ITransaction* transaction = attachment->startTransaction(status.get(), 0, nullptr);
    IResultSet* cursor = attachment->openCursor(status.get(), transaction, 0, sql.c_str(), 3,
                                                nullptr, nullptr, nullptr, nullptr, 0);
    status.check(sql);
    IMessageMetadata* meta = cursor->getMetadata(status.get());
    std::vector<unsigned char> row(meta->getMessageLength(status.get()));
    while (cursor->fetchNext(status.get(), row.data()) == IStatus::RESULT_OK) {
    }
    status.check(sql);
    meta->release();
    cursor->close(status.get());
    transaction->commit(status.get());
    attachment->detach(status.get());
    status.check("detach");
}

std::string BenchDatabase::driverLibrary() {
    return PELMORA_DRIVER_LIBRARY;
}

void BenchDatabase::configure(db::SQLConnection& connection) const {
    connection.DriverName = "Firebird";
    connection.GetDriverFunc = "getSQLDriverFIREBIRD";
    connection.LibraryName = driverLibrary();
    connection.VendorLib = "libfbclient.so.2";
    connection.Params = db::ConnectionParams{
        {"Database", path_}, {"User_Name", "SYSDBA"}, {"SQLDialect", "3"}, {"BlobSize", "-1"}};
}

std::unique_ptr<db::SQLConnection> BenchDatabase::connect() const {
    auto connection = std::make_unique<db::SQLConnection>("Pelmora");
    configure(*connection);
    connection->setConnected(true);
    return connection;
}

} // namespace bench
