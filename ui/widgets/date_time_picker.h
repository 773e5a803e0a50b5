#pragma once
// The posting date: a date-only field with a drop-down month calendar, shown
// in the user's short date format with the year always in four digits. It
// starts disabled, holding a placeholder date until sign-in sets today.

#include "platform/short_date.h"

#include <QDate>
#include <QDateEdit>
#include <QString>

namespace ui {

class DateTimePicker : public QDateEdit {
    Q_OBJECT
public:
    // Shown until sign-in replaces it with today's date.
    static QDate placeholderDate() { return {2003, 1, 20}; }

    explicit DateTimePicker(QWidget* parent = nullptr);

    // The user's short date format (platform::shortDateFormat) as a display
    // format.
    static QString shortDateFormat();

    // Turns a strftime date format into a display format. A two-digit year
    // is widened to four digits, so that a shown date reads back as the same
    // date; other text is kept literally.
    static QString displayFormat(const QString& strftimeFormat);

    // The chosen calendar day, and the same day as the user's short date
    // text, as the posting statement and the adjustments filter send it.
    platform::Date calendarDate() const;
    void setCalendarDate(const platform::Date& date);
    QString shortDateText() const;

protected:
    // Tab leaves the picker instead of stepping through its date sections.
    bool focusNextPrevChild(bool next) override;
};

} // namespace ui
