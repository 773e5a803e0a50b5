#pragma once
// Option names as the fake driver writes them into its call log.

#include "db/sql_driver.h"

#include <string>

namespace db::fake {

class FakeOptionNames {
public:
    static std::string name(ConnectionOption option);
    static std::string name(MetaDataOption option);
    static std::string name(CommandOption option);
};

} // namespace db::fake
