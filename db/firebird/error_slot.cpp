#include "db/firebird/error_slot.h"

#include "db/sql_driver.h"

#include <cstring>

namespace db::firebird {

int ErrorSlot::lengthTo(int* length) const {
    if (length == nullptr) {
        return DriverResult::kInvalidParameter;
    }
    *length = static_cast<int>(text_.size());
    return DriverResult::kSuccess;
}

int ErrorSlot::copyTo(char* buffer) const {
    if (buffer == nullptr) {
        return DriverResult::kInvalidParameter;
    }
    std::memcpy(buffer, text_.c_str(), text_.size() + 1);
    return DriverResult::kSuccess;
}

} // namespace db::firebird
