// The one function the driver library exports: the program finds it by the
// name in its GetDriverFunc setting.

#include "db/firebird/fb_client.h"
#include "db/firebird/fb_driver.h"
#include "db/sql_driver.h"

#include <string>

extern "C" __attribute__((visibility("default"))) int
getSQLDriverFIREBIRD(const char* vendorLib, const char* /*errorResourceFile*/,
                     db::ISQLDriver** driver) {
    if (driver == nullptr) {
        return db::DriverResult::kInvalidParameter;
    }
    *driver = nullptr;
    if (vendorLib == nullptr || *vendorLib == '\0') {
        return db::DriverResult::kDriverInitFailed;
    }
    std::string error;
    db::firebird::FbClient* client = db::firebird::FbClient::load(vendorLib, &error);
    if (client == nullptr) {
        return db::DriverResult::kDriverInitFailed;
    }
    *driver = new db::firebird::FbDriver(*client);
    return db::DriverResult::kSuccess;
}
