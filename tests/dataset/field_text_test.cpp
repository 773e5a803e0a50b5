// Field values as text, display text and integer, null rules included, for
// the column types a company database hands to a data set.

#include "tests/dataset/company_data_sets.h"

namespace dataset::test {
namespace {

struct TextCase {
    const char* name;
    // One column "V" of Cborrar's command.
    const char* select;
    FieldType type;
    const char* asString;
    const char* displayText;
    // The integer, or empty when reading one must fail with integerError.
    std::optional<std::int64_t> asInteger;
    const char* integerError = "";
};

void PrintTo(const TextCase& t, std::ostream* os) {
    *os << t.name;
}

class FieldText : public CompanyDataSets, public ::testing::WithParamInterface<TextCase> {};

TEST_P(FieldText, ReadsAsTextDisplayTextAndInteger) {
    const TextCase& t = GetParam();
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText(std::string("select ") + t.select + " as v from rdb$database");
    c.open();
    Field& v = c.Fields(0);
    EXPECT_EQ(v.DataType(), t.type);
    EXPECT_EQ(v.AsString(), t.asString);
    EXPECT_EQ(v.DisplayText(), t.displayText);
    EXPECT_EQ(c.displayTextAt(0, 0), t.displayText) << "the grid's way reads the same";
    if (t.asInteger) {
        EXPECT_EQ(v.AsInteger(), *t.asInteger);
    } else {
        EXPECT_EQ(errorOf([&] { v.AsInteger(); }), t.integerError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Columns, FieldText,
    ::testing::Values(
        TextCase{"NullInteger", "cast(null as integer)", FieldType::Integer, "", "", 0},
        TextCase{"NullSmallInt", "cast(null as smallint)", FieldType::SmallInt, "", "", 0},
        TextCase{"NullBigInt", "cast(null as bigint)", FieldType::LargeInt, "", "", 0},
        TextCase{"NullVarchar", "cast(null as varchar(10))", FieldType::String, "", "", 0},
        TextCase{"NullChar", "cast(null as char(3))", FieldType::FixedChar, "", "", 0},
        TextCase{"NullDate", "cast(null as date)", FieldType::Date, "", "", 0},
        TextCase{"NullDecimal", "cast(null as numeric(15,4))", FieldType::FMTBcd, "", "", 0},
        TextCase{"Integer", "cast(-42 as integer)", FieldType::Integer, "-42", "-42", -42},
        TextCase{"BigInt", "cast(9000000000 as bigint)", FieldType::LargeInt, "9000000000",
                 "9000000000", 9000000000},
        TextCase{"DigitsAsText", "cast('123' as varchar(5))", FieldType::String, "123", "123", 123},
        TextCase{"WordAsText", "cast('abc' as varchar(5))", FieldType::String, "abc", "abc",
                 std::nullopt, "'abc' is not a valid integer value"},
        TextCase{"EmptyText", "cast('' as varchar(5))", FieldType::String, "", "", std::nullopt,
                 "'' is not a valid integer value"},
        TextCase{"WholeDecimal", "cast(16 as numeric(15,4))", FieldType::FMTBcd, "16", "16", 16},
        TextCase{"NegativeWholeDecimal", "cast(-3 as numeric(15,4))", FieldType::FMTBcd, "-3", "-3",
                 -3},
        TextCase{"FractionalDecimal", "cast(0.8 as numeric(15,4))", FieldType::FMTBcd, "0.8", "0.8",
                 std::nullopt, "'0.8' is not a valid integer value"},
        TextCase{"Date", "cast('2024-03-05' as date)", FieldType::Date, "2024-03-05", "2024-03-05",
                 std::nullopt, "'2024-03-05' is not a valid integer value"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(CompanyDataSets, NullErrOfThePostingResultReadsAsZeroAndEmptyText) {
    ClientDataSet& c = sets_->CRepArticulos;
    c.setCommandText("select cast(null as char(1)) as ver, cast(null as integer) as idc, "
                     "cast(null as integer) as err from rdb$database");
    c.open();
    for (Field* field :
         {sets_->CRepArticulosVER, sets_->CRepArticulosIDC, sets_->CRepArticulosERR}) {
        SCOPED_TRACE(field->FieldName());
        EXPECT_TRUE(field->IsNull());
        EXPECT_EQ(field->AsString(), "");
        EXPECT_EQ(field->DisplayText(), "");
        EXPECT_EQ(field->AsInteger(), 0);
    }
}

TEST_F(CompanyDataSets, DisplayNameIsTheLabelElseTheFieldName) {
    EXPECT_EQ(sets_->CAjusteAJCI_PORC->displayName(), "Porc");
    EXPECT_EQ(sets_->CAjusteAJCI_ID->displayName(), "AJCI_ID");
    EXPECT_EQ(sets_->CErrorERRO_CADENA->displayName(), "Valor");
    EXPECT_TRUE(sets_->CRepArticulosVER->FixedChar());
    EXPECT_FALSE(sets_->CPuntosPTVT_NOM->FixedChar());
}

TEST_F(CompanyDataSets, ExactDecimalsRoundTripThroughTheRowBuffer) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    c.Insert();
    sets_->CAjusteAJCI_ID->setAsInteger(0);
    sets_->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(160000, 4));
    sets_->CAjusteAJCI_FACTOR->setAsBcd(db::Bcd::fromScaled(8000, 4));
    c.Post();
    EXPECT_EQ(sets_->CAjusteAJCI_PORC->AsString(), "16");
    EXPECT_EQ(sets_->CAjusteAJCI_FACTOR->AsString(), "0.8");
    EXPECT_EQ(sets_->CAjusteAJCI_FACTOR->AsBcd().toScaled(), 8000);
    EXPECT_EQ(sets_->CAjusteAJCI_FECINI->DisplayText(), "");
}

} // namespace
} // namespace dataset::test
