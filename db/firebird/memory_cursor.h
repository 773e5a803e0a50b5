#pragma once
// A cursor over rows the driver built itself, such as the parameter
// descriptions of a stored procedure. Columns hold 32-bit integers or texts.

#include "db/firebird/described_cursor.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace db::firebird {

class MemoryCursor final : public DescribedCursor {
public:
    using Value = std::variant<std::monostate, std::int32_t, std::string>;

    struct Column {
        std::string name;
        int type; // DriverType::kInt32 or DriverType::kString
        int precision;
    };

    explicit MemoryCursor(const std::vector<Column>& columns);
    void addRow(std::vector<Value> row) { rows_.push_back(std::move(row)); }

    int next() override;

    int getString(int column, char* buffer, int bufferLength, bool* isBlank) override;
    int getShort(int column, std::int16_t* value, bool* isBlank) override;
    int getLong(int column, std::int32_t* value, bool* isBlank) override;
    int getInt64(int column, std::int64_t* value, bool* isBlank) override;
    int getDouble(int, double*, bool*) override { return DriverResult::kInvalidFieldType; }
    int getBcd(int, Bcd*, bool*) override { return DriverResult::kInvalidFieldType; }
    int getDate(int, SQLDate*, bool*) override { return DriverResult::kInvalidFieldType; }
    int getTime(int, SQLTime*, bool*) override { return DriverResult::kInvalidFieldType; }
    int getTimeStamp(int, SQLTimeStamp*, bool*) override { return DriverResult::kInvalidFieldType; }
    int getBytes(int, std::uint8_t*, int, int*, bool*) override {
        return DriverResult::kInvalidFieldType;
    }
    int getBlobSize(int, std::uint32_t*, bool*) override { return DriverResult::kInvalidFieldType; }
    int getBlob(int, void*, std::uint32_t, bool*) override {
        return DriverResult::kInvalidFieldType;
    }

private:
    // The current row's value of a column, or a result code.
    int value(int column, const Value** found) const;
    std::optional<std::int32_t> integerAt(int column, bool* isBlank, int* result) const;

    std::vector<std::vector<Value>> rows_;
    std::size_t next_ = 0;
    const std::vector<Value>* current_ = nullptr;
};

} // namespace db::firebird
