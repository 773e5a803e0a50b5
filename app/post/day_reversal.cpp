#include "app/post/day_reversal.h"

#include "app/post/company_session.h"
#include "app/post/day_posting.h"
#include "db/sql_literal.h"

namespace app::post {

namespace {

// The database's own words of a refusal raised by an exception: the line
// after the exception's name, when there is one.
std::string refusalText(const std::string& message) {
    const std::string marker = "E_CONTABILIDAD";
    const std::size_t at = message.find(marker);
    if (at == std::string::npos) {
        return message;
    }
    std::size_t start = message.find('\n', at);
    if (start == std::string::npos) {
        return message;
    }
    ++start;
    // Each line of a server's message starts with a dash.
    if (start < message.size() && message[start] == '-') {
        ++start;
    }
    const std::size_t end = message.find('\n', start);
    return message.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

std::vector<DayResult> reverseDay(CompanySession& session, const PointOfSale& point, Day day,
                                  bool niif) {
    DayResult base;
    base.company = session.company();
    base.day = day;
    base.point = point.id;
    base.pointName = point.name;
    base.book = niif ? 'N' : 'L';

    std::vector<DayResult> results;
    try {
        session.startTransaction();
    } catch (const std::exception& error) {
        throw ConnectionLost(std::string("the connection was lost; nothing was saved: ") +
                             error.what());
    }
    try {
        std::vector<std::pair<std::int64_t, std::int64_t>> reversals;
        session.select("select original, reverso from reversar_ventas_contado(" +
                           db::sqlLiteral(isoText(day)) + ", " + std::to_string(point.id) + ", " +
                           db::sqlLiteral(std::string(1, base.book)) + ")",
                       [&](const std::vector<db::SQLValue>& row) {
                           reversals.emplace_back(integerOf(row[0]), integerOf(row[1]));
                       });
        for (const auto& [original, reversing] : reversals) {
            DayResult result = base;
            result.status = DayStatus::Reversed;
            result.voucher = reversing;
            result.reversedVoucher = original;
            result.lines = voucherLines(session, reversing);
            result.message = "voucher " + std::to_string(original) + " reversed by voucher " +
                             std::to_string(reversing);
            results.push_back(std::move(result));
        }
    } catch (const std::exception& error) {
        try {
            session.rollback();
        } catch (const std::exception& lost) {
            throw ConnectionLost(std::string("the connection was lost while reversing; nothing "
                                             "was saved: ") +
                                 lost.what());
        }
        if (!session.answers()) {
            throw ConnectionLost(
                std::string("the connection was lost while reversing; nothing was saved: ") +
                error.what());
        }
        DayResult refused = base;
        refused.status = DayStatus::Failed;
        refused.message = refusalText(error.what());
        return {refused};
    }
    try {
        session.commit();
    } catch (const std::exception& error) {
        throw ConnectionLost(std::string("the connection was lost while saving the reversal; "
                                         "check with status whether it was saved: ") +
                             error.what());
    }
    return results;
}

} // namespace app::post
