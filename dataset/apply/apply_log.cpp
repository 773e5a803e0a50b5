#include "dataset/apply/apply_log.h"

#include "db/sql_command.h"
#include "db/sql_connection.h"

#include <array>
#include <memory>
#include <random>

namespace dataset::apply_log {

namespace {

// Batches older than this are of applies long settled and go.
constexpr const char* kKeptDays = "7";

db::SQLParams batchParam(const std::string& batch) {
    db::SQLParam param;
    param.dataType = db::FieldType::String;
    param.direction = db::ParamDirection::In;
    param.value = batch;
    return {std::move(param)};
}

bool connectionLost(const db::SQLCommand& source) {
    return source.connection() != nullptr && source.connection()->connectionLost();
}

} // namespace

std::string newBatchId() {
    static constexpr std::array<char, 16> kDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::random_device random;
    std::string id;
    for (int word = 0; word < 4; ++word) {
        std::uint32_t bits = random();
        for (int digit = 0; digit < 8; ++digit, bits >>= 4U)
            id += kDigits[bits & 0xFU];
    }
    return id;
}

bool write(db::SQLCommand& source, const std::string& table, const std::string& batch) {
    // Tidying first, and only as far as it goes: another apply taking the
    // same old rows at the same moment is no reason to go without a batch.
    try {
        source.psExecuteStatement("delete from " + table + " where lote_fecha < dateadd(-" +
                                      kKeptDays + " day to current_timestamp)",
                                  {});
    } catch (const db::DatabaseError&) {
        if (connectionLost(source))
            throw;
    }
    try {
        source.psExecuteStatement("insert into " + table + " (lote_id) values (?)",
                                  batchParam(batch));
        return true;
    } catch (const db::DatabaseError&) {
        if (connectionLost(source))
            throw;
        return false;
    }
}

bool contains(db::SQLCommand& source, const std::string& table, const std::string& batch) {
    std::unique_ptr<db::SQLCommand> result;
    source.psExecuteStatement("select count(*) from " + table + " where lote_id = ?",
                              batchParam(batch), &result);
    if (!result || result->eof())
        return false;
    const db::SQLValue& count = result->value(0);
    const auto* number = std::get_if<std::int64_t>(&count);
    return number != nullptr && *number > 0;
}

} // namespace dataset::apply_log
