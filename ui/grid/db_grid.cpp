#include "dataset/client/client_data_set.h"
#include "dataset/client/field.h"
#include "ui/grid/cell_editor.h"
#include "ui/grid/db_grid_p.h"
#include "ui/grid/find_dialog.h"
#include "ui/grid/grid_action.h"
#include "ui/grid/grid_locator.h"
#include "ui/grid/grid_painter.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>

namespace ui {

namespace {

using dataset::DataSetState;

constexpr int kRowMargin = 3;
constexpr int kWheelRows = 3;

bool escPending() {
    // Qt offers no look into the input queue that leaves events in it; a
    // locate over the rows in memory ends long before a key could wait.
    return false;
}

} // namespace

DBGridPrivate::DBGridPrivate(DBGrid& grid)
    : q(grid), editing(grid, *this), navigation(grid, *this), keyboard(grid, *this),
      mouse(grid, *this) {}

DBGrid::DBGrid(QWidget* parent)
    : QAbstractScrollArea(parent), d_(std::make_unique<DBGridPrivate>(*this)) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A disabled grid looks like an enabled one; it only takes no input.
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Disabled, QPalette::Base,
                     colours.color(QPalette::Active, QPalette::Base));
    viewport()->setPalette(colours);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(true);
    d_->editing.editor()->installEventFilter(this);
    // The viewport narrows when the scroll bar appears; the columns refit.
    viewport()->installEventFilter(this);
    connect(&d_->search, &IncrementalSearch::ended, viewport(), qOverload<>(&QWidget::update));
    setLook(Look::Sunken3D);
}

DBGrid::~DBGrid() {
    dataset::DataSource::watch(d_->source, nullptr, this);
}

void DBGrid::setLook(Look look) {
    d_->look = look;
    if (look == Look::Flat) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        setLineWidth(2);
    }
}

DBGrid::Look DBGrid::look() const {
    return d_->look;
}

GridOptions DBGrid::options() const {
    return d_->options;
}

void DBGrid::setAllowedOperations(AllowedOperations operations) {
    d_->allowed = operations;
}

AllowedOperations DBGrid::allowedOperations() const {
    return d_->allowed;
}

bool DBGrid::fitColumnsToWidth() const {
    return d_->layout.fitted();
}

QList<GridColumn> DBGrid::columns() const {
    return d_->layout.columns();
}

dataset::DataSource* DBGrid::dataSource() const {
    return d_->source;
}

void DBGrid::setOptions(GridOptions options) {
    d_->options = options;
    viewport()->update();
}

void DBGrid::setFitColumnsToWidth(bool fit) {
    d_->layout.setFitted(fit);
    d_->fitColumns();
}

void DBGrid::setColumns(const QList<GridColumn>& columns) {
    d_->layout.setColumns(columns);
    d_->bindColumns();
}

int DBGrid::defaultColumnWidth(int displayWidth) const {
    const QFontMetrics metrics(font());
    // Regular fonts have no overhang.
    const int overhang = 0;
    return (metrics.horizontalAdvance(QLatin1Char('0')) - overhang) * displayWidth + overhang + 4;
}

int DBGrid::rowHeight() const {
    return QFontMetrics(font()).height() + kRowMargin;
}

void DBGrid::setDataSource(dataset::DataSource* source) {
    dataset::DataSource::watch(d_->source, source, this);
    d_->bindColumns();
}

dataset::ClientDataSet* DBGrid::dataSet() const {
    return d_->source != nullptr ? d_->source->DataSet() : nullptr;
}

// Columns find their fields by name; a column without a stored width takes
// the field's default width.
void DBGridPrivate::bindColumns() {
    cells.bind(q.dataSet(), layout.columns());
    for (int column = 0; column < layout.count(); ++column) {
        const dataset::Field* field = cells.field(column);
        if (layout.baseWidth(column) == 0 && field != nullptr) {
            layout.setBaseWidth(column, q.defaultColumnWidth(DataSetCells::displayWidthOf(*field)));
        }
    }
    currentColumn = std::clamp(currentColumn, 0, std::max(0, layout.count() - 1));
    fitColumns();
    updateScrollBar();
    ensureCurrentVisible();
    q.viewport()->update();
}

