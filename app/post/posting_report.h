#pragma once
// What the posting tool found and did, one row per company, day, point of
// sale and book, kept apart from how it is printed.

#include "app/post/calendar_day.h"

#include <cstdint>
#include <string>
#include <vector>

namespace app::post {

// Amounts in hundredths, as the ledger keeps them.
using Cents = std::int64_t;

struct VoucherLine {
    std::string account;
    std::string thirdParty;
    std::string detail;
    Cents debit = 0;
    Cents credit = 0;
};

// A row of the database's error listing.
struct ErrorRow {
    std::string code;
    std::string text;
    std::string interfaceName;
};

enum class DayStatus {
    // The day's sales were entered in the book (or would be, in a dry run).
    Posted,
    // No cash sales that day, or all of them already in the book.
    Nothing,
    Failed,
    // A reversing voucher was written.
    Reversed,
    // The run stopped before this day and point.
    NotReached,
};

struct DayResult {
    std::string company;
    Day day{};
    std::int64_t point = 0;
    std::string pointName;
    // 'L' the local book, 'N' the NIIF book.
    char book = 'L';
    DayStatus status = DayStatus::Nothing;
    // The voucher written: the posting's, or the reversing one.
    std::int64_t voucher = 0;
    // Reversed: the voucher that was reversed.
    std::int64_t reversedVoucher = 0;
    std::vector<VoucherLine> lines;
    std::vector<ErrorRow> errors;
    // What the run said, or why it failed.
    std::string message;
    // The time the posting spent in the database: its two procedures, and
    // starting and ending its transaction.
    std::int64_t databaseNanoseconds = 0;

    Cents debit() const;
    Cents credit() const;
};

// One (day, point, book) as the company's database tells it.
struct StatusRow {
    Day day{};
    std::int64_t point = 0;
    std::string pointName;
    char book = 'L';
    std::int64_t sales = 0;
    Cents total = 0;
    std::int64_t entered = 0;
    // Completed, not reversed posting vouchers holding the sales, and the
    // posting vouchers of the day reversed: comma-separated numbers.
    std::string vouchers;
    std::string reversed;

    // "nothing", "posted", "partly posted", "reversed" or "not posted".
    std::string state() const;
};

struct CompanyReport {
    std::string company;
    // The sign-in or the run failed as a whole: why.
    std::string failure;
    std::vector<DayResult> days;
    std::vector<StatusRow> status;
};

// The debits and credits of the vouchers of a company's report, per book.
struct BookTotal {
    char book = 'L';
    Cents debit = 0;
    Cents credit = 0;
};
std::vector<BookTotal> bookTotals(const CompanyReport& report);

const char* statusName(DayStatus status);

// "1234.50", "-0.05".
std::string centsText(Cents amount);

} // namespace app::post
