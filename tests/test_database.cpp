#include "tests/test_database.h"

#include <cstdlib>
#include <filesystem>
#include <firebird/Interface.h>
#include <stdexcept>

namespace db::test {

namespace {

using namespace Firebird;

class Status {
public:
    Status() : status_(fb_get_master_interface()->getStatus()), wrapper_(status_) {}
    ~Status() { status_->dispose(); }
    CheckStatusWrapper* operator&() { return &wrapper_; }
    void check(const std::string& what) {
        if (wrapper_.getState() & IStatus::STATE_ERRORS) {
            char text[2048];
            fb_get_master_interface()->getUtilInterface()->formatStatus(text, sizeof text,
                                                                        &wrapper_);
            throw std::runtime_error(what + ": " + text);
        }
    }

private:
    IStatus* status_;
    CheckStatusWrapper wrapper_;
};

IAttachment* attach(const std::string& path, const TestServer& server, bool create) {
    IMaster* master = fb_get_master_interface();
    Status status;
    IXpbBuilder* dpb =
        master->getUtilInterface()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&status, isc_dpb_user_name, server.user.c_str());
    if (!server.password.empty()) {
        dpb->insertString(&status, isc_dpb_password, server.password.c_str());
    }
    dpb->insertString(&status, isc_dpb_lc_ctype, "UTF8");
    if (create) {
        dpb->insertString(&status, isc_dpb_set_db_charset, "UTF8");
        dpb->insertInt(&status, isc_dpb_sql_dialect, 3);
    }
    IProvider* provider = master->getDispatcher();
    IAttachment* attachment =
        create ? provider->createDatabase(&status, path.c_str(), dpb->getBufferLength(&status),
                                          dpb->getBuffer(&status))
               : provider->attachDatabase(&status, path.c_str(), dpb->getBufferLength(&status),
                                          dpb->getBuffer(&status));
    dpb->dispose();
    provider->release();
    status.check(create ? "create " + path : "attach " + path);
    return attachment;
}

} // namespace

std::string TestDatabase::tempDir() {
    const char* dir = std::getenv("PELMORA_TEST_TMP");
    std::string result = dir != nullptr ? dir : std::filesystem::temp_directory_path().string();
    std::filesystem::create_directories(result);
    return result;
}

std::string TestDatabase::driverLibrary() {
    const char* path = std::getenv("PELMORA_DRIVER_LIB");
    return path != nullptr ? path : "libsqldrvfb.so";
}

TestDatabase::TestDatabase(const std::string& name, const std::vector<std::string>& setup,
                           TestServer server)
    : path_(tempDir() + "/" + name + ".fdb"), server_(std::move(server)) {
    std::filesystem::remove(path_);
    IAttachment* attachment = attach(connectString(), server_, true);
    Status status;
    attachment->detach(&status);
    status.check("detach");
    execute(setup);
}

TestDatabase::~TestDatabase() {
    try {
        IAttachment* attachment = attach(connectString(), server_, false);
        Status status;
        attachment->dropDatabase(&status);
        if (attachment != nullptr && (status.operator&()->getState() & IStatus::STATE_ERRORS)) {
            attachment->release();
        }
    } catch (...) {
        // Still in use by a connection the test leaked: leave the file.
    }
}

void TestDatabase::execute(const std::vector<std::string>& statements) const {
    if (statements.empty()) {
        return;
    }
    IAttachment* attachment = attach(connectString(), server_, false);
    Status status;
    for (const std::string& sql : statements) {
        ITransaction* transaction = attachment->startTransaction(&status, 0, nullptr);
        status.check("start");
        attachment->execute(&status, transaction, 0, sql.c_str(), 3, nullptr, nullptr, nullptr,
                            nullptr);
        status.check(sql);
        transaction->commit(&status);
        status.check("commit");
    }
    attachment->detach(&status);
    status.check("detach");
}

std::string TestDatabase::scalar(const std::string& sql) const {
    IAttachment* attachment = attach(connectString(), server_, false);
    Status status;
    ITransaction* transaction = attachment->startTransaction(&status, 0, nullptr);
    status.check("start");
    IStatement* statement = attachment->prepare(
        &status, transaction, 0,
        ("select cast((" + sql + ") as varchar(200)) from rdb$database").c_str(), 3, 0);
    status.check(sql);
    IMessageMetadata* meta = statement->getOutputMetadata(&status);
    std::vector<unsigned char> buffer(meta->getMessageLength(&status));
    IResultSet* cursor = statement->openCursor(&status, transaction, nullptr, nullptr, meta, 0);
    status.check(sql);
    std::string result = "<none>";
    if (cursor->fetchNext(&status, buffer.data()) == IStatus::RESULT_OK) {
        const short null =
            *reinterpret_cast<short*>(buffer.data() + meta->getNullOffset(&status, 0));
        const unsigned char* data = buffer.data() + meta->getOffset(&status, 0);
        const unsigned short length = *reinterpret_cast<const unsigned short*>(data);
        result = null ? "<null>" : std::string(reinterpret_cast<const char*>(data) + 2, length);
    }
    cursor->close(&status);
    meta->release();
    statement->free(&status);
    transaction->commit(&status);
    attachment->detach(&status);
    status.check("scalar");
    return result;
}

} // namespace db::test
