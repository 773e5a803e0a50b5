// The adjustments grid, DBGrid2, over the closing-rate adjustments: its
// keyboard, the cell editor and what reaches the data set.

#include "tests/ui/grid/grid_fixture.h"
#include "ui/grid/cell_editor.h"
#include "ui/widgets/db_navigator.h"

#include <QLineEdit>
#include <QToolButton>

namespace ui::test {

using dataset::DataSetState;

class TestAdjustmentsGrid : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<GridDatabase> database_;
    std::unique_ptr<GridSetup> setup_;

    DBGrid& grid() { return *setup_->grid; }
    // The grid's layout, search and marking, which the grid keeps to itself.
    const DBGridPrivate& inside() { return DBGridPrivate::get(grid()); }
    dataset::ClientDataSet& adjustments() { return setup_->sets().CAjuste; }
    QString porc(int row) { return grid().cellText(row, 2); }

private slots:
    void initTestCase() {
        database_ = std::make_unique<GridDatabase>("db_grid_adjustments_test");
        QVERIFY2(!database_->path().empty(), "the company database could not be created");
    }
    void init() {
        setup_ = std::make_unique<GridSetup>(database_->path());
        setup_->adjustmentsGrid({16, 8, 4});
    }
    void cleanup() { setup_.reset(); }

    void titlesAndDefaultWidths() {
        const ColumnLayout& layout = inside().layout;
        QCOMPARE(layout.count(), 4);
        QCOMPARE(layout.column(0).title, QString("F.Desde"));
        QCOMPARE(layout.width(0), grid().defaultColumnWidth(10));
        QCOMPARE(layout.width(2), grid().defaultColumnWidth(16));
        QCOMPARE(grid().rowCount(), 3);
    }

    void downOnTheLastRowAppendsAndUpRemovesIt() {
        QTest::keyClick(&grid(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid().currentRow(), 2);
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(adjustments().State(), DataSetState::Insert);
        QCOMPARE(grid().rowCount(), 4);
        QCOMPARE(grid().currentRow(), 3);
        QCOMPARE(grid().indicatorGlyph(), IndicatorGlyph::Insert);
        // Down again on the untouched new row does nothing.
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(grid().rowCount(), 4);
        QTest::keyClick(&grid(), Qt::Key_Up);
        QCOMPARE(adjustments().State(), DataSetState::Browse);
        QCOMPARE(grid().rowCount(), 3);
        QCOMPARE(grid().currentRow(), 2);
    }

    void anUntouchedRowInsertedInTheMiddleIsCancelledByDown() {
        adjustments().setRecNo(2);
        QTest::keyClick(&grid(), Qt::Key_Insert);
        QCOMPARE(adjustments().State(), DataSetState::Insert);
        QCOMPARE(grid().currentRow(), 1);
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(adjustments().State(), DataSetState::Browse);
        QCOMPARE(grid().rowCount(), 3);
        QCOMPARE(porc(grid().currentRow()), porc(1));
    }

    // A new row inserted in the middle and left untouched goes when the grid
    // moves away; every move lands on the record asked for, counted without
    // that row, also when Esc dropped it first.
    void movesAfterAnUntouchedInsertInTheMiddle_data() {
        QTest::addColumn<bool>("escFirst");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        for (const bool esc : {false, true}) {
            const QString how = esc ? " after Esc" : "";
            QTest::newRow(qPrintable("click below" + how)) << esc << "click 3"
                                                           << "";
            QTest::newRow(qPrintable("click above" + how)) << esc << "click 0"
                                                           << "";
            QTest::newRow(qPrintable("Ctrl+End" + how)) << esc << "ctrl+end"
                                                        << "1";
            QTest::newRow(qPrintable("PageDown" + how)) << esc << "pagedown"
                                                        << "1";
            QTest::newRow(qPrintable("find" + how)) << esc << "find 2"
                                                    << "2";
        }
    }
    void movesAfterAnUntouchedInsertInTheMiddle() {
        QFETCH(bool, escFirst);
        QFETCH(QString, action);
        QFETCH(QString, expected);
        setup_->adjustmentsGrid({16, 8, 4, 2, 1});
        adjustments().setRecNo(2);
        QTest::keyClick(&grid(), Qt::Key_Insert);
        QCOMPARE(grid().currentRow(), 1);
        if (escFirst) {
            QTest::keyClick(&grid(), Qt::Key_Escape);
            QCOMPARE(adjustments().State(), DataSetState::Browse);
        }
        if (action.startsWith("click")) {
            const int row = action.section(' ', 1).toInt();
            expected = porc(row);
            QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                              grid().cellRect(row, 1).center());
            QCOMPARE(grid().currentColumn(), 1);
        } else if (action == "ctrl+end") {
            QTest::keyClick(&grid(), Qt::Key_End, Qt::ControlModifier);
        } else if (action == "pagedown") {
            QTest::keyClick(&grid(), Qt::Key_PageDown);
        } else {
            QVERIFY(grid().locate("AJCI_PORC", action.section(' ', 1), {}, LocateDirection::All,
                                  LocateMatch::WholeField));
        }
        QCOMPARE(adjustments().State(), DataSetState::Browse);
        QCOMPARE(grid().rowCount(), 5);
        QCOMPARE(grid().currentRow(), adjustments().RecNo() - 1);
        QCOMPARE(porc(grid().currentRow()), expected);
        QCOMPARE(setup_->sets().CAjusteAJCI_PORC->AsString(), expected.toStdString());
        QVERIFY(setup_->errors.isEmpty());
    }

