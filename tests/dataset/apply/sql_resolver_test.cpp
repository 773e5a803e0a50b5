// Applying CAjuste's change log to AJUSTE_CIERRE of a real company database:
// the statements as they reach the connection, the MaxErrors rule, failed
// rows and what stays in the change log.

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"
#include "dataset/apply/sql_resolver.h"
#include "dataset/client/client_data_set.h"
#include "db/sql_connection.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace dataset {
namespace {

using db::test::errorOf;

const db::SQLDate Day{2024, 3, 15};
const std::string Where = "where\r\n"
                          " \"AJCI_ID\" = ? and\r\n"
                          " \"AJCI_FECINI\" = ? and\r\n"
                          " \"AJCI_FECFIN\" = ? and\r\n"
                          " \"AJCI_PORC\" = ? and\r\n"
                          " \"AJCI_FACTOR\" = ?\r\n";
const std::string Insert = "insert into \"AJUSTE_CIERRE\"\r\n"
                           "  (\"AJCI_ID\", \"AJCI_FECINI\", \"AJCI_FECFIN\", \"AJCI_PORC\", "
                           "\"AJCI_FACTOR\")\r\n"
                           "values\r\n"
                           "  (?, ?, ?, ?, ?)\r\n";

struct Failure {
    std::string message;
    UpdateKind kind;
    int code;
};

class ApplyUpdatesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database_ = db::test::createCompany("sql_resolver_test");
        if (!database_.empty()) {
            // A rate of 99 is refused, so that a test can make one row fail.
            auto c = db::test::programConnection(database_);
            c->executeStatement("alter table ajuste_cierre add constraint ck_test_rate "
                                "check (ajci_porc is null or ajci_porc <> 99)");
            c->setConnected(false);
        }
    }

    void SetUp() override {
        ASSERT_FALSE(database_.empty()) << "the company database could not be created";
        connection_ = db::test::programConnection(database_);
        connection_->executeStatement("delete from ajuste_cierre");
        commands_ = app::WindowCommands::create(*connection_);
        sets_ = std::make_unique<app::WindowDataSets>(commands_);
        DataSetProvider::setResolverFactory([this](DataSetProvider& provider) {
            auto resolver = std::make_unique<SQLResolver>(provider);
            resolver->setStatementObserver(
                [this](const std::string& text, const db::SQLParams& params) {
                    statements_.push_back(text);
                    params_.push_back(params);
                });
            return resolver;
        });
        sets_->CAjuste.OnReconcileError = [this](ClientDataSet&, const ReconcileError& error,
                                                 UpdateKind kind, ReconcileAction&) {
            failures_.push_back({error.what(), kind, error.errorCode()});
        };
    }

    void TearDown() override {
        sets_.reset();
        DataSetProvider::setResolverFactory(nullptr);
    }

    void seed(int id, const char* fecfin, const char* porc) {
        connection_->executeStatement("insert into ajuste_cierre values (" + std::to_string(id) +
                                      ", '2024-03-15', " + fecfin + ", " + porc + ", 0.8)");
    }

    void insertRow(std::int64_t porcScaled) {
        ClientDataSet& c = sets_->CAjuste;
        c.Insert();
        sets_->CAjusteAJCI_ID->setAsInteger(0);
        sets_->CAjusteAJCI_FECINI->setAsDate(Day);
        sets_->CAjusteAJCI_FECFIN->setAsDate(Day);
        sets_->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(porcScaled, 4));
        sets_->CAjusteAJCI_FACTOR->setAsBcd(db::Bcd::fromScaled(8000, 4));
        c.Post();
    }

    db::TransactionDesc startCallersTransaction() {
        db::TransactionDesc desc{};
        desc.transactionId = 1;
        desc.isolationLevel = connection_->isolationLevel();
        connection_->startTransaction(desc);
        return desc;
    }

    // The table as "id:porc" texts in a fixed order.
    std::vector<std::string> stored() {
        ClientDataSet& b = sets_->Cborrar;
        b.setCommandText(
            "select ajci_id, ajci_porc from ajuste_cierre order by ajci_porc, ajci_id");
        b.open();
        std::vector<std::string> rows;
        for (b.First(); !b.Eof(); b.Next()) {
            rows.push_back(b.Fields(0).AsString() + ":" + b.Fields(1).AsString());
        }
        b.close();
        return rows;
    }

    static std::string database_;
    std::unique_ptr<db::SQLConnection> connection_;
    app::WindowCommands commands_;
    std::unique_ptr<app::WindowDataSets> sets_;
    std::vector<std::string> statements_;
    std::vector<db::SQLParams> params_;
    std::vector<Failure> failures_;
};

