#include "ui/widgets/date_time_picker.h"

#include "platform/short_date.h"

namespace ui {

namespace {

// The display-format text of one strftime conversion, or an empty text for
// a conversion that is not a date part.
QString conversion(QChar specifier) {
    switch (specifier.unicode()) {
    case 'd':
        return QStringLiteral("dd");
    case 'e':
        return QStringLiteral("d");
    case 'm':
        return QStringLiteral("MM");
    case 'y':
    case 'Y':
        return QStringLiteral("yyyy");
    case 'b':
    case 'h':
        return QStringLiteral("MMM");
    case 'B':
        return QStringLiteral("MMMM");
    case 'a':
        return QStringLiteral("ddd");
    case 'A':
        return QStringLiteral("dddd");
    case 'D':
        return QStringLiteral("MM/dd/yyyy");
    case 'F':
        return QStringLiteral("yyyy-MM-dd");
    default:
        return {};
    }
}

// Literal text goes in quotes, a quote doubled, so that no letter of it is
// read as a date part.
QString literal(const QString& text) {
    if (text.isEmpty())
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    bool hasLetter = false;
    for (QChar c : text)
        hasLetter = hasLetter || c.isLetter();
    return hasLetter ? QLatin1Char('\'') + quoted + QLatin1Char('\'') : quoted;
}

} // namespace

DateTimePicker::DateTimePicker(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(shortDateFormat());
    setFocusPolicy(Qt::StrongFocus);
    // No limits of its own: the widest range the field can show.
    setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    setDate(placeholderDate());
    setEnabled(false);
}

QString DateTimePicker::shortDateFormat() {
    return displayFormat(QString::fromStdString(platform::shortDateFormat()));
}

QString DateTimePicker::displayFormat(const QString& strftimeFormat) {
    QString result;
    QString pending;
    for (qsizetype i = 0; i < strftimeFormat.size(); ++i) {
        const QChar c = strftimeFormat[i];
        if (c != QLatin1Char('%') || i + 1 == strftimeFormat.size()) {
            pending += c;
            continue;
        }
        QChar specifier = strftimeFormat[++i];
        // Flags and modifiers (%Ey, %Od, %_m) do not change which date part
        // is meant; "-" drops the leading zero of a day or month.
        bool unpadded = false;
        while (QStringView(u"EO-_0^#").contains(specifier) && i + 1 < strftimeFormat.size()) {
            unpadded = unpadded || specifier == QLatin1Char('-');
            specifier = strftimeFormat[++i];
        }
        if (specifier == QLatin1Char('%')) {
            pending += specifier;
            continue;
        }
        result += literal(pending);
        pending.clear();
        if (unpadded && specifier == QLatin1Char('d'))
            specifier = QLatin1Char('e');
        result +=
            unpadded && specifier == QLatin1Char('m') ? QStringLiteral("M") : conversion(specifier);
    }
    result += literal(pending);
    return result.isEmpty() ? QStringLiteral("dd/MM/yyyy") : result;
}

platform::Date DateTimePicker::calendarDate() const {
    const QDate day = date();
    return {day.year(), day.month(), day.day()};
}

void DateTimePicker::setCalendarDate(const platform::Date& day) {
    setDate(QDate(day.year, day.month, day.day));
}

QString DateTimePicker::shortDateText() const {
    return QString::fromStdString(platform::dateToShortText(calendarDate()));
}

bool DateTimePicker::focusNextPrevChild(bool next) {
    // QDateTimeEdit's own version is the one that steps through the sections.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    return QWidget::focusNextPrevChild(next);
}

} // namespace ui