    // A row edited out of the filtered view: the grid, the data set and the
    // navigator stay on the next row, and Delete removes that row alone.
    void deleteRemovesTheSelectedRowAfterARowLeftTheView() {
        DBNavigator navigator(&setup_->host);
        navigator.setDataSource(&setup_->sets().DAjuste);
        navigator.setVisibleButtons({NavigateButton::First, NavigateButton::Prior,
                                     NavigateButton::Next, NavigateButton::Last,
                                     NavigateButton::Insert, NavigateButton::Delete,
                                     NavigateButton::Cancel});
        navigator.setGeometry(0, 200, 303, 18);
        navigator.show();
        adjustments().setFilter("AJCI_PORC < 50");
        adjustments().setFiltered(true);
        QTest::keyClick(&grid(), Qt::Key_Down);
        grid().setCurrentColumn(2);
        QTest::keyClicks(&grid(), "6");
        QTest::keyClicks(grid().cellEditor(), "0");
        QTest::keyClick(grid().cellEditor(), Qt::Key_Down);
        QCOMPARE(adjustments().State(), DataSetState::Browse);
        QCOMPARE(grid().rowCount(), 2);
        QCOMPARE(grid().currentRow(), 1);
        QCOMPARE(adjustments().RecNo(), 2);
        QCOMPARE(porc(1), QString("4"));
        QVERIFY(navigator.button(NavigateButton::Delete)->isEnabled());
        QVERIFY(navigator.button(NavigateButton::Prior)->isEnabled());

        const ModalAnswer box{QMessageBox::Ok};
        QTest::mouseClick(navigator.button(NavigateButton::Delete), Qt::LeftButton);
        QVERIFY(box->seen);
        QCOMPARE(grid().rowCount(), 1);
        QCOMPARE(grid().currentRow(), 0);
        QCOMPARE(porc(0), QString("16"));
        adjustments().setFiltered(false);
        QCOMPARE(grid().rowCount(), 2);
        QCOMPARE(porc(0), QString("16"));
        QCOMPARE(porc(1), QString("60"));
        QVERIFY(setup_->errors.isEmpty());
    }