std::string ApplyUpdatesTest::database_;

TEST_F(ApplyUpdatesTest, NothingToApplySendsNothingAndStartsNoTransaction) {
    sets_->CAjuste.open();
    connection_->setConnected(false);
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    EXPECT_FALSE(connection_->Connected()) << "not even the connection was asked";
    EXPECT_TRUE(statements_.empty());
}

TEST_F(ApplyUpdatesTest, ClosedDataSetIsRefusedWithItsName) {
    EXPECT_EQ(errorOf([&] { sets_->CAjuste.ApplyUpdates(-1); }),
              "CAjuste: Cannot perform this operation on a closed dataset");
}

TEST_F(ApplyUpdatesTest, NewRowsWithIdZeroGoInOneApplyWithTheExactInsert) {
    sets_->CAjuste.open();
    insertRow(0);
    insertRow(160000);
    insertRow(50000);
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    ASSERT_EQ(statements_.size(), 3u);
    for (const std::string& text : statements_) {
        EXPECT_EQ(text, Insert);
    }
    ASSERT_EQ(params_[1].size(), 5u);
    EXPECT_EQ(std::get<std::int64_t>(params_[1][0].value), 0);
    EXPECT_EQ(std::get<db::Bcd>(params_[1][3].value).toScaled(), 160000);
    EXPECT_EQ(params_[1][1].dataType, db::FieldType::Date);
    EXPECT_EQ(stored(), (std::vector<std::string>{"0:0", "0:5", "0:16"}));
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 0);
    EXPECT_FALSE(connection_->inTransaction());
}

TEST_F(ApplyUpdatesTest, RowBeingInsertedIsPostedAndSentAnUntouchedOneIsNot) {
    sets_->CAjuste.open();
    insertRow(0);
    sets_->CAjuste.Insert();
    sets_->CAjusteAJCI_ID->setAsInteger(7);
    sets_->CAjusteAJCI_FECINI->setAsDate(Day);
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    EXPECT_EQ(statements_.size(), 2u);
    EXPECT_EQ(stored(), (std::vector<std::string>{"7:", "0:0"}));

    sets_->CAjuste.Insert();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    EXPECT_EQ(statements_.size(), 2u) << "a new row never modified is cancelled";
}

TEST_F(ApplyUpdatesTest, ModificationOfOneColumnWritesItAndFindsTheRowByAllColumns) {
    seed(4, "'2024-03-31'", "16");
    sets_->CAjuste.open();
    sets_->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(190000, 4));
    sets_->CAjuste.Post();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(-1), 0);
    ASSERT_EQ(statements_.size(), 1u);
    EXPECT_EQ(statements_[0], "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_PORC\" = ?\r\n" + Where);
    ASSERT_EQ(params_[0].size(), 6u);
    EXPECT_EQ(std::get<db::Bcd>(params_[0][0].value).toScaled(), 190000);
    EXPECT_EQ(std::get<std::int64_t>(params_[0][1].value), 4);
    EXPECT_EQ(std::get<db::Bcd>(params_[0][4].value).toScaled(), 160000);
    EXPECT_EQ(stored(), (std::vector<std::string>{"4:19"}));
}

TEST_F(ApplyUpdatesTest, ModificationThatChangesNothingSendsNoStatement) {
    seed(4, "'2024-03-31'", "16");
    sets_->CAjuste.open();
    sets_->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(160000, 4));
    sets_->CAjuste.Post();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    EXPECT_TRUE(statements_.empty());
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 0);
}

TEST_F(ApplyUpdatesTest, DeletionEndsItsFirstLineInABlank) {
    seed(4, "'2024-03-31'", "16");
    sets_->CAjuste.open();
    sets_->CAjuste.Delete();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    ASSERT_EQ(statements_.size(), 1u);
    EXPECT_EQ(statements_[0], "delete from \"AJUSTE_CIERRE\" \r\n" + Where);
    EXPECT_EQ(params_[0].size(), 5u);
    EXPECT_TRUE(stored().empty());
}

