#pragma once
// The fake library's driver object: hands out fake server connections.

#include "db/sql_driver.h"
#include "tests/db/fake_driver/fake_driver_control.h"

namespace db::fake {

class FakeDriver final : public ISQLDriver {
public:
    explicit FakeDriver(FakeDriverControl& control);
    ~FakeDriver() override;

    int getSQLConnection(ISQLConnection** connection) override;

private:
    FakeDriverControl& control_;
};

} // namespace db::fake
