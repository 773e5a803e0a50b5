// The exported functions of the fake driver library: the entry function under
// the Firebird driver's name, and the control a test looks up with dlsym.

#include "tests/db/fake_driver/fake_driver.h"
#include "tests/db/fake_driver/fake_driver_control.h"

#include <string>

namespace {

db::fake::FakeDriverControl& control() {
    static db::fake::FakeDriverControl instance;
    return instance;
}

} // namespace

extern "C" __attribute__((visibility("default"))) db::fake::FakeDriverControl* fakeDriverControl() {
    return &control();
}

extern "C" __attribute__((visibility("default"))) int
getSQLDriverFIREBIRD(const char* vendorLib, const char* errorResourceFile,
                     db::ISQLDriver** driver) {
    control().calls.push_back("entry('" + std::string(vendorLib) + "', '" +
                              std::string(errorResourceFile) + "')");
    if (control().entryResult != 0) {
        *driver = nullptr;
        return control().entryResult;
    }
    *driver = new db::fake::FakeDriver(control());
    return 0;
}
