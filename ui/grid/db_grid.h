#pragma once
// A data grid: a title row over one row per record of its data set, with a
// row indicator column at the left. It follows the data set's current record
// both ways, searches its rows incrementally and through the find dialog, and
// edits cells where its allowed operations permit.

#include "dataset/client/data_source.h"
#include "ui/grid/find_target.h"
#include "ui/grid/grid_column.h"
#include "ui/grid/grid_options.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>
#include <QString>

#include <memory>

namespace ui {

class CellEditor;
class DBGridPrivate;
enum class IndicatorGlyph;

class DBGrid : public QAbstractScrollArea, public FindTarget, private dataset::DataSourceObserver {
    Q_OBJECT
public:
    // Flat: a thin single-line border; Sunken3D: the sunken 3-D client edge.
    enum class Look { Flat, Sunken3D };

    static constexpr int kIndicatorWidth = 11;
    static inline const QColor kSearchBackground{255, 255, 0};
    static inline const QColor kSearchText{0, 0, 0};

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    // --- Settings ---
    void setLook(Look look);
    Look look() const;
    void setOptions(GridOptions options);
    GridOptions options() const;
    void setAllowedOperations(AllowedOperations operations);
    AllowedOperations allowedOperations() const;
    // Column widths shared out to fill the grid's width.
    void setFitColumnsToWidth(bool fit);
    bool fitColumnsToWidth() const;

    void setColumns(const QList<GridColumn>& columns);
    QList<GridColumn> columns() const;

    // (w - o) x d + o + 4 for a column showing displayWidth characters.
    int defaultColumnWidth(int displayWidth) const;
    // Text height plus a small margin; the title row has the same height.
    int rowHeight() const;

    void setDataSource(dataset::DataSource* source);
    dataset::DataSource* dataSource() const;
    dataset::ClientDataSet* dataSet() const;

    // --- Where the grid stands ---
    int currentColumn() const;
    // The current record's row of the view, -1 when none.
    int currentRow() const;
    int rowCount() const;
    int topRow() const;
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
    int horizontalOffset() const;
    QString cellText(int row, int column) const;
    IndicatorGlyph indicatorGlyph() const;

    bool editorShown() const;
    CellEditor* cellEditor() const;

    // --- FindTarget ---
    QList<FindColumn> findColumns() const override;
    int currentFindColumn() const override;
    bool hasOpenDataSet() const override;
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
    void endSearch();
    void openFindDialog();

    void clearMarking();
    // The column's edge dragged by hand to newWidth.
    void resizeColumn(int column, int newWidth);
    void moveColumn(int from, int to);
    // While a title is dragged: the column taken and where it would land,
    // drawn as a marker; -1 and -1 when no title is dragged.
    void showColumnDrop(int from, int to);
    int droppedColumn() const;
    int dropTarget() const;

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

    friend class DBGridPrivate;
    std::unique_ptr<DBGridPrivate> d_;
};

} // namespace ui