void DBGridPrivate::fitColumns() {
    layout.fit(q.viewport()->width());
    ensureColumnVisible();
    editing.placeEditor();
    q.viewport()->update();
}

// --- Where the grid stands ---

int DBGrid::currentColumn() const {
    return d_->currentColumn;
}

int DBGrid::currentRow() const {
    return d_->cells.currentRow();
}

int DBGrid::rowCount() const {
    return d_->cells.rowCount();
}

int DBGrid::topRow() const {
    return d_->topRow;
}

int DBGrid::horizontalOffset() const {
    return d_->xOffset;
}

QString DBGrid::cellText(int row, int column) const {
    return d_->cells.cellText(row, column, true);
}

int DBGrid::visibleRowCount() const {
    const int rows = (viewport()->height() - rowHeight() - ColumnLayout::kLineWidth) /
                     (rowHeight() + ColumnLayout::kLineWidth);
    return std::max(0, rows);
}

QRect DBGrid::cellRect(int row, int column) const {
    const int top = rowHeight() + ColumnLayout::kLineWidth +
                    (row - d_->topRow) * (rowHeight() + ColumnLayout::kLineWidth);
    return QRect(d_->layout.left(column) - d_->xOffset, top, d_->layout.width(column), rowHeight());
}

QRect DBGrid::titleRect(int column) const {
    return QRect(d_->layout.left(column) - d_->xOffset, 0, d_->layout.width(column), rowHeight());
}

int DBGrid::columnAt(int x) const {
    return x <= ColumnLayout::kIndicatorWidth ? -1 : d_->layout.columnAt(x + d_->xOffset);
}

int DBGrid::columnEdgeAt(int x, int slack) const {
    return x <= ColumnLayout::kIndicatorWidth ? -1 : d_->layout.edgeAt(x + d_->xOffset, slack);
}

int DBGrid::rowAt(int y) const {
    const int fromFirst = y - rowHeight() - ColumnLayout::kLineWidth;
    if (fromFirst < 0) {
        return -1;
    }
    const int row = d_->topRow + fromFirst / (rowHeight() + ColumnLayout::kLineWidth);
    return row < rowCount() ? row : -1;
}

IndicatorGlyph DBGrid::indicatorGlyph() const {
    switch (d_->source != nullptr ? d_->source->State() : DataSetState::Inactive) {
    case DataSetState::Edit:
        return IndicatorGlyph::Edit;
    case DataSetState::Insert:
        return IndicatorGlyph::Insert;
    default:
        return d_->search.searching() ? IndicatorGlyph::Searching : IndicatorGlyph::Browse;
    }
}

// --- FindTarget ---

QList<FindColumn> DBGrid::findColumns() const {
    QList<FindColumn> result;
    for (int column = 0; column < d_->layout.count(); ++column) {
        result.append({d_->layout.column(column).fieldName, d_->layout.column(column).title});
    }
    return result;
}

int DBGrid::currentFindColumn() const {
    return d_->currentColumn;
}

bool DBGrid::hasOpenDataSet() const {
    return d_->cells.active();
}

bool DBGrid::locate(const QString& fieldName, const QString& text, LocateOptions options,
                    LocateDirection direction, LocateMatch match) {
    if (!d_->cells.active()) {
        return false;
    }
    int start = d_->currentColumn;
    if (!fieldName.isEmpty()) {
        start = -1;
        for (int column = 0; column < d_->layout.count(); ++column) {
            if (d_->layout.column(column).fieldName.compare(fieldName, Qt::CaseInsensitive) == 0) {
                start = column;
                break;
            }
        }
        if (start < 0) {
            return false;
        }
    }
    const LocateRequest request{text, options, direction, match};
    const std::optional<CellPosition> found = GridLocator::find(
        d_->cells, CellPosition{std::max(0, currentRow()), start}, request, escPending);
    if (!found) {
        return false;
    }
    if (found->row != currentRow()) {
        d_->searchMove = true;
        const bool moved = moveToRow(found->row);
        d_->searchMove = false;
        if (!moved) {
            return false;
        }
    }
    // The column of the match becomes current, whatever the letter case rule.
    if (found->column != d_->currentColumn) {
        hideEditor();
        d_->currentColumn = found->column;
        d_->ensureColumnVisible();
        viewport()->update();
    }
    return true;
}