TEST_F(ApplyUpdatesTest, NullOldValueIsTestedWithIsNullAndTakesNoParameter) {
    seed(4, "null", "16");
    sets_->CAjuste.open();
    sets_->CAjuste.Delete();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    ASSERT_EQ(statements_.size(), 1u);
    EXPECT_NE(statements_[0].find(" \"AJCI_FECFIN\" is null and\r\n"), std::string::npos);
    EXPECT_EQ(params_[0].size(), 4u);
    EXPECT_TRUE(stored().empty());
}

TEST_F(ApplyUpdatesTest, MaxErrorsZeroStopsAtTheFirstFailureAndRollsBack) {
    sets_->CAjuste.open();
    insertRow(0);
    insertRow(990000);
    insertRow(50000);
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 1);
    EXPECT_EQ(statements_.size(), 2u) << "the third insert is never sent";
    EXPECT_TRUE(stored().empty()) << "the first insert is rolled back";
    EXPECT_FALSE(connection_->inTransaction());
    ASSERT_EQ(failures_.size(), 3u) << "every row is named: none of them was saved";
    EXPECT_EQ(failures_[0].kind, UpdateKind::Insert);
    EXPECT_NE(failures_[0].message.find("CK_TEST_RATE"), std::string::npos) << failures_[0].message;
    EXPECT_NE(failures_[0].code, SQLResolver::kNotSavedCode);
    for (std::size_t i = 1; i < failures_.size(); ++i) {
        EXPECT_EQ(failures_[i].message, SQLResolver::kLimitRolledBack);
        EXPECT_EQ(failures_[i].code, SQLResolver::kNotSavedCode);
    }
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 3) << "the rolled-back rows stay in the change log";

    // Corrected, all three go with the next apply.
    ASSERT_TRUE(sets_->CAjuste.Locate("AJCI_PORC", db::Bcd::fromScaled(990000, 4)));
    sets_->CAjuste.Edit();
    sets_->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(160000, 4));
    sets_->CAjuste.Post();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    EXPECT_EQ(stored(), (std::vector<std::string>{"0:0", "0:5", "0:16"}));
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 0);
}

TEST_F(ApplyUpdatesTest, MaxErrorsZeroInsideTheCallersTransactionKeepsTheRefusedAndUntriedRows) {
    // The caller's transaction is not rolled back by the apply: what the
    // database took is in it; the refused row and the one never tried stay.
    sets_->CAjuste.open();
    insertRow(0);
    insertRow(990000);
    insertRow(50000);
    const db::TransactionDesc desc = startCallersTransaction();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 1);
    EXPECT_EQ(statements_.size(), 2u);
    EXPECT_TRUE(connection_->inTransaction());
    connection_->commit(desc);
    EXPECT_EQ(stored(), (std::vector<std::string>{"0:0"}));
    ASSERT_EQ(failures_.size(), 2u);
    EXPECT_NE(failures_[0].code, SQLResolver::kNotSavedCode);
    EXPECT_EQ(failures_[1].code, SQLResolver::kNotSavedCode);
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 2);
}

TEST_F(ApplyUpdatesTest, IdenticalRowsDeletedTogetherGoWithOneStatement) {
    seed(0, "'2024-03-15'", "16");
    seed(0, "'2024-03-15'", "16");
    seed(0, "'2024-03-15'", "5");
    sets_->CAjuste.open();
    while (!sets_->CAjuste.Eof()) {
        sets_->CAjuste.Delete();
    }
    insertRow(160000);
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    EXPECT_EQ(statements_.size(), 3u) << "one deletion for both identical rows";
    EXPECT_EQ(stored(), (std::vector<std::string>{"0:16"}));
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 0);
    EXPECT_TRUE(failures_.empty());
}

TEST_F(ApplyUpdatesTest, DeletingFewerIdenticalRowsThanStoredFailsTheWholeApply) {
    for (int i = 0; i < 3; ++i) {
        seed(0, "'2024-03-15'", "16");
    }
    sets_->CAjuste.open();
    sets_->CAjuste.Delete();
    sets_->CAjuste.Delete();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 2);
    EXPECT_EQ(stored().size(), 3u);
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 2);
    ASSERT_FALSE(failures_.empty());
    EXPECT_EQ(failures_[0].message, SQLResolver::kMultipleRecords);
}

