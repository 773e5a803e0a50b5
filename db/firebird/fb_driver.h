#pragma once
// The driver object handed out by the library's entry function.

#include "db/firebird/fb_client.h"
#include "db/sql_driver.h"

namespace db::firebird {

class FbDriver final : public ISQLDriver {
public:
    explicit FbDriver(FbClient& client) : client_(client) {}
    int getSQLConnection(ISQLConnection** connection) override;

private:
    FbClient& client_;
};

} // namespace db::firebird
