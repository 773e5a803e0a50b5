#pragma once
// The command line of the posting tool: a subcommand and its options, read
// and checked before anything is opened. A mistake is a UsageError whose
// text says what is wrong.

#include "app/post/calendar_day.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace app::post {

enum class Command { Post, Status, Reverse, Help, Version };

struct PostOptions {
    Command command = Command::Help;
    std::string server;
    std::string user;
    std::vector<std::string> companies;
    Day from{};
    Day to{};
    std::vector<std::int64_t> points;
    bool niif = false;
    bool dryRun = false;
    bool json = false;
    bool force = false;
    int jobs = 1;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The longest range taken without --force.
inline constexpr long kMaxDaysWithoutForce = 366;

// Reads the arguments after the program name. Raises UsageError.
PostOptions parsePostOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string postUsage();

} // namespace app::post
