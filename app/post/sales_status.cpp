#include "app/post/sales_status.h"

#include "app/post/company_session.h"
#include "db/sql_literal.h"

#include <algorithm>

namespace app::post {

namespace {

Day dayOf(const db::SQLValue& value) {
    const auto* date = std::get_if<db::SQLDate>(&value);
    if (date == nullptr) {
        return {};
    }
    return Day(std::chrono::year_month_day(std::chrono::year(date->year),
                                           std::chrono::month(static_cast<unsigned>(date->month)),
                                           std::chrono::day(static_cast<unsigned>(date->day))));
}

} // namespace

std::vector<StatusRow> salesStatus(CompanySession& session, Day from, Day to,
                                   const std::vector<std::int64_t>& points) {
    std::vector<StatusRow> rows;
    std::string sql = "select fecha, ptvt_id, libr_cod, ventas, total, contabilizadas, "
                      "comprobantes, reversados from estado_ventas_contado(" +
                      db::sqlLiteral(isoText(from)) + ", " + db::sqlLiteral(isoText(to)) + ")";
    if (!points.empty()) {
        sql += " where ptvt_id in (";
        for (std::size_t i = 0; i < points.size(); ++i) {
            sql += (i == 0 ? "" : ", ") + std::to_string(points[i]);
        }
        sql += ")";
    }
    // The procedure gives its rows in the order of day, point and book.
    session.select(sql, [&](const std::vector<db::SQLValue>& row) {
        StatusRow status;
        status.day = dayOf(row[0]);
        status.point = integerOf(row[1]);
        if (const PointOfSale* point = session.point(status.point)) {
            status.pointName = point->name;
        }
        const std::string book = textOf(row[2]);
        status.book = book.empty() ? 'L' : book[0];
        status.sales = integerOf(row[3]);
        status.total = centsOf(row[4]);
        status.entered = integerOf(row[5]);
        status.vouchers = textOf(row[6]);
        status.reversed = textOf(row[7]);
        rows.push_back(std::move(status));
    });
    return rows;
}

} // namespace app::post
