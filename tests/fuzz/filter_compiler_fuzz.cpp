// Any text given to the filter compiler either compiles or raises one of its
// messages; a compiled expression evaluates on a row without running away.

#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_writer.h"
#include "dataset/filter/filter_compiler.h"
#include "db/database_error.h"

#include <cstddef>
#include <cstdint>

using namespace dataset;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<ColumnDesc> columns{
        {{"ID", FieldType::Integer, 0, 0, false, false}, {}},
        {{"NAME", FieldType::String, 20, 0, false, false}, {}},
        {{"RATE", FieldType::FMTBcd, 4, 15, false, false}, {}},
        {{"DAY", FieldType::Date, 0, 0, false, false}, {}}};
    static const std::unique_ptr<EngineStore> store = [] {
        PacketWriter writer(columns, {});
        const std::vector<Value> row{std::int64_t{1}, "Bogota", db::Bcd::fromScaled(160000, 4),
                                     db::SQLDate{2024, 3, 15}};
        writer.addRow(RowStatus::Unmodified, row);
        return std::make_unique<EngineStore>(writer.finish());
    }();
    FilterCompiler compiler;
    compiler.lookup = [](std::string_view name) -> std::optional<FilterCompiler::FieldRef> {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].name == name) {
                return FilterCompiler::FieldRef{i, columns[i].type, columns[i].size};
            }
        }
        return std::nullopt;
    };
    compiler.parseDate = [](std::string_view) { return std::optional<db::SQLDate>(); };
    compiler.extendedSyntax = size > 0 && (data[0] & 1) != 0;
    try {
        const auto expression =
            compiler.compile(std::string_view(reinterpret_cast<const char*>(data), size));
        expression->matches(store->codec(), store->record(store->rowAt(0)));
    } catch (const db::DatabaseError&) {
    }
    return 0;
}
