#pragma once
// The posting tool's readable output: a table per company of what each day,
// point of sale and book came to, with the voucher lines where they are
// asked for and the error rows of each failure.

#include "app/post/posting_report.h"

#include <ostream>
#include <vector>

namespace app::post {

struct TextOptions {
    // The lines of each voucher under its row.
    bool voucherLines = false;
};

void writeDayTable(std::ostream& out, const std::vector<CompanyReport>& reports,
                   const TextOptions& options);
void writeStatusTable(std::ostream& out, const std::vector<CompanyReport>& reports);

} // namespace app::post
