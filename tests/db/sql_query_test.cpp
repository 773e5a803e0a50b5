// The shared query over the real driver library and the embedded engine.

#include "app/form/window_commands.h"
#include "db/sql_connection.h"
#include "db/sql_query.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"

#include <gtest/gtest.h>

namespace db::test {
namespace {

class SQLQueryTest : public ::testing::Test {
protected:
    SQLQueryTest()
        : database_(::testing::UnitTest::GetInstance()->current_test_info()->name(),
                    {"create table ventas (id integer not null, nombre varchar(30) not null,"
                     " codigo char(4), cantidad smallint, fecha date, porc numeric(15,4),"
                     " base numeric(14,4), tasa numeric(9,5), total numeric(18,2))",
                     "insert into ventas values (1, 'Tienda O''Brien', 'FV01', 3, '2024-02-29',"
                     " 0.8, 16, 1.23456, -12.5)",
                     "insert into ventas (id, nombre) values (2, 'Sin datos')"}),
          connection_(programConnection(database_.path())),
          commands_(app::WindowCommands::create(*connection_)), query_(*commands_.SQLQuery1) {}

    std::vector<std::vector<std::string>> readAll() {
        std::vector<std::vector<std::string>> rows;
        query_.open();
        for (; !query_.eof(); query_.next()) {
            rows.emplace_back();
            for (std::size_t i = 0; i < query_.fieldDefs().size(); ++i) {
                rows.back().push_back(textOf(query_.value(i)));
            }
        }
        query_.close();
        return rows;
    }

    TestDatabase database_;
    std::unique_ptr<SQLConnection> connection_;
    app::WindowCommands commands_;
    SQLQuery& query_;
};

TEST_F(SQLQueryTest, LeadingBlanksAndLineBreaksAreNotPartOfTheText) {
    query_.setSQL(" \r\n\t  select id from ventas order by id");
    EXPECT_EQ(query_.SQL(), "select id from ventas order by id");
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"1"}, {"2"}}));
    EXPECT_EQ(query_.nativeText(), "select id from ventas order by id");
    EXPECT_EQ(query_.psGetDefaultOrder(), "id");
    EXPECT_EQ(query_.psGetTableName(), "ventas");
}

TEST_F(SQLQueryTest, TheSameTextRunsTheSameStatementAndAnotherPreparesAnew) {
    query_.setSQL("select count(*) from ventas");
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"2"}}));
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"2"}}));
    EXPECT_EQ(query_.prepareCount(), 1) << "closing keeps the prepared statement";

    query_.setSQL("\nselect count(*) from ventas");
    EXPECT_TRUE(query_.prepared()) << "the same text after its leading blanks";
    database_.execute({"insert into ventas (id, nombre) values (3, 'Otra')"});
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"3"}}));
    EXPECT_EQ(query_.prepareCount(), 1);

    query_.setSQL("select max(id) from ventas");
    EXPECT_FALSE(query_.prepared());
    EXPECT_TRUE(query_.nativeText().empty());
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"3"}}));
    EXPECT_EQ(query_.prepareCount(), 2);

    query_.psSetCommandText("");
    EXPECT_EQ(query_.SQL(), "select max(id) from ventas") << "an empty text changes nothing";
}

TEST_F(SQLQueryTest, ColumnsBecomeFieldsByTheTypeTableAndTheBcdRule) {
    query_.setSQL("select v.*, id + 1 as siguiente from ventas v order by id");
    query_.open();
    struct Expected {
        const char* name;
        FieldType type;
        int size;
        int precision;
        bool required;
    };
    const std::vector<Expected> expected{
        {"ID", FieldType::Integer, 0, 0, true},
        {"NOMBRE", FieldType::String, 30, 0, true},
        {"CODIGO", FieldType::FixedChar, 4, 0, false},
        {"CANTIDAD", FieldType::SmallInt, 0, 0, false},
        {"FECHA", FieldType::Date, 0, 0, false},
        {"PORC", FieldType::FMTBcd, 4, 15, false},
        {"BASE", FieldType::BCD, 4, 14, false},
        {"TASA", FieldType::FMTBcd, 5, 9, false},
        {"TOTAL", FieldType::FMTBcd, 2, 18, false},
        {"SIGUIENTE", FieldType::LargeInt, 0, 0, true},
    };
    ASSERT_EQ(query_.fieldDefs().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FieldDef& def = query_.fieldDefs()[i];
        SCOPED_TRACE(def.name);
        EXPECT_EQ(def.name, expected[i].name);
        EXPECT_EQ(def.type, expected[i].type);
        EXPECT_EQ(def.size, expected[i].size);
        EXPECT_EQ(def.precision, expected[i].precision);
        EXPECT_EQ(def.required, expected[i].required);
    }
    EXPECT_FALSE(query_.fieldDefs()[0].readOnly);
    EXPECT_TRUE(query_.fieldDefs()[9].readOnly) << "an expression has no column behind it";

    const std::vector<std::string> first{
        "1",      "Tienda O'Brien", "FV01",    "3",      "2024-02-29",
        "0.8000", "16.0000",        "1.23456", "-12.50", "2"};
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(textOf(query_.value(i)), first[i]) << query_.fieldDefs()[i].name;
    }
    const auto& porc = std::get<Bcd>(query_.value(5));
    EXPECT_EQ(porc.precision, 15) << "a decimal comes in its field's precision";
    EXPECT_EQ(porc.scale(), 4);
    EXPECT_EQ(porc.toScaled(), 8000);

    query_.next();
    ASSERT_FALSE(query_.eof());
    for (std::size_t i = 2; i <= 8; ++i) {
        EXPECT_EQ(textOf(query_.value(i)), "<null>") << query_.fieldDefs()[i].name;
    }
    query_.next();
    EXPECT_TRUE(query_.eof()) << "the end of the rows is no error";
    query_.next();
    EXPECT_TRUE(query_.eof());
    query_.close();
}

