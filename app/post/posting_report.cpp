#include "app/post/posting_report.h"

#include <cstdlib>

namespace app::post {

Cents DayResult::debit() const {
    Cents sum = 0;
    for (const VoucherLine& line : lines) {
        sum += line.debit;
    }
    return sum;
}

Cents DayResult::credit() const {
    Cents sum = 0;
    for (const VoucherLine& line : lines) {
        sum += line.credit;
    }
    return sum;
}

std::string StatusRow::state() const {
    if (sales == 0) {
        return "nothing";
    }
    if (entered == sales) {
        return "posted";
    }
    if (entered > 0) {
        return "partly posted";
    }
    return reversed.empty() ? "not posted" : "reversed";
}

std::vector<BookTotal> bookTotals(const CompanyReport& report) {
    std::vector<BookTotal> totals;
    for (const char book : {'L', 'N'}) {
        BookTotal total{book, 0, 0};
        bool written = false;
        for (const DayResult& day : report.days) {
            if (day.book == book && !day.lines.empty()) {
                written = true;
                total.debit += day.debit();
                total.credit += day.credit();
            }
        }
        if (written) {
            totals.push_back(total);
        }
    }
    return totals;
}

const char* statusName(DayStatus status) {
    switch (status) {
    case DayStatus::Posted:
        return "posted";
    case DayStatus::Nothing:
        return "nothing";
    case DayStatus::Failed:
        return "failed";
    case DayStatus::Reversed:
        return "reversed";
    case DayStatus::NotReached:
        return "not reached";
    }
    return "";
}

std::string centsText(Cents amount) {
    const Cents whole = std::llabs(amount / 100);
    const Cents hundredths = std::llabs(amount % 100);
    std::string text = (amount < 0 ? "-" : "") + std::to_string(whole) + ".";
    text += static_cast<char>('0' + hundredths / 10);
    text += static_cast<char>('0' + hundredths % 10);
    return text;
}

} // namespace app::post