    void typingOpensTheEditorAndWritesOnColumnChange() {
        grid().setCurrentColumn(2);
        QTest::keyClicks(&grid(), "2");
        QVERIFY(grid().editorShown());
        QCOMPARE(adjustments().State(), DataSetState::Edit);
        QCOMPARE(grid().indicatorGlyph(), IndicatorGlyph::Edit);
        QTest::keyClicks(grid().cellEditor(), "5");
        QCOMPARE(grid().cellEditor()->text(), QString("25"));
        QTest::keyClick(grid().cellEditor(), Qt::Key_Tab);
        QVERIFY(!grid().editorShown());
        QCOMPARE(grid().currentColumn(), 3);
        QCOMPARE(adjustments().State(), DataSetState::Edit);
        QCOMPARE(QString::fromStdString(setup_->sets().CAjusteAJCI_PORC->AsBcd().toString()),
                 QString("25"));
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(adjustments().State(), DataSetState::Browse);
        QCOMPARE(grid().currentRow(), 1);
        QVERIFY(porc(0).startsWith("25"));
    }

    void f2EditsWithTheCaretAtTheEndAndEscReverts() {
        grid().setCurrentColumn(2);
        QTest::keyClick(&grid(), Qt::Key_F2);
        QVERIFY(grid().editorShown());
        const QString original = grid().cellEditor()->text();
        QCOMPARE(grid().cellEditor()->cursorPosition(), original.size());
        QTest::keyClicks(grid().cellEditor(), "9");
        QTest::keyClick(grid().cellEditor(), Qt::Key_Escape);
        QVERIFY(!grid().editorShown());
        QCOMPARE(grid().cellText(0, 2), porc(0));
        QVERIFY(!porc(0).endsWith("9"));
        // No cell edit pending any more: Esc cancels the record's edit.
        QTest::keyClick(&grid(), Qt::Key_Escape);
        QCOMPARE(adjustments().State(), DataSetState::Browse);
    }

