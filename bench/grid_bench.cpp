// The error grid over 100,000 rows of the error listing: painting it costs
// what painting it over fifty rows costs, a few more than fit in the view
// (only the rows in view are touched),
// and an incremental-search step that matches the last row is compared with
// a bare loop over the same cells of the data set.

#include "app/form/window_commands.h"
#include "app/form/window_data_sets.h"
#include "bench/bench_database.h"
#include "bench/ratio_reporter.h"
#include "db/sql_connection.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/grid_painter.h"
#include "ui/grid/incremental_search.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <memory>

namespace bench {
namespace {

constexpr int kLargeRows = 100000;
constexpr int kSmallRows = 50;
constexpr const char* kLastRowPrefix = "ERR 99999";

const BenchDatabase& database() {
    static const BenchDatabase instance(
        "grid",
        {"create table listing (n integer not null, erro_codigo varchar(20), "
         "erro_cadena varchar(20), interfaz varchar(60))",
         "execute block as declare i integer = 0; begin while (i < " + std::to_string(kLargeRows) +
             ") do begin insert into listing values (:i, 'Err ' || lpad(:i, 5, '0'), "
             "mod(:i, 977), 'Interfaz ' || :i); i = i + 1; end end"});
    return instance;
}

// The window's data sets and an error grid over the first rows of the listing.
class ErrorGridOver {
public:
    explicit ErrorGridOver(int rows) : connection_("Pelmora") {
        database().configure(connection_);
        commands_ = app::WindowCommands::create(connection_);
        sets_ = std::make_unique<app::WindowDataSets>(commands_);
        sets_->CError.setCommandText("select erro_codigo, erro_cadena, interfaz from listing "
                                     "where n < " +
                                     std::to_string(rows) + " order by n");
        grid.setFitColumnsToWidth(true);
        grid.setOptions(ui::GridOption::Fixed3D | ui::GridOption::HighlightFocus |
                        ui::GridOption::IncSearch | ui::GridOption::PreferIncSearch |
                        ui::GridOption::RowHighlight | ui::GridOption::ExtendVertLines);
        grid.setColumns({{"ERRO_CODIGO", "Descripción", 0},
                         {"ERRO_CADENA", "Valor", 90},
                         {"INTERFAZ", "INTERFAZ", 120}});
        grid.setDataSource(&sets_->DError);
        grid.resize(362, 400);
        sets_->CError.open();
        sets_->CError.setRecNo(rows / 2);
    }
    ~ErrorGridOver() { sets_.reset(); }

    dataset::ClientDataSet& errors() { return sets_->CError; }
    ui::DBGrid grid;

private:
    db::SQLConnection connection_;
    app::WindowCommands commands_;
    std::unique_ptr<app::WindowDataSets> sets_;
};

void paintGrid(benchmark::State& state, int rows) {
    ErrorGridOver over(rows);
    QImage image(over.grid.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        ui::GridPainter(over.grid).paint(painter, image.rect());
    }
}

void PaintErrorGridOverFiftyRows(benchmark::State& state) {
    paintGrid(state, kSmallRows);
}

void PaintErrorGridOver100000Rows(benchmark::State& state) {
    paintGrid(state, kLargeRows);
}

// Made once for the search benchmarks; gone before the application object.
std::unique_ptr<ErrorGridOver>& largeGridHolder() {
    static std::unique_ptr<ErrorGridOver> over;
    return over;
}

ErrorGridOver& largeGrid() {
    std::unique_ptr<ErrorGridOver>& over = largeGridHolder();
    if (!over) {
        over = std::make_unique<ErrorGridOver>(kLargeRows);
    }
    return *over;
}

// What any search over the rows must do: read each cell's text and compare.
void BareLoopToTheLastRow(benchmark::State& state) {
    dataset::ClientDataSet& errors = largeGrid().errors();
    const QString prefix = QString::fromLatin1(kLastRowPrefix);
    const int field = errors.FieldByName("ERRO_CODIGO").Index();
    for (auto _ : state) {
        int found = -1;
        for (int row = 0; row < errors.RecordCount(); ++row) {
            if (QString::fromStdString(errors.displayTextAt(row, field))
                    .toUpper()
                    .startsWith(prefix)) {
                found = row;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
}

void IncrementalSearchStepToTheLastRow(benchmark::State& state) {
    ui::DBGrid& grid = largeGrid().grid;
    grid.setCurrentColumn(0);
    for (auto _ : state) {
        grid.startSearch(ui::IncrementalSearch::kNoTimeout);
        grid.searchStep(QString::fromLatin1(kLastRowPrefix).toLower());
    }
    if (grid.currentRow() != kLargeRows - 1) {
        state.SkipWithError("the search did not reach the last row");
    }
}

BENCHMARK(PaintErrorGridOverFiftyRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(PaintErrorGridOver100000Rows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BareLoopToTheLastRow)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(IncrementalSearchStepToTheLastRow)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int result =
        bench::runWithRatios(argc, argv,
                             {{"PaintErrorGridOver100000Rows", "PaintErrorGridOverFiftyRows"},
                              {"IncrementalSearchStepToTheLastRow", "BareLoopToTheLastRow"}});
    bench::largeGridHolder().reset();
    return result;
}
