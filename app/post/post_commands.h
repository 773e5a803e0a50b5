#pragma once
// The posting tool's three commands over checked options: post, status and
// reverse. Each writes its report to `out`, its progress and messages to
// `err`, and gives the exit status.

#include "app/post/post_options.h"

#include <ostream>

namespace app::post {

enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitConfiguration = 3,
};

// The credentials are those of every company the command names.
int runCommand(const PostOptions& options, const std::string& serverEntry,
               const std::string& password, std::ostream& out, std::ostream& err);

} // namespace app::post
