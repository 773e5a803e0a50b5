// A compiled filter over 100,000 rows of the engine, in the same run as two
// hand-written loops testing the same condition: one over the engine's own
// records, one over plain structs holding the same rows (the floor a filter
// could reach). The program's filter on one day, a filter with text,
// arithmetic and OR, and a locate of the last row by its name.

#include "bench/ratio_reporter.h"
#include "dataset/engine/engine_cursor.h"
#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/filter/filter_compiler.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace bench {
namespace {

using dataset::FieldType;
using dataset::Value;

constexpr int kRowCount = 100000;
constexpr int kAmountScale = 2;

std::vector<dataset::ColumnDesc> columns() {
    return {{"ID", FieldType::Integer, 0, 0, false, false, {}},
            {"NAME", FieldType::String, 30, 0, false, false, {}},
            {"POSTED", FieldType::Date, 0, 0, false, false, {}},
            {"AMOUNT", FieldType::FMTBcd, kAmountScale, 15, false, false, {}}};
}

db::SQLDate postedOf(int i) {
    return {2024, 1 + i % 12, 1 + i % 28};
}

std::int64_t amountOf(int i) {
    return static_cast<std::int64_t>(i) * 7919 % 10000000;
}

std::string nameOf(int i) {
    return "Cliente " + std::to_string(i);
}

// Days since 1 March of year 0, in the order of the dates.
int dayNumber(const db::SQLDate& date) {
    const int y = date.year - (date.month <= 2 ? 1 : 0);
    const int m = date.month <= 2 ? date.month + 9 : date.month - 3;
    return 365 * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + date.day - 1;
}

const dataset::EngineStore& store() {
    static const std::unique_ptr<dataset::EngineStore> instance = [] {
        dataset::PacketWriter writer(columns(), {});
        for (int i = 0; i < kRowCount; ++i) {
            writer.addRow(dataset::RowStatus::Unmodified,
                          std::vector<Value>{std::int64_t{i}, nameOf(i), postedOf(i),
                                             db::Bcd::fromScaled(amountOf(i), kAmountScale)});
        }
        return std::make_unique<dataset::EngineStore>(writer.finish());
    }();
    return *instance;
}

struct Sale {
    int id;
    std::string name;
    int dayNumber;
    std::int64_t scaled;
};

const std::vector<Sale>& sales() {
    static const std::vector<Sale> instance = [] {
        std::vector<Sale> rows;
        rows.reserve(kRowCount);
        for (int i = 0; i < kRowCount; ++i) {
            rows.push_back({i, nameOf(i), dayNumber(postedOf(i)), amountOf(i)});
        }
        return rows;
    }();
    return instance;
}

dataset::FilterCompiler compiler() {
    dataset::FilterCompiler compiler;
    compiler.lookup =
        [](std::string_view name) -> std::optional<dataset::FilterCompiler::FieldRef> {
        const auto all = columns();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].name == name) {
                return dataset::FilterCompiler::FieldRef{i, all[i].type, all[i].size};
            }
        }
        return std::nullopt;
    };
    compiler.parseDate = [](std::string_view date) -> std::optional<db::SQLDate> {
        int day = 0;
        int month = 0;
        int year = 0;
        if (std::sscanf(std::string(date).c_str(), "%d/%d/%d", &day, &month, &year) != 3) {
            return std::nullopt;
        }
        return db::SQLDate{year, month, day};
    };
    return compiler;
}

template <typename Test> int countRows(Test&& test) {
    const dataset::EngineStore& rows = store();
    int count = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        count += test(rows.codec(), rows.record(rows.rowAt(r))) ? 1 : 0;
    }
    return count;
}

template <typename Test> int countSales(Test&& test) {
    int count = 0;
    for (const Sale& sale : sales()) {
        count += test(sale) ? 1 : 0;
    }
    return count;
}

