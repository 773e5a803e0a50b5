// Column widths of a grid: fitting to the width and resizing by hand.

#include "ui/grid/column_layout.h"

#include <QTest>

namespace ui {

class TestColumnLayout : public QObject {
    Q_OBJECT

private:
    static ColumnLayout errorColumns(int description = 124) {
        ColumnLayout layout;
        layout.setColumns({{"ERRO_CODIGO", "Descripción", description},
                           {"ERRO_CADENA", "Valor", 90},
                           {"INTERFAZ", "INTERFAZ", 120}});
        layout.setFitted(true);
        return layout;
    }

    static int sumOfWidths(const ColumnLayout& layout) {
        int sum = 0;
        for (int i = 0; i < layout.count(); ++i) {
            sum += layout.width(i);
        }
        return sum;
    }

private slots:
    void fittedColumnsFillTheClientWidth_data() {
        QTest::addColumn<int>("clientWidth");
        QTest::newRow("as laid out") << 360;
        QTest::newRow("widened") << 800;
        QTest::newRow("odd width") << 1001;
        QTest::newRow("narrower than the bases") << 120;
        QTest::newRow("just the indicator and lines") << 15;
        QTest::newRow("less than the indicator") << 5;
    }
    void fittedColumnsFillTheClientWidth() {
        QFETCH(int, clientWidth);
        ColumnLayout layout = errorColumns();
        layout.fit(clientWidth);
        const int needed = ColumnLayout::kIndicatorWidth + layout.count() + 1;
        if (clientWidth >= needed) {
            QCOMPARE(layout.totalWidth(), clientWidth);
            QCOMPARE(sumOfWidths(layout) + ColumnLayout::kIndicatorWidth + layout.count() + 1,
                     clientWidth);
        }
        for (int i = 0; i < layout.count(); ++i) {
            QVERIFY(layout.width(i) >= 0);
        }
    }

    void wideningKeepsTheRatioOfTheBaseWidths_data() {
        QTest::addColumn<int>("clientWidth");
        QTest::newRow("twice") << 2 * (334 + 15);
        QTest::newRow("four times") << 4 * 334 + 15;
        QTest::newRow("large") << 3000;
    }
    void wideningKeepsTheRatioOfTheBaseWidths() {
        QFETCH(int, clientWidth);
        ColumnLayout layout = errorColumns();
        layout.fit(clientWidth);
        const double total = 124 + 90 + 120;
        const int available = clientWidth - 15;
        const int bases[] = {124, 90, 120};
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(std::abs(layout.width(i) - bases[i] * available / total) <= 1.0,
                     qPrintable(QString::number(layout.width(i))));
        }
        QCOMPARE(layout.baseWidth(0), 124); // fitting keeps the base widths
    }

    void draggingAColumnEdgeWhileFitted_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("delta");
        QTest::newRow("Valor wider") << 1 << 30;
        QTest::newRow("Valor narrower") << 1 << -40;
        QTest::newRow("the first column wider") << 0 << 25;
    }
    void draggingAColumnEdgeWhileFitted() {
        QFETCH(int, column);
        QFETCH(int, delta);
        ColumnLayout layout = errorColumns();
        layout.fit(349);
        const int before = layout.width(column);
        const int nextBefore = layout.width(column + 1);
        const int othersBefore = sumOfWidths(layout) - before - nextBefore;
        layout.resizeByHand(column, before + delta, 349);
        QCOMPARE(layout.totalWidth(), 349);
        // At the laid-out width the bases are the widths, so the change stays
        // between the two neighbours.
        QVERIFY(std::abs(layout.width(column) - (before + delta)) <= 1);
        QVERIFY(std::abs(layout.width(column + 1) - (nextBefore - delta)) <= 1);
        QCOMPARE(sumOfWidths(layout) - layout.width(column) - layout.width(column + 1),
                 othersBefore);
    }

    void draggingTheLastColumnSpreadsOverAllColumns() {
        ColumnLayout layout = errorColumns();
        layout.fit(349);
        QCOMPARE(layout.width(2), 120);
        layout.resizeByHand(2, 180, 349);
        QCOMPARE(layout.baseWidth(0), 124);
        QCOMPARE(layout.baseWidth(1), 90);
        QCOMPARE(layout.baseWidth(2), 180);
        QCOMPARE(layout.totalWidth(), 349);
        // 334 pixels shared 124 : 90 : 180.
        QCOMPARE(layout.width(0), 105);
        QCOMPARE(layout.width(1), 76);
        QCOMPARE(layout.width(2), 153);
    }

    void aColumnDraggedToNothingKeepsANonNegativeWidth() {
        ColumnLayout layout = errorColumns();
        layout.fit(349);
        layout.resizeByHand(1, 400, 349);
        QCOMPARE(layout.baseWidth(2), 0);
        QCOMPARE(layout.totalWidth(), 349);
        QVERIFY(layout.width(2) >= 0);
    }

    void unfittedColumnsKeepTheirWidths() {
        ColumnLayout layout;
        layout.setColumns({{"A", "A", 40}, {"B", "B", 60}});
        layout.fit(1000);
        QCOMPARE(layout.width(0), 40);
        layout.resizeByHand(0, 70, 1000);
        QCOMPARE(layout.width(0), 70);
        QCOMPARE(layout.width(1), 60);
    }

    void hitTesting_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("edge");
        // Indicator 0..10, line 11, A 12..51, line 52, B 53..112, line 113.
        QTest::newRow("indicator") << 5 << -1 << -1;
        QTest::newRow("first pixel of A") << 12 << 0 << -1;
        QTest::newRow("right edge of A") << 52 << 0 << 0;
        QTest::newRow("inside B") << 80 << 1 << -1;
        QTest::newRow("right edge of B") << 113 << 1 << 1;
        QTest::newRow("past the columns") << 200 << -1 << -1;
    }
    void hitTesting() {
        QFETCH(int, x);
        QFETCH(int, column);
        QFETCH(int, edge);
        ColumnLayout layout;
        layout.setColumns({{"A", "A", 40}, {"B", "B", 60}});
        QCOMPARE(layout.columnAt(x), column);
        QCOMPARE(layout.edgeAt(x, 1), edge);
    }
};

} // namespace ui

QTEST_GUILESS_MAIN(ui::TestColumnLayout)
#include "column_layout_test.moc"
