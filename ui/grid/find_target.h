#pragma once
// What the find dialog needs of a data grid: its visible columns, its current
// column, whether its data set is open, and its locate operation. The data
// grid implements it; the dialog only gathers the locate inputs and calls it.

#include <QFlags>
#include <QList>
#include <QString>

class QWidget;

namespace ui {

enum class LocateOption {
    CaseInsensitive = 0x1,  // both texts upper-cased by the locale first
    AllColumns = 0x2,       // step through every cell of a record, then the next
    MatchDisplayText = 0x4, // compare the column's display text, not the plain text
    StopOnEsc = 0x8,        // give up when an Esc press is waiting
};
using LocateOptions = QFlags<LocateOption>;

enum class LocateDirection { Up, Down, All };

enum class LocateMatch { AnyPart, WholeField, FromBeginning };

struct FindColumn {
    QString fieldName; // empty for a column without a field
    QString title;
};

class FindTarget {
public:
    virtual ~FindTarget() = default;

    // The visible columns, in their displayed order.
    virtual QList<FindColumn> findColumns() const = 0;
    // Index into findColumns() of the current column, or -1.
    virtual int currentFindColumn() const = 0;
    virtual bool hasOpenDataSet() const = 0;

    // Looks for text from the current record in the given direction, starting
    // at fieldName's column (empty: the current column). On a match the
    // current record moves there and true is returned; otherwise the grid is
    // left as it was.
    virtual bool locate(const QString& fieldName, const QString& text, LocateOptions options,
                        LocateDirection direction, LocateMatch match) = 0;

    // The grid widget, which gets the focus back when the dialog closes.
    virtual QWidget* findWidget() = 0;
};

} // namespace ui

Q_DECLARE_OPERATORS_FOR_FLAGS(ui::LocateOptions)
