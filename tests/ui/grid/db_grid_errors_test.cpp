// The error grid, DBGrid1, over a real error listing: fitting, incremental
// search, locate and the find dialog, following the data set, painting.

#include "tests/ui/grid/grid_fixture.h"
#include "ui/grid/find_dialog.h"

#include <QClipboard>
#include <QImage>

namespace ui::test {

class TestErrorGrid : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<GridDatabase> database_;
    std::unique_ptr<GridSetup> setup_;

    DBGrid& grid() { return *setup_->grid; }
    // The grid's layout, search and marking, which the grid keeps to itself.
    const DBGridPrivate& inside() { return DBGridPrivate::get(grid()); }
    dataset::ClientDataSet& errors() { return setup_->sets().CError; }

    void type(const QString& text) {
        for (const QChar c : text) {
            if (c == QLatin1Char('\b')) {
                QTest::keyClick(&grid(), Qt::Key_Backspace);
            } else {
                QTest::keyClicks(&grid(), QString(c));
            }
        }
    }

private slots:
    void initTestCase() {
        database_ = std::make_unique<GridDatabase>("db_grid_errors_test");
        QVERIFY2(!database_->path().empty(), "the company database could not be created");
    }
    void init() {
        setup_ = std::make_unique<GridSetup>(database_->path());
        setup_->errorGrid();
    }
    void cleanup() { setup_.reset(); }

