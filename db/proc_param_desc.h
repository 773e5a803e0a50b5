#pragma once
// One parameter of a stored procedure as the server describes it.

#include "db/field_type.h"
#include "db/sql_driver.h"

#include <string>

namespace db {

struct ProcParamDesc {
    int position = 0;
    ParamDirection direction = ParamDirection::Unknown;
    DriverTypeDesc driver;
    FieldType fieldType = FieldType::Unknown;
    std::string name;
};

} // namespace db
