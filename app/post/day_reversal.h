#pragma once
// Reversing a posted day of a point of sale in one book: the database
// writes a reversing voucher for each voucher that entered the day's sales,
// keeps the originals and frees the sales for a new posting.

#include "app/post/posting_report.h"

#include <vector>

namespace app::post {

class CompanySession;
struct PointOfSale;

// One result a reversed voucher, or one failed result with the database's
// refusal; nothing changes on a refusal.
std::vector<DayResult> reverseDay(CompanySession& session, const PointOfSale& point, Day day,
                                  bool niif);

} // namespace app::post
