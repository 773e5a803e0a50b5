#pragma once
// A data grid over one of the window's client data sets, on a demo company
// database of the test's own, set up as the window sets up its two grids.

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"
#include "db/sql_connection.h"
#include "tests/command_testing.h"
#include "tests/program_connection.h"
#include "ui/grid/db_grid_p.h"
#include "ui/grid/grid_action.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>

namespace ui::test {

inline const GridOptions kErrorGridOptions =
    GridOption::Fixed3D | GridOption::HighlightFocus | GridOption::ClearSelection |
    GridOption::IncSearch | GridOption::PreferIncSearch | GridOption::RowHighlight |
    GridOption::DialogFind | GridOption::ColumnResize | GridOption::ColumnMove |
    GridOption::ExtendVertLines;
inline const GridOptions kAdjustmentsGridOptions =
    GridOption::Fixed3D | GridOption::HighlightFocus | GridOption::ClearSelection |
    GridOption::EnterAsTab | GridOption::IncSearch | GridOption::DialogFind |
    GridOption::ColumnResize | GridOption::ColumnMove | GridOption::ExtendVertLines;

// The rows of the error listing the tests search in: description, value.
inline const char* const kErrorRows[][2] = {
    {"Cuenta inexistente", "1105"}, {"Abono sin tercero", "13"}, {"abierto el periodo", "2024"},
    {"ABC de cuentas", "7"},        {"Bodega cerrada", "01"},    {"Caja sin cierre", "3"},
    {"Centro de costo", "44"},      {"Documento vacío", "0"},    {"Fecha fuera", "2023"},
    {"Impuesto sin cuenta", "19"},  {"Nit de contado", "222"},   {"Prefijo inválido", "FV"},
};

class GridDatabase {
public:
    explicit GridDatabase(const std::string& name) : path_(db::test::createCompany(name)) {}
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The window's data sets over a fresh connection, and one grid on top.
class GridSetup {
public:
    explicit GridSetup(const std::string& database)
        : connection_(db::test::programConnection(database)),
          commands_(app::WindowCommands::create(*connection_)),
          sets_(std::make_unique<app::WindowDataSets>(commands_)) {
        // As the window does: the key is a new row's default.
        sets_->CAjuste.OnNewRecord = [](dataset::ClientDataSet& set) {
            set.FieldByName("AJCI_ID").setAsInteger(0);
        };
        // Collects what the application's error box would show.
        GridAction::setRunner([this](const std::function<void()>& action) {
            try {
                action();
                return true;
            } catch (const std::exception& error) {
                errors.append(QString::fromUtf8(error.what()));
            }
            return false;
        });
    }
    ~GridSetup() {
        grid.reset();
        GridAction::setRunner({});
    }

    app::WindowDataSets& sets() { return *sets_; }

    // The error grid, DBGrid1, over rows of the error listing.
    DBGrid& errorGrid(int width = 362, int height = 200) {
        std::string command;
        for (const auto& row : kErrorRows) {
            command += command.empty() ? "" : " union all ";
            command += std::string("select cast('") + row[0] +
                       "' as varchar(20)) as erro_codigo, cast('" + row[1] +
                       "' as varchar(20)) as erro_cadena, cast('' as varchar(60)) as interfaz "
                       "from rdb$database";
        }
        sets_->CError.setCommandText(command);
        grid = std::make_unique<DBGrid>(&host);
        grid->setLook(DBGrid::Look::Flat);
        grid->setOptions(kErrorGridOptions);
        grid->setAllowedOperations({});
        grid->setFitColumnsToWidth(true);
        grid->setColumns({{"ERRO_CODIGO", QString::fromUtf8("Descripción"), 0},
                          {"ERRO_CADENA", "Valor", 90},
                          {"INTERFAZ", "INTERFAZ", 120}});
        grid->setDataSource(&sets_->DError);
        sets_->CError.open();
        show(width, height);
        return *grid;
    }

    // The adjustments grid, DBGrid2, over AJUSTE_CIERRE with the given
    // percentages as rows (not applied).
    DBGrid& adjustmentsGrid(const QList<int>& percents) {
        dataset::ClientDataSet& set = sets_->CAjuste;
        set.open();
        while (!set.IsEmpty()) {
            set.Delete();
        }
        for (auto it = percents.rbegin(); it != percents.rend(); ++it) {
            set.Insert();
            set.FieldByName("AJCI_PORC").setAsBcd(db::Bcd::fromScaled(*it * 10000LL, 4));
            set.Post();
        }
        set.First();
        grid = std::make_unique<DBGrid>(&host);
        grid->setOptions(kAdjustmentsGridOptions);
        grid->setColumns({{"AJCI_FECINI", "F.Desde", 0},
                          {"AJCI_FECFIN", "F.Hasta", 0},
                          {"AJCI_PORC", "Porc", 0},
                          {"AJCI_FACTOR", "Factor", 0}});
        grid->setDataSource(&sets_->DAjuste);
        show(303, 160);
        return *grid;
    }

    // The grid in a window of its own with one more control below it, to
    // take the focus away.
    void show(int width, int height) {
        grid->setGeometry(0, 0, width, height);
        other->setGeometry(0, height + 4, width, 20);
        host.resize(std::max(width, 1000), height + 30);
        grid->show();
        host.show();
        host.activateWindow();
        grid->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
    }

    QWidget host;
    QLineEdit* other = new QLineEdit(&host);
    std::unique_ptr<DBGrid> grid;
    QStringList errors;

private:
    std::unique_ptr<db::SQLConnection> connection_;
    app::WindowCommands commands_;
    std::unique_ptr<app::WindowDataSets> sets_;
};

// Answers the next modal box or dialog with the given button and keeps its
// text and class name. Gives up after about two seconds without one.
class ModalAnswer {
public:
    struct Seen {
        bool seen = false;
        bool waiting = true;
        QString text;
        QString className;
    };

    explicit ModalAnswer(QMessageBox::StandardButton button = QMessageBox::Cancel)
        : seen_(std::make_shared<Seen>()) {
        poll(seen_, button, 40);
    }
    ~ModalAnswer() { seen_->waiting = false; }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
    const Seen& operator*() const { return *seen_; }
    const Seen* operator->() const { return seen_.get(); }

private:
    static void poll(std::shared_ptr<Seen> seen, QMessageBox::StandardButton button, int tries) {
        QTimer::singleShot(50, [seen, button, tries] {
            if (!seen->waiting) {
                return;
            }
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                if (tries > 0) {
                    poll(seen, button, tries - 1);
                }
                return;
            }
            seen->seen = true;
            seen->waiting = false;
            seen->className = QString::fromLatin1(modal->metaObject()->className());
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seen->text = box->text();
                box->button(button)->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
    }

    std::shared_ptr<Seen> seen_;
};

inline QString rowText(const DBGrid& grid, int column = 0) {
    return grid.cellText(grid.currentRow(), column);
}

} // namespace ui::test
