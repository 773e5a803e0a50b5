#pragma once
// Which days are posted: for each day, point of sale and book of a range,
// the cash sales and the vouchers that entered them, read from the company
// database in one query.

#include "app/post/posting_report.h"

#include <cstdint>
#include <vector>

namespace app::post {

class CompanySession;

// Rows in the order of day, point and book; only of the points named (all
// when none is).
std::vector<StatusRow> salesStatus(CompanySession& session, Day from, Day to,
                                   const std::vector<std::int64_t>& points);

} // namespace app::post
