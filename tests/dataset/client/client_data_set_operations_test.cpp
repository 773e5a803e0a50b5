// The operations of a client data set the program and its widgets use, with
// their messages, flags, events and data-source notifications, over a real
// company database.

#include "dataset/apply/data_set_provider.h"
#include "platform/short_date.h"
#include "tests/dataset/client/company_data_sets.h"
#include "tests/dataset/client/short_date_locale.h"

#include <functional>
#include <ostream>

namespace dataset::test {
namespace {

using Strings = std::vector<std::string>;

// --- A closed data set ---

struct ClosedCase {
    const char* name;
    std::function<void(ClientDataSet&)> action;
    const char* error;
};

class ClosedDataSet : public CompanyDataSets, public ::testing::WithParamInterface<ClosedCase> {};

TEST_P(ClosedDataSet, RefusesWithItsOwnMessage) {
    ClientDataSet& c = sets_->Cborrar;
    EXPECT_EQ(errorOf([&] { GetParam().action(c); }), GetParam().error);
    EXPECT_FALSE(c.Active());
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ClosedDataSet,
    ::testing::Values(ClosedCase{"RecordCount", [](ClientDataSet& c) { c.RecordCount(); },
                                 "Cborrar: Cannot perform this operation on a closed dataset"},
                      ClosedCase{"First", [](ClientDataSet& c) { c.First(); },
                                 "Cborrar: Cannot perform this operation on a closed dataset"},
                      ClosedCase{"Next", [](ClientDataSet& c) { c.Next(); },
                                 "Cborrar: Cannot perform this operation on a closed dataset"},
                      ClosedCase{"Locate",
                                 [](ClientDataSet& c) { c.Locate("X", std::string("y")); },
                                 "Cborrar: Cannot perform this operation on a closed dataset"},
                      ClosedCase{"Insert", [](ClientDataSet& c) { c.Insert(); },
                                 "Cborrar: Cannot perform this operation on a closed dataset"},
                      ClosedCase{"Delete", [](ClientDataSet& c) { c.Delete(); },
                                 "Cborrar: Cannot perform this operation on a closed dataset"},
                      ClosedCase{"CheckBrowseMode", [](ClientDataSet& c) { c.CheckBrowseMode(); },
                                 "Cborrar: Cannot perform this operation on a closed dataset"},
                      ClosedCase{"Post", [](ClientDataSet& c) { c.Post(); },
                                 "Cborrar: Dataset not in edit or insert mode"},
                      ClosedCase{"FieldByPosition", [](ClientDataSet& c) { c.Fields(0); },
                                 "List index out of bounds (0)"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(CompanyDataSets, ClosedDataSetIsEmptyAndClosingItAgainDoesNothing) {
    ClientDataSet& c = sets_->Cborrar;
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c.ChangeCount(), 0);
    c.close();
    c.Cancel();
    c.setFilter("PTVT_ID = 1");
    c.setFiltered(true);
    EXPECT_EQ(c.Filter(), "PTVT_ID = 1") << "a closed data set only stores the filter";
    EXPECT_TRUE(c.Filtered());
}

// --- Field by position ---

class FieldPosition : public CompanyDataSets, public ::testing::WithParamInterface<int> {};

TEST_P(FieldPosition, OutsideTheListIsOutOfBounds) {
    ClientDataSet& c = openPoints();
    EXPECT_EQ(errorOf([&] { c.Fields(GetParam()); }),
              "List index out of bounds (" + std::to_string(GetParam()) + ")");
}

INSTANTIATE_TEST_SUITE_P(Indexes, FieldPosition, ::testing::Values(-1, 2, 1000));

TEST_F(CompanyDataSets, PersistentFieldsKeepTheirOrderWhateverTheColumnOrder) {
    ClientDataSet& c = sets_->CError;
    c.setCommandText("select 'i' as interfaz, 'v' as erro_cadena, 'd' as erro_codigo "
                     "from rdb$database");
    c.open();
    EXPECT_EQ(c.Fields(0).AsString(), "d");
    EXPECT_EQ(c.Fields(2).AsString(), "i");
    EXPECT_EQ(errorOf([&] { c.Fields(3); }), "List index out of bounds (3)");
}

// --- The end-of-data and beginning-of-data flags ---

TEST_F(CompanyDataSets, FlagsFollowTheMovesOverTheView) {
    ClientDataSet& c = openPoints();
    EXPECT_TRUE(c.Bof());
    EXPECT_FALSE(c.Eof());
    c.Prior();
    EXPECT_TRUE(c.Bof());
    EXPECT_EQ(c.RecNo(), 1);
    c.Next();
    EXPECT_FALSE(c.Bof());
    EXPECT_FALSE(c.Eof());
    c.Last();
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(c.Fields(0).AsInteger(), 5);
    c.First();
    c.MoveBy(10);
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(c.RecNo(), 5) << "moving past the end stays on the last row";
    c.Next();
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(c.Fields(0).AsInteger(), 5);
}

// --- Inserting ---

TEST_F(CompanyDataSets, InsertGoesBeforeTheCurrentRowWithItsEventsInOrder) {
    ClientDataSet& c = openPoints();
    c.setRecNo(3);
    DataSource source("DTest", &sets_->components);
    EventLog log(c, source);
    log.take();
    c.Insert();
    EXPECT_EQ(log.take(), (Strings{"BeforeInsert", "BeforeScroll", "state:insert", "AfterInsert",
                                   "AfterScroll", "data"}));
    EXPECT_EQ(c.RecNo(), 3);
    EXPECT_TRUE(c.Fields(0).IsNull()) << "every field of a new row is null";
    EXPECT_EQ(c.RecordCount(), 5) << "nothing reaches the engine before posting";
    c.Fields(0).setAsInteger(99);
    c.Fields(1).setAsString("Nuevo");
    EXPECT_EQ(log.take(), (Strings{"field:PTVT_ID", "field:PTVT_NOM"}));
    c.Post();
    EXPECT_EQ(log.take(), (Strings{"BeforePost", "state:browse", "data", "AfterPost"}));
    EXPECT_EQ(c.Fields(0).AsInteger(), 99) << "the posted row stays current";
    EXPECT_EQ(c.RecNo(), 3);
    EXPECT_EQ(column(c, "PTVT_ID"), (Strings{"1", "2", "99", "3", "4", "5"}));
    EXPECT_EQ(c.ChangeCount(), 1);
}

TEST_F(CompanyDataSets, ModifiedFlagDecidesWhetherTheBrowseModeCheckPostsOrCancels) {
    for (const bool setInAfterInsert : {true, false}) {
        SCOPED_TRACE(setInAfterInsert ? "set in AfterInsert" : "set in OnNewRecord");
        ClientDataSet& c = openPoints();
        const auto setId = [](ClientDataSet& d) {
            d.Fields(0).setAsInteger(50);
            d.Fields(1).setAsString("x");
        };
        (setInAfterInsert ? c.AfterInsert : c.OnNewRecord) = setId;
        c.Insert();
        EXPECT_EQ(c.Modified(), setInAfterInsert)
            << "the flag is cleared between OnNewRecord and AfterInsert";
        c.First();
        EXPECT_EQ(c.State(), DataSetState::Browse);
        EXPECT_EQ(c.RecordCount(), setInAfterInsert ? 6 : 5);
        EXPECT_EQ(c.ChangeCount(), setInAfterInsert ? 1 : 0);
        c.AfterInsert = nullptr;
        c.OnNewRecord = nullptr;
        c.close();
    }
}

TEST_F(CompanyDataSets, InsertIntoAnEmptyViewIsTheOnlyRow) {
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select ptvt_id, ptvt_nom from punto_venta where ptvt_id < 0");
    c.open();
    c.Insert();
    EXPECT_FALSE(c.IsEmpty()) << "the row being inserted is a row of the view";
    EXPECT_EQ(c.RecNo(), 1);
    c.Fields(0).setAsInteger(7);
    c.Fields(1).setAsString("Siete");
    c.Post();
    EXPECT_EQ(c.RecordCount(), 1);
    EXPECT_EQ(column(c, "PTVT_ID"), (Strings{"7"}));
}

// --- Posting ---

TEST_F(CompanyDataSets, PostOutsideInsertOrEditState) {
    ClientDataSet& c = openPoints();
    EXPECT_EQ(errorOf([&] { c.Post(); }), "Cborrar: Dataset not in edit or insert mode");
    EXPECT_EQ(c.State(), DataSetState::Browse);
}

struct RequiredCase {
    const char* name;
    // Fields of CPuntos given a value before posting.
    Strings given;
    // The field the post complains about, empty when it posts.
    const char* missing;
};

class RequiredCheck : public CompanyDataSets, public ::testing::WithParamInterface<RequiredCase> {};

TEST_P(RequiredCheck, FirstNullRequiredFieldInFieldOrderStopsThePost) {
    ClientDataSet& c = sets_->CPuntos;
    c.open();
    const int rows = c.RecordCount();
    EventLog log(c, sets_->DPuntos);
    c.Insert();
    for (const std::string& name : GetParam().given) {
        c.FieldByName(name).setAsString(name == "PTVT_ID" ? "77" : "01");
    }
    log.take();
    if (std::string(GetParam().missing).empty()) {
        c.Post();
        EXPECT_EQ(c.RecordCount(), rows + 1);
        return;
    }
    EXPECT_EQ(errorOf([&] { c.Post(); }),
              std::string("Field '") + GetParam().missing + "' must have a value");
    EXPECT_EQ(log.events, (Strings{"BeforePost"})) << "checked after BeforePost";
    EXPECT_EQ(log.focused, (Strings{GetParam().missing})) << "its control gets the focus";
    EXPECT_EQ(c.State(), DataSetState::Insert);
    EXPECT_EQ(c.RecordCount(), rows);
    EXPECT_EQ(c.ChangeCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    CPuntos, RequiredCheck,
    ::testing::Values(RequiredCase{"Nothing", {}, "PTVT_ID"},
                      RequiredCase{"OnlyTheId", {"PTVT_ID"}, "BODE_COD"},
                      RequiredCase{"NotTheName", {"PTVT_ID", "BODE_COD", "PTVT_RESP"}, "PTVT_NOM"},
                      RequiredCase{"NotTheFirst", {"BODE_COD", "PTVT_NOM"}, "PTVT_ID"},
                      RequiredCase{"AllRequired", {"PTVT_ID", "BODE_COD", "PTVT_NOM"}, ""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(CompanyDataSets, ReadOnlyRequiredFieldIsNotChecked) {
    ClientDataSet& c = sets_->CPuntos;
    sets_->CPuntosBODE_COD->ReadOnly = true;
    c.open();
    c.Insert();
    sets_->CPuntosPTVT_ID->setAsInteger(78);
    sets_->CPuntosPTVT_NOM->setAsString("Solo nombre");
    c.Post();
    EXPECT_EQ(c.State(), DataSetState::Browse);
    EXPECT_TRUE(sets_->CPuntosBODE_COD->IsNull());
}

TEST_F(CompanyDataSets, EditingAndPostingReplacesTheCurrentRow) {
    ClientDataSet& c = openPoints();
    c.setRecNo(2);
    DataSource source("DTest", &sets_->components);
    EventLog log(c, source);
    log.take();
    c.Fields(1).setAsString("Renombrado");
    EXPECT_EQ(log.take(), (Strings{"BeforeEdit", "state:edit", "AfterEdit", "field:PTVT_NOM"}));
    c.Post();
    EXPECT_EQ(c.RecNo(), 2);
    EXPECT_EQ(c.Fields(1).AsString(), "Renombrado");
    EXPECT_EQ(c.RecordCount(), 5);
    EXPECT_EQ(c.ChangeCount(), 1);
}

// --- Cancelling ---

TEST_F(CompanyDataSets, CancelInBrowseStateDoesNothing) {
    ClientDataSet& c = openPoints();
    c.setRecNo(2);
    DataSource source("DTest", &sets_->components);
    EventLog log(c, source);
    log.take();
    c.Cancel();
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(c.RecNo(), 2);
}

TEST_F(CompanyDataSets, CancelDropsTheRowBeingInsertedAndKeepsPostedRows) {
    ClientDataSet& c = openPoints();
    c.setRecNo(4);
    c.Insert();
    c.Fields(0).setAsInteger(40);
    c.Fields(1).setAsString("Cuarenta");
    c.Post();
    DataSource source("DTest", &sets_->components);
    EventLog log(c, source);
    c.Insert();
    c.Fields(0).setAsInteger(41);
    log.take();
    c.Cancel();
    EXPECT_EQ(log.take(), (Strings{"BeforeCancel", "BeforeScroll", "state:browse", "data",
                                   "AfterCancel", "AfterScroll"}));
    EXPECT_EQ(c.Fields(0).AsInteger(), 40) << "the row that was current is current again";
    EXPECT_EQ(c.ChangeCount(), 1);
    EXPECT_EQ(column(c, "PTVT_ID"), (Strings{"1", "2", "3", "40", "4", "5"}));
}

TEST_F(CompanyDataSets, CancelDiscardsEditsWithoutScrolling) {
    ClientDataSet& c = openPoints();
    c.setRecNo(2);
    const std::string name = c.Fields(1).AsString();
    DataSource source("DTest", &sets_->components);
    EventLog log(c, source);
    c.Fields(1).setAsString("Cambiado");
    log.take();
    c.Cancel();
    EXPECT_EQ(log.take(), (Strings{"BeforeCancel", "state:browse", "data", "AfterCancel"}));
    EXPECT_EQ(c.Fields(1).AsString(), name);
    EXPECT_EQ(c.ChangeCount(), 0);
}

// --- Deleting ---

struct DeleteCase {
    const char* name;
    // 1-based row of Cborrar's points made current before deleting.
    int row;
    Strings left;
    // The id current afterwards.
    int current;
};

class DeleteRow : public CompanyDataSets, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteRow, NextRowBecomesCurrentElseThePreviousOne) {
    ClientDataSet& c = openPoints();
    c.setRecNo(GetParam().row);
    DataSource source("DTest", &sets_->components);
    EventLog log(c, source);
    log.take();
    c.Delete();
    EXPECT_EQ(log.take(),
              (Strings{"BeforeDelete", "BeforeScroll", "data", "AfterDelete", "AfterScroll"}));
    EXPECT_FALSE(c.Bof());
    EXPECT_FALSE(c.Eof());
    EXPECT_EQ(c.Fields(0).AsInteger(), GetParam().current);
    EXPECT_EQ(c.ChangeCount(), 1);
    EXPECT_EQ(column(c, "PTVT_ID"), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Positions, DeleteRow,
                         ::testing::Values(DeleteCase{"First", 1, {"2", "3", "4", "5"}, 2},
                                           DeleteCase{"Middle", 3, {"1", "2", "4", "5"}, 4},
                                           DeleteCase{"Last", 5, {"1", "2", "3", "4"}, 4}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(CompanyDataSets, DeletingTheLastRowOfTheViewSetsBothFlags) {
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select ptvt_id from punto_venta where ptvt_id = 3");
    c.open();
    c.Delete();
    EXPECT_TRUE(c.Bof());
    EXPECT_TRUE(c.Eof());
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c.Fields(0).AsString(), "");
    EXPECT_EQ(errorOf([&] { c.Delete(); }),
              "Cborrar: Cannot perform this operation on an empty dataset");
}

TEST_F(CompanyDataSets, DeleteInInsertStateOnlyCancels) {
    ClientDataSet& c = openPoints();
    c.setRecNo(2);
    c.Insert();
    c.Fields(0).setAsInteger(20);
    c.Delete();
    EXPECT_EQ(c.State(), DataSetState::Browse);
    EXPECT_EQ(c.RecordCount(), 5);
    EXPECT_EQ(c.ChangeCount(), 0);
    EXPECT_EQ(c.Fields(0).AsInteger(), 2);
}

TEST_F(CompanyDataSets, DeleteInEditStateDeletesTheRowWithItsOriginalValues) {
    ClientDataSet& c = openPoints();
    c.setRecNo(2);
    const std::string name = c.Fields(1).AsString();
    c.Fields(1).setAsString("Editado");
    c.Delete();
    EXPECT_EQ(c.State(), DataSetState::Browse);
    EXPECT_EQ(column(c, "PTVT_ID"), (Strings{"1", "3", "4", "5"}));
    EXPECT_EQ(c.ChangeCount(), 1);
    const std::vector<std::uint8_t> delta = c.delta();
    const std::string bytes(delta.begin(), delta.end());
    EXPECT_NE(bytes.find(name), std::string::npos) << "the log keeps the row as it was";
    EXPECT_EQ(bytes.find("Editado"), std::string::npos);
}

TEST_F(CompanyDataSets, DeleteLoopOnAFilteredViewRemovesOnlyItsRows) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    const int all = c.RecordCount();
    c.First();
    c.setFilter("AJCI_FECINI = '" + sets_->CAjusteAJCI_FECINI->AsString() + "'");
    c.setFiltered(true);
    const int ofTheDay = c.RecordCount();
    ASSERT_GT(ofTheDay, 0);
    ASSERT_LT(ofTheDay, all);
    while (!c.Eof()) {
        c.Delete();
    }
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c.ChangeCount(), ofTheDay);
    c.setFiltered(false);
    EXPECT_EQ(c.RecordCount(), all - ofTheDay);
}

// --- A row that leaves the filtered view ---

TEST_F(CompanyDataSets, APostedRowOutsideTheFilterGivesWayToTheNextRowElseThePrevious) {
    ClientDataSet& c = openPoints();
    c.setFilter("PTVT_ID < 4");
    c.setFiltered(true);
    c.setRecNo(2);
    c.Fields(0).setAsInteger(9);
    c.Post();
    EXPECT_EQ(c.Fields(0).AsInteger(), 3) << "the next row of the view";
    EXPECT_EQ(c.RecNo(), 2);
    EXPECT_FALSE(c.Bof());
    EXPECT_FALSE(c.Eof());
    EXPECT_EQ(c.MoveBy(-1), -1);
    EXPECT_EQ(c.Fields(0).AsInteger(), 1);

    c.Last();
    c.Fields(0).setAsInteger(8);
    c.Post();
    EXPECT_EQ(c.Fields(0).AsInteger(), 1) << "no row after it: the previous one";
    EXPECT_EQ(c.RecNo(), 1);
    EXPECT_EQ(c.MoveBy(1), 0);
    EXPECT_TRUE(c.Eof());

    c.Fields(0).setAsInteger(7);
    c.Post();
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_TRUE(c.Bof());
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(c.RecNo(), 0);
    EXPECT_EQ(errorOf([&] { c.Delete(); }),
              "Cborrar: Cannot perform this operation on an empty dataset");
    EXPECT_EQ(c.ChangeCount(), 3);
    c.setFiltered(false);
    EXPECT_EQ(column(c, "PTVT_ID"), (Strings{"7", "9", "8", "4", "5"}));
}

// A row inserted in the day's adjustments and posted without a date leaves
// the view; cancelling and deleting then act on the row still seen.
TEST_F(CompanyDataSets, AfterAnInsertedRowLeftTheViewCancelAndDeleteActOnTheRowSeen) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    c.setFilter("AJCI_FECINI = '" + sets_->CAjusteAJCI_FECINI->AsString() + "'");
    c.setFiltered(true);
    const Strings day = column(c, "AJCI_PORC");
    ASSERT_EQ(day.size(), 3u);
    c.setRecNo(2);
    c.Insert();
    sets_->CAjusteAJCI_ID->setAsInteger(0);
    sets_->CAjusteAJCI_PORC->setAsInteger(8);
    c.Post();
    EXPECT_EQ(c.RecNo(), 2);
    EXPECT_EQ(sets_->CAjusteAJCI_PORC->AsString(), day[1]) << "the row it went before";

    c.Insert();
    c.Cancel();
    EXPECT_EQ(c.RecNo(), 2);
    sets_->CAjusteAJCI_FACTOR->setAsInteger(3);
    c.Cancel();
    EXPECT_EQ(c.RecNo(), 2);
    EXPECT_EQ(sets_->CAjusteAJCI_PORC->AsString(), day[1]);

    c.Delete();
    EXPECT_EQ(column(c, "AJCI_PORC"), (Strings{day[0], day[2]}));
    EXPECT_EQ(c.ChangeCount(), 2);
    c.setFiltered(false);
    EXPECT_TRUE(c.Locate("AJCI_PORC", db::Bcd::fromScaled(80000, 4)));
    EXPECT_TRUE(sets_->CAjusteAJCI_FECINI->IsNull());
}

// --- Filtering an open data set ---

TEST_F(CompanyDataSets, NumbersInFiltersAndLocatesUseTheUsersDecimalSeparator) {
    const ShortDateLocale locale("%d/%m/%Y", ',');
    ASSERT_TRUE(locale.ready()) << "localedef could not build a locale";
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    c.setFilter("AJCI_PORC > 4,5 AND AJCI_FACTOR = 0,8");
    c.setFiltered(true);
    const Strings rates = column(c, "AJCI_PORC");
    EXPECT_FALSE(rates.empty());
    for (const std::string& rate : rates) {
        EXPECT_TRUE(rate == "16" || rate == "5") << rate;
    }
    EXPECT_TRUE(c.Locate("AJCI_FACTOR", db::Bcd::fromScaled(8000, 4)));
    EXPECT_FALSE(c.Locate("AJCI_FACTOR", db::Bcd::fromScaled(8500, 4)));
}

TEST_F(CompanyDataSets, SettingTheFilterAgainStillMovesToTheFirstRow) {
    ClientDataSet& c = openPoints();
    c.setFilter("PTVT_ID > 1");
    c.setFiltered(true);
    EXPECT_EQ(c.RecordCount(), 4);
    EXPECT_EQ(c.Fields(0).AsInteger(), 2);
    c.Last();
    c.setFilter("PTVT_ID > 1");
    EXPECT_EQ(c.Fields(0).AsInteger(), 2) << "the same text";
    c.Last();
    c.setFiltered(true);
    EXPECT_EQ(c.Fields(0).AsInteger(), 2) << "the same value";
    EXPECT_TRUE(c.Bof());
    c.setFilter("PTVT_ID >= 4");
    EXPECT_EQ(column(c, "PTVT_ID"), (Strings{"4", "5"}));
    c.setFiltered(false);
    EXPECT_EQ(c.RecordCount(), 5);
    EXPECT_EQ(c.Fields(0).AsInteger(), 1);
}

TEST_F(CompanyDataSets, FilteringNotifiesAndPostsTheRowBeingEdited) {
    ClientDataSet& c = openPoints();
    DataSource source("DTest", &sets_->components);
    EventLog log(c, source);
    c.setRecNo(5);
    c.Fields(1).setAsString("Editado");
    log.take();
    c.setFilter("PTVT_ID < 3");
    c.setFiltered(true);
    EXPECT_EQ(c.ChangeCount(), 1) << "the browse-mode check posted the edit";
    EXPECT_EQ(c.State(), DataSetState::Browse);
    EXPECT_EQ(c.Fields(0).AsInteger(), 1);
    const Strings events = log.take();
    EXPECT_NE(std::find(events.begin(), events.end(), "data"), events.end());
}

TEST_F(CompanyDataSets, FilterOnADayWithNoRowsLeavesAnEmptyView) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    const int before = c.ChangeCount();
    c.setFilter("[AJCI_FECINI] = '" + platform::dateToShortText({1990, 6, 15}) + "'");
    c.setFiltered(true);
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_TRUE(c.Eof());
    while (!c.Eof()) {
        c.Delete();
    }
    EXPECT_EQ(c.ChangeCount(), before);
}

class InvalidFilterDate : public CompanyDataSets,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(InvalidFilterDate, FailsWhenCompiledOnAnOpenDataSet) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    const std::string installed =
        "AJCI_FECINI = '" + platform::dateToShortText({1990, 6, 15}) + "'";
    c.setFilter(installed);
    c.setFiltered(true);
    ASSERT_TRUE(c.IsEmpty());
    const std::string text = GetParam();
    EXPECT_EQ(errorOf([&] { c.setFilter("AJCI_FECINI = '" + text + "'"); }),
              "'" + text + "' is not a valid date");
    EXPECT_EQ(c.Filter(), installed) << "the installed filter stays";
    EXPECT_TRUE(c.IsEmpty());
}

TEST_P(InvalidFilterDate, FailsWhenCompiledOnOpeningAndLeavesTheDataSetClosed) {
    ClientDataSet& c = sets_->CAjuste;
    const std::string text = GetParam();
    c.setFilter("AJCI_FECINI = '" + text + "'");
    c.setFiltered(true);
    EXPECT_EQ(errorOf([&] { c.open(); }), "'" + text + "' is not a valid date");
    EXPECT_FALSE(c.Active());
    c.setFiltered(false);
    c.open();
    EXPECT_GT(c.RecordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidFilterDate,
                         ::testing::Values("hoy", "2020-13-01", "2021-02-29", "2020-04-31",
                                           "2020-1-1x", ""));

// --- Edits the packet forbids ---

struct ForbiddenCase {
    const char* name;
    ProviderOption option;
    std::function<void(ClientDataSet&)> action;
    const char* error;
    // Events fired before the refusal.
    Strings events;
};

void PrintTo(const ForbiddenCase& f, std::ostream* os) {
    *os << f.name;
}

std::vector<ForbiddenCase> forbiddenCases() {
    return {{"Insert",
             ProviderOption::DisableInserts,
             [](ClientDataSet& c) { c.Insert(); },
             "CGuarded: Inserts are not allowed",
             {}},
            {"Edit",
             ProviderOption::DisableEdits,
             [](ClientDataSet& c) { c.Fields(1).setAsString("Otro"); },
             "CGuarded: Modifications are not allowed",
             {}},
            {"Delete",
             ProviderOption::DisableDeletes,
             [](ClientDataSet& c) { c.Delete(); },
             "CGuarded: Deletes are not allowed",
             {"BeforeDelete", "BeforeScroll"}}};
}

class ForbiddenEdit : public CompanyDataSets,
                      public ::testing::WithParamInterface<ForbiddenCase> {};

TEST_P(ForbiddenEdit, IsRefusedLocallyAndOtherEditsStillWork) {
    DataSetProvider provider("PGuarded", &sets_->components);
    provider.setDataSet(commands_.SQLQuery1.get());
    provider.Options = ProviderOptions(ProviderOption::AllowCommandText) + GetParam().option;
    ClientDataSet c("CGuarded", &sets_->components);
    c.ProviderName = "PGuarded";
    c.setCommandText("select ptvt_id, ptvt_nom from punto_venta order by ptvt_id");
    c.open();
    c.setRecNo(2);
    DataSource source("DGuarded", &sets_->components);
    EventLog log(c, source);
    log.take();
    EXPECT_EQ(errorOf([&] { GetParam().action(c); }), GetParam().error);
    EXPECT_EQ(log.take(), GetParam().events);
    EXPECT_EQ(c.State(), DataSetState::Browse);
    EXPECT_EQ(c.RecordCount(), 5);
    EXPECT_EQ(c.ChangeCount(), 0);
    EXPECT_EQ(c.RecNo(), 2);
    for (const ForbiddenCase& other : forbiddenCases()) {
        if (other.option != GetParam().option) {
            EXPECT_EQ(errorOf([&] {
                          other.action(c);
                          c.Cancel();
                      }),
                      "<no error>")
                << other.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Options, ForbiddenEdit, ::testing::ValuesIn(forbiddenCases()),
                         [](const auto& param) { return std::string(param.param.name); });

// --- Locating ---

TEST_F(CompanyDataSets, LocateFiresBeforeScrollAlwaysAndAfterScrollOnAHit) {
    ClientDataSet& c = sets_->CPuntos;
    c.open();
    EventLog log(c, sets_->DPuntos);
    log.take();
    EXPECT_FALSE(c.Locate("PTVT_NOM", std::string("Ninguno")));
    EXPECT_EQ(log.take(), (Strings{"BeforeScroll"}));
    EXPECT_TRUE(c.Locate("PTVT_NOM", std::string("Tienda D'\xc3\x81ngelo")))
        << "an inner quote is doubled in the expression";
    EXPECT_EQ(log.take(), (Strings{"BeforeScroll", "AfterScroll", "moved"}));
    EXPECT_EQ(sets_->CPuntosPTVT_ID->AsInteger(), 3);
    EXPECT_FALSE(c.Bof());
    EXPECT_FALSE(c.Eof());
}

TEST_F(CompanyDataSets, LocateWithPartialKeyMatchesAPrefix) {
    ClientDataSet& c = sets_->CPuntos;
    c.open();
    EXPECT_FALSE(c.Locate("PTVT_NOM", std::string("Sucursal")));
    EXPECT_TRUE(c.Locate("PTVT_NOM", std::string("Sucursal"),
                         static_cast<LocateOptions>(LocateOption::PartialKey)));
    EXPECT_EQ(sets_->CPuntosPTVT_ID->AsInteger(), 2);
    EXPECT_TRUE(c.Locate("PTVT_ID", std::int64_t{4}));
    EXPECT_EQ(sets_->CPuntosPTVT_NOM->AsString(), "Punto M\xc3\xb3vil Feria de las Flores");
    EXPECT_TRUE(c.Locate("PTVT_RESP", Value{}) == false) << "no point lacks a manager";
}

TEST_F(CompanyDataSets, LocateInAnEmptyViewMissesWithoutError) {
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select ptvt_nom from punto_venta where ptvt_id < 0");
    c.open();
    EXPECT_FALSE(c.Locate("PTVT_NOM", std::string("x")));
    EXPECT_TRUE(c.Eof());
}

TEST_F(CompanyDataSets, LocateOnABlobFieldIsAnUnsupportedType) {
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select cast('x' as blob sub_type 0) as b, cast('y' as blob sub_type text) "
                     "as m from rdb$database");
    c.open();
    for (const char* name : {"B", "M"}) {
        EXPECT_EQ(errorOf([&] { c.Locate(name, std::string("x")); }),
                  std::string("Field '") + name + "' is of an unsupported type");
    }
}

TEST_F(CompanyDataSets, LocatePostsTheRowBeingInsertedFirst) {
    ClientDataSet& c = openPoints();
    c.Insert();
    c.Fields(0).setAsInteger(60);
    c.Fields(1).setAsString("Recien llegado");
    EXPECT_TRUE(c.Locate("PTVT_NOM", std::string("Recien llegado")));
    EXPECT_EQ(c.State(), DataSetState::Browse);
    EXPECT_EQ(c.ChangeCount(), 1);
    EXPECT_EQ(c.Fields(0).AsInteger(), 60);
}

// --- Opening and closing ---

TEST_F(CompanyDataSets, OpenAndCloseNotifyAndReleaseTheSharedQuery) {
    ClientDataSet& c = sets_->CError;
    c.setCommandText("select erro_codigo, erro_cadena, 'Ventas' as interfaz from errores");
    EventLog log(c, sets_->DError);
    log.take();
    c.open();
    EXPECT_FALSE(commands_.SQLQuery1->active());
    c.Insert();
    c.close();
    EXPECT_EQ(log.take(), (Strings{"opened", "BeforeInsert", "BeforeScroll", "state:insert",
                                   "AfterInsert", "AfterScroll", "data", "closed"}))
        << "closing drops the row being inserted without posting";
    EXPECT_EQ(c.State(), DataSetState::Inactive);
    EXPECT_EQ(c.ChangeCount(), 0);
}

TEST_F(CompanyDataSets, CommandTextSetOnAnOpenDataSetWaitsForTheNextOpening) {
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select 1 as n from rdb$database");
    c.open();
    c.setCommandText("select 2 as n from rdb$database");
    EXPECT_EQ(c.Fields(0).AsInteger(), 1);
    c.close();
    c.open();
    EXPECT_EQ(c.Fields(0).AsInteger(), 2);
}

} // namespace
} // namespace dataset::test
