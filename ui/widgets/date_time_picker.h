#pragma once
// A date field with a drop-down month calendar, shown in the user's short
// date format with the year always in four digits.

#include <QDateEdit>
#include <QString>

namespace ui {

class DateTimePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DateTimePicker(QWidget* parent = nullptr);

    // The user's short date format (LC_TIME) as a display format.
    static QString shortDateFormat();

    // Turns a strftime date format into a display format. A two-digit year
    // is widened to four digits, so that a shown date reads back as the same
    // date; other text is kept literally.
    static QString displayFormat(const QString& strftimeFormat);

protected:
    // Tab leaves the picker instead of stepping through its date sections.
    bool focusNextPrevChild(bool next) override;
};

} // namespace ui