TEST_F(SQLQueryTest, ColumnsOfTheSameNameAreNumbered) {
    query_.setSQL("select max(id), max(nombre), 1 as x, 2 as x, 3 as x from ventas");
    query_.open();
    std::vector<std::string> names;
    for (const FieldDef& def : query_.fieldDefs()) {
        names.push_back(def.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MAX", "MAX_1", "X", "X_1", "X_2"}));
    EXPECT_EQ(textOf(query_.value(0)), "2");
    EXPECT_EQ(textOf(query_.value(1)), "Tienda O'Brien");
    EXPECT_EQ(query_.fieldIndex("max_1"), 1);
}

TEST_F(SQLQueryTest, AStatementWithoutRowsRunsAndThenFails) {
    query_.setSQL("update ventas set cantidad = 7 where id = 2");
    EXPECT_EQ(errorOf([&] { query_.open(); }), "SQLQuery1: Cursor not returned from Query");
    EXPECT_FALSE(query_.active());
    EXPECT_EQ(database_.scalar("select cantidad from ventas where id = 2"), "7")
        << "the change is made and kept";

    EXPECT_EQ(errorOf([&] { query_.open(); }), "SQLQuery1: Cursor not returned from Query");
    EXPECT_EQ(query_.prepareCount(), 1) << "the statement stays prepared";
}

TEST_F(SQLQueryTest, ASyntaxErrorGivesTheDriversTextAndLeavesTheQueryUnprepared) {
    query_.setSQL("selec id from ventas");
    const std::string error = errorOf([&] { query_.open(); });
    EXPECT_NE(error.find("SQL Server Error: "), std::string::npos) << error;
    EXPECT_NE(error.find("Token unknown"), std::string::npos) << error;
    EXPECT_FALSE(query_.prepared());
    EXPECT_FALSE(query_.active());
    EXPECT_EQ(query_.lastErrorText(), error);
    EXPECT_EQ(errorOf([&] { query_.open(); }), error) << "the next open tries again";
    EXPECT_EQ(query_.prepareCount(), 2);

    query_.setSQL("select id from no_such_table");
    const std::string unknown = errorOf([&] { query_.open(); });
    EXPECT_NE(unknown.find("NO_SUCH_TABLE"), std::string::npos) << unknown;

    query_.setSQL("select 1 / 0 from rdb$database");
    const std::string fetch = errorOf([&] { query_.open(); });
    EXPECT_NE(fetch.find("SQL Server Error: "), std::string::npos) << fetch;
    EXPECT_FALSE(query_.active()) << "a failed open leaves the query closed";
}

TEST_F(SQLQueryTest, MisuseIsReportedWithTheLayersTexts) {
    EXPECT_EQ(errorOf([&] { query_.open(); }), "Missing query, table name or procedure name");

    SQLQuery loose("Suelta");
    loose.setSQL("select id from ventas");
    EXPECT_EQ(errorOf([&] { loose.open(); }), "SQLConnection property required for this operation");

    query_.setSQL("select id from ventas");
    query_.open();
    EXPECT_EQ(errorOf([&] { query_.setSQL("select 1 from rdb$database"); }),
              "Cannot perform this operation on an open dataset");
    EXPECT_EQ(query_.SQL(), "select id from ventas");
    query_.setSQL("select id from ventas");
    EXPECT_TRUE(query_.active()) << "the same text is no change";
}

TEST_F(SQLQueryTest, ClosingTheConnectionReleasesTheStatement) {
    query_.setSQL("select count(*) from ventas");
    query_.open();
    connection_->setConnected(false);
    EXPECT_FALSE(query_.active());
    EXPECT_FALSE(query_.prepared());
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"2"}}))
        << "the query opens the connection again";
    EXPECT_TRUE(connection_->Connected());
    EXPECT_EQ(query_.prepareCount(), 2);
}

