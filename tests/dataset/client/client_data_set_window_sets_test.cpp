// The window's client data sets over a real company database.

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"
#include "dataset/client/client_data_set.h"
#include "db/sql_connection.h"
#include "platform/short_date.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"

#include <gtest/gtest.h>
#include <utility>

namespace dataset {
namespace {

using db::test::errorOf;

class ClientDataSetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database_ = db::test::createCompany("client_data_set_window_sets_test");
    }

    void SetUp() override {
        ASSERT_FALSE(database_.empty()) << "the company database could not be created";
        connection_ = db::test::programConnection(database_);
        commands_ = app::WindowCommands::create(*connection_);
        sets_ = std::make_unique<app::WindowDataSets>(commands_);
    }

    void TearDown() override { sets_.reset(); }

    std::vector<std::string> names(ClientDataSet& dataSet, const char* column) {
        std::vector<std::string> result;
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
            result.push_back(dataSet.FieldByName(column).AsString());
        }
        return result;
    }

    static std::string database_;
    std::unique_ptr<db::SQLConnection> connection_;
    app::WindowCommands commands_;
    std::unique_ptr<app::WindowDataSets> sets_;
};

std::string ClientDataSetTest::database_;

TEST_F(ClientDataSetTest, CborrarOverACommandWithNoRow) {
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select ptvt_id, ptvt_nom from punto_venta where ptvt_id < 0");
    c.open();
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c.RecordCount(), 0);
    EXPECT_TRUE(c.Eof());
    ASSERT_EQ(c.fieldCount(), 2);
    EXPECT_EQ(c.Fields(1).FieldName(), "PTVT_NOM");
    EXPECT_EQ(c.Fields(1).AsString(), "");
    EXPECT_EQ(errorOf([&] { c.Fields(2); }), "List index out of bounds (2)");
    c.close();
    EXPECT_EQ(c.fieldCount(), 0) << "created fields go with the closing";
    EXPECT_FALSE(commands_.SQLQuery1->active());
}

TEST_F(ClientDataSetTest, NullIntegerReadsAsZeroAndEmptyText) {
    ClientDataSet& c = sets_->CRepArticulos;
    c.setCommandText("select cast('X' as char(1)) as ver, 5 as idc, cast(null as integer) as err "
                     "from rdb$database");
    c.open();
    EXPECT_EQ(sets_->CRepArticulosERR->AsInteger(), 0);
    EXPECT_EQ(sets_->CRepArticulosERR->AsString(), "");
    EXPECT_TRUE(sets_->CRepArticulosERR->IsNull());
    EXPECT_EQ(sets_->CRepArticulosIDC->AsInteger(), 5);
    EXPECT_EQ(sets_->CRepArticulosVER->AsString(), "X");
}

TEST_F(ClientDataSetTest, DesignTimeCommandOfCRepArticulosRunsWhenNoneWasSet) {
    ClientDataSet& c = sets_->CRepArticulos;
    c.open();
    EXPECT_EQ(commands_.SQLQuery1->commandText(),
              "select * from contabil_facturas_contado('2003/09/01', '0', '0000', 1,1)");
    EXPECT_FALSE(commands_.SQLQuery1->active()) << "the query is closed after the last row";
}

TEST_F(ClientDataSetTest, ThreeDataSetsShareTheQueryOneAfterAnother) {
    sets_->Cborrar.setCommandText("select count(*) from punto_venta");
    sets_->Cborrar.open();
    const std::int64_t points = sets_->Cborrar.Fields(0).AsInteger();
    EXPECT_GT(points, 0);
    EXPECT_FALSE(commands_.SQLQuery1->active());
    sets_->CError.setCommandText(
        "select erro_codigo,erro_cadena, 'Ventas' as Interfaz from errores");
    sets_->CError.open();
    EXPECT_FALSE(commands_.SQLQuery1->active());
    sets_->CRepArticulos.setCommandText("select 'L' as ver, 0 as idc, 1 as err from rdb$database");
    sets_->CRepArticulos.open();
    EXPECT_EQ(sets_->CRepArticulosERR->AsInteger(), 1);
    sets_->Cborrar.close();
    sets_->Cborrar.setCommandText("select ptvt_nom from punto_venta");
    sets_->Cborrar.open();
    EXPECT_EQ(sets_->Cborrar.RecordCount(), points);
}

