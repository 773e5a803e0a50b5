#include "tests/db/fake_driver/fake_driver.h"

#include "tests/db/fake_driver/fake_connection.h"

namespace db::fake {

FakeDriver::FakeDriver(FakeDriverControl& control) : control_(control) {
    ++control_.liveObjects;
}

FakeDriver::~FakeDriver() {
    control_.calls.push_back("~Driver");
    --control_.liveObjects;
}

int FakeDriver::getSQLConnection(ISQLConnection** connection) {
    control_.calls.push_back("getSQLConnection");
    if (control_.getConnectionResult != 0) {
        *connection = nullptr;
        return control_.getConnectionResult;
    }
    *connection = new FakeConnection(control_);
    return 0;
}

} // namespace db::fake
