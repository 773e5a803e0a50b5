#pragma once
// The message half of ISQLErrorSource, as every fake object answers it.

#include "tests/db/fake_driver/fake_driver_control.h"

#include <cstring>
#include <string>

namespace db::fake {

class FakeErrorMessage {
public:
    FakeErrorMessage(const FakeDriverControl& control, const std::string& message)
        : control_(control), message_(message) {}

    int length(int* length) const {
        *length = static_cast<int>(message_.size());
        return control_.messageLengthResult;
    }

    int copy(char* buffer) const {
        std::memcpy(buffer, message_.c_str(), message_.size() + 1);
        return 0;
    }

private:
    const FakeDriverControl& control_;
    const std::string& message_;
};

} // namespace db::fake
