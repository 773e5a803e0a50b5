#include "db/firebird/fb_driver.h"

#include "db/firebird/fb_connection.h"

namespace db::firebird {

int FbDriver::getSQLConnection(ISQLConnection** connection) {
    if (connection == nullptr) {
        return DriverResult::kInvalidParameter;
    }
    *connection = new FbConnection(client_);
    return DriverResult::kSuccess;
}

} // namespace db::firebird
