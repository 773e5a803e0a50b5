#pragma once
// The posting tool's three commands over checked options: post, status and
// reverse. Each writes its report to `out`, its progress and messages to
// `err`, and gives the exit status.

#include "app/post/post_options.h"
#include "app/post/posting_report.h"

#include <ostream>

namespace app::post {

class CompanySession;

enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitConfiguration = 3,
};

// The credentials are those of every company the command names.
int runCommand(const PostOptions& options, const std::string& serverEntry,
               const std::string& password, std::ostream& out, std::ostream& err);

// What post does for one company already signed in to, without printing:
// the status query of the range, then every day and chosen point in date
// order.
CompanyReport postCompany(CompanySession& session, const PostOptions& options);

} // namespace app::post
