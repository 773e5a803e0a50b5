// The window's building blocks: band layout, navigator button widths, tool
// button glyph transparency, caption panel and date picker formats.

#include "ui/grid/db_grid.h"
#include "ui/widgets/band_layout.h"
#include "ui/widgets/caption_panel.h"
#include "ui/widgets/date_time_picker.h"
#include "ui/widgets/db_navigator.h"
#include "ui/widgets/speed_button.h"

#include <QImage>
#include <QTest>
#include <QToolButton>

using Band = ui::BandLayout::Band;

class TestUiWidgets : public QObject {
    Q_OBJECT

private slots:
    void bandLayout_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<QRect>("fill");
        QTest::addColumn<QRect>("lowest");
        QTest::addColumn<QRect>("aboveLowest");
        QTest::newRow("laid out") << 100 << QRect(0, 30, 50, 30) << QRect(0, 80, 50, 20)
                                  << QRect(0, 60, 50, 20);
        QTest::newRow("taller") << 150 << QRect(0, 30, 50, 80) << QRect(0, 130, 50, 20)
                                << QRect(0, 110, 50, 20);
        QTest::newRow("exactly the fixed bands")
            << 70 << QRect(0, 30, 50, 0) << QRect(0, 50, 50, 20) << QRect(0, 30, 50, 20);
        QTest::newRow("too small: bands overlap")
            << 40 << QRect(0, 30, 50, 0) << QRect(0, 20, 50, 20) << QRect(0, 0, 50, 20);
    }

    void bandLayout() {
        QFETCH(int, height);
        QFETCH(QRect, fill);
        QFETCH(QRect, lowest);
        QFETCH(QRect, aboveLowest);
        QWidget parent;
        auto* top = new QWidget(&parent);
        top->resize(10, 30);
        auto* middle = new QWidget(&parent);
        auto* bottom = new QWidget(&parent);
        bottom->resize(10, 20);
        auto* aboveBottom = new QWidget(&parent);
        aboveBottom->resize(10, 20);
        auto* layout = new ui::BandLayout(&parent);
        layout->addWidget(top, Band::Top);
        layout->addWidget(bottom, Band::Bottom);
        layout->addWidget(aboveBottom, Band::Bottom);
        layout->addWidget(middle, Band::Fill);

        parent.resize(50, height);
        parent.show();
        layout->activate();
        QCOMPARE(top->geometry(), QRect(0, 0, 50, 30));
        QCOMPARE(middle->geometry(), fill);
        QCOMPARE(bottom->geometry(), lowest);
        QCOMPARE(aboveBottom->geometry(), aboveLowest);
        QCOMPARE(parent.minimumSize(), QSize(0, 0));
    }

    void navigatorButtonWidths_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("adjustments navigator")
            << 303 << 7 << QList<int>{43, 44, 43, 43, 43, 44, 43};
        QTest::newRow("even split") << 70 << 7 << QList<int>{10, 10, 10, 10, 10, 10, 10};
        QTest::newRow("remainder two of five") << 12 << 5 << QList<int>{2, 3, 2, 3, 2};
        QTest::newRow("narrower than the buttons") << 3 << 4 << QList<int>{1, 0, 1, 1};
        QTest::newRow("no buttons") << 303 << 0 << QList<int>{};
    }

    void navigatorButtonWidths() {
        QFETCH(int, width);
        QFETCH(int, count);
        QFETCH(QList<int>, widths);
        const std::vector<int> actual = ui::DBNavigator::buttonWidths(width, count);
        QCOMPARE(QList<int>(actual.begin(), actual.end()), widths);
    }

    void navigatorLaysOutItsVisibleButtons() {
        ui::DBNavigator navigator;
        navigator.resize(303, 18);
        using ui::NavigateButton;
        navigator.setVisibleButtons({NavigateButton::First, NavigateButton::Prior,
                                     NavigateButton::Next, NavigateButton::Last,
                                     NavigateButton::Insert, NavigateButton::Delete,
                                     NavigateButton::Cancel});
        navigator.show();
        const QList<int> lefts{0, 43, 87, 130, 173, 216, 260};
        const NavigateButton shown[] = {NavigateButton::First,  NavigateButton::Prior,
                                        NavigateButton::Next,   NavigateButton::Last,
                                        NavigateButton::Insert, NavigateButton::Delete,
                                        NavigateButton::Cancel};
        for (int i = 0; i < 7; ++i) {
            QToolButton* button = navigator.button(shown[i]);
            QVERIFY(button->isVisible());
            QCOMPARE(button->geometry().left(), lefts[i]);
            QCOMPARE(button->height(), 18);
            QVERIFY(!button->isEnabled());
        }
        QCOMPARE(navigator.button(NavigateButton::Cancel)->geometry().right(), 302);
        for (NavigateButton hidden :
             {NavigateButton::Edit, NavigateButton::Post, NavigateButton::Refresh})
            QVERIFY(!navigator.button(hidden)->isVisible());
    }

    void glyphBottomLeftColourIsTransparent() {
        QImage glyph(4, 3, QImage::Format_RGB888);
        glyph.fill(QColor(255, 0, 255));
        glyph.setPixel(1, 1, qRgb(0, 128, 0));
        glyph.setPixel(2, 0, qRgb(255, 0, 254)); // close to, but not, the transparent colour
        const QImage result = ui::SpeedButton::transparentGlyph(glyph);
        QCOMPARE(result.size(), glyph.size());
        QCOMPARE(qAlpha(result.pixel(0, 2)), 0);
        QCOMPARE(qAlpha(result.pixel(3, 0)), 0);
        QCOMPARE(result.pixel(1, 1), qRgba(0, 128, 0, 255));
        QCOMPARE(result.pixel(2, 0), qRgba(255, 0, 254, 255));
        QVERIFY(ui::SpeedButton::transparentGlyph(QImage()).isNull());
    }

    void captionPanelPlacesItsBandsUnderTheBar() {
        ui::CaptionPanel panel;
        auto* grid = new ui::DBGrid(&panel);
        auto* navigator = new ui::DBNavigator(&panel);
        navigator->resize(10, 18);
        panel.addWidget(navigator, Band::Bottom);
        panel.addWidget(grid, Band::Fill);
        panel.resize(305, 161);
        panel.show();
        QCOMPARE(panel.captionBarRect(), QRect(1, 1, 303, 18));
        QCOMPARE(grid->geometry(), QRect(1, 19, 303, 123));
        QCOMPARE(navigator->geometry(), QRect(1, 142, 303, 18));
        panel.resize(405, 261);
        QCOMPARE(grid->geometry(), QRect(1, 19, 403, 223));
        QCOMPARE(navigator->geometry(), QRect(1, 242, 403, 18));
    }

    void shortDateFormats_data() {
        QTest::addColumn<QString>("strftime");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("shown");
        QTest::newRow("C locale") << "%m/%d/%y"
                                  << "MM/dd/yyyy"
                                  << "01/20/2003";
        QTest::newRow("es_CO") << "%d/%m/%y"
                               << "dd/MM/yyyy"
                               << "20/01/2003";
        QTest::newRow("de_DE") << "%d.%m.%Y"
                               << "dd.MM.yyyy"
                               << "20.01.2003";
        QTest::newRow("ISO") << "%F"
                             << "yyyy-MM-dd"
                             << "2003-01-20";
        QTest::newRow("literal letters") << "%e de %B de %Y"
                                         << "d' de 'MMMM' de 'yyyy"
                                         << "20 de January de 2003";
        QTest::newRow("escaped percent") << "%d%%%m%%%Y"
                                         << "dd%MM%yyyy"
                                         << "20%01%2003";
        QTest::newRow("empty") << ""
                               << "dd/MM/yyyy"
                               << "20/01/2003";
    }

    void shortDateFormats() {
        QFETCH(QString, strftime);
        QFETCH(QString, display);
        QFETCH(QString, shown);
        QCOMPARE(ui::DateTimePicker::displayFormat(strftime), display);
        const QDate date(2003, 1, 20);
        QCOMPARE(QLocale::c().toString(date, display), shown);
        QCOMPARE(QLocale::c().toDate(shown, display), date);
    }
};

QTEST_MAIN(TestUiWidgets)
#include "db_navigator_test.moc"
