// Any text given to the filter compiler either compiles or raises one of its
// messages; a compiled expression evaluates on rows without running away,
// and reading the rows' stored forms selects exactly the rows the general
// evaluation through Values selects.

#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/filter/filter_compiler.h"
#include "dataset/filter/typed_filter.h"
#include "db/database_error.h"
#include "platform/short_date.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

using namespace dataset;

namespace {

const std::vector<ColumnDesc>& columns() {
    static const std::vector<ColumnDesc> all{
        {{"ID", FieldType::Integer, 0, 0, false, false}, {}},
        {{"NAME", FieldType::String, 20, 0, false, false}, {}},
        {{"RATE", FieldType::FMTBcd, 4, 15, false, false}, {}},
        {{"DAY", FieldType::Date, 0, 0, false, false}, {}},
        {{"REAL", FieldType::Float, 0, 0, false, false}, {}},
        {{"BIG", FieldType::LargeInt, 0, 0, false, false}, {}},
        {{"STAMP", FieldType::DateTime, 0, 0, false, false}, {}},
        {{"AT", FieldType::Time, 0, 0, false, false}, {}},
        {{"FLAG", FieldType::Boolean, 0, 0, false, false}, {}}};
    return all;
}

// A plain row, one with nulls before the later columns, one at the edges
// (decimals past 64 bits and of a scale past 18, the extreme integers, a
// text past 127 bytes) and one with no values but its ID.
const EngineStore& store() {
    static const std::unique_ptr<EngineStore> instance = [] {
        constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
        PacketWriter writer(columns(), {});
        const std::vector<std::vector<Value>> rows{
            {std::int64_t{1}, "Bogota", db::Bcd::fromScaled(160000, 4), db::SQLDate{2024, 3, 15},
             1.5, std::int64_t{3}, db::SQLTimeStamp{2024, 3, 15, 13, 5, 9, 0},
             db::SQLTime{13, 5, 9, 0}, std::int64_t{1}},
            {std::int64_t{-2},
             {},
             {},
             db::SQLDate{2024, 3, 16},
             -0.25,
             {},
             db::SQLTimeStamp{2024, 3, 16, 0, 0, 0, 0},
             {},
             std::int64_t{0}},
            {std::int64_t{2147483647},
             std::string(150, 'B'),
             *db::Bcd::fromString("123456789012345678901.5"),
             db::SQLDate{1900, 1, 1},
             1e300,
             kMax,
             {},
             db::SQLTime{0, 0, 0, 0},
             {}},
            {std::int64_t{4},
             "",
             *db::Bcd::fromString("0.000000000000000000001"),
             {},
             {},
             std::int64_t{-1},
             {},
             {},
             {}}};
        for (const auto& row : rows) {
            writer.addRow(RowStatus::Unmodified, row);
        }
        return std::make_unique<EngineStore>(writer.finish());
    }();
    return *instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FilterCompiler compiler;
    compiler.lookup = [](std::string_view name) -> std::optional<FilterCompiler::FieldRef> {
        for (std::size_t i = 0; i < columns().size(); ++i) {
            if (columns()[i].name == name) {
                return FilterCompiler::FieldRef{i, columns()[i].type, columns()[i].size};
            }
        }
        return std::nullopt;
    };
    compiler.parseDate = [](std::string_view text) -> std::optional<db::SQLDate> {
        const auto date = platform::parseDate(text, "%d/%m/%Y");
        if (!date) {
            return std::nullopt;
        }
        return db::SQLDate{date->year, date->month, date->day};
    };
    compiler.extendedSyntax = size > 0 && (data[0] & 1) != 0;
    if (size > 0 && (data[0] & 2) != 0) {
        compiler.options = compiler.options + FilterOption::CaseInsensitive;
    }
    try {
        const auto expression =
            compiler.compile(std::string_view(reinterpret_cast<const char*>(data), size));
        const TypedFilter typed(*expression, store().codec());
        for (std::size_t r = 0; r < store().size(); ++r) {
            const RowBytes row = store().record(store().rowAt(r));
            if (typed.matches(row) != expression->matches(store().codec(), row)) {
                std::fprintf(stderr, "typed and general evaluation differ on row %zu\n", r);
                std::abort();
            }
        }
    } catch (const db::DatabaseError&) {
    }
    return 0;
}
