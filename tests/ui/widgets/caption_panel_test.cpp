// The adjustments panel's caption bar: what it paints and that the mouse does
// nothing to it.

#include "ui/widgets/caption_panel.h"

#include <QAbstractButton>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

namespace {

class MouseCounter : public QWidget {
public:
    int events = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++events; }
    void mouseReleaseEvent(QMouseEvent*) override { ++events; }
    void mouseDoubleClickEvent(QMouseEvent*) override { ++events; }
    void mouseMoveEvent(QMouseEvent*) override { ++events; }
};

} // namespace

class TestCaptionPanel : public QObject {
    Q_OBJECT

private slots:
    void paintsTheCaptionBarInHighlightColours() {
        ui::CaptionPanel panel;
        panel.setCaption("Tarifas");
        panel.resize(305, 161);
        const QImage image = panel.grab().toImage();
        const QPalette colours = panel.palette();
        const QRect bar = panel.captionBarRect();
        QCOMPARE(bar, QRect(1, 1, 303, 18));
        QCOMPARE(image.pixel(0, 0), colours.color(QPalette::Dark).rgb());
        QCOMPARE(image.pixel(304, 80), colours.color(QPalette::Dark).rgb());
        QCOMPARE(image.pixel(bar.right(), bar.bottom()), colours.color(QPalette::Highlight).rgb());
        QCOMPARE(image.pixel(150, 100), colours.color(QPalette::Button).rgb());

        // The text starts at the bar's top-left corner: ink near it, none far right.
        QRect ink;
        for (int y = bar.top(); y <= bar.bottom(); ++y)
            for (int x = bar.left(); x <= bar.right(); ++x)
                if (image.pixel(x, y) != colours.color(QPalette::Highlight).rgb())
                    ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(ink.left() <= bar.left() + 2, qPrintable(QString::number(ink.left())));
        QVERIFY2(ink.top() <= bar.top() + 4, qPrintable(QString::number(ink.top())));
        QVERIFY(ink.right() < bar.left() + 60);

        QCOMPARE(panel.captionFont().pixelSize(), 11);
        QCOMPARE(panel.captionFont().weight(), QFont::Normal);
        QVERIFY(!panel.captionFont().italic());
        QVERIFY(panel.findChildren<QAbstractButton*>().isEmpty());
    }

    void mouseOnTheBarDoesNothing() {
        MouseCounter window;
        window.resize(400, 300);
        auto* panel = new ui::CaptionPanel(&window);
        panel->setCaption("Tarifas");
        panel->setGeometry(32, 96, 305, 161);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QPoint onBar(40, 9);
        QTest::mouseClick(panel, Qt::LeftButton, {}, onBar);
        QTest::mouseDClick(panel, Qt::LeftButton, {}, onBar);
        QTest::mousePress(panel, Qt::LeftButton, {}, onBar);
        QTest::mouseMove(panel, onBar + QPoint(50, 40));
        QTest::mouseRelease(panel, Qt::LeftButton, {}, onBar + QPoint(50, 40));
        QTest::mouseClick(panel, Qt::RightButton, {}, onBar);

        QCOMPARE(panel->geometry(), QRect(32, 96, 305, 161));
        QVERIFY(panel->isVisible());
        QCOMPARE(window.events, 0);
    }
};

QTEST_MAIN(TestCaptionPanel)
#include "caption_panel_test.moc"