TEST_F(ClientDataSetTest, LocateIsExactAndCaseSensitive) {
    ClientDataSet& c = sets_->CPuntos;
    c.open();
    const std::vector<std::string> all = names(c, "PTVT_NOM");
    ASSERT_GE(all.size(), 2u);
    const std::string target = all[1];
    c.First();
    ASSERT_TRUE(c.Locate("PTVT_NOM", target));
    EXPECT_EQ(c.RecNo(), 2);
    EXPECT_EQ(sets_->CPuntosPTVT_NOM->AsString(), target);

    std::string lower = target;
    for (char& ch : lower) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    for (const std::string& miss :
         {std::string("no such point"), target.substr(0, target.size() - 1), lower}) {
        SCOPED_TRACE(miss);
        EXPECT_FALSE(c.Locate("PTVT_NOM", miss));
        EXPECT_EQ(c.RecNo(), 2) << "a miss leaves the current row";
    }
    EXPECT_TRUE(
        c.Locate("PTVT_NOM", lower, static_cast<LocateOptions>(LocateOption::CaseInsensitive)));
    EXPECT_EQ(errorOf([&] { c.Locate("NOPE", std::string("x")); }),
              "CPuntos: Field 'NOPE' not found");
}

TEST_F(ClientDataSetTest, ThreeInsertsIntoAnEmptyViewShowInReverseOrder) {
    ClientDataSet& c = sets_->CAjuste;
    int afterInsert = 0;
    c.AfterInsert = [&](ClientDataSet&) {
        ++afterInsert;
        sets_->CAjusteAJCI_ID->setAsInteger(0);
    };
    c.setFilter("AJCI_FECINI = '" + platform::dateToShortText({1999, 1, 1}) + "'");
    c.setFiltered(true);
    c.open();
    ASSERT_TRUE(c.IsEmpty());
    EXPECT_TRUE(c.Eof());
    for (int rate : {1, 2, 3}) {
        c.Insert();
        sets_->CAjusteAJCI_FECINI->setAsDate({1999, 1, 1});
        sets_->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(rate * 10000, 4));
        c.Post();
        EXPECT_EQ(sets_->CAjusteAJCI_PORC->AsString(), std::to_string(rate));
    }
    EXPECT_EQ(afterInsert, 3);
    EXPECT_EQ(names(c, "AJCI_PORC"), (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_EQ(c.ChangeCount(), 3);
}

TEST_F(ClientDataSetTest, PostingWithANullRequiredFieldStaysInInsertState) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    c.Insert();
    sets_->CAjusteAJCI_ID->Clear();
    sets_->CAjusteAJCI_FECINI->setAsDate({2001, 2, 3});
    EXPECT_EQ(errorOf([&] { c.Post(); }), "Field 'AJCI_ID' must have a value");
    EXPECT_EQ(c.State(), DataSetState::Insert);
    EXPECT_EQ(c.ChangeCount(), 0);
}

// A control that holds typed text until the row is posted.
class HeldText : public DataSourceObserver {
public:
    explicit HeldText(Field& field) : field_(field) {}
    std::string text;
    void updateRecord(DataSource&) override {
        if (!text.empty()) {
            field_.setAsString(std::exchange(text, {}));
        }
    }

private:
    Field& field_;
};

TEST_F(ClientDataSetTest, LeavingEditingKeepsTextAControlStillHolds) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    const int rows = c.RecordCount();
    ASSERT_GT(rows, 0);
    HeldText held(*sets_->CAjusteAJCI_FACTOR);
    sets_->DAjuste.addObserver(&held);

    // Only the control has the change: the row is posted, not cancelled.
    c.First();
    c.Edit();
    held.text = "0.3";
    c.CheckBrowseMode();
    EXPECT_EQ(c.State(), DataSetState::Browse);
    EXPECT_EQ(sets_->CAjusteAJCI_FACTOR->AsString(), "0.3");
    EXPECT_EQ(c.ChangeCount(), 1);

    // A new row typed into is kept the same way; an untouched one is not.
    c.OnNewRecord = [this](ClientDataSet&) { sets_->CAjusteAJCI_ID->setAsInteger(0); };
    c.Insert();
    c.CheckBrowseMode();
    EXPECT_EQ(c.RecordCount(), rows);
    c.Insert();
    held.text = "0.7";
    c.Next();
    EXPECT_EQ(c.RecordCount(), rows + 1);

    // Text the field refuses stops the row from leaving editing.
    c.Edit();
    held.text = "not a number";
    EXPECT_FALSE(errorOf([&] { c.CheckBrowseMode(); }).empty());
    EXPECT_EQ(c.State(), DataSetState::Edit);
    c.Cancel();
    sets_->DAjuste.removeObserver(&held);
}

TEST_F(ClientDataSetTest, ClosingDiscardsUnappliedChanges) {
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    const int rows = c.RecordCount();
    ASSERT_GT(rows, 0);
    while (!c.Eof()) {
        c.Delete();
    }
    EXPECT_EQ(c.RecordCount(), 0);
    EXPECT_TRUE(c.Bof());
    EXPECT_EQ(c.ChangeCount(), rows);
    EXPECT_EQ(errorOf([&] { c.Delete(); }),
              "CAjuste: Cannot perform this operation on an empty dataset");
    c.close();
    EXPECT_EQ(errorOf([&] { c.RecordCount(); }),
              "CAjuste: Cannot perform this operation on a closed dataset");
    c.open();
    EXPECT_EQ(c.RecordCount(), rows);
}