    void columnsAndIndicatorFillTheClientWidth_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("as laid out") << 362;
        QTest::newRow("widened") << 700;
        QTest::newRow("wide") << 1000;
    }
    void columnsAndIndicatorFillTheClientWidth() {
        QFETCH(int, width);
        grid().resize(width, 200);
        QCoreApplication::processEvents();
        const ColumnLayout& layout = inside().layout;
        QCOMPARE(layout.totalWidth(), grid().viewport()->width());
        // Base widths: 20 digits of the grid font, 90 and 120.
        const double bases[] = {double(grid().defaultColumnWidth(20)), 90, 120};
        const double available = grid().viewport()->width() - 15;
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(std::abs(layout.width(i) - bases[i] * available / (bases[0] + 210)) <= 1.0,
                     qPrintable(QString("column %1: %2 of base %3, %4 available")
                                    .arg(i)
                                    .arg(layout.width(i))
                                    .arg(layout.baseWidth(i))
                                    .arg(available)));
        }
        QCOMPARE(layout.column(0).title, QString::fromUtf8("Descripción"));
    }

    void draggingTheValorEdgeTakesFromInterfaz() {
        const ColumnLayout& layout = inside().layout;
        const int valor = layout.width(1);
        const int interfaz = layout.width(2);
        const int first = layout.width(0);
        const int edge = layout.left(1) + valor;
        const int y = grid().rowHeight() / 2;
        QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QTest::mouseMove(grid().viewport(), QPoint(edge + 20, y));
        QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, QPoint(edge + 20, y));
        QVERIFY(std::abs(layout.width(1) - (valor + 20)) <= 1);
        QVERIFY(std::abs(layout.width(2) - (interfaz - 20)) <= 1);
        QVERIFY(std::abs(layout.width(0) - first) <= 1);
        QCOMPARE(layout.totalWidth(), grid().viewport()->width());
    }

    void draggingATitleShowsWhereItLandsAndMovesTheColumn() {
        const ColumnLayout& layout = inside().layout;
        const QString first = layout.column(0).title;
        const QString last = layout.column(2).title;
        const int y = grid().rowHeight() / 2;
        const QPoint from(layout.left(0) + layout.width(0) / 2, y);
        const QPoint to(layout.left(2) + layout.width(2) / 2, y);
        QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(grid().viewport(), to);
        QCOMPARE(grid().droppedColumn(), 0);
        QCOMPARE(grid().dropTarget(), 2);
        QCOMPARE(grid().viewport()->cursor().shape(), Qt::ClosedHandCursor);
        // The marker stands at the right edge of the last column, down the
        // rows too.
        const QImage shot = grid().viewport()->grab().toImage();
        const QColor highlight = grid().palette().color(QPalette::Active, QPalette::Highlight);
        const int x = grid().titleRect(2).right();
        QCOMPARE(shot.pixelColor(x, y), highlight);
        QCOMPARE(shot.pixelColor(x, grid().rowHeight() * 2), highlight);
        QVERIFY(shot.pixelColor(grid().titleRect(1).center()) != highlight);

        QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(grid().droppedColumn(), -1);
        QCOMPARE(grid().dropTarget(), -1);
        QCOMPARE(layout.column(2).title, first);
        QCOMPARE(layout.column(1).title, last);
        QCOMPARE(layout.totalWidth(), grid().viewport()->width());
    }

    void aTitleDragEndsOnlyWithTheLeftButtonAndIsDroppedWhenHidden() {
        const ColumnLayout& layout = inside().layout;
        const QString first = layout.column(0).title;
        const QString second = layout.column(1).title;
        const int y = grid().rowHeight() / 2;
        const QPoint from(layout.left(1) + layout.width(1) / 2, y);
        const QPoint left(layout.left(0) + 2, y);
        // Moved left: the marker stands at the target's left edge.
        QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(grid().viewport(), left);
        QCOMPARE(grid().dropTarget(), 0);
        const QImage shot = grid().viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(grid().titleRect(0).left(), y),
                 grid().palette().color(QPalette::Active, QPalette::Highlight));
        // Over the indicator column there is no place to land.
        QTest::mouseMove(grid().viewport(), QPoint(2, y));
        QCOMPARE(grid().dropTarget(), 1);
        QCOMPARE(grid().viewport()->cursor().shape(), Qt::ForbiddenCursor);
        QTest::mouseMove(grid().viewport(), left);
        // Another button's release does not drop the column.
        QTest::mouseRelease(grid().viewport(), Qt::RightButton, {}, left);
        QCOMPARE(grid().droppedColumn(), 1);
        QCOMPARE(layout.column(0).title, first);

        grid().hide();
        QCOMPARE(grid().droppedColumn(), -1);
        grid().show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid()));
        QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, left);
        QCOMPARE(layout.column(0).title, first);
        QCOMPARE(layout.column(1).title, second);
    }

    void typingSearchesTheFirstColumnFromTheTop_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("pauseMs");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("searchText");
        QTest::newRow("AB within the time-out") << "A"
                                                << "B" << 0 << "Abono sin tercero"
                                                << "Ab";
        QTest::newRow("ab lower case") << "a"
                                       << "b" << 0 << "Abono sin tercero"
                                       << "Ab";
        QTest::newRow("ABC") << "AB"
                             << "C" << 0 << "ABC de cuentas"
                             << "ABC";
        QTest::newRow("B after a pause") << "A"
                                         << "B" << 1700 << "Bodega cerrada"
                                         << "B";
    }
    void typingSearchesTheFirstColumnFromTheTop() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, pauseMs);
        QFETCH(QString, found);
        QFETCH(QString, searchText);
        errors().Last();
        type(first);
        if (pauseMs > 0) {
            QTest::qWait(pauseMs);
            QTRY_VERIFY(!inside().search.searching());
        }
        type(second);
        QCOMPARE(rowText(grid()), found);
        QCOMPARE(QString::fromStdString(setup_->sets().CErrorERRO_CODIGO->AsString()), found);
        QCOMPARE(inside().search.text(), searchText);
        QVERIFY(inside().search.searching());
    }

    void aCharacterMatchingNothingIsDropped() {
        type("Ca");
        QCOMPARE(rowText(grid()), QString("Caja sin cierre"));
        type("z");
        QCOMPARE(inside().search.text(), QString("Ca"));
        QCOMPARE(rowText(grid()), QString("Caja sin cierre"));
        type("j");
        QCOMPARE(inside().search.text(), QString("Caj"));
    }

    void searchKeys_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("searching");
        QTest::newRow("Backspace") << "Ce" << int(Qt::Key_Backspace) << 0 << "Centro de costo"
                                   << "C" << true;
        QTest::newRow("Ctrl+Enter: the next match below")
            << "C" << int(Qt::Key_Return) << int(Qt::ControlModifier) << "Caja sin cierre"
            << "C" << true;
        QTest::newRow("Ctrl+Shift+Enter: the match above")
            << "ABC\b" << int(Qt::Key_Return) << int(Qt::ControlModifier | Qt::ShiftModifier)
            << "abierto el periodo"
            << "AB" << true;
        QTest::newRow("Down ends the search")
            << "Ab" << int(Qt::Key_Down) << 0 << "abierto el periodo"
            << "" << false;
        QTest::newRow("Right ends the search")
            << "Ab" << int(Qt::Key_Right) << 0 << "Abono sin tercero"
            << "" << false;
        QTest::newRow("Enter ends the search")
            << "Ab" << int(Qt::Key_Return) << 0 << "Abono sin tercero"
            << "" << false;
        QTest::newRow("Esc ends the search")
            << "Ab" << int(Qt::Key_Escape) << 0 << "Abono sin tercero"
            << "" << false;
    }
    void searchKeys() {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, row);
        QFETCH(QString, text);
        QFETCH(bool, searching);
        type(typed);
        QTest::keyClick(&grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(rowText(grid()), row);
        QCOMPARE(inside().search.text(), text);
        QCOMPARE(inside().search.searching(), searching);
    }

    void pastingExtendsTheSearchText() {
        QApplication::clipboard()->setText("ent");
        QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(inside().search.searching());
        type("C");
        QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(rowText(grid()), QString("Centro de costo"));
        QCOMPARE(inside().search.text(), QString("Cent"));
        // Started with Ctrl+F: no time-out.
        QTest::qWait(1700);
        QVERIFY(inside().search.searching());
    }

    void aSingleCtrlFOnlyStartsASearch() {
        const ModalAnswer answer;
        QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
        QTest::qWait(300);
        QVERIFY(!answer->seen);
        QVERIFY(inside().search.searching());
        QCOMPARE(grid().indicatorGlyph(), IndicatorGlyph::Searching);
    }

    void ctrlFLettersCtrlFOpensTheFindDialog() {
        QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
        type("Fe");
        const ModalAnswer answer;
        QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(answer->seen);
        QCOMPARE(answer->className, QString("ui::FindDialog"));
        QVERIFY(!inside().search.searching());
        QCOMPARE(rowText(grid()), QString("Fecha fuera"));
        QCOMPARE(FindDialog::instance().grid(), static_cast<FindTarget*>(&grid()));
    }

    void aMissedLocateRestoresRecordAndRowPlace() {
        grid().resize(362, 90);
        QCoreApplication::processEvents();
        errors().Last();
        errors().MoveBy(-3);
        const int row = grid().currentRow();
        const int top = grid().topRow();
        QVERIFY(top > 0);
        QVERIFY(!grid().locate("", "nothing like this", LocateOption::CaseInsensitive,
                               LocateDirection::All, LocateMatch::AnyPart));
        QCOMPARE(grid().currentRow(), row);
        QCOMPARE(grid().topRow(), top);
    }

    void locateDirectionsAndModes_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("match");
        QTest::addColumn<int>("expectedRow");
        QTest::addColumn<int>("expectedColumn");
        const int ci = int(LocateOption::CaseInsensitive);
        const int all = int(LocateOption::AllColumns);
        // Starting on row 4, "Bodega cerrada", first column.
        QTest::newRow("down, any part")
            << ""
            << "sin" << ci << int(LocateDirection::Down) << int(LocateMatch::AnyPart) << 5 << 0;
        QTest::newRow("up, any part")
            << ""
            << "sin" << ci << int(LocateDirection::Up) << int(LocateMatch::AnyPart) << 1 << 0;
        QTest::newRow("all, whole field") << ""
                                          << "caja sin cierre" << ci << int(LocateDirection::All)
                                          << int(LocateMatch::WholeField) << 5 << 0;
        QTest::newRow("whole field is not a prefix") << ""
                                                     << "Caja" << ci << int(LocateDirection::All)
                                                     << int(LocateMatch::WholeField) << -1 << -1;
        QTest::newRow("case-sensitive misses") << ""
                                               << "bodega" << 0 << int(LocateDirection::All)
                                               << int(LocateMatch::FromBeginning) << -1 << -1;
        QTest::newRow("named field")
            << "ERRO_CADENA"
            << "FV" << ci << int(LocateDirection::All) << int(LocateMatch::WholeField) << 11 << 1;
        QTest::newRow("all columns, down") << ""
                                           << "2023" << (ci | all) << int(LocateDirection::Down)
                                           << int(LocateMatch::WholeField) << 8 << 1;
        QTest::newRow("all columns, up wraps to the previous record")
            << ""
            << "13" << (ci | all) << int(LocateDirection::Up) << int(LocateMatch::WholeField) << 1
            << 1;
        QTest::newRow("down skips the current record")
            << ""
            << "Bodega" << ci << int(LocateDirection::Down) << int(LocateMatch::FromBeginning) << -1
            << -1;
    }
    void locateDirectionsAndModes() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, options);
        QFETCH(int, direction);
        QFETCH(int, match);
        QFETCH(int, expectedRow);
        QFETCH(int, expectedColumn);
        errors().setRecNo(5);
        const bool found = grid().locate(field, text, LocateOptions::fromInt(options),
                                         LocateDirection(direction), LocateMatch(match));
        QCOMPARE(found, expectedRow >= 0);
        QCOMPARE(grid().currentRow(), found ? expectedRow : 4);
        QCOMPARE(grid().currentColumn(), found ? expectedColumn : 0);
        QCOMPARE(errors().RecNo(), grid().currentRow() + 1);
    }

    void followsTheDataSetBothWays() {
        errors().setRecNo(7);
        QCOMPARE(grid().currentRow(), 6);
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(errors().RecNo(), 8);
        QTest::keyClick(&grid(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(errors().RecNo(), 1);
        QTest::keyClick(&grid(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(errors().RecNo(), int(std::size(kErrorRows)));
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(errors().RecordCount(), int(std::size(kErrorRows))); // no append here
        QCOMPARE(errors().State(), dataset::DataSetState::Browse);
        QTest::keyClick(&grid(), Qt::Key_Insert);
        QTest::keyClick(&grid(), Qt::Key_F2);
        QCOMPARE(errors().State(), dataset::DataSetState::Browse);
        QVERIFY(!grid().editorShown());
    }

    void aClosedDataSetShowsNoRowsAndIgnoresKeys() {
        errors().close();
        QCOMPARE(grid().rowCount(), 0);
        QTest::keyClicks(&grid(), "Ab");
        QVERIFY(!inside().search.searching());
        QVERIFY(!grid().locate("", "A", {}, LocateDirection::All, LocateMatch::AnyPart));
    }

    void searchHighlightIsPaintedYellow() {
        type("Imp");
        const QImage image = grid().viewport()->grab().toImage();
        const QRect cell = grid().cellRect(grid().currentRow(), 0);
        const int width = grid().fontMetrics().horizontalAdvance("Imp");
        const QPoint inside(cell.left() + 2 + width / 2, cell.top() + 1);
        QCOMPARE(image.pixelColor(inside), DBGrid::kSearchBackground);
        const QPoint past(cell.left() + 2 + width + 30, cell.top() + 1);
        QVERIFY(image.pixelColor(past) != DBGrid::kSearchBackground);
    }

    void markingCells() {
        QWidget* view = grid().viewport();
        const QPoint a = grid().cellRect(1, 0).center();
        const QPoint b = grid().cellRect(3, 1).center();
        QTest::mousePress(view, Qt::LeftButton, {}, a);
        QTest::mouseMove(view, b);
        QTest::mouseRelease(view, Qt::LeftButton, {}, b);
        QVERIFY(inside().marking.contains(2, 1));
        QVERIFY(!inside().marking.contains(2, 2));
        // The top edge of a title marks the whole column; Ctrl toggles another.
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(grid().titleRect(2).center().x(), 1));
        QVERIFY(inside().marking.columnMarked(2));
        QVERIFY(!inside().marking.contains(2, 1));
        QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier,
                          QPoint(grid().titleRect(0).center().x(), 1));
        QVERIFY(inside().marking.columnMarked(0));
        // A keyboard move clears it.
        QTest::keyClick(&grid(), Qt::Key_Down);
        QVERIFY(inside().marking.isEmpty());
    }

    void movingAColumnByItsTitle() {
        QWidget* view = grid().viewport();
        const QPoint from = grid().titleRect(0).center();
        const QPoint to = grid().titleRect(2).center();
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, {}, to);
        QCOMPARE(inside().layout.column(2).fieldName, QString("ERRO_CODIGO"));
        QCOMPARE(inside().layout.totalWidth(), view->width());
        errors().First();
        QCOMPARE(grid().cellText(0, 2), QString("Cuenta inexistente"));
    }
};

} // namespace ui::test

QTEST_MAIN(ui::test::TestErrorGrid)
#include "db_grid_errors_test.moc"
