#pragma once
// Posting one day of one point of sale the way the window's F2 does, inside
// one transaction: the posting procedure, the completion of its voucher and
// the reading of what it wrote (the voucher's lines, or the error listing).
// A dry run rolls the transaction back; a real one commits it.

#include "app/post/posting_report.h"

#include <stdexcept>

namespace app::post {

class CompanySession;
struct PointOfSale;

// The connection was lost in the middle of a posting: the database rolled
// the posting back, unless the loss struck while it committed.
class ConnectionLost : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DayPostingRequest {
    Day day{};
    bool niif = false;
    bool dryRun = false;
};

// Raises ConnectionLost; any other failure is the result's.
DayResult postDay(CompanySession& session, const PointOfSale& point,
                  const DayPostingRequest& request);

// The lines of a voucher, in their order.
std::vector<VoucherLine> voucherLines(CompanySession& session, std::int64_t voucher);

} // namespace app::post