TEST_F(ApplyUpdatesTest, AnErrorEscapingTheWalkUndoesWhatItApplied) {
    // A resolver that writes a row and then fails outside any row's handling.
    struct Failing : UpdateResolver {
        DataPacket resolve(db::SQLCommand& source, const std::vector<std::uint8_t>&, int,
                           int& errorCount, bool) override {
            source.psExecuteStatement("insert into ajuste_cierre values (0, null, null, 7, 1)", {});
            errorCount = 0;
            throw db::DatabaseError("engine failure");
        }
    };
    DataSetProvider::setResolverFactory(
        [](DataSetProvider&) { return std::make_unique<Failing>(); });
    sets_->CAjuste.open();
    insertRow(0);
    EXPECT_EQ(errorOf([&] { sets_->CAjuste.ApplyUpdates(0); }), "engine failure");
    EXPECT_FALSE(connection_->inTransaction());
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 1);
}

TEST_F(ApplyUpdatesTest, ALimitBelowMinusOneStopsAfterTheFirstRowAndKeepsEverything) {
    sets_->CAjuste.open();
    insertRow(0);
    insertRow(50000);
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(-2), 0);
    EXPECT_EQ(statements_.size(), 1u);
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 2);
}

TEST_F(ApplyUpdatesTest, NoLimitCommitsTheOthersAndKeepsTheFailedChange) {
    sets_->CAjuste.open();
    for (std::int64_t porc : {10000, 20000, 990000, 30000, 40000}) {
        insertRow(porc);
    }
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(-1), 1);
    EXPECT_EQ(statements_.size(), 5u);
    EXPECT_EQ(stored(), (std::vector<std::string>{"0:1", "0:2", "0:3", "0:4"}));
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 1) << "only the refused row stays in the change log";

    // Corrected, the row goes with the next apply, alone.
    ASSERT_TRUE(sets_->CAjuste.Locate("AJCI_PORC", db::Bcd::fromScaled(990000, 4)));
    sets_->CAjusteAJCI_PORC->setAsBcd(db::Bcd::fromScaled(50000, 4));
    sets_->CAjuste.Post();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(-1), 0);
    EXPECT_EQ(statements_.size(), 6u);
    EXPECT_EQ(stored().size(), 5u);
}

TEST_F(ApplyUpdatesTest, RowChangedByAnotherConnectionIsNotFound) {
    seed(4, "'2024-03-31'", "16");
    sets_->CAjuste.open();
    auto other = db::test::programConnection(database_);
    other->executeStatement("update ajuste_cierre set ajci_factor = 0.9");
    other->setConnected(false);
    sets_->CAjuste.Delete();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(-1), 1);
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0].message, "Record not found or changed by another user");
    EXPECT_EQ(failures_[0].kind, UpdateKind::Delete);
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 1);
    EXPECT_EQ(stored().size(), 1u);
}

// Another connection changes one stored row and deletes another after they
// were read; the data set deletes both, and more. A handler that answers
// Refresh to "not found or changed" drops those two changes and reads the
// rows again; the other changes stay and go with the next apply.
class RefreshAfterAnotherUser : public ApplyUpdatesTest, public ::testing::WithParamInterface<int> {
protected:
    // CAjuste's rows as "id:porc:factor", sorted.
    std::vector<std::string> rows() {
        ClientDataSet& c = sets_->CAjuste;
        std::vector<std::string> result;
        for (c.First(); !c.Eof(); c.Next()) {
            result.push_back(sets_->CAjusteAJCI_ID->AsString() + ":" +
                             sets_->CAjusteAJCI_PORC->AsString() + ":" +
                             sets_->CAjusteAJCI_FACTOR->AsString());
        }
        std::sort(result.begin(), result.end());
        return result;
    }
};

