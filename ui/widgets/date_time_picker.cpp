#include "ui/widgets/date_time_picker.h"

#include <langinfo.h>

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
}

QString DateTimePicker::shortDateFormat() {
    return displayFormat(QString::fromLocal8Bit(nl_langinfo(D_FMT)));
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
        // Modifiers (%Ey, %Od, %-d) do not change which date part is meant.
        while ((specifier == QLatin1Char('E') || specifier == QLatin1Char('O') ||
                specifier == QLatin1Char('-')) &&
               i + 1 < strftimeFormat.size())
            specifier = strftimeFormat[++i];
        if (specifier == QLatin1Char('%')) {
            pending += specifier;
            continue;
        }
        result += literal(pending);
        pending.clear();
        result += conversion(specifier);
    }
    result += literal(pending);
    return result.isEmpty() ? QStringLiteral("dd/MM/yyyy") : result;
}

bool DateTimePicker::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

} // namespace ui
