#pragma once
// A data grid: a title row over one row per record of its data set, with a
// row indicator column at the left. It follows the data set's current record
// both ways, searches its rows incrementally and through the find dialog, and
// edits cells where its allowed operations permit.

#include "dataset/data_source.h"
#include "ui/grid/cell_marking.h"
#include "ui/grid/column_layout.h"
#include "ui/grid/data_set_cells.h"
#include "ui/grid/find_target.h"
#include "ui/grid/grid_column.h"
#include "ui/grid/grid_options.h"
#include "ui/grid/incremental_search.h"
#include "ui/grid/row_indicator.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>
#include <QString>

namespace dataset {
class ClientDataSet;
class Field;
} // namespace dataset

namespace ui {

class CellEditor;
class GridEditing;
class GridKeyboard;
class GridNavigation;
class GridMouse;

class DBGrid : public QAbstractScrollArea, public FindTarget, private dataset::DataSourceObserver {
    Q_OBJECT
public:
    // Flat: a thin single-line border; Sunken3D: the sunken 3-D client edge.
    enum class Look { Flat, Sunken3D };

    static constexpr int kIndicatorWidth = ColumnLayout::kIndicatorWidth;
    static inline const QColor kSearchBackground{255, 255, 0};
    static inline const QColor kSearchText{0, 0, 0};

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    // --- Settings ---
    void setLook(Look look);
    Look look() const { return look_; }
    void setOptions(GridOptions options);
    GridOptions options() const { return options_; }
    void setAllowedOperations(AllowedOperations operations) { allowed_ = operations; }
    AllowedOperations allowedOperations() const { return allowed_; }
    // Column widths shared out to fill the grid's width.
    void setFitColumnsToWidth(bool fit);
    bool fitColumnsToWidth() const { return layout_.fitted(); }

    void setColumns(const QList<GridColumn>& columns);
    QList<GridColumn> columns() const { return layout_.columns(); }
    const ColumnLayout& columnLayout() const { return layout_; }

    // (w - o) x d + o + 4 for a column showing displayWidth characters.
    int defaultColumnWidth(int displayWidth) const;
    // Text height plus a small margin; the title row has the same height.
    int rowHeight() const;

    void setDataSource(dataset::DataSource* source);
    dataset::DataSource* dataSource() const { return source_; }
    dataset::ClientDataSet* dataSet() const;

    // --- Where the grid stands ---
    int currentColumn() const { return currentColumn_; }
    // The current record's row of the view, -1 when none.
    int currentRow() const { return cells_.currentRow(); }
    int rowCount() const { return cells_.rowCount(); }
    int topRow() const { return topRow_; }
    int visibleRowCount() const;
    // Viewport rectangle of a cell; row is a row of the view.
    QRect cellRect(int row, int column) const;
    QRect titleRect(int column) const;
    // The row of the view under y, or -1 (title, below the rows).
    int rowAt(int y) const;
    // The column under x, or whose title edge is near x; -1 for none. Both
    // allow for the columns scrolled out at the left.
    int columnAt(int x) const;
    int columnEdgeAt(int x, int slack) const;
    // Pixels of the columns scrolled out at the left.
    int horizontalOffset() const { return xOffset_; }
    QString cellText(int row, int column) const { return cells_.cellText(row, column, true); }
    IndicatorGlyph indicatorGlyph() const;

    const IncrementalSearch& incrementalSearch() const { return search_; }
    const CellMarking& marking() const { return marking_; }
    bool editorShown() const;
    CellEditor* cellEditor() const;

    // --- FindTarget ---
    QList<FindColumn> findColumns() const override;
    int currentFindColumn() const override { return currentColumn_; }
    bool hasOpenDataSet() const override { return cells_.active(); }
    bool locate(const QString& fieldName, const QString& text, LocateOptions options,
                LocateDirection direction, LocateMatch match) override;
    QWidget* findWidget() override { return this; }

    // --- Moves and edits, as the keyboard and the mouse make them ---
    void setCurrentColumn(int column);
    void moveDown();
    void moveUp();
    // Pages and jumps to the record shown at that row; the record left is
    // posted or cancelled first. True when that record became current.
    bool moveToRow(int row);
    void nextCell();
    void previousCell();
    void insertRecord();
    void deleteRecord();
    void cancelEdits();
    void copyFromPreviousRecord();
    // Opens the cell editor with text, or with the field's text when empty.
    void showEditor(const QString& text = QString());
    void hideEditor();
    // Hands the editor's text to its field; false when the field refused it.
    bool writeEditor();
    bool canEditCell() const;
    bool canInsert() const;

    // --- Incremental search ---
    void startSearch(int timeoutMs);
    void searchStep(const QString& typed);
    void searchBackspace();
    void searchAgain(bool up);
    void endSearch() { search_.end(); }
    void openFindDialog();

    CellMarking& marking() { return marking_; }
    void clearMarking();
    // The column's edge dragged by hand to newWidth.
    void resizeColumn(int column, int newWidth);
    void moveColumn(int from, int to);
    // While a title is dragged: the column taken and where it would land,
    // drawn as a marker; -1 and -1 when no title is dragged.
    void showColumnDrop(int from, int to);
    int droppedColumn() const { return dropFrom_; }
    int dropTarget() const { return dropTo_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // DataSourceObserver
    void dataSetOpened(dataset::DataSource&) override;
    void dataSetClosed(dataset::DataSource&) override;
    void currentRowChanged(dataset::DataSource&) override;
    void stateChanged(dataset::DataSource&) override;
    void dataChanged(dataset::DataSource&) override;
    void fieldChanged(dataset::DataSource&, dataset::Field&) override;
    void updateRecord(dataset::DataSource&) override;
    bool focusField(dataset::DataSource&, dataset::Field& field) override;
    void dataSourceDetached(dataset::DataSource&) override;

    void bindColumns();
    void fitColumns();
    void ensureCurrentVisible();
    void updateScrollBar();
    void ensureColumnVisible();
    bool escPending() const;

    friend class GridEditing;
    friend class GridNavigation;

    Look look_ = Look::Sunken3D;
    GridOptions options_;
    AllowedOperations allowed_ = AllowedOperation::Insert | AllowedOperation::Update |
                                 AllowedOperation::Delete | AllowedOperation::Append;
    ColumnLayout layout_;
    DataSetCells cells_;
    dataset::DataSource* source_ = nullptr;
    IncrementalSearch search_;
    CellMarking marking_;
    GridEditing* editing_ = nullptr;
    GridNavigation* navigation_ = nullptr;
    GridKeyboard* keyboard_ = nullptr;
    GridMouse* mouse_ = nullptr;

    int currentColumn_ = 0;
    int dropFrom_ = -1;
    int dropTo_ = -1;
    int topRow_ = 0;
    int xOffset_ = 0;
    // Set while the grid itself moves the record, so the move is not taken
    // for one made elsewhere.
    bool ownMove_ = false;
    bool searchMove_ = false;
};

} // namespace ui
