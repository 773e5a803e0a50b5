#pragma once
// The search behind the grid's locate operation: walks the cells from a
// starting place in a direction and reports the first whose text matches.
// It reads cells without moving the data set, so a miss leaves the grid
// exactly where it was.

#include "ui/grid/find_target.h"

#include <QString>

#include <functional>
#include <optional>

namespace ui {

// The cells the locate walks: rows of the view by index, columns in their
// displayed order.
class CellTextSource {
public:
    virtual ~CellTextSource() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    // The column's display text, or the field's plain text; "" without a field.
    virtual QString cellText(int row, int column, bool displayText) const = 0;
};

struct CellPosition {
    int row = 0;
    int column = 0;
    bool operator==(const CellPosition&) const = default;
};

struct LocateRequest {
    QString text;
    LocateOptions options;
    LocateDirection direction = LocateDirection::All;
    LocateMatch match = LocateMatch::FromBeginning;
};

class GridLocator {
public:
    // True when an Esc press waits to be handled; asked with StopOnEsc.
    using EscPending = std::function<bool()>;

    // from: the current row and the column the search starts in.
    static std::optional<CellPosition> find(const CellTextSource& cells, CellPosition from,
                                            const LocateRequest& request,
                                            const EscPending& escPending = {});

    // Whether a cell's text matches; both texts already upper-cased when the
    // search ignores case.
    static bool matches(const QString& cell, const QString& text, LocateMatch match);
};

} // namespace ui
