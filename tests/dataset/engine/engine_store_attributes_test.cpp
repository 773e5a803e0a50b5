// Named attributes of data packets, of the data set and of its columns, as
// the engine reads them back and carries them into the delta.

#include "dataset/engine/data_set_engine_error.h"
#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_reader.h"
#include "dataset/engine/packet_writer.h"

#include <gtest/gtest.h>

namespace dataset {
namespace {

std::vector<ColumnDesc> columns() {
    return {{"ID",
             FieldType::Integer,
             0,
             0,
             true,
             false,
             {{"ORIGIN", std::string("PUNTO_VENTA.PTVT_ID"), true},
              {"PROVFLAGS", std::int64_t{7}, true}}},
            {"NOM", FieldType::String, 60, 0, false, true, {{"FIELDPROPS", Value{}, false}}}};
}

std::vector<std::uint8_t> packetWith(const std::vector<PacketAttribute>& attributes) {
    PacketWriter writer(columns(), attributes);
    writer.addRow(RowStatus::Unmodified, std::vector<Value>{std::int64_t{1}, std::string("a")});
    return writer.finish();
}

// Attribute values are null, text or integer.
bool same(const Value& a, const Value& b) {
    if (a.index() != b.index()) {
        return false;
    }
    if (const auto* text = std::get_if<std::string>(&a)) {
        return *text == std::get<std::string>(b);
    }
    if (const auto* integer = std::get_if<std::int64_t>(&a)) {
        return *integer == std::get<std::int64_t>(b);
    }
    return std::holds_alternative<std::monostate>(a);
}

struct AttributeCase {
    const char* name;
    Value value;
    bool inDelta;
};

class DataSetAttribute : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(DataSetAttribute, ReadsBackWithItsValueAndTravelsWithTheDeltaWhenMarked) {
    const AttributeCase& a = GetParam();
    EngineStore store(
        packetWith({{"LCID", std::int64_t{0x0C0A}, false}, {a.name, a.value, a.inDelta}}));
    const PacketAttribute* read = store.attribute(a.name);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(same(read->value, a.value));
    EXPECT_EQ(read->inDelta, a.inDelta);
    EXPECT_EQ(std::get<std::int64_t>(store.attribute("LCID")->value), 0x0C0A);
    EXPECT_EQ(store.attribute("DISABLE_NOTHING"), nullptr);

    store.remove(store.rowAt(0));
    const Packet delta = PacketReader::read(store.delta());
    const PacketAttribute* carried = delta.attribute(a.name);
    EXPECT_EQ(carried != nullptr, a.inDelta);
    if (carried != nullptr) {
        EXPECT_TRUE(same(carried->value, a.value));
    }
    EXPECT_EQ(delta.attribute("LCID"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Attributes, DataSetAttribute,
                         ::testing::Values(AttributeCase{"DISABLE_EDITS", std::int64_t{1}, true},
                                           AttributeCase{"DISABLE_INSERTS", std::int64_t{1}, false},
                                           AttributeCase{"DISABLE_DELETES", std::int64_t{0}, true},
                                           AttributeCase{"NO_RESET_CALL", std::int64_t{1}, false},
                                           AttributeCase{"TABLE_NAME", std::string("PUNTO_VENTA"),
                                                         true},
                                           AttributeCase{"EMPTY", std::string(), true},
                                           AttributeCase{"NOTHING", Value{}, true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ColumnAttributes, ReadBackPerColumnWithTheColumnFlags) {
    const EngineStore store(packetWith({}));
    const ColumnDesc& id = store.columns()[0];
    const ColumnDesc& name = store.columns()[1];
    EXPECT_TRUE(id.required);
    EXPECT_FALSE(id.readOnly);
    EXPECT_TRUE(name.readOnly);
    EXPECT_EQ(std::get<std::string>(id.attribute("ORIGIN")->value), "PUNTO_VENTA.PTVT_ID");
    EXPECT_EQ(std::get<std::int64_t>(id.attribute("PROVFLAGS")->value), 7);
    EXPECT_EQ(id.attribute("FIELDPROPS"), nullptr);
    ASSERT_NE(name.attribute("FIELDPROPS"), nullptr);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(name.attribute("FIELDPROPS")->value));
    EXPECT_EQ(name.size, 60);
}

TEST(ColumnAttributes, ValueOfAKindAPacketCannotHoldIsAnEngineError) {
    try {
        PacketWriter writer(columns(), {{"WHEN", db::SQLDate{2024, 1, 1}, true}});
        ADD_FAILURE() << "a date attribute was written";
    } catch (const DataSetEngineError& error) {
        EXPECT_EQ(error.status(), EngineStatus::ValueMismatch);
    }
}

TEST(ColumnAttributes, AnAttributeWithAnUnknownTagIsAnInvalidPacket) {
    std::vector<std::uint8_t> bytes = packetWith({{"X", std::int64_t{1}, true}});
    // Header, then the attribute's name length (2 bytes) and name "X": its tag.
    const std::size_t tagAt = 22 + 2 + 1;
    ASSERT_EQ(bytes[tagAt], 2) << "the integer tag";
    bytes[tagAt] = 9;
    EXPECT_THROW(EngineStore{bytes}, DataSetEngineError);
    bytes[tagAt] = 2;
    bytes[tagAt + 1 + 8] = 2;
    EXPECT_THROW(EngineStore{bytes}, DataSetEngineError) << "a delta flag other than 0 or 1";
}

} // namespace
} // namespace dataset
