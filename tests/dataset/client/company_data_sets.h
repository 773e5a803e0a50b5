#pragma once
// A fixture with the window's five client data sets over a company database
// made once per test program, and a recorder of the events and data-source
// notifications they raise.

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"
#include "dataset/client/client_data_set.h"
#include "db/sql_connection.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dataset::test {

using db::test::errorOf;

class CompanyDataSets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (database_.empty()) {
            // Suites of the same name live in several test programs that
            // ctest may run at once: each program gets its own company.
            database_ = db::test::createCompany(
                std::string(program_invocation_short_name) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_suite()->name());
        }
    }

    void SetUp() override {
        ASSERT_FALSE(database_.empty()) << "the company database could not be created";
        connection_ = db::test::programConnection(database_);
        commands_ = app::WindowCommands::create(*connection_);
        sets_ = std::make_unique<app::WindowDataSets>(commands_);
    }

    void TearDown() override { sets_.reset(); }

    // The values of one column over the whole view, top to bottom.
    static std::vector<std::string> column(ClientDataSet& dataSet, const char* fieldName) {
        std::vector<std::string> result;
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
            result.push_back(dataSet.FieldByName(fieldName).AsString());
        }
        return result;
    }

    // Cborrar over the points of sale, ids 1 to 5 in order.
    ClientDataSet& openPoints() {
        ClientDataSet& c = sets_->Cborrar;
        c.setCommandText("select ptvt_id, ptvt_nom from punto_venta order by ptvt_id");
        c.open();
        return c;
    }

    static inline std::string database_;
    std::unique_ptr<db::SQLConnection> connection_;
    app::WindowCommands commands_;
    std::unique_ptr<app::WindowDataSets> sets_;
};

// Records the data set's events and its source's notifications in one list.
class EventLog : public DataSourceObserver {
public:
    EventLog(ClientDataSet& dataSet, DataSource& source) : source_(source) {
        source_.setDataSet(&dataSet);
        source_.addObserver(this);
        const auto record = [this](const char* name) {
            return [this, name](ClientDataSet&) { events.push_back(name); };
        };
        dataSet.BeforeInsert = record("BeforeInsert");
        dataSet.AfterInsert = record("AfterInsert");
        dataSet.BeforeScroll = record("BeforeScroll");
        dataSet.AfterScroll = record("AfterScroll");
        dataSet.BeforePost = record("BeforePost");
        dataSet.AfterPost = record("AfterPost");
        dataSet.BeforeCancel = record("BeforeCancel");
        dataSet.AfterCancel = record("AfterCancel");
        dataSet.BeforeDelete = record("BeforeDelete");
        dataSet.AfterDelete = record("AfterDelete");
        dataSet.BeforeEdit = record("BeforeEdit");
        dataSet.AfterEdit = record("AfterEdit");
    }
    ~EventLog() override { source_.removeObserver(this); }

    std::vector<std::string> take() { return std::exchange(events, {}); }

    std::vector<std::string> events;
    std::vector<std::string> focused;

    void dataSetOpened(DataSource&) override { events.push_back("opened"); }
    void dataSetClosed(DataSource&) override { events.push_back("closed"); }
    void currentRowChanged(DataSource&) override { events.push_back("moved"); }
    void stateChanged(DataSource& s) override {
        switch (s.State()) {
        case DataSetState::Insert:
            events.push_back("state:insert");
            break;
        case DataSetState::Edit:
            events.push_back("state:edit");
            break;
        case DataSetState::Browse:
            events.push_back("state:browse");
            break;
        default:
            events.push_back("state:other");
        }
    }
    void dataChanged(DataSource&) override { events.push_back("data"); }
    void fieldChanged(DataSource&, Field& f) override {
        events.push_back("field:" + f.FieldName());
    }
    bool focusField(DataSource&, Field& f) override {
        focused.push_back(f.FieldName());
        return true;
    }

private:
    DataSource& source_;
};

} // namespace dataset::test
