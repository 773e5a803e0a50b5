// The table readers of the window over a real company database.

#include "app/form/window_commands.h"
#include "db/sql_connection.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"

#include <gtest/gtest.h>

namespace db::test {
namespace {

class SQLTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { database_ = createCompany("sql_table_test"); }

    void SetUp() override {
        ASSERT_FALSE(database_.empty()) << "the company database could not be created";
        connection_ = programConnection(database_);
        commands_ = app::WindowCommands::create(*connection_);
    }

    int countRows(SQLTable& table) {
        int rows = 0;
        table.open();
        for (; !table.eof(); table.next()) {
            ++rows;
        }
        table.close();
        return rows;
    }

    static std::string database_;
    std::unique_ptr<SQLConnection> connection_;
    app::WindowCommands commands_;
};

std::string SQLTableTest::database_;

TEST_F(SQLTableTest, ReadsTheWholeTableThroughTheDriversQuotedName) {
    SQLTable& puntos = *commands_.TPuntos;
    EXPECT_EQ(puntos.TableName(), "PUNTO_VENTA");
    EXPECT_TRUE(puntos.selectText().empty());
    const int rows = countRows(puntos);
    EXPECT_GT(rows, 1);
    EXPECT_EQ(puntos.selectText(), " select * from \"PUNTO_VENTA\"");
    EXPECT_EQ(puntos.nativeText(), puntos.selectText()) << "no where, no order by";
    EXPECT_EQ(puntos.TableName(), "PUNTO_VENTA");
    EXPECT_EQ(puntos.psGetTableName(), "PUNTO_VENTA");
    EXPECT_EQ(puntos.psGetKeyFields(), "") << "no index metadata is read";
    EXPECT_EQ(puntos.psGetDefaultOrder(), "");

    EXPECT_EQ(countRows(puntos), rows);
    EXPECT_EQ(puntos.prepareCount(), 1) << "a second read runs the same statement";
}

TEST_F(SQLTableTest, ClosingRateColumnsAreFormattedDecimals) {
    SQLTable& ajuste = *commands_.TAjuste;
    ajuste.open();
    for (const char* name : {"AJCI_PORC", "AJCI_FACTOR"}) {
        SCOPED_TRACE(name);
        const int index = ajuste.fieldIndex(name);
        ASSERT_GE(index, 0);
        const FieldDef& def = ajuste.fieldDefs()[static_cast<std::size_t>(index)];
        EXPECT_EQ(def.type, FieldType::FMTBcd);
        EXPECT_EQ(def.precision, 15);
        EXPECT_EQ(def.size, 4);
    }
    const FieldDef& id = ajuste.fieldDefs()[static_cast<std::size_t>(ajuste.fieldIndex("AJCI_ID"))];
    EXPECT_TRUE(id.required);
    EXPECT_FALSE(id.readOnly);
    ajuste.close();
}

TEST_F(SQLTableTest, ANewTableNameBuildsANewText) {
    SQLTable& table = *commands_.TAjuste;
    countRows(table);
    table.setTableName("PUNTO_VENTA");
    EXPECT_FALSE(table.prepared());
    EXPECT_TRUE(table.selectText().empty());
    EXPECT_GT(countRows(table), 1);
    EXPECT_EQ(table.selectText(), " select * from \"PUNTO_VENTA\"");
    EXPECT_EQ(table.prepareCount(), 2);

    table.setTableName("NO_EXISTE");
    const std::string error = errorOf([&] { table.open(); });
    EXPECT_NE(error.find("NO_EXISTE"), std::string::npos) << error;
    EXPECT_FALSE(table.prepared());
    EXPECT_EQ(table.lastErrorText(), error);

    table.setTableName("");
    EXPECT_EQ(errorOf([&] { table.open(); }), "Missing query, table name or procedure name");
}

} // namespace
} // namespace db::test