// --- Moves ---

void DBGrid::setCurrentColumn(int column) {
    if (column < 0 || column >= d_->layout.count() || column == d_->currentColumn) {
        return;
    }
    if (!writeEditor()) {
        return;
    }
    hideEditor();
    d_->search.end();
    d_->currentColumn = column;
    d_->ensureColumnVisible();
    viewport()->update();
}

// Scrolls sideways just enough to show the whole current column.
void DBGridPrivate::ensureColumnVisible() {
    const int overflow = std::max(0, layout.totalWidth() - q.viewport()->width());
    if (layout.count() > 0 && currentColumn < layout.count()) {
        const int left =
            layout.left(currentColumn) - ColumnLayout::kIndicatorWidth - ColumnLayout::kLineWidth;
        const int right = layout.left(currentColumn) + layout.width(currentColumn) +
                          ColumnLayout::kLineWidth - q.viewport()->width();
        if (xOffset > left) {
            xOffset = left;
        } else if (xOffset < right) {
            xOffset = right;
        }
    }
    xOffset = std::clamp(xOffset, 0, overflow);
    QScrollBar* bar = q.horizontalScrollBar();
    const QSignalBlocker blocker(bar);
    bar->setRange(0, overflow);
    bar->setPageStep(std::max(1, q.viewport()->width()));
    bar->setValue(xOffset);
}

// --- Moves between records, done by GridNavigation ---

void DBGrid::moveDown() {
    d_->navigation.moveDown();
}

void DBGrid::moveUp() {
    d_->navigation.moveUp();
}

bool DBGrid::moveToRow(int row) {
    return d_->navigation.moveToRow(row);
}

void DBGrid::nextCell() {
    d_->navigation.nextCell();
}

void DBGrid::previousCell() {
    d_->navigation.previousCell();
}

// --- Editing, done by GridEditing ---

CellEditor* DBGrid::cellEditor() const {
    return d_->editing.editor();
}

bool DBGrid::editorShown() const {
    return d_->editing.editor()->isVisible();
}

void DBGrid::insertRecord() {
    d_->editing.insertRecord();
}

void DBGrid::deleteRecord() {
    d_->editing.deleteRecord();
}

void DBGrid::cancelEdits() {
    d_->editing.cancelEdits();
}

void DBGrid::copyFromPreviousRecord() {
    d_->editing.copyFromPreviousRecord();
}

void DBGrid::showEditor(const QString& text) {
    d_->editing.showEditor(text);
}

void DBGrid::hideEditor() {
    d_->editing.hideEditor();
}

bool DBGrid::writeEditor() {
    return d_->editing.writeEditor();
}

bool DBGrid::canEditCell() const {
    return d_->editing.canEditCell();
}

bool DBGrid::canInsert() const {
    return d_->editing.canInsert();
}

// --- Incremental search ---

void DBGrid::startSearch(int timeoutMs) {
    d_->search.start(timeoutMs);
    viewport()->update();
}

void DBGrid::searchStep(const QString& typed) {
    const QString text = d_->search.text() + typed;
    const LocateOptions options =
        LocateOption::CaseInsensitive | LocateOption::MatchDisplayText | LocateOption::StopOnEsc;
    if (locate(QString(), text, options, LocateDirection::All, LocateMatch::FromBeginning)) {
        // The shown text takes the found value's letter case.
        d_->search.setText(cellText(currentRow(), d_->currentColumn).left(text.size()));
    }
    hideEditor();
    d_->search.restartTimer();
    viewport()->update();
}

void DBGrid::searchBackspace() {
    d_->search.removeLastCharacter();
    d_->search.restartTimer();
    viewport()->update();
}