TEST_F(SQLQueryTest, TheProviderSupportRunsTheResolversWork) {
    EXPECT_TRUE(query_.psIsSQLBased());
    EXPECT_TRUE(query_.psIsSQLSupported());
    EXPECT_EQ(query_.psGetQuoteChar(), "");
    connection_->setConnected(true);
    EXPECT_EQ(query_.psGetQuoteChar(), "\"");

    EXPECT_FALSE(query_.psInTransaction());
    query_.psStartTransaction();
    EXPECT_TRUE(query_.psInTransaction());
    SQLParams params{{"", FieldType::Integer, ParamDirection::In, std::int64_t{9}},
                     {"", FieldType::String, ParamDirection::In, std::string("Nueva")}};
    EXPECT_EQ(query_.psExecuteStatement("insert into ventas (id, nombre) values (?, ?)", params),
              1);
    query_.psEndTransaction(false);
    EXPECT_FALSE(query_.psInTransaction());
    EXPECT_EQ(database_.scalar("select count(*) from ventas where id = 9"), "0");

    query_.psStartTransaction();
    EXPECT_EQ(query_.psExecuteStatement("update ventas set cantidad = 1", {}), 2);
    query_.psEndTransaction(true);
    EXPECT_EQ(database_.scalar("select sum(cantidad) from ventas"), "2");

    std::unique_ptr<SQLCommand> result;
    query_.psExecuteStatement("select nombre from ventas where id = :id",
                              {{"id", FieldType::Integer, ParamDirection::In, std::int64_t{1}}},
                              &result);
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->active());
    EXPECT_EQ(result->params().at(0).name, "P1");
    EXPECT_EQ(textOf(result->value(0)), "Tienda O'Brien");
    EXPECT_EQ(connection_->state(), ConnectionState::Open);

    EXPECT_EQ(query_.psGetUpdateException(nullptr, nullptr).what(),
              std::string("SQL Error: Error mapping failed"));
    const DatabaseError given("lock conflict");
    EXPECT_EQ(query_.psGetUpdateException(&given, nullptr).what(), std::string("lock conflict"));
}

TEST_F(SQLQueryTest, ParametersHandedOverReplaceTheStatementUnlessItTakesThem) {
    query_.setSQL("select count(*) from ventas");
    readAll();
    query_.psSetParams({});
    EXPECT_TRUE(query_.prepared()) << "an empty list changes nothing";
    query_.psSetParams({{"x", FieldType::Integer, ParamDirection::In, std::int64_t{1}}});
    EXPECT_FALSE(query_.prepared()) << "the prepared text had no place for them";
    EXPECT_EQ(query_.psGetParams().size(), 1u);

    query_.setSQL("select nombre from ventas where id = :id");
    ASSERT_EQ(query_.params().size(), 1u) << "the marker makes the parameter list";
    query_.paramByName("ID").value = std::int64_t{2};
    query_.paramByName("ID").dataType = FieldType::Integer;
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"Sin datos"}}));
    EXPECT_EQ(query_.nativeText(), "select nombre from ventas where id =  ? ");
    query_.psSetParams({{"ID", FieldType::Integer, ParamDirection::In, std::int64_t{1}}});
    EXPECT_TRUE(query_.prepared());
    EXPECT_EQ(readAll(), (std::vector<std::vector<std::string>>{{"Tienda O'Brien"}}));
    EXPECT_EQ(query_.prepareCount(), 2);
    EXPECT_EQ(errorOf([&] { query_.paramByName("nada"); }),
              "SQLQuery1: Parameter 'nada' not found");
}

TEST_F(SQLQueryTest, PacketAttributesCarryTheLocaleCode) {
    auto attributes = query_.psGetAttributes();
    ASSERT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes[0].name, "LCID");
    EXPECT_EQ(textOf(attributes[0].value), "0");
    EXPECT_FALSE(attributes[0].inDelta);
    connection_->Params.setValue("LocaleCode", "0C0A");
    EXPECT_EQ(textOf(query_.psGetAttributes()[0].value), "3082");
}

} // namespace
} // namespace db::test
