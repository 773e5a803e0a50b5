// The posting date picker: its start state, its text in the short date format
// as the platform writes it, typing and the drop-down calendar. Runs in the C
// locale, whose short date format is %m/%d/%y.

#include "platform/short_date.h"
#include "ui/widgets/date_time_picker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>

class TestDateTimePicker : public QObject {
    Q_OBJECT

private slots:
    void startsDisabledOnThePlaceholderDate() {
        ui::DateTimePicker picker;
        QVERIFY(!picker.isEnabled());
        QCOMPARE(picker.date(), QDate(2003, 1, 20));
        QVERIFY(picker.calendarPopup());
        QCOMPARE(picker.QDateEdit::displayFormat(), QString("MM/dd/yyyy"));
        QCOMPARE(picker.text(), QString("01/20/2003"));
        QCOMPARE(picker.shortDateText(), QString("01/20/2003"));
        QVERIFY(
            picker.displayedSections() ==
            (QDateTimeEdit::MonthSection | QDateTimeEdit::DaySection | QDateTimeEdit::YearSection));
        QVERIFY(picker.minimumDate() <= QDate(100, 1, 1));
        QCOMPARE(picker.maximumDate(), QDate(9999, 12, 31));
    }

    void showsTheTextThePlatformWrites_data() {
        QTest::addColumn<QString>("format");
        for (const char* format : {"%d/%m/%Y", "%m/%d/%y", "%Y-%m-%d", "%d.%m.%y", "%F", "%D",
                                   "%-d/%-m/%y", "%d %b %Y", "%Od.%Om.%Ey"})
            QTest::newRow(format) << format;
    }

    void showsTheTextThePlatformWrites() {
        QFETCH(QString, format);
        ui::DateTimePicker picker;
        picker.setDisplayFormat(ui::DateTimePicker::displayFormat(format));
        for (const platform::Date day : {platform::Date{2003, 1, 20}, platform::Date{2024, 2, 29},
                                         platform::Date{1999, 12, 31}}) {
            picker.setCalendarDate(day);
            QCOMPARE(picker.calendarDate(), day);
            QCOMPARE(picker.text(),
                     QString::fromStdString(platform::formatDate(day, format.toStdString())));
        }
    }

    void keysStepTheCalendarDate() {
        ui::DateTimePicker picker;
        picker.setEnabled(true);
        picker.show();
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        picker.setFocus();
        picker.setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(&picker, Qt::Key_Up);
        QCOMPARE(picker.date(), QDate(2003, 1, 21));
        picker.setCurrentSection(QDateTimeEdit::MonthSection);
        QTest::keyClick(&picker, Qt::Key_Up);
        QCOMPARE(picker.date(), QDate(2003, 2, 21));
        QCOMPARE(picker.shortDateText(), QString("02/21/2003"));
        QCOMPARE(platform::shortTextToDate(picker.shortDateText().toStdString()),
                 (platform::Date{2003, 2, 21}));
    }

    void calendarPicksADay() {
        ui::DateTimePicker picker;
        picker.setEnabled(true);
        QVERIFY(picker.calendarWidget());
        emit picker.calendarWidget()->clicked(QDate(2024, 7, 31));
        QCOMPARE(picker.date(), QDate(2024, 7, 31));
    }

    void tabLeavesThePicker() {
        QWidget window;
        auto* picker = new ui::DateTimePicker(&window);
        picker->setEnabled(true);
        auto* next = new QLineEdit(&window);
        next->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        picker->setFocus();
        QTest::keyClick(picker, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
};

QTEST_MAIN(TestDateTimePicker)
#include "date_time_picker_test.moc"
