#include "app/post/day_posting.h"

#include "app/form/posting_run.h"
#include "app/form/window_data_sets.h"
#include "app/post/company_session.h"

#include <algorithm>
#include <chrono>

namespace app::post {

namespace {

std::vector<ErrorRow> errorListing(WindowDataSets& dataSets) {
    std::vector<ErrorRow> rows;
    dataset::ClientDataSet& CError = dataSets.CError;
    for (CError.First(); !CError.Eof(); CError.Next()) {
        rows.push_back({dataSets.CErrorERRO_CODIGO->AsString(),
                        dataSets.CErrorERRO_CADENA->AsString(),
                        dataSets.CErrorINTERFAZ->AsString()});
    }
    CError.close();
    return rows;
}

std::int64_t nanosecondsSince(std::chrono::steady_clock::time_point started) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() -
                                                                started)
        .count();
}

// Ends the posting's transaction. A failure to end it means the
// connection is gone.
// Gives the time it took.
std::int64_t finish(CompanySession& session, bool commit, const std::string& whileDoing) {
    const auto started = std::chrono::steady_clock::now();
    try {
        if (commit) {
            session.commit();
        } else {
            session.rollback();
        }
    } catch (const std::exception& error) {
        throw ConnectionLost(whileDoing + error.what());
    }
    return nanosecondsSince(started);
}

} // namespace

std::vector<VoucherLine> voucherLines(CompanySession& session, std::int64_t voucher) {
    std::vector<VoucherLine> lines;
    session.select("select cuen_cod, terc_nit, coli_detalle, coli_debito, coli_credito "
                   "from comprobante_lineas where comp_id = " +
                       std::to_string(voucher) + " order by coli_item, coli_id",
                   [&](const std::vector<db::SQLValue>& row) {
                       lines.push_back({textOf(row[0]), textOf(row[1]), textOf(row[2]),
                                        centsOf(row[3]), centsOf(row[4])});
                   });
    return lines;
}

DayResult postDay(CompanySession& session, const PointOfSale& point,
                  const DayPostingRequest& request) {
    DayResult result;
    result.company = session.company();
    result.day = request.day;
    result.point = point.id;
    result.pointName = point.name;
    result.book = request.niif ? 'N' : 'L';

    FormSession& form = session.form();
    PostingRun run(*form.dataSets, *form.commands.Scontapend,
                   PostingRun::Window{[] {}, [](const std::string&) {}, [] {}});
    const auto started = std::chrono::steady_clock::now();
    try {
        session.startTransaction();
        result.databaseNanoseconds = nanosecondsSince(started);
    } catch (const std::exception& error) {
        throw ConnectionLost(std::string("the connection was lost; nothing was saved: ") +
                             error.what());
    }
    try {
        const PostingRun::Outcome outcome =
            run.run({shortDateText(request.day, session.dateOrder()), session.dateOrder(), point.id,
                     request.niif});
        // The window's message parts its lines with a carriage return.
        result.message = outcome.message;
        result.databaseNanoseconds +=
            run.lastTimings().postingNanoseconds + run.lastTimings().completionNanoseconds;
        std::replace(result.message.begin(), result.message.end(), '\r', '\n');
        switch (outcome.kind) {
        case PostingRun::Outcome::Kind::Posted:
            result.status = DayStatus::Posted;
            result.voucher = outcome.voucher;
            result.lines = voucherLines(session, outcome.voucher);
            break;
        case PostingRun::Outcome::Kind::NothingNew:
            result.status = DayStatus::Nothing;
            break;
        case PostingRun::Outcome::Kind::Failed:
            result.status = DayStatus::Failed;
            result.errors = errorListing(*form.dataSets);
            break;
        case PostingRun::Outcome::Kind::Refused:
        case PostingRun::Outcome::Kind::NotPosted:
            result.status = DayStatus::Failed;
            break;
        }
    } catch (const std::exception& error) {
        // The posting is undone; when even that fails, the connection is
        // gone and the database has rolled it back.
        finish(session, false, "the connection was lost while posting; nothing was saved: ");
        if (!session.answers()) {
            throw ConnectionLost(
                std::string("the connection was lost while posting; nothing was saved: ") +
                error.what());
        }
        result.status = DayStatus::Failed;
        result.message = error.what();
        return result;
    }
    // A dry run leaves everything as it was; a failed posting keeps its
    // error listing, as the window's does.
    result.databaseNanoseconds +=
        finish(session, !request.dryRun,
               request.dryRun ? "the connection was lost while rolling back: "
                              : "the connection was lost while saving; check with status whether "
                                "the posting was saved: ");
    return result;
}

} // namespace app::post