TEST_F(ClientDataSetTest, CommandTextOnATableDataSetIsRefused) {
    for (ClientDataSet* c : {&sets_->CPuntos, &sets_->CAjuste}) {
        c->setCommandText("select * from punto_venta");
        EXPECT_EQ(errorOf([&] { c->open(); }), "CommandText changes are not allowed");
        EXPECT_FALSE(c->Active());
        c->setCommandText("");
        c->open();
        EXPECT_TRUE(c->Active());
    }
}

TEST_F(ClientDataSetTest, BindingRulesOfPersistentFields) {
    ClientDataSet& c = sets_->CError;
    c.setCommandText("select 1 as erro_codigo, 'x' as erro_cadena, 'y' as interfaz from "
                     "rdb$database");
    EXPECT_EQ(errorOf([&] { c.open(); }),
              "CError: Type mismatch for field 'Descripci\xc3\xb3n', expecting: String actual: "
              "Integer");
    EXPECT_FALSE(c.Active());
    EXPECT_FALSE(commands_.SQLQuery1->active());
    c.setCommandText("select 'a' as erro_codigo, 'x' as erro_cadena from rdb$database");
    EXPECT_EQ(errorOf([&] { c.open(); }), "CError: Field 'INTERFAZ' not found");

    ClientDataSet bcd("CBcd", &sets_->components);
    bcd.ProviderName = "PBorrar";
    bcd.addField(std::make_unique<Field>("CBcdV", "V", FieldType::BCD, 2, 10));
    bcd.setCommandText("select cast(1.5 as numeric(9,4)) as v from rdb$database");
    EXPECT_EQ(errorOf([&] { bcd.open(); }),
              "CBcd: Size mismatch for field 'V', expecting: 2 actual: 4");

    c.setCommandText("select 'abc' as erro_codigo, 'x' as erro_cadena, 'y' as interfaz from "
                     "rdb$database");
    c.open();
    EXPECT_EQ(sets_->CErrorERRO_CODIGO->Size(), 3) << "a larger string field takes the column's";
    c.close();
    EXPECT_EQ(sets_->CErrorERRO_CODIGO->Size(), 20) << "and only while open";
    EXPECT_EQ(sets_->CErrorERRO_CODIGO->displayName(), "Descripci\xc3\xb3n");
}

TEST_F(ClientDataSetTest, ProviderLookupFailures) {
    ClientDataSet lost("CLost", &sets_->components);
    lost.ProviderName = "PNone";
    EXPECT_EQ(errorOf([&] { lost.open(); }), "CLost: Missing data provider or data packet");
    DataSetProvider self("PSelf", &sets_->components);
    ClientDataSet circular("CCircular", &sets_->components);
    circular.ProviderName = "PSelf";
    self.setDataSet(&circular);
    EXPECT_EQ(errorOf([&] { circular.open(); }),
              "CCircular: Circular provider references not allowed");
}

TEST_F(ClientDataSetTest, ADatabaseErrorComesBackWithItsTextAndResetsTheQuery) {
    ClientDataSet& c = sets_->Cborrar;
    c.setCommandText("select nothing from nowhere");
    const std::string error = errorOf([&] { c.open(); });
    EXPECT_NE(error.find("SQL Server Error"), std::string::npos) << error;
    EXPECT_FALSE(c.Active());
    c.setCommandText("select 1 from rdb$database");
    c.open();
    EXPECT_EQ(c.RecordCount(), 1);
}

class Recorder : public DataSourceObserver {
public:
    std::vector<std::string> events;
    void dataSetOpened(DataSource&) override { events.push_back("opened"); }
    void dataSetClosed(DataSource&) override { events.push_back("closed"); }
    void currentRowChanged(DataSource&) override { events.push_back("moved"); }
    void stateChanged(DataSource& s) override {
        events.push_back(s.State() == DataSetState::Insert ? "insert" : "state");
    }
    void dataChanged(DataSource&) override { events.push_back("data"); }
};

TEST_F(ClientDataSetTest, DataSourcesTellTheirObservers) {
    Recorder recorder;
    sets_->DPuntos.addObserver(&recorder);
    sets_->CPuntos.open();
    sets_->CPuntos.Next();
    sets_->CPuntos.Insert();
    sets_->CPuntos.Cancel();
    sets_->CPuntos.close();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"opened", "moved", "insert", "data",
                                                         "state", "data", "closed"}));
    sets_->DPuntos.removeObserver(&recorder);
}

} // namespace
} // namespace dataset
