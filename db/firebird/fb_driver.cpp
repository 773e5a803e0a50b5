#include "db/firebird/fb_driver.h"

#include "db/firebird/fb_connection.h"

namespace db::firebird {

int FbDriver::getSQLConnection(ISQLConnection** connection) {
    if (connection == nullptr) {
        return DriverResult::InvalidParameter;
    }
    *connection = new FbConnection(client_);
    return DriverResult::Success;
}

} // namespace db::firebird
