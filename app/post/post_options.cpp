#include "app/post/post_options.h"

#include "app/form/company_code.h"

#include <charconv>
#include <map>
#include <set>

namespace app::post {

namespace {

// Which options each subcommand takes.
const std::map<std::string, std::set<std::string>>& optionsOf() {
    static const std::map<std::string, std::set<std::string>> kOptions{
        {"post",
         {"--server", "--user", "--company", "--from", "--to", "--point", "--niif", "--dry-run",
          "--jobs", "--json", "--force"}},
        {"status",
         {"--server", "--user", "--company", "--from", "--to", "--point", "--json", "--force"}},
        {"reverse", {"--server", "--user", "--company", "--date", "--point", "--niif", "--json"}},
    };
    return kOptions;
}

bool isFlag(const std::string& option) {
    return option == "--niif" || option == "--dry-run" || option == "--json" || option == "--force";
}

std::int64_t wholeNumber(const std::string& option, const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || last != end) {
        throw UsageError(option + " takes a whole number, not '" + text + "'");
    }
    return value;
}

Day isoDay(const std::string& option, const std::string& text) {
    const std::optional<Day> day = parseIsoDay(text);
    if (!day) {
        throw UsageError(option + " takes a date as YYYY-MM-DD, not '" + text + "'");
    }
    return *day;
}

std::vector<std::string> companyCodes(const std::string& text) {
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string code = text.substr(start, comma - start);
        if (code.empty()) {
            throw UsageError("--company takes company codes parted by commas, not '" + text + "'");
        }
        if (!isPlainCompanyCode(code)) {
            throw UsageError("--company takes plain company codes, not '" +
                             printableCompanyCode(code) +
                             "': a code names one folder below datos/, without /, \\, :, "
                             "control characters or a leading dot");
        }
        codes.push_back(code);
        start = comma + 1;
    }
    return codes;
}

void require(bool present, const std::string& what, const std::string& command) {
    if (!present) {
        throw UsageError(command + " needs " + what);
    }
}

} // namespace

PostOptions parsePostOptions(const std::vector<std::string>& arguments) {
    PostOptions options;
    if (arguments.empty()) {
        throw UsageError("no command given: post, status or reverse (see --help)");
    }
    const std::string& command = arguments[0];
    if (command == "--help" || command == "-h" || command == "help") {
        return options;
    }
    if (command == "--version") {
        options.command = Command::Version;
        return options;
    }
    const auto known = optionsOf().find(command);
    if (known == optionsOf().end()) {
        throw UsageError("unknown command '" + command + "': post, status or reverse");
    }
    options.command = command == "post"     ? Command::Post
                      : command == "status" ? Command::Status
                                            : Command::Reverse;

    std::set<std::string> seen;
    bool hasFrom = false;
    bool hasTo = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::string value;
        bool hasValue = false;
        if (const std::size_t equals = option.find('='); equals != std::string::npos) {
            value = option.substr(equals + 1);
            option = option.substr(0, equals);
            hasValue = true;
        }
        if (option == "--help" || option == "-h") {
            options.command = Command::Help;
            return options;
        }
        if (option == "--password") {
            throw UsageError("the password is read from PELMORA_PASSWORD, or asked for on a "
                             "terminal; never from the command line");
        }
        if (known->second.count(option) == 0) {
            throw UsageError(option.rfind("--", 0) == 0 ? command + " does not take " + option
                                                        : "unexpected argument '" + option + "'");
        }
        if (isFlag(option)) {
            if (hasValue) {
                throw UsageError(option + " takes no value");
            }
        } else if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                throw UsageError(option + " needs a value");
            }
            value = arguments[++i];
        }
        if (option != "--point" && !seen.insert(option).second) {
            throw UsageError(option + " is given twice");
        }

        if (option == "--server") {
            options.server = value;
        } else if (option == "--user") {
            options.user = value;
        } else if (option == "--company") {
            options.companies = companyCodes(value);
        } else if (option == "--from" || option == "--date") {
            options.from = isoDay(option, value);
            hasFrom = true;
            if (option == "--date") {
                options.to = options.from;
                hasTo = true;
            }
        } else if (option == "--to") {
            options.to = isoDay(option, value);
            hasTo = true;
        } else if (option == "--point") {
            options.points.push_back(wholeNumber(option, value));
        } else if (option == "--jobs") {
            const std::int64_t jobs = wholeNumber(option, value);
            if (jobs < 1 || jobs > 64) {
                throw UsageError("--jobs takes a number from 1 to 64");
            }
            options.jobs = static_cast<int>(jobs);
        } else if (option == "--niif") {
            options.niif = true;
        } else if (option == "--dry-run") {
            options.dryRun = true;
        } else if (option == "--json") {
            options.json = true;
        } else if (option == "--force") {
            options.force = true;
        }
    }

    require(!options.server.empty(), "--server", command);
    require(!options.user.empty(), "--user", command);
    require(!options.companies.empty(), "--company", command);
    if (options.command == Command::Reverse) {
        require(hasFrom, "--date", command);
        require(options.points.size() == 1, "one --point", command);
        require(options.companies.size() == 1, "one company", command);
    } else {
        require(hasFrom, "--from", command);
        if (options.command == Command::Status) {
            require(options.companies.size() == 1, "one company", command);
        }
    }
    if (!hasTo) {
        options.to = options.from;
    }
    if (options.from > options.to) {
        throw UsageError("--from " + isoText(options.from) + " is after --to " +
                         isoText(options.to));
    }
    if (daysInRange(options.from, options.to) > kMaxDaysWithoutForce && !options.force) {
        throw UsageError("the range has " + std::to_string(daysInRange(options.from, options.to)) +
                         " days, more than " + std::to_string(kMaxDaysWithoutForce) +
                         ": give --force to take it");
    }
    return options;
}

std::string postUsage() {
    return R"(Usage: pelmora-post post --server ENTRY --user NAME --company CODES --from DATE [OPTION]...
  or:  pelmora-post status --server ENTRY --user NAME --company CODE --from DATE [OPTION]...
  or:  pelmora-post reverse --server ENTRY --user NAME --company CODE --date DATE --point ID [OPTION]...
  or:  pelmora-post --help | --version

Posts the cash sales of each day and point of sale into the general ledger,
as the window's F2 does; shows which days are posted; reverses a posted day.

  --server ENTRY   an entry of SERVIDORES.cfg as written, or its line number
  --user NAME      the database user
  --company CODES  company codes, parted by commas; each names one folder below
                   the entry's datos/ folder
  --from, --to     the first and last day, as YYYY-MM-DD (--to defaults to --from)
  --date DATE      the day to reverse
  --point ID       a point of sale (PTVT_ID); again for more; all when none
  --niif           the NIIF book instead of the local one
  --dry-run        post inside a transaction that is rolled back, and show
                   the voucher each posting would write
  --jobs N         companies posted at the same time, each on its own
                   connection (default 1)
  --json           one JSON document on standard output instead of a table
  --force          take a range of more than 366 days

post takes --to, --point, --niif, --dry-run, --jobs, --json and --force;
status --to, --point, --json and --force; reverse --niif and --json.

Environment:
  PELMORA_PASSWORD  the password; on a terminal it is asked for when unset
  PELMORA_REGISTRY  the registry file (default /etc/pelmora/registry.reg)
  FIREBIRD_LOCK     the embedded engine's lock directory

Exit status: 0 all posted or nothing to post, 1 a posting failed, 2 usage
error, 3 the configuration could not be read or a sign-in failed.
)";
}

} // namespace app::post
