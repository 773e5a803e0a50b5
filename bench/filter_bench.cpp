// A compiled filter over 100,000 rows of the engine against a hand-written
// loop that tests the same rows with the same condition, in the same run:
// the program's filter on one day, and a filter with text, arithmetic and OR.

#include "bench/ratio_reporter.h"
#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/filter/filter_compiler.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace bench {
namespace {

using dataset::FieldType;
using dataset::Value;

constexpr int kRowCount = 100000;

std::vector<dataset::ColumnDesc> columns() {
    return {{"AJCI_ID", FieldType::Integer, 0, 0, false, false, {}},
            {"NAME", FieldType::String, 30, 0, false, false, {}},
            {"AJCI_FECINI", FieldType::Date, 0, 0, false, false, {}},
            {"AJCI_PORC", FieldType::FMTBcd, 4, 15, false, false, {}}};
}

const dataset::EngineStore& store() {
    static const std::unique_ptr<dataset::EngineStore> instance = [] {
        dataset::PacketWriter writer(columns(), {});
        for (int i = 0; i < kRowCount; ++i) {
            writer.addRow(dataset::RowStatus::Unmodified,
                          std::vector<Value>{std::int64_t{i}, "Venta " + std::to_string(i),
                                             db::SQLDate{2024, 1 + i % 12, 1 + i % 28},
                                             db::Bcd::fromScaled(i % 2000 * 25, 4)});
        }
        return std::make_unique<dataset::EngineStore>(writer.finish());
    }();
    return *instance;
}

std::unique_ptr<dataset::FilterExpression> compile(const char* text) {
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
        if (date == "15/03/2024") {
            return db::SQLDate{2024, 3, 15};
        }
        return std::nullopt;
    };
    return compiler.compile(text);
}

template <typename Test> int countRows(Test&& test) {
    const dataset::EngineStore& rows = store();
    int count = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        count += test(rows.codec(), rows.record(rows.rowAt(r))) ? 1 : 0;
    }
    return count;
}

void runFilter(benchmark::State& state, const char* text) {
    const auto expression = compile(text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            countRows([&](const dataset::RowCodec& codec, dataset::RowBytes row) {
                return expression->matches(codec, row);
            }));
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

void FilterOneDay(benchmark::State& state) {
    runFilter(state, "AJCI_FECINI = '15/03/2024'");
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

void FilterCompound(benchmark::State& state) {
    runFilter(state, "NAME = 'Venta 9*' OR AJCI_PORC * 2 > 90 AND AJCI_ID < 50000");
}

void HandLoopCompound(benchmark::State& state) {
    const std::int64_t limit = 90 * 10000 / 2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            countRows([&](const dataset::RowCodec& codec, dataset::RowBytes row) {
                const std::optional<std::string_view> name = codec.text(row, 1);
                if (name && name->starts_with("Venta 9")) {
                    return true;
                }
                const Value porc = codec.value(row, 3);
                const auto* bcd = std::get_if<db::Bcd>(&porc);
                const Value id = codec.value(row, 0);
                const auto* integer = std::get_if<std::int64_t>(&id);
                return bcd != nullptr && bcd->toScaled().value_or(0) > limit &&
                       integer != nullptr && *integer < 50000;
            }));
    }
    state.SetItemsProcessed(state.iterations() * kRowCount);
}

BENCHMARK(HandLoopOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(HandLoopCompound)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterCompound)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    return bench::runWithRatios(
        argc, argv, {{"FilterOneDay", "HandLoopOneDay"}, {"FilterCompound", "HandLoopCompound"}});
}
