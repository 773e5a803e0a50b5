#include "app/post/post_commands.h"

#include "app/post/company_session.h"
#include "app/post/day_posting.h"
#include "app/post/day_reversal.h"
#include "app/post/report_json.h"
#include "app/post/report_text.h"
#include "app/post/sales_status.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace app::post {

namespace {

// The line on a terminal's standard error that says how far a run is.
class Progress {
public:
    Progress(std::ostream& err, long total)
        : err_(err), total_(total), shown_(total > 0 && ::isatty(STDERR_FILENO) != 0) {}
    ~Progress() {
        if (shown_ && done_ > 0) {
            err_ << "\r\033[K" << std::flush;
        }
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void step(const std::string& company, Day day, std::int64_t point) {
        const std::lock_guard lock(mutex_);
        ++done_;
        if (shown_) {
            err_ << "\r\033[K" << done_ << " of " << total_ << "  " << company << "  "
                 << isoText(day) << "  point " << point << std::flush;
        }
    }

private:
    std::ostream& err_;
    long total_;
    bool shown_;
    long done_ = 0;
    std::mutex mutex_;
};

// Signs in to every company named, before anything is written: a company
// that cannot be signed in to, or a point of sale it lacks, stops the
// command while nothing is posted yet.
struct SignedIn {
    std::vector<std::unique_ptr<CompanySession>> sessions;
    std::vector<CompanyReport> failures;
    // A company or point of sale that does not exist: a mistake of the
    // command line.
    std::string unknown;
};

SignedIn signInToAll(const PostOptions& options, const CompanySession::Credentials& credentials) {
    SignedIn signedIn;
    for (const std::string& company : options.companies) {
        try {
            signedIn.sessions.push_back(std::make_unique<CompanySession>(credentials, company));
        } catch (const UnknownCompany& error) {
            signedIn.unknown = signedIn.unknown.empty() ? error.what() : signedIn.unknown;
            continue;
        } catch (const SignInError& error) {
            signedIn.failures.push_back({company, error.what(), {}, {}});
            continue;
        }
        for (const std::int64_t point : options.points) {
            if (signedIn.sessions.back()->point(point) == nullptr && signedIn.unknown.empty()) {
                signedIn.unknown =
                    "company " + company + " has no point of sale " + std::to_string(point);
            }
        }
    }
    return signedIn;
}

std::vector<const PointOfSale*> chosenPoints(const CompanySession& session,
                                             const std::vector<std::int64_t>& named) {
    std::vector<const PointOfSale*> points;
    if (named.empty()) {
        for (const PointOfSale& point : session.points()) {
            points.push_back(&point);
        }
    } else {
        for (const std::int64_t id : named) {
            const PointOfSale* point = session.point(id);
            if (std::find(points.begin(), points.end(), point) == points.end()) {
                points.push_back(point);
            }
        }
    }
    return points;
}

// Posts every day of the range for every point of one company, in date
// order. Days without sales waiting for the book are not sent to the
// database: they have nothing to post.
CompanyReport postRange(CompanySession& session, const PostOptions& options, Progress& progress) {
    CompanyReport report{session.company(), {}, {}, {}};
    const char book = options.niif ? 'N' : 'L';
    const std::vector<const PointOfSale*> points = chosenPoints(session, options.points);
    std::map<std::tuple<Day, std::int64_t>, StatusRow> waiting;
    try {
        for (StatusRow& row : salesStatus(session, options.from, options.to, options.points)) {
            if (row.book == book) {
                waiting[{row.day, row.point}] = std::move(row);
            }
        }
    } catch (const std::exception& error) {
        report.failure = std::string("the posting status could not be read: ") + error.what();
        return report;
    }

    const auto unposted = [&](Day day, const PointOfSale& point, DayStatus status,
                              std::string message) {
        DayResult result;
        result.company = session.company();
        result.day = day;
        result.point = point.id;
        result.pointName = point.name;
        result.book = book;
        result.status = status;
        result.message = std::move(message);
        return result;
    };
    bool stopped = false;
    for (Day day = options.from; day <= options.to; day += std::chrono::days(1)) {
        for (const PointOfSale* point : points) {
            progress.step(session.company(), day, point->id);
            if (stopped) {
                report.days.push_back(
                    unposted(day, *point, DayStatus::NotReached, "not reached: the run stopped"));
                continue;
            }
            const auto found = waiting.find({day, point->id});
            if (found == waiting.end() || found->second.sales == 0 ||
                found->second.entered == found->second.sales) {
                report.days.push_back(unposted(day, *point, DayStatus::Nothing, {}));
                continue;
            }
            try {
                report.days.push_back(
                    postDay(session, *point, {day, options.niif, options.dryRun}));
            } catch (const ConnectionLost& lost) {
                report.days.push_back(unposted(day, *point, DayStatus::Failed, lost.what()));
                stopped = true;
            }
        }
    }
    return report;
}

int exitOf(const std::vector<CompanyReport>& reports) {
    for (const CompanyReport& report : reports) {
        if (!report.failure.empty()) {
            return kExitFailed;
        }
        for (const DayResult& day : report.days) {
            if (day.status == DayStatus::Failed || day.status == DayStatus::NotReached) {
                return kExitFailed;
            }
        }
    }
    return kExitDone;
}

int runPost(const PostOptions& options, SignedIn& signedIn, std::ostream& out, std::ostream& err) {
    long total = 0;
    const long days = daysInRange(options.from, options.to);
    for (const auto& session : signedIn.sessions) {
        total += days * static_cast<long>(chosenPoints(*session, options.points).size());
    }
    std::vector<CompanyReport> reports(signedIn.sessions.size());
    {
        Progress progress(err, total);
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            for (std::size_t i = next++; i < signedIn.sessions.size(); i = next++) {
                reports[i] = postRange(*signedIn.sessions[i], options, progress);
            }
        };
        std::vector<std::thread> workers;
        const std::size_t jobs =
            std::min<std::size_t>(static_cast<std::size_t>(options.jobs), reports.size());
        for (std::size_t i = 1; i < jobs; ++i) {
            workers.emplace_back(work);
        }
        work();
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
    if (options.json) {
        out << dayResultsJson("post", options.dryRun, reports);
    } else {
        if (options.dryRun) {
            out << "Dry run: nothing was saved; the voucher numbers shown are not kept.\n\n";
        }
        writeDayTable(out, reports, {options.dryRun});
    }
    return exitOf(reports);
}

int runStatus(const PostOptions& options, SignedIn& signedIn, std::ostream& out) {
    std::vector<CompanyReport> reports;
    for (const auto& session : signedIn.sessions) {
        CompanyReport report{session->company(), {}, {}, {}};
        try {
            report.status = salesStatus(*session, options.from, options.to, options.points);
        } catch (const std::exception& error) {
            report.failure = std::string("the posting status could not be read: ") + error.what();
        }
        reports.push_back(std::move(report));
    }
    if (options.json) {
        out << statusJson(reports);
    } else {
        writeStatusTable(out, reports);
    }
    return exitOf(reports);
}

int runReverse(const PostOptions& options, SignedIn& signedIn, std::ostream& out) {
    CompanySession& session = *signedIn.sessions.front();
    CompanyReport report{session.company(), {}, {}, {}};
    const PointOfSale& point = *session.point(options.points.front());
    try {
        report.days = reverseDay(session, point, options.from, options.niif);
    } catch (const ConnectionLost& lost) {
        report.failure = lost.what();
    }
    const std::vector<CompanyReport> reports{report};
    if (options.json) {
        out << dayResultsJson("reverse", false, reports);
    } else {
        writeDayTable(out, reports, {true});
    }
    return exitOf(reports);
}

} // namespace

CompanyReport postCompany(CompanySession& session, const PostOptions& options) {
    std::ostringstream unseen;
    Progress progress(unseen, 0);
    return postRange(session, options, progress);
}

int runCommand(const PostOptions& options, const std::string& serverEntry,
               const std::string& password, std::ostream& out, std::ostream& err) {
    SignedIn signedIn = signInToAll(options, {serverEntry, options.user, password});
    if (!signedIn.unknown.empty()) {
        err << "pelmora-post: " << signedIn.unknown << "; nothing was done.\n";
        return kExitUsage;
    }
    if (!signedIn.failures.empty()) {
        for (const CompanyReport& failure : signedIn.failures) {
            err << "pelmora-post: " << failure.failure << "\n";
        }
        err << "pelmora-post: nothing was done.\n";
        return kExitConfiguration;
    }
    switch (options.command) {
    case Command::Post:
        return runPost(options, signedIn, out, err);
    case Command::Status:
        return runStatus(options, signedIn, out);
    case Command::Reverse:
        return runReverse(options, signedIn, out);
    case Command::Help:
    case Command::Version:
        break;
    }
    return kExitUsage;
}

} // namespace app::post
