#pragma once
// One parameter of a stored procedure as the server describes it.

#include "db/field_type.h"
#include "db/sql_driver.h"

#include <string>

namespace db {

struct ProcParamDesc {
    int position = 0;
    ParamDirection direction = ParamDirection::Unknown;
    int driverType = DriverType::kUnknown;
    FieldType fieldType = FieldType::Unknown;
    int subType = 0;
    int precision = 0;
    int scale = 0;
    int length = 0;
    std::string name;
};

} // namespace db
