// Field values as text, display text and integer, null rules included, for
// the column types a company database hands to a data set; dates, times and
// time stamps as text in the user's short date format.

#include "platform/short_date.h"
#include "tests/dataset/client/company_data_sets.h"
#include "tests/dataset/client/short_date_locale.h"

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
                 std::nullopt, "'0.8' is not a valid integer value"}),
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

// --- Dates, times and time stamps as text ---

// A user's short date format and texts of days written in it.
struct DateLocale {
    const char* name;
    const char* format;
    // 2024-03-05 as the format writes it.
    const char* fifthOfMarch;
    // Digits that the other order of day and month reads as another day.
    const char* ambiguous;
    db::SQLDate ambiguousDay;
    // March 25th written in the other order: no day at all here.
    const char* otherOrder;
};

void PrintTo(const DateLocale& l, std::ostream* os) {
    *os << l.name;
}

class DateText : public CompanyDataSets, public ::testing::WithParamInterface<DateLocale> {
protected:
    void SetUp() override {
        locale_ = std::make_unique<ShortDateLocale>(GetParam().format);
        ASSERT_TRUE(locale_->ready()) << "localedef could not build a locale";
        ASSERT_EQ(platform::shortDateFormat(), GetParam().format);
        CompanyDataSets::SetUp();
    }
    void TearDown() override {
        CompanyDataSets::TearDown();
        locale_.reset();
    }

    std::unique_ptr<ShortDateLocale> locale_;
};

TEST_P(DateText, ReadsInTheShortDateFormatAlikeAsTextDisplayTextAndGridText) {
    const std::string day = GetParam().fifthOfMarch;
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select cast('2024-03-05' as date) as d, "
                     "cast('2024-03-05 13:05:09.25' as timestamp) as s, "
                     "cast('07:30:00' as time) as t, cast(null as date) as n, "
                     "cast(null as timestamp) as ns from rdb$database");
    c.open();
    const struct {
        FieldType type;
        std::string text;
    } columns[] = {{FieldType::Date, day},
                   {FieldType::TimeStamp, day + " 13:05:09"},
                   {FieldType::Time, "07:30:00"},
                   {FieldType::Date, ""},
                   {FieldType::TimeStamp, ""}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(c.Fields(i).FieldName());
        EXPECT_EQ(c.Fields(i).DataType(), columns[i].type);
        EXPECT_EQ(c.Fields(i).AsString(), columns[i].text);
        EXPECT_EQ(c.Fields(i).DisplayText(), columns[i].text);
        EXPECT_EQ(c.displayTextAt(0, i), columns[i].text);
    }
}

TEST_P(DateText, TypedDatesAreReadInTheShortDateFormatAndRoundTrip) {
    const DateLocale& p = GetParam();
    ClientDataSet& c = sets_->CAjuste;
    Field& from = *sets_->CAjusteAJCI_FECINI;
    Field& to = *sets_->CAjusteAJCI_FECFIN;
    c.open();
    c.Insert();
    sets_->CAjusteAJCI_ID->setAsInteger(0);
    from.setAsString(p.fifthOfMarch);
    to.setAsString(p.ambiguous);
    EXPECT_EQ(from.AsDate(), (db::SQLDate{2024, 3, 5}));
    EXPECT_EQ(to.AsDate(), p.ambiguousDay);
    c.Post();
    EXPECT_EQ(from.AsString(), p.fifthOfMarch);
    EXPECT_EQ(to.DisplayText(), p.ambiguous);

    // Whatever day a field writes, it reads back as that day.
    for (const db::SQLDate day : {db::SQLDate{1, 1, 1}, db::SQLDate{2024, 2, 29},
                                  db::SQLDate{1999, 12, 31}, db::SQLDate{9999, 12, 31}}) {
        from.setAsDate(day);
        const std::string text = from.AsString();
        from.Clear();
        from.setAsString(text);
        EXPECT_EQ(from.AsDate(), day) << text;
    }
    c.Cancel();
}

TEST_P(DateText, TextThatIsNoDayInTheFormatIsRefusedAndTheRowStays) {
    const DateLocale& p = GetParam();
    ClientDataSet& c = sets_->CAjuste;
    Field& from = *sets_->CAjusteAJCI_FECINI;
    c.open();
    const db::SQLDate stored = from.AsDate();
    const int changes = c.ChangeCount();
    const std::vector<std::string> refused = {p.otherOrder,
                                              "2024-03-05",
                                              "29/02/2023",
                                              "02/29/2023",
                                              "5/3/224",
                                              "hoy",
                                              std::string(p.fifthOfMarch) + " ",
                                              " "};
    for (const std::string& text : refused) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorOf([&] { from.setAsString(text); }), "'" + text + "' is not a valid date");
        EXPECT_EQ(c.State(), DataSetState::Browse) << "a browsing row is not put into edit";
        EXPECT_EQ(from.AsDate(), stored);
    }

    c.Insert();
    sets_->CAjusteAJCI_ID->setAsInteger(0);
    from.setAsString(p.fifthOfMarch);
    EXPECT_EQ(errorOf([&] { from.setAsString(p.otherOrder); }),
              std::string("'") + p.otherOrder + "' is not a valid date");
    EXPECT_EQ(c.State(), DataSetState::Insert);
    EXPECT_EQ(from.AsString(), p.fifthOfMarch) << "the row being inserted keeps its day";
    // Typed with a two-digit year, the day reads the same.
    std::string typed = p.fifthOfMarch;
    typed.replace(typed.find("2024"), 4, "24");
    from.setAsString("");
    from.setAsString(typed);
    EXPECT_EQ(from.AsDate(), (db::SQLDate{2024, 3, 5})) << typed;
    c.Cancel();
    EXPECT_EQ(c.ChangeCount(), changes);
}

