// The statements the resolver writes for one row, byte for byte: the quoted
// table name, the origin of a column, the three where modes and the read of
// a failed row.

#include "dataset/apply/data_set_provider.h"
#include "dataset/apply/update_sql_builder.h"
#include "db/database_error.h"

#include <gtest/gtest.h>

namespace dataset {
namespace {

struct QuoteCase {
    const char* name;
    const char* quote;
    bool sqlBased;
    const char* expected;
};

class QuoteTableNameTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteTableNameTest, QuotesEachPartOnce) {
    const QuoteCase& c = GetParam();
    EXPECT_EQ(UpdateSqlBuilder::quoteTableName(c.name, c.quote, c.sqlBased), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, QuoteTableNameTest,
    ::testing::Values(QuoteCase{"AJUSTE_CIERRE", "\"", true, "\"AJUSTE_CIERRE\""},
                      QuoteCase{"", "\"", true, ""},
                      QuoteCase{"\"Ajuste\"", "\"", true, "\"Ajuste\""},
                      QuoteCase{"'AJUSTE", "\"", true, "'AJUSTE"},
                      QuoteCase{"AJUSTE`", "\"", true, "AJUSTE`"},
                      QuoteCase{"OWNER.AJUSTE", "\"", true, "\"OWNER\".\"AJUSTE\""},
                      QuoteCase{"A.B.C.D", "\"", true, "\"A\".\"B\".\"C.D\""},
                      QuoteCase{"OWNER.AJUSTE", "\"", false, "\"OWNER.AJUSTE\""},
                      QuoteCase{"OWNER.AJUSTE", "", true, "OWNER.AJUSTE"}));

TEST(OriginColumnTest, DottedOriginsGiveTheirLastPartOthersTheColumnName) {
    const std::pair<const char*, const char*> cases[] = {
        {"AJUSTE_CIERRE.AJCI_ID", "AJCI_ID"},
        {"DB.OWNER.AJUSTE_CIERRE.AJCI_ID", "AJCI_ID"},
        {"A.B.C.D.AJCI_ID", "COL"},
        {"AJCI_ID", "COL"},
        {"", "COL"},
        {".AJCI_ID", "COL"},
        {"AJUSTE_CIERRE.", "COL"},
        {"AJUSTE..AJCI_ID", "COL"}};
    for (const auto& [origin, expected] : cases) {
        EXPECT_EQ(UpdateSqlBuilder::originColumn(origin, "COL"), expected) << origin;
    }
}

// The five columns of AJUSTE_CIERRE; AJCI_ID carries the key flag when asked.
std::vector<ResolveColumn> ajusteColumns(bool idIsKey) {
    std::vector<ResolveColumn> columns{{"AJCI_ID", FieldType::Integer, 0},
                                       {"AJCI_FECINI", FieldType::Date, 0},
                                       {"AJCI_FECFIN", FieldType::Date, 0},
                                       {"AJCI_PORC", FieldType::FMTBcd, 4},
                                       {"AJCI_FACTOR", FieldType::FMTBcd, 6}};
    if (idIsKey) {
        columns[0].flags = columns[0].flags + ProviderFlag::InKey;
    }
    return columns;
}

std::vector<std::optional<Value>> ajusteValues() {
    return {Value(std::int64_t{7}), Value(db::SQLDate{2024, 3, 15}),
            Value(db::SQLDate{2024, 3, 16}), Value(db::Bcd::fromScaled(150000, 4)),
            Value(db::Bcd::fromScaled(1150000, 6))};
}

// A modification of AJCI_PORC alone.
RowValues porcChanged() {
    RowValues row{ajusteValues(), std::vector<std::optional<Value>>(5)};
    row.newValues[3] = Value(db::Bcd::fromScaled(160000, 4));
    return row;
}

std::vector<std::string> paramTexts(const db::SQLParams& params) {
    std::vector<std::string> texts;
    for (const db::SQLParam& p : params) {
        if (p.isNull()) {
            texts.push_back("null");
        } else if (const auto* i = std::get_if<std::int64_t>(&p.value)) {
            texts.push_back(std::to_string(*i));
        } else if (const auto* b = std::get_if<db::Bcd>(&p.value)) {
            texts.push_back(b->toString());
        } else if (const auto* d = std::get_if<db::SQLDate>(&p.value)) {
            texts.push_back(std::to_string(d->day) + "/" + std::to_string(d->month));
        }
    }
    return texts;
}

UpdateSqlBuilder builder(UpdateMode mode, bool idIsKey = false) {
    return UpdateSqlBuilder(ajusteColumns(idIsKey), "\"", "\"AJUSTE_CIERRE\"", mode);
}

TEST(UpdateSqlTextTest, InsertionDeletionAndModificationOfAjusteCierre) {
    const UpdateSqlBuilder b = builder(UpdateMode::WhereAll);
    const RowValues inserted{std::vector<std::optional<Value>>(5), ajusteValues()};
    const UpdateStatement insert = b.insertion(inserted);
    EXPECT_EQ(insert.text, "insert into \"AJUSTE_CIERRE\"\r\n"
                           "  (\"AJCI_ID\", \"AJCI_FECINI\", \"AJCI_FECFIN\", \"AJCI_PORC\", "
                           "\"AJCI_FACTOR\")\r\n"
                           "values\r\n"
                           "  (?, ?, ?, ?, ?)\r\n");
    EXPECT_EQ(paramTexts(insert.params),
              (std::vector<std::string>{"7", "15/3", "16/3", "15.0000", "1.150000"}));
    EXPECT_EQ(insert.params[1].dataType, FieldType::Date);
    EXPECT_EQ(insert.params[1].direction, db::ParamDirection::In);

    const std::string where = "where\r\n"
                              " \"AJCI_ID\" = ? and\r\n"
                              " \"AJCI_FECINI\" = ? and\r\n"
                              " \"AJCI_FECFIN\" = ? and\r\n"
                              " \"AJCI_PORC\" = ? and\r\n"
                              " \"AJCI_FACTOR\" = ?\r\n";
    const RowValues deleted{ajusteValues(), std::vector<std::optional<Value>>(5)};
    const UpdateStatement del = b.deletion(deleted);
    EXPECT_EQ(del.text, "delete from \"AJUSTE_CIERRE\" \r\n" + where);
    EXPECT_EQ(paramTexts(del.params), paramTexts(insert.params));

    const std::optional<UpdateStatement> update = b.modification(porcChanged());
    ASSERT_TRUE(update);
    EXPECT_EQ(update->text, "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_PORC\" = ?\r\n" + where);
    EXPECT_EQ(paramTexts(update->params),
              (std::vector<std::string>{"16.0000", "7", "15/3", "16/3", "15.0000", "1.150000"}));
}

TEST(UpdateSqlTextTest, NullOldValueIsTestedWithIsNullAndTakesNoParameter) {
    RowValues row = porcChanged();
    row.oldValues[2] = Value();
    const std::optional<UpdateStatement> update = builder(UpdateMode::WhereAll).modification(row);
    ASSERT_TRUE(update);
    EXPECT_NE(update->text.find(" \"AJCI_FECFIN\" is null and\r\n"), std::string::npos);
    EXPECT_EQ(paramTexts(update->params),
              (std::vector<std::string>{"16.0000", "7", "15/3", "15.0000", "1.150000"}));
    // A new null counts as written and binds as null.
    row.newValues[4] = Value();
    const std::optional<UpdateStatement> nulled = builder(UpdateMode::WhereAll).modification(row);
    ASSERT_TRUE(nulled);
    EXPECT_EQ(nulled->text.substr(0, nulled->text.find("where")),
              "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_PORC\" = ?,\r\n \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(paramTexts(nulled->params)[1], "null");
}

TEST(UpdateSqlTextTest, ModificationWithNothingWrittenGivesNoStatement) {
    const RowValues unchanged{ajusteValues(), std::vector<std::optional<Value>>(5)};
    EXPECT_FALSE(builder(UpdateMode::WhereAll).modification(unchanged));
    // Columns that are never written: read-only, hidden, server-calculated,
    // auto-increment or without InUpdate.
    std::vector<ResolveColumn> columns = ajusteColumns(false);
    columns[0].readOnly = true;
    columns[1].flags = columns[1].flags + ProviderFlag::Hidden;
    columns[2].serverCalculated = true;
    columns[3].type = FieldType::AutoInc;
    columns[4].flags = columns[4].flags - ProviderFlag::InUpdate;
    const UpdateSqlBuilder b(columns, "\"", "\"AJUSTE_CIERRE\"", UpdateMode::WhereAll);
    const RowValues everything{ajusteValues(), ajusteValues()};
    EXPECT_FALSE(b.modification(everything));
}

// The where columns of the AJCI_PORC change under each mode.
TEST(UpdateSqlWhereModeTest, EachModeChoosesItsColumns) {
    const auto whereOf = [](const UpdateSqlBuilder& b) {
        const std::string text = b.modification(porcChanged())->text;
        return text.substr(text.find("where"));
    };
    EXPECT_EQ(whereOf(builder(UpdateMode::WhereChanged, true)),
              "where\r\n \"AJCI_ID\" = ? and\r\n \"AJCI_PORC\" = ?\r\n");
    EXPECT_EQ(whereOf(builder(UpdateMode::WhereChanged, false)), "where\r\n \"AJCI_PORC\" = ?\r\n");
    EXPECT_EQ(whereOf(builder(UpdateMode::WhereKeyOnly, true)), "where\r\n \"AJCI_ID\" = ?\r\n");

    // A key column without InWhere still identifies the row under
    // WhereChanged, not under WhereAll.
    std::vector<ResolveColumn> columns = ajusteColumns(true);
    columns[0].flags = columns[0].flags - ProviderFlag::InWhere;
    EXPECT_EQ(whereOf(UpdateSqlBuilder(columns, "\"", "T", UpdateMode::WhereChanged)),
              "where\r\n \"AJCI_ID\" = ? and\r\n \"AJCI_PORC\" = ?\r\n");
    EXPECT_EQ(whereOf(UpdateSqlBuilder(columns, "\"", "T", UpdateMode::WhereAll)).find("AJCI_ID"),
              std::string::npos);

    // Blobs, memos and values of 8192 bytes or more never identify a row.
    columns = ajusteColumns(false);
    columns[1].type = FieldType::Memo;
    columns[2].type = FieldType::String;
    columns[2].size = 8192;
    const std::string all = whereOf(UpdateSqlBuilder(columns, "\"", "T", UpdateMode::WhereAll));
    EXPECT_EQ(all.find("AJCI_FECINI"), std::string::npos);
    EXPECT_EQ(all.find("AJCI_FECFIN"), std::string::npos);
    EXPECT_NE(all.find("AJCI_FACTOR"), std::string::npos);

    try {
        builder(UpdateMode::WhereKeyOnly, false).modification(porcChanged());
        ADD_FAILURE() << "no key column";
    } catch (const db::DatabaseError& error) {
        EXPECT_STREQ(error.what(), "Unable to find record.  No key specified");
    }
}

TEST(UpdateSqlConflictReadTest, ReadsTheWhereColumnsByKey) {
    std::vector<std::size_t> read;
    const UpdateStatement select =
        builder(UpdateMode::WhereAll, true).conflictRead(porcChanged(), read);
    EXPECT_EQ(select.text, "select\r\n"
                           " \"AJCI_ID\",\r\n"
                           " \"AJCI_FECINI\",\r\n"
                           " \"AJCI_FECFIN\",\r\n"
                           " \"AJCI_PORC\",\r\n"
                           " \"AJCI_FACTOR\"\r\n"
                           " from \"AJUSTE_CIERRE\" \r\n"
                           "where\r\n"
                           " \"AJCI_ID\" = ?\r\n");
    EXPECT_EQ(read, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(paramTexts(select.params), (std::vector<std::string>{"7"}));

    // AJUSTE_CIERRE as the program reads it has no key: the read cannot be
    // written.
    EXPECT_THROW(builder(UpdateMode::WhereAll).conflictRead(porcChanged(), read),
                 db::DatabaseError);
}

TEST(UpdateSqlQuoteTest, AnEmptyQuoteLeavesNamesBare) {
    const UpdateSqlBuilder b(ajusteColumns(false), "", "AJUSTE_CIERRE", UpdateMode::WhereAll);
    const RowValues deleted{ajusteValues(), std::vector<std::optional<Value>>(5)};
    const std::string text = b.deletion(deleted).text;
    EXPECT_EQ(text.substr(0, text.find(" and")),
              "delete from AJUSTE_CIERRE \r\nwhere\r\n AJCI_ID = ?");
}

} // namespace
} // namespace dataset