// As a data set filters: installed on a cursor, whose view is then counted.
void runFilter(benchmark::State& state, const char* text) {
    const std::shared_ptr<const dataset::FilterExpression> expression = compiler().compile(text);
    dataset::EngineCursor cursor(store());
    for (auto _ : state) {
        const int handle = cursor.addFilter(expression);
        benchmark::DoNotOptimize(cursor.count());
        cursor.dropFilter(handle);
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

void FilterOneDay(benchmark::State& state) {
    runFilter(state, "POSTED = '15/03/2024'");
}

void HandLoopOneDay(benchmark::State& state) {
    const db::SQLDate day{2024, 3, 15};
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            countRows([&](const dataset::RowCodec& codec, dataset::RowBytes row) {
                const Value value = codec.value(row, 2);
                const auto* date = std::get_if<db::SQLDate>(&value);
                return date != nullptr && *date == day;
            }));
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

void PlainOneDay(benchmark::State& state) {
    const int day = dayNumber({2024, 3, 15});
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            countSales([&](const Sale& sale) { return sale.dayNumber == day; }));
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

constexpr const char* kCompound =
    "NAME = 'Cliente 9*' OR AMOUNT * 2 > 100000 AND POSTED >= '01/06/2024'";

void FilterCompound(benchmark::State& state) {
    runFilter(state, kCompound);
}

void HandLoopCompound(benchmark::State& state) {
    const std::int64_t limit = 100000 * 100;
    const db::SQLDate june{2024, 6, 1};
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            countRows([&](const dataset::RowCodec& codec, dataset::RowBytes row) {
                const std::optional<std::string_view> name = codec.text(row, 1);
                if (name && name->starts_with("Cliente 9")) {
                    return true;
                }
                const Value amount = codec.value(row, 3);
                const auto* bcd = std::get_if<db::Bcd>(&amount);
                if (bcd == nullptr || bcd->toScaled().value_or(0) * 2 <= limit) {
                    return false;
                }
                const Value posted = codec.value(row, 2);
                const auto* date = std::get_if<db::SQLDate>(&posted);
                return date != nullptr && std::tie(date->year, date->month, date->day) >=
                                              std::tie(june.year, june.month, june.day);
            }));
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

void PlainCompound(benchmark::State& state) {
    const std::int64_t limit = 100000 * 100;
    const int june = dayNumber({2024, 6, 1});
    for (auto _ : state) {
        benchmark::DoNotOptimize(countSales([&](const Sale& sale) {
            return sale.name.starts_with("Cliente 9") ||
                   (sale.scaled * 2 > limit && sale.dayNumber >= june);
        }));
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

// A locate as ClientDataSet::Locate writes it: no extended syntax, no
// partial compare, over the cursor's view.
void LocateLast(benchmark::State& state) {
    dataset::FilterCompiler locate = compiler();
    locate.extendedSyntax = false;
    locate.options = locate.options + dataset::FilterOption::NoPartialCompare;
    const auto expression = locate.compile("[NAME]='" + nameOf(kRowCount - 1) + "'");
    const dataset::EngineCursor cursor(store());
    for (auto _ : state) {
        benchmark::DoNotOptimize(cursor.find(*expression));
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

void PlainLocateLast(benchmark::State& state) {
    const std::string name = nameOf(kRowCount - 1);
    for (auto _ : state) {
        const auto found = std::find_if(sales().begin(), sales().end(),
                                        [&](const Sale& sale) { return sale.name == name; });
        benchmark::DoNotOptimize(found - sales().begin());
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

BENCHMARK(PlainOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(HandLoopOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainCompound)->Unit(benchmark::kMillisecond);
BENCHMARK(HandLoopCompound)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterCompound)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLocateLast)->Unit(benchmark::kMillisecond);
BENCHMARK(LocateLast)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"FilterOneDay", "HandLoopOneDay"},
                                 {"FilterOneDay", "PlainOneDay"},
                                 {"FilterCompound", "HandLoopCompound"},
                                 {"FilterCompound", "PlainCompound"},
                                 {"LocateLast", "PlainLocateLast"}});
}
