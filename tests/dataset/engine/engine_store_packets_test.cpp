// The engine without a database: the packet format and the change log.

#include "dataset/engine/data_set_engine_error.h"
#include "dataset/engine/engine_cursor.h"
#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_reader.h"
#include "dataset/engine/packet_writer.h"

#include <gtest/gtest.h>

namespace dataset {
namespace {

std::vector<ColumnDesc> columns() {
    return {{"ID", FieldType::Integer, 0, 0, true, false, {}},
            {"NAME", FieldType::String, 20, 0, false, false, {{"ORIGIN", std::string("T.NAME")}}},
            {"RATE", FieldType::FMTBcd, 4, 15, false, false, {}},
            {"DAY", FieldType::Date, 0, 0, false, false, {}}};
}

std::vector<std::uint8_t> packet(int rows) {
    PacketWriter writer(columns(), {{"LCID", std::int64_t{0}, false}});
    for (int i = 0; i < rows; ++i) {
        const std::vector<Value> values{std::int64_t{i}, "row " + std::to_string(i),
                                        db::Bcd::fromScaled(8000 + i, 4),
                                        db::SQLDate{2024, 1, 1 + i % 28}};
        writer.addRow(RowStatus::Unmodified, values);
    }
    return writer.finish();
}

std::string text(const EngineStore& store, RowId row, std::size_t column) {
    const Value v = store.value(row, column);
    if (const auto* s = std::get_if<std::string>(&v)) {
        return *s;
    }
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        return std::to_string(*i);
    }
    return "<null>";
}

TEST(PacketFormat, RoundTripsColumnsAttributesAndRowsInOrder) {
    const EngineStore store(packet(3));
    ASSERT_EQ(store.columns().size(), 4u);
    EXPECT_EQ(store.columns()[1].name, "NAME");
    EXPECT_EQ(store.columns()[1].size, 20);
    EXPECT_TRUE(store.columns()[0].required);
    EXPECT_EQ(std::get<std::string>(store.columns()[1].attribute("ORIGIN")->value), "T.NAME");
    EXPECT_FALSE(store.attribute("LCID")->inDelta);
    ASSERT_EQ(store.size(), 3u);
    EXPECT_EQ(text(store, store.rowAt(2), 1), "row 2");
    EXPECT_EQ(std::get<db::Bcd>(store.value(store.rowAt(1), 2)).toString(), "0.8001");
    EXPECT_EQ(std::get<db::SQLDate>(store.value(store.rowAt(2), 3)), (db::SQLDate{2024, 1, 3}));
}

// Rows written a value at a time, as a provider writes them, well past the
// first growth of the packet and with texts whose length takes two bytes.
TEST(PacketFormat, ManyRowsWrittenValueByValueReadBackWhole) {
    PacketWriter writer(columns(), {{"LCID", std::int64_t{0}, false}});
    const auto name = [](int i) {
        return std::string(static_cast<std::size_t>(i % 300), 'a' + i % 26);
    };
    constexpr int kRows = 5000;
    for (int i = 0; i < kRows; ++i) {
        writer.beginRow();
        writer.addValue(std::int64_t{i});
        writer.addValue(name(i));
        writer.addValue(i % 7 == 0 ? Value{} : Value{db::Bcd::fromScaled(-i, 4)});
        writer.endRow();
    }
    const EngineStore store(writer.finish());
    ASSERT_EQ(store.size(), static_cast<std::size_t>(kRows));
    for (int i = 0; i < kRows; ++i) {
        const RowId row = store.rowAt(static_cast<std::size_t>(i));
        ASSERT_EQ(text(store, row, 0), std::to_string(i));
        ASSERT_EQ(text(store, row, 1), name(i));
        const Value rate = store.value(row, 2);
        if (i % 7 == 0) {
            ASSERT_TRUE(std::holds_alternative<std::monostate>(rate)) << i;
        } else {
            ASSERT_EQ(std::get<db::Bcd>(rate).toScaled(), -i) << i;
        }
        ASSERT_EQ(text(store, row, 3), "<null>") << "a column never given is null";
    }
}

TEST(PacketFormat, EveryCutOrFlippedByteIsAnInvalidPacket) {
    const std::vector<std::uint8_t> good = packet(2);
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<std::uint8_t> shorter(good.begin(), good.begin() + static_cast<long>(cut));
        try {
            EngineStore store(std::move(shorter));
            ADD_FAILURE() << "accepted a packet cut at " << cut;
        } catch (const DataSetEngineError& error) {
            EXPECT_STREQ(error.what(), "Invalid data packet");
            EXPECT_EQ(error.status(), EngineStatus::InvalidPacket);
        }
    }
    std::vector<std::uint8_t> badMagic = good;
    badMagic[0] = 'X';
    EXPECT_THROW(EngineStore{badMagic}, DataSetEngineError);
}