    void enterActsAsTab_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expectedRow");
        QTest::addColumn<int>("expectedColumn");
        QTest::newRow("Enter in the last column") << 3 << 0 << 0 << 1 << 0;
        QTest::newRow("Enter in the middle") << 1 << 0 << 0 << 0 << 2;
        QTest::newRow("Shift+Enter in the first column")
            << 0 << int(Qt::ShiftModifier) << 1 << 0 << 3;
        QTest::newRow("Enter in the last cell appends") << 3 << 0 << 2 << 3 << 0;
    }
    void enterActsAsTab() {
        QFETCH(int, column);
        QFETCH(int, modifiers);
        QFETCH(int, row);
        QFETCH(int, expectedRow);
        QFETCH(int, expectedColumn);
        adjustments().setRecNo(row + 1);
        grid().setCurrentColumn(column);
        QTest::keyClick(&grid(), Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(grid().currentRow(), expectedRow);
        QCOMPARE(grid().currentColumn(), expectedColumn);
        QCOMPARE(grid().window()->focusWidget(), &grid());
    }

    void ctrlDelete_data() {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("empty table: no question") << true << int(QMessageBox::Ok) << 0;
        QTest::newRow("OK deletes") << false << int(QMessageBox::Ok) << 2;
        QTest::newRow("Cancel keeps") << false << int(QMessageBox::Cancel) << 3;
    }
    void ctrlDelete() {
        QFETCH(bool, empty);
        QFETCH(int, answer);
        QFETCH(int, rowsAfter);
        if (empty) {
            setup_->adjustmentsGrid({});
        }
        const ModalAnswer box{QMessageBox::StandardButton(answer)};
        QTest::keyClick(&grid(), Qt::Key_Delete, Qt::ControlModifier);
        if (empty) {
            QTest::qWait(200);
            QVERIFY(!box->seen);
        } else {
            QVERIFY(box->seen);
            QCOMPARE(box->text, QString("Delete record?"));
        }
        QCOMPARE(adjustments().RecordCount(), rowsAfter);
        QCOMPARE(grid().window()->focusWidget(), &grid());
    }

    void ctrlQuoteCopiesTheValueAbove() {
        adjustments().setRecNo(2);
        grid().setCurrentColumn(2);
        QTest::keyClick(&grid(), Qt::Key_Apostrophe, Qt::ControlModifier);
        QVERIFY(grid().editorShown());
        QCOMPARE(adjustments().State(), DataSetState::Edit);
        QCOMPARE(grid().cellEditor()->text(),
                 QString::fromStdString(adjustments().displayTextAt(0, 3)));
    }

    void leavingTheGridWritesAPendingEdit() {
        grid().setCurrentColumn(2);
        QTest::keyClicks(&grid(), "7");
        setup_->other->setFocus();
        QTRY_VERIFY(!grid().cellEditor()->hasFocus());
        QCOMPARE(QString::fromStdString(setup_->sets().CAjusteAJCI_PORC->AsBcd().toString()),
                 QString("7"));
        QCOMPARE(adjustments().State(), DataSetState::Edit);
    }

    void leavingTheGridCancelsAnUntouchedNewRow() {
        QTest::keyClick(&grid(), Qt::Key_Insert);
        QCOMPARE(adjustments().State(), DataSetState::Insert);
        setup_->other->setFocus();
        QTRY_COMPARE(adjustments().State(), DataSetState::Browse);
        QCOMPARE(grid().rowCount(), 3);
    }

    // The test runs in the C locale, whose short date is month/day/year.
    void datesAreTypedAndShownInTheShortDateFormat() {
        const dataset::Field& from = *setup_->sets().CAjusteAJCI_FECINI;
        QTest::keyClicks(&grid(), "1");
        QTest::keyClicks(grid().cellEditor(), "3/05/2024");
        QTest::keyClick(grid().cellEditor(), Qt::Key_Tab);
        QCOMPARE(setup_->errors, QStringList{"'13/05/2024' is not a valid date"});
        QVERIFY(grid().editorShown());
        QCOMPARE(grid().currentColumn(), 0);
        QVERIFY(from.IsNull());
        QCOMPARE(porc(0), QString("16"));

        grid().cellEditor()->selectAll();
        QTest::keyClicks(grid().cellEditor(), "05/13/2024");
        QTest::keyClick(grid().cellEditor(), Qt::Key_Tab);
        QCOMPARE(grid().currentColumn(), 1);
        QVERIFY(from.AsDate() == (db::SQLDate{2024, 5, 13}));
        QCOMPARE(grid().cellText(0, 0), QString("05/13/2024"));
        QTest::keyClick(&grid(), Qt::Key_Left);
        QTest::keyClick(&grid(), Qt::Key_F2);
        QCOMPARE(grid().cellEditor()->text(), QString("05/13/2024"));

        // Cleared, the day is gone again.
        grid().cellEditor()->selectAll();
        QTest::keyClick(grid().cellEditor(), Qt::Key_Delete);
        QTest::keyClick(grid().cellEditor(), Qt::Key_Down);
        QCOMPARE(adjustments().State(), DataSetState::Browse);
        QCOMPARE(setup_->errors.size(), 1);
        QCOMPARE(grid().cellText(0, 0), QString());
    }

    void aFailedPostIsReportedAndTheRowStaysInInsert() {
        adjustments().OnNewRecord = {};
        QTest::keyClick(&grid(), Qt::Key_Insert);
        grid().setCurrentColumn(2);
        QTest::keyClicks(&grid(), "3");
        QTest::keyClick(grid().cellEditor(), Qt::Key_Down);
        QCOMPARE(setup_->errors, QStringList{"Field 'AJCI_ID' must have a value"});
        QCOMPARE(adjustments().State(), DataSetState::Insert);
    }
};

} // namespace ui::test

QTEST_MAIN(ui::test::TestAdjustmentsGrid)
#include "db_grid_adjustments_test.moc"
