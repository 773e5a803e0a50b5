#pragma once
// The posting tool's output for schedulers and scripts: one JSON document,
// one object per company, day, point of sale and book.

#include "app/post/posting_report.h"

#include <string>
#include <vector>

namespace app::post {

std::string dayResultsJson(const std::string& command, bool dryRun,
                           const std::vector<CompanyReport>& reports);
std::string statusJson(const std::vector<CompanyReport>& reports);

} // namespace app::post