TEST(PacketFormat, AValueOfTheWrongKindIsAnEngineError) {
    PacketWriter writer(columns(), {});
    writer.beginRow();
    EXPECT_THROW(writer.addValue(std::string("not a number")), DataSetEngineError);
}

class ChangeLog : public ::testing::Test {
protected:
    EngineStore store{packet(3)};
    std::vector<Value> row(std::int64_t id, std::string name) {
        return {id, std::move(name), Value{}, Value{}};
    }
    std::vector<RowStatus> deltaStatuses() {
        const Packet delta = PacketReader::read(store.delta());
        std::vector<RowStatus> statuses;
        for (std::size_t i = 0; i < delta.rows.size(); ++i) {
            statuses.push_back(RowCodec::status(delta.row(i)));
        }
        return statuses;
    }
};

TEST_F(ChangeLog, KeepsOriginalValuesOfModifiedAndDeletedRows) {
    const RowId first = store.rowAt(0);
    std::vector<Value> changed = row(0, "renamed");
    changed[2] = db::Bcd::fromScaled(8000, 4);
    changed[3] = db::SQLDate{2024, 1, 1};
    store.modify(first, changed);
    store.remove(store.rowAt(1));
    EXPECT_EQ(store.changeCount(), 2);
    EXPECT_EQ(deltaStatuses(), (std::vector<RowStatus>{RowStatus::Unmodified, RowStatus::Modified,
                                                       RowStatus::Deleted}));

    const Packet delta = PacketReader::read(store.delta());
    const RowCodec codec(
        {FieldType::Integer, FieldType::String, FieldType::FMTBcd, FieldType::Date});
    EXPECT_EQ(std::get<std::string>(codec.value(delta.row(0), 1)), "row 0");
    EXPECT_EQ(std::get<std::string>(codec.value(delta.row(1), 1)), "renamed");
    EXPECT_EQ(codec.state(delta.row(1), 0), CellState::Unchanged);
    EXPECT_EQ(codec.state(delta.row(1), 2), CellState::Unchanged);
    EXPECT_EQ(std::get<std::string>(codec.value(delta.row(2), 1)), "row 1");
    EXPECT_EQ(delta.attribute("LCID"), nullptr) << "not included in the change log";
}

TEST_F(ChangeLog, InsertedRowsGoBeforeTheGivenRowAndVanishWhenDeleted) {
    const RowId a = store.insert(0, row(10, "a"));
    store.insert(0, row(11, "b"));
    EXPECT_EQ(text(store, store.rowAt(0), 1), "b");
    EXPECT_EQ(text(store, store.rowAt(1), 1), "a");
    store.modify(a, row(10, "a2"));
    EXPECT_EQ(deltaStatuses(), (std::vector<RowStatus>{RowStatus::Inserted, RowStatus::Inserted}));
    store.remove(a);
    EXPECT_EQ(store.changeCount(), 1);
    EXPECT_EQ(store.size(), 4u);
}

TEST_F(ChangeLog, MergeEmptiesTheLogAndReconcileKeepsTheNamedRows) {
    store.remove(store.rowAt(0));
    store.insert(0, row(20, "x"));
    store.insert(0, row(21, "y"));
    // Delta records: 0 deleted, 1 inserted x, 2 inserted y; keep x.
    store.reconcile({1});
    EXPECT_EQ(store.changeCount(), 1);
    EXPECT_EQ(deltaStatuses(), (std::vector<RowStatus>{RowStatus::Inserted}));
    store.mergeChangeLog();
    EXPECT_EQ(store.changeCount(), 0);
    EXPECT_EQ(store.size(), 4u);
}

} // namespace
} // namespace dataset
