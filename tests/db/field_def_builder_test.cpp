// The rules of the command layer that need no database: the BCD rule of
// field definitions, BCD normalising, field names and query text scanning.

#include "db/bcd_normalizer.h"
#include "db/field_def_builder.h"
#include "db/sql_text_scan.h"

#include <gtest/gtest.h>

namespace db {
namespace {

struct BcdRuleCase {
    int precision;
    int scale;
    bool numericMapping;
    FieldType type;
    int size;
    int fieldPrecision;
};

class BcdRuleTest : public ::testing::TestWithParam<BcdRuleCase> {};

TEST_P(BcdRuleTest, GivesTypeSizeAndPrecision) {
    const BcdRuleCase c = GetParam();
    FieldDef def;
    FieldDefBuilder::describe({DriverType::kBcd, 0, c.precision, c.scale, 34}, c.numericMapping,
                              &def);
    EXPECT_EQ(def.type, c.type);
    EXPECT_EQ(def.size, c.size);
    EXPECT_EQ(def.precision, c.fieldPrecision);
}

INSTANTIATE_TEST_SUITE_P(Cases, BcdRuleTest,
                         ::testing::Values(BcdRuleCase{15, 4, false, FieldType::FMTBcd, 4, 15},
                                           BcdRuleCase{14, 4, false, FieldType::BCD, 4, 14},
                                           BcdRuleCase{9, 5, false, FieldType::FMTBcd, 5, 9},
                                           BcdRuleCase{9, 2, true, FieldType::FMTBcd, 2, 9},
                                           BcdRuleCase{2, -4, false, FieldType::BCD, 4, 4},
                                           BcdRuleCase{38, 0, false, FieldType::FMTBcd, 8, 32},
                                           BcdRuleCase{38, 38, false, FieldType::FMTBcd, 8, 32},
                                           BcdRuleCase{40, 6, false, FieldType::FMTBcd, 6, 32}));

TEST(FieldDefBuilder, StringsTakeTheirCharactersAsSize) {
    FieldDef def;
    FieldDefBuilder::describe({DriverType::kString, DriverSubType::kFixed, 4, 0, 16}, false, &def);
    EXPECT_EQ(def.type, FieldType::FixedChar);
    EXPECT_EQ(def.size, 4);
    FieldDefBuilder::describe({DriverType::kString, 0, 0, 0, 0}, false, &def);
    EXPECT_EQ(def.type, FieldType::Unknown);
    EXPECT_EQ(def.size, 0);
    FieldDefBuilder::describe({DriverType::kInt32, DriverSubType::kAutoInc, 0, 0, 4}, false, &def);
    EXPECT_EQ(def.type, FieldType::AutoInc);
}

TEST(FieldDefBuilder, TakenNamesAreNumberedUntilFree) {
    std::vector<FieldDef> defs(3);
    defs[0].name = "MAX";
    defs[1].name = "MAX_1";
    defs[2].name = "MAX_3";
    EXPECT_EQ(FieldDefBuilder::uniqueName("MAX", defs), "MAX_2");
    EXPECT_EQ(FieldDefBuilder::uniqueName("MIN", defs), "MIN");
}

TEST(BcdNormalizer, BringsValuesToTheFieldsForm) {
    const auto fit = [](const char* text, int precision, int scale) {
        const auto value = BcdNormalizer::normalize(*Bcd::fromString(text), precision, scale);
        return value ? value->toString() + "/" + std::to_string(value->precision) : "overflow";
    };
    EXPECT_EQ(fit("0.8", 15, 4), "0.8000/15");
    EXPECT_EQ(fit("-12.5", 18, 2), "-12.50/18");
    EXPECT_EQ(fit("99999999999.9999", 15, 4), "99999999999.9999/15");
    EXPECT_EQ(fit("100000000000", 15, 4), "overflow");
    EXPECT_EQ(fit("1.23456", 9, 4), "1.2346/9");
    EXPECT_EQ(fit("9.99995", 5, 4), "overflow") << "rounding that carries out of the field";
    EXPECT_EQ(fit("-0.00001", 5, 4), "0.0000/5") << "no negative zero";
    EXPECT_EQ(fit("0", 32, 8), "0.00000000/32");
    EXPECT_EQ(fit("12.3400", 15, 4), "12.3400/15") << "already of the field's scale";
    EXPECT_EQ(fit("-0.0000", 5, 4), "0.0000/5");
    EXPECT_EQ(fit("123456.7890", 9, 4), "overflow");
    // Negative values already of the field's scale, odd and even digit counts.
    EXPECT_EQ(fit("-12.3400", 15, 4), "-12.3400/15");
    EXPECT_EQ(fit("-1.5", 4, 1), "-1.5/4");
    EXPECT_EQ(fit("-123.5", 5, 1), "-123.5/5");
    EXPECT_EQ(fit("-99999999999.9999", 15, 4), "-99999999999.9999/15");
    // A zero that carries the sign bit comes out plain.
    Bcd negativeZero = *Bcd::fromString("0.0000");
    negativeZero.signSpecialPlaces |= Bcd::kNegativeBit;
    const auto zero = BcdNormalizer::normalize(negativeZero, 15, 4);
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->toString(), "0.0000");
}

TEST(SqlTextScan, ReadsFirstWordTableAndOrder) {
    EXPECT_EQ(SqlTextScan::firstWord("select * from x"), "SELECT");
    EXPECT_EQ(SqlTextScan::firstWord("execute procedure x"), "EXECUTE");
    EXPECT_EQ(SqlTextScan::tableName("select erro_codigo, 'a from b' from errores where x = 1"),
              "errores");
    EXPECT_EQ(SqlTextScan::tableName("select * from contabil_facturas_contado('2003/09/01')"),
              "contabil_facturas_contado");
    EXPECT_EQ(SqlTextScan::tableName("select 1"), "");
    EXPECT_EQ(SqlTextScan::orderByFields("select * from t order by a desc, \"B\""), "a;\"B\"");
    EXPECT_EQ(SqlTextScan::orderByFields("select * from t where n = 'order by x'"), "");
}

} // namespace
} // namespace db