TEST_P(DateText, EmptyTextSetsNullAndNullReadsAsEmptyText) {
    ClientDataSet& c = sets_->CAjuste;
    Field& to = *sets_->CAjusteAJCI_FECFIN;
    c.open();
    ASSERT_FALSE(to.IsNull());
    to.setAsString("");
    EXPECT_EQ(c.State(), DataSetState::Edit);
    EXPECT_TRUE(to.IsNull());
    c.Post();
    EXPECT_TRUE(to.IsNull());
    EXPECT_EQ(to.AsString(), "");
    EXPECT_EQ(to.DisplayText(), "");
}

TEST_P(DateText, TimeStampsAndTimesAreTypedWithTheShortDate) {
    const std::string day = GetParam().fifthOfMarch;
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select cast(null as timestamp) as s, cast(null as time) as t "
                     "from rdb$database");
    c.open();
    Field& stamp = c.Fields(0);
    Field& time = c.Fields(1);
    stamp.setAsString(day + " 08:15:30");
    EXPECT_EQ(std::get<db::SQLTimeStamp>(stamp.value()),
              (db::SQLTimeStamp{2024, 3, 5, 8, 15, 30, 0}));
    EXPECT_EQ(stamp.AsString(), day + " 08:15:30");
    stamp.setAsString(day);
    EXPECT_EQ(std::get<db::SQLTimeStamp>(stamp.value()), (db::SQLTimeStamp{2024, 3, 5, 0, 0, 0, 0}))
        << "a day alone is its midnight";
    // The fraction counts tenths of a millisecond; its digits are the first
    // of the milliseconds.
    for (const auto& [text, fraction] : {std::pair{"7:30:00.5", 5000}, std::pair{"7:30:00.05", 500},
                                         std::pair{"7:30:00.123", 1230}}) {
        time.setAsString(text);
        EXPECT_EQ(std::get<db::SQLTime>(time.value()), (db::SQLTime{7, 30, 0, fraction})) << text;
    }
    time.setAsString("7:30");
    EXPECT_EQ(std::get<db::SQLTime>(time.value()), (db::SQLTime{7, 30, 0, 0}));
    EXPECT_EQ(time.AsString(), "07:30:00");

    for (const std::string& text :
         {std::string("2024-03-05 08:15"), day + " 25:00", day + "08:15", std::string("08:15")}) {
        EXPECT_EQ(errorOf([&] { stamp.setAsString(text); }),
                  "'" + text + "' is not a valid date and time");
    }
    EXPECT_EQ(errorOf([&] { time.setAsString("7h30"); }), "'7h30' is not a valid time");
    EXPECT_EQ(stamp.AsString(), day + " 00:00:00");
    EXPECT_EQ(time.AsString(), "07:30:00");
}

// Filters and locates read a quoted day with the same format.
TEST_P(DateText, FiltersAndLocateReadTheDayAsItsFieldWritesIt) {
    ClientDataSet& c = sets_->CAjuste;
    Field& from = *sets_->CAjusteAJCI_FECINI;
    c.open();
    const int all = c.RecordCount();
    c.setRecNo(all);
    const db::SQLDate last = from.AsDate();
    c.First();
    ASSERT_NE(from.AsDate(), last);
    ASSERT_TRUE(c.Locate("AJCI_FECINI", Value(last)));
    EXPECT_EQ(from.AsDate(), last);

    c.setFilter("AJCI_FECINI = '" + from.AsString() + "'");
    c.setFiltered(true);
    ASSERT_GT(c.RecordCount(), 0);
    ASSERT_LT(c.RecordCount(), all);
    for (c.First(); !c.Eof(); c.Next()) {
        EXPECT_EQ(from.AsDate(), last);
    }
    // A day the format writes with blanks of its own.
    EXPECT_EQ(errorOf([&] {
                  c.setFilter(std::string("AJCI_FECINI = '") + GetParam().fifthOfMarch + "'");
              }),
              "<no error>");
}

INSTANTIATE_TEST_SUITE_P(
    Locales, DateText,
    ::testing::Values(
        DateLocale{"DayFirst", "%d/%m/%y", "05/03/2024", "12/01/2024", {2024, 1, 12}, "03/25/2024"},
        DateLocale{
            "MonthFirst", "%m/%d/%Y", "03/05/2024", "12/01/2024", {2024, 12, 1}, "25/03/2024"},
        DateLocale{"Dotted", "%d.%m.%Y", "05.03.2024", "12.01.2024", {2024, 1, 12}, "03.25.2024"},
        // Formats that hold blanks of their own.
        DateLocale{
            "BlankPadded", "%e.%m.%Y", " 5.03.2024", "12.01.2024", {2024, 1, 12}, "03.25.2024"},
        DateLocale{
            "Spaced", "%d. %m. %Y", "05. 03. 2024", "12. 01. 2024", {2024, 1, 12}, "03. 25. 2024"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace dataset::test
