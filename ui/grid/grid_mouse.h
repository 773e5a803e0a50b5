#pragma once
// The mouse on a data grid: clicking cells, marking blocks and whole
// columns, dragging a title's right edge to resize its column and dragging a
// title to move its column.

#include <QPoint>

class QMouseEvent;

namespace ui {

class DBGrid;
class DBGridPrivate;

class GridMouse {
public:
    // Pixels at the top of a title cell where a click marks the column.
    static constexpr int kColumnMarkEdge = 3;
    // Pixels either side of a title's right edge that grab it.
    static constexpr int kResizeSlack = 2;

    GridMouse(DBGrid& grid, DBGridPrivate& d) : grid_(grid), d_(d) {}

    void press(QMouseEvent& event);
    void move(QMouseEvent& event);
    void release(QMouseEvent& event);
    // Drops a drag the release of which will not reach the grid: the grid
    // was hidden or lost the focus, or Esc was pressed.
    void cancel();

private:
    enum class Drag { None, Resize, Move, Block };

    void updateCursor(const QPoint& at);

    DBGrid& grid_;
    DBGridPrivate& d_;
    Drag drag_ = Drag::None;
    int dragColumn_ = -1;
    int anchorRow_ = -1;
    int anchorColumn_ = -1;
};

} // namespace ui