TEST_P(RefreshAfterAnotherUser, DropsTheRefusedChangesAndKeepsTheOthers) {
    const int maxErrors = GetParam();
    seed(1, "'2024-03-15'", "16");
    seed(2, "'2024-03-15'", "5");
    seed(3, "'2024-03-15'", "0");
    connection_->executeStatement(
        "insert into ajuste_cierre values (4, '2024-02-01', '2024-02-01', 19, 0.5)");
    ClientDataSet& c = sets_->CAjuste;
    c.open();
    for (std::int64_t id = 1; id <= 3; ++id) {
        ASSERT_TRUE(c.Locate("AJCI_ID", id));
        c.Delete();
    }
    insertRow(120000);
    ASSERT_EQ(rows(), (std::vector<std::string>{"0:12:0.8", "4:19:0.5"}));

    auto other = db::test::programConnection(database_);
    other->executeStatement("update ajuste_cierre set ajci_factor = 0.9 where ajci_id = 1");
    other->executeStatement("delete from ajuste_cierre where ajci_id = 2");
    other->setConnected(false);

    std::vector<std::string> refreshed;
    c.OnReconcileError = [&](ClientDataSet&, const ReconcileError& error, UpdateKind kind,
                             ReconcileAction& action) {
        if (std::string(error.what()) != SQLResolver::kRecordChanged) {
            return;
        }
        EXPECT_EQ(kind, UpdateKind::Delete);
        EXPECT_FALSE(error.newValue("AJCI_ID"));
        const std::optional<Value> id = error.oldValue("AJCI_ID");
        const std::optional<Value> porc = error.oldValue("AJCI_PORC");
        EXPECT_TRUE(id && porc);
        if (id && porc) {
            refreshed.push_back(std::to_string(std::get<std::int64_t>(*id)) + ":" +
                                std::get<db::Bcd>(*porc).toString());
        }
        action = ReconcileAction::Refresh;
    };
    const int errors = c.ApplyUpdates(maxErrors);
    std::sort(refreshed.begin(), refreshed.end());
    EXPECT_EQ(refreshed, (std::vector<std::string>{"1:16.0000", "2:5.0000"}))
        << "both rows are named, also when the first refusal ends the apply";
    // The row another user changed is back with its new values, the one he
    // deleted is gone; the deletion of row 3 and the new row stay.
    EXPECT_GE(c.RecNo(), 1) << "a row of the view stays current";
    EXPECT_EQ(rows(), (std::vector<std::string>{"0:12:0.8", "1:16:0.9", "4:19:0.5"}));
    if (maxErrors == 0) {
        EXPECT_EQ(errors, 1);
        EXPECT_EQ(c.ChangeCount(), 2);
        EXPECT_EQ(stored(), (std::vector<std::string>{"3:0", "1:16", "4:19"}));
        EXPECT_EQ(c.ApplyUpdates(0), 0);
    } else {
        EXPECT_EQ(errors, 2);
    }
    EXPECT_EQ(c.ChangeCount(), 0);
    EXPECT_EQ(stored(), (std::vector<std::string>{"0:12", "1:16", "4:19"}));
    EXPECT_EQ(rows(), (std::vector<std::string>{"0:12:0.8", "1:16:0.9", "4:19:0.5"}));
}

INSTANTIATE_TEST_SUITE_P(AllOrNothingAndNoLimit, RefreshAfterAnotherUser, ::testing::Values(0, -1));

TEST_F(ApplyUpdatesTest, StatementChangingTwoRowsFailsTheWholeApply) {
    seed(4, "'2024-03-31'", "16");
    seed(4, "'2024-03-31'", "16");
    sets_->CAjuste.open();
    insertRow(50000);
    sets_->CAjuste.Last();
    sets_->CAjuste.Delete();
    ASSERT_EQ(sets_->CAjuste.ChangeCount(), 2);
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(-1), 2);
    EXPECT_FALSE(connection_->inTransaction());
    EXPECT_EQ(stored(), (std::vector<std::string>{"4:16", "4:16"}))
        << "the insert before it is rolled back with it";
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 2) << "nothing is reported as saved";
    ASSERT_EQ(failures_.size(), 2u);
    EXPECT_EQ(failures_[0].message, "Update affected more than 1 record.");
    EXPECT_EQ(failures_[1].message, SQLResolver::kRolledBack);
    EXPECT_EQ(failures_[1].code, SQLResolver::kNotSavedCode);
    EXPECT_NE(failures_[0].code, SQLResolver::kNotSavedCode);
}

TEST_F(ApplyUpdatesTest, ReadOnlyProviderRefusesAndEndsItsTransaction) {
    sets_->CAjuste.open();
    insertRow(0);
    sets_->PAjuste.Options = ProviderOption::ReadOnly;
    EXPECT_EQ(errorOf([&] { sets_->CAjuste.ApplyUpdates(0); }),
              "Cannot apply updates to a ReadOnly provider");
    EXPECT_FALSE(connection_->inTransaction());
    EXPECT_EQ(sets_->CAjuste.ChangeCount(), 1);
}

TEST_F(ApplyUpdatesTest, CallersTransactionIsNeitherStartedNorEnded) {
    sets_->CAjuste.open();
    insertRow(0);
    const db::TransactionDesc desc = startCallersTransaction();
    EXPECT_EQ(sets_->CAjuste.ApplyUpdates(0), 0);
    EXPECT_TRUE(connection_->inTransaction());
    connection_->rollback(desc);
    EXPECT_TRUE(stored().empty());
}

} // namespace
} // namespace dataset