void DBGrid::searchAgain(bool up) {
    const LocateOptions options =
        LocateOption::CaseInsensitive | LocateOption::MatchDisplayText | LocateOption::StopOnEsc;
    locate(QString(), d_->search.text(), options, up ? LocateDirection::Up : LocateDirection::Down,
           LocateMatch::FromBeginning);
    d_->search.restartTimer();
    viewport()->update();
}

void DBGrid::endSearch() {
    d_->search.end();
}

void DBGrid::openFindDialog() {
    d_->search.end();
    FindDialog::instance().openFor(*this, QString(), QString(), true);
}

// --- Marking, resizing, moving ---

void DBGrid::clearMarking() {
    if (!d_->marking.isEmpty()) {
        d_->marking.clear();
        viewport()->update();
    }
}

void DBGrid::resizeColumn(int column, int newWidth) {
    d_->layout.resizeByHand(column, std::max(0, newWidth), viewport()->width());
    d_->editing.placeEditor();
    viewport()->update();
}

void DBGrid::showColumnDrop(int from, int to) {
    if (from == d_->dropFrom && to == d_->dropTo) {
        return;
    }
    d_->dropFrom = from;
    d_->dropTo = to;
    viewport()->update();
}

int DBGrid::droppedColumn() const {
    return d_->dropFrom;
}

int DBGrid::dropTarget() const {
    return d_->dropTo;
}

void DBGrid::moveColumn(int from, int to) {
    if (!writeEditor()) {
        return;
    }
    hideEditor();
    const QString currentField = d_->layout.column(d_->currentColumn).fieldName;
    d_->layout.move(from, to);
    if (d_->currentColumn == from) {
        d_->currentColumn = to;
    } else if (from < d_->currentColumn && to >= d_->currentColumn) {
        --d_->currentColumn;
    } else if (from > d_->currentColumn && to <= d_->currentColumn) {
        ++d_->currentColumn;
    }
    d_->marking.clear();
    d_->cells.bind(dataSet(), d_->layout.columns());
    d_->fitColumns();
}

// --- Scrolling ---

void DBGridPrivate::ensureCurrentVisible() {
    const int rows = q.rowCount();
    const int page = std::max(1, q.visibleRowCount());
    const int current = q.currentRow();
    if (current >= 0) {
        if (current < topRow) {
            topRow = current;
        } else if (current >= topRow + page) {
            topRow = current - page + 1;
        }
    }
    topRow = std::clamp(topRow, 0, std::max(0, rows - page));
    updateScrollBar();
    editing.placeEditor();
}

void DBGridPrivate::updateScrollBar() {
    QScrollBar* bar = q.verticalScrollBar();
    const QSignalBlocker blocker(bar);
    const int page = std::max(1, q.visibleRowCount());
    bar->setRange(0, std::max(0, q.rowCount() - page));
    bar->setPageStep(page);
    bar->setValue(topRow);
}

void DBGrid::scrollContentsBy(int dx, int) {
    if (dx != 0) {
        d_->xOffset = horizontalScrollBar()->value();
        d_->editing.placeEditor();
        viewport()->update();
        return;
    }
    d_->topRow = verticalScrollBar()->value();
    const int page = std::max(1, visibleRowCount());
    const int current = currentRow();
    // The current record stays in view.
    if (current >= 0 && (current < d_->topRow || current >= d_->topRow + page)) {
        const int top = d_->topRow;
        moveToRow(std::clamp(current, top, std::min(rowCount() - 1, top + page - 1)));
        d_->topRow = top;
        d_->updateScrollBar();
    }
    d_->editing.placeEditor();
    viewport()->update();
}

// --- Events ---

void DBGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    GridPainter(*this).paint(painter, event->rect());
}

void DBGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    d_->fitColumns();
    d_->ensureCurrentVisible();
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    if (d_->keyboard.keyPress(*event)) {
        event->accept();
        viewport()->update();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool DBGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport() && event->type() == QEvent::Resize) {
        d_->fitColumns();
        d_->ensureCurrentVisible();
    }
    if (watched == d_->editing.editor() && event->type() == QEvent::KeyPress) {
        if (d_->keyboard.editorKeyPress(*static_cast<QKeyEvent*>(event))) {
            viewport()->update();
            return true;
        }
    }
    if (watched == d_->editing.editor() && event->type() == QEvent::FocusOut) {
        const auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() != Qt::PopupFocusReason &&
            focus->reason() != Qt::ActiveWindowFocusReason && !hasFocus()) {
            // Leaving the grid writes a pending edit.
            focusOutEvent(static_cast<QFocusEvent*>(event));
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool DBGrid::focusNextPrevChild(bool) {
    // Tab moves between cells; it never leaves the grid.
    return false;
}

void DBGrid::mousePressEvent(QMouseEvent* event) {
    if (!hasFocus() && !d_->editing.editor()->hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
    d_->mouse.press(*event);
}

void DBGrid::mouseMoveEvent(QMouseEvent* event) {
    d_->mouse.move(*event);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event) {
    d_->mouse.release(*event);
}

void DBGrid::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0 && d_->cells.active()) {
        moveToRow(std::clamp(currentRow() - steps * kWheelRows, 0, rowCount() - 1));
    }
    event->accept();
}

void DBGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void DBGrid::hideEvent(QHideEvent* event) {
    d_->mouse.cancel();
    QAbstractScrollArea::hideEvent(event);
}

void DBGrid::focusOutEvent(QFocusEvent* event) {
    d_->mouse.cancel();
    if (d_->editing.editor()->hasFocus() || event->reason() == Qt::PopupFocusReason ||
        event->reason() == Qt::ActiveWindowFocusReason) {
        viewport()->update();
        return;
    }
    // The focus went elsewhere: a pending edit is written, an untouched new
    // row is dropped.
    writeEditor();
    dataset::ClientDataSet* records = dataSet();
    if (d_->editing.untouchedInsert()) {
        d_->ownMove = true;
        GridAction::run([&] { records->Cancel(); });
        d_->ownMove = false;
    }
    viewport()->update();
}

// --- The data set ---

void DBGrid::dataSetOpened(dataset::DataSource&) {
    d_->search.end();
    d_->topRow = 0;
    d_->bindColumns();
}

void DBGrid::dataSetClosed(dataset::DataSource&) {
    d_->search.end();
    d_->editing.editor()->hide();
    d_->marking.clear();
    d_->topRow = 0;
    d_->cells.bind(dataSet(), d_->layout.columns());
    d_->updateScrollBar();
    viewport()->update();
}

void DBGrid::currentRowChanged(dataset::DataSource&) {
    if (!d_->searchMove) {
        d_->search.end();
    }
    if (!d_->ownMove) {
        d_->editing.editor()->hide();
    }
    d_->ensureCurrentVisible();
    viewport()->update();
}

void DBGrid::stateChanged(dataset::DataSource& source) {
    if (source.State() == DataSetState::Insert && !d_->ownMove) {
        d_->editing.setTouched(false);
    }
    if (source.State() == DataSetState::Browse) {
        d_->editing.editor()->hide();
    }
    d_->ensureCurrentVisible();
    viewport()->update();
}

void DBGrid::dataChanged(dataset::DataSource&) {
    d_->ensureCurrentVisible();
    viewport()->update();
}

void DBGrid::fieldChanged(dataset::DataSource&, dataset::Field&) {
    viewport()->update();
}

void DBGrid::updateRecord(dataset::DataSource&) {
    // Whoever posts the row hears of text the field refuses.
    d_->editing.storeEditor();
}

bool DBGrid::focusField(dataset::DataSource&, dataset::Field& field) {
    for (int column = 0; column < d_->layout.count(); ++column) {
        if (d_->cells.field(column) == &field) {
            d_->currentColumn = column;
            setFocus();
            viewport()->update();
            return true;
        }
    }
    return false;
}

void DBGrid::dataSourceDetached(dataset::DataSource&) {
    d_->source = nullptr;
    d_->cells.bind(nullptr, d_->layout.columns());
    viewport()->update();
}

} // namespace ui
