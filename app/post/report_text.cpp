#include "app/post/report_text.h"

#include <algorithm>
#include <map>

namespace app::post {

namespace {

// Pads a text to a width of characters, counting UTF-8 sequences once.
std::string padded(const std::string& text, std::size_t width, bool right = false) {
    std::size_t length = 0;
    for (const char c : text) {
        length += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    const std::string fill(length < width ? width - length : 1, ' ');
    return right ? fill + text : text + fill;
}

std::string pointText(std::int64_t point, const std::string& name) {
    std::string text = std::to_string(point) + " " + name;
    if (text.size() > 30) {
        // Cut at a character boundary.
        std::size_t cut = 30;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text = text.substr(0, cut);
    }
    return text;
}

void writeLines(std::ostream& out, const std::vector<VoucherLine>& lines) {
    for (const VoucherLine& line : lines) {
        out << "      " << padded(line.account, 14) << padded(line.thirdParty, 14)
            << padded(centsText(line.debit), 16, true) << padded(centsText(line.credit), 16, true)
            << "  " << line.detail << "\n";
    }
}

void writeIndented(std::ostream& out, const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        out << "      " << text.substr(start, end - start) << "\n";
        start = end + 1;
    }
}

// The company's head line; false, after its failure, when it has no rows.
bool companyHead(std::ostream& out, const CompanyReport& report) {
    out << "Company " << report.company << "\n";
    if (!report.failure.empty()) {
        out << "  " << report.failure << "\n\n";
        return false;
    }
    return true;
}

// The columns every row starts with: day, point of sale and book.
void rowStart(std::ostream& out, const std::string& day, const std::string& point,
              const std::string& book) {
    out << "  " << padded(day, 12) << padded(point, 32) << padded(book, 6);
}

} // namespace

void writeDayTable(std::ostream& out, const std::vector<CompanyReport>& reports,
                   const TextOptions& options) {
    for (const CompanyReport& report : reports) {
        if (!companyHead(out, report)) {
            continue;
        }
        rowStart(out, "Day", "Point of sale", "Book");
        out << padded("Status", 13) << padded("Voucher", 9, true) << padded("Debit", 16, true)
            << padded("Credit", 16, true) << "\n";
        for (const DayResult& day : report.days) {
            rowStart(out, isoText(day.day), pointText(day.point, day.pointName),
                     std::string(1, day.book));
            out << padded(statusName(day.status), 13)
                << padded(day.voucher == 0 ? "" : std::to_string(day.voucher), 9, true);
            if (!day.lines.empty()) {
                out << padded(centsText(day.debit()), 16, true)
                    << padded(centsText(day.credit()), 16, true);
            }
            out << "\n";
            if (options.voucherLines) {
                writeLines(out, day.lines);
            }
            if (day.status == DayStatus::Failed || day.status == DayStatus::NotReached ||
                day.reversedVoucher != 0) {
                writeIndented(out, day.message);
            }
            for (const ErrorRow& error : day.errors) {
                out << "      " << error.code << (error.text.empty() ? "" : ": ") << error.text;
                if (!error.interfaceName.empty()) {
                    out << " (" << error.interfaceName << ")";
                }
                out << "\n";
            }
        }
        for (const BookTotal& total : bookTotals(report)) {
            out << "  " << padded(std::string("Total book ") + total.book, 72)
                << padded(centsText(total.debit), 16, true)
                << padded(centsText(total.credit), 16, true) << "\n";
        }
        out << "\n";
    }
}

void writeStatusTable(std::ostream& out, const std::vector<CompanyReport>& reports) {
    for (const CompanyReport& report : reports) {
        if (!companyHead(out, report)) {
            continue;
        }
        rowStart(out, "Day", "Point of sale", "Book");
        out << padded("Sales", 7, true) << padded("Total", 16, true) << "  " << padded("Status", 15)
            << padded("Vouchers", 16) << "Reversed\n";
        for (const StatusRow& row : report.status) {
            rowStart(out, isoText(row.day), pointText(row.point, row.pointName),
                     std::string(1, row.book));
            out << padded(std::to_string(row.sales), 7, true)
                << padded(centsText(row.total), 16, true) << "  " << padded(row.state(), 15)
                << padded(row.vouchers, 16) << row.reversed << "\n";
        }
        out << "\n";
    }
}

} // namespace app::post
