#include "ui/grid/grid_locator.h"

#include <QLocale>

namespace ui {

namespace {

// How often the input queue is asked for a waiting Esc.
constexpr int kEscCheckInterval = 1024;

class Walker {
public:
    Walker(int rows, int columns, bool allColumns, bool up)
        : rows_(rows), columns_(columns), allColumns_(allColumns), up_(up) {}

    void step(CellPosition& at) const {
        if (!allColumns_) {
            at.row += up_ ? -1 : 1;
            return;
        }
        if (up_) {
            if (--at.column < 0) {
                at.column = columns_ - 1;
                --at.row;
            }
        } else if (++at.column >= columns_) {
            at.column = 0;
            ++at.row;
        }
    }

    bool inside(const CellPosition& at) const { return at.row >= 0 && at.row < rows_; }

private:
    int rows_;
    int columns_;
    bool allColumns_;
    bool up_;
};

} // namespace

bool GridLocator::matches(const QString& cell, const QString& text, LocateMatch match) {
    switch (match) {
    case LocateMatch::AnyPart:
        return cell.contains(text);
    case LocateMatch::WholeField:
        return cell == text;
    case LocateMatch::FromBeginning:
        return cell.startsWith(text);
    }
    return false;
}

std::optional<CellPosition> GridLocator::find(const CellTextSource& cells, CellPosition from,
                                              const LocateRequest& request,
                                              const EscPending& escPending) {
    const int columns = cells.columnCount();
    if (columns == 0 || from.column < 0 || from.column >= columns) {
        return std::nullopt;
    }
    const bool ignoreCase = request.options.testFlag(LocateOption::CaseInsensitive);
    const bool displayText = request.options.testFlag(LocateOption::MatchDisplayText);
    const bool stopOnEsc = request.options.testFlag(LocateOption::StopOnEsc) && escPending;
    const QLocale locale;
    const QString text = ignoreCase ? locale.toUpper(request.text) : request.text;

    const Walker walker(cells.rowCount(), columns,
                        request.options.testFlag(LocateOption::AllColumns),
                        request.direction == LocateDirection::Up);
    CellPosition at = from;
    if (request.direction == LocateDirection::All) {
        at.row = 0;
    } else {
        walker.step(at);
    }
    for (int visited = 1; walker.inside(at); ++visited) {
        const QString cell = cells.cellText(at.row, at.column, displayText);
        if (matches(ignoreCase ? locale.toUpper(cell) : cell, text, request.match)) {
            return at;
        }
        if (stopOnEsc && visited % kEscCheckInterval == 0 && escPending()) {
            return std::nullopt;
        }
        walker.step(at);
    }
    return std::nullopt;
}

} // namespace ui
