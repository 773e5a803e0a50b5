#include "ui/grid/db_grid.h"

#include "dataset/client_data_set.h"
#include "dataset/field.h"
#include "ui/grid/cell_editor.h"
#include "ui/grid/find_dialog.h"
#include "ui/grid/grid_action.h"
#include "ui/grid/grid_editing.h"
#include "ui/grid/grid_keyboard.h"
#include "ui/grid/grid_locator.h"
#include "ui/grid/grid_mouse.h"
#include "ui/grid/grid_navigation.h"
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

} // namespace

DBGrid::DBGrid(QWidget* parent)
    : QAbstractScrollArea(parent), editing_(new GridEditing(*this)),
      navigation_(new GridNavigation(*this)), keyboard_(new GridKeyboard(*this)),
      mouse_(new GridMouse(*this)) {
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
    editing_->editor()->installEventFilter(this);
    // The viewport narrows when the scroll bar appears; the columns refit.
    viewport()->installEventFilter(this);
    connect(&search_, &IncrementalSearch::ended, viewport(), qOverload<>(&QWidget::update));
    setLook(Look::Sunken3D);
}

DBGrid::~DBGrid() {
    dataset::DataSource::watch(source_, nullptr, this);
    delete navigation_;
    delete editing_;
    delete keyboard_;
    delete mouse_;
}

void DBGrid::setLook(Look look) {
    look_ = look;
    if (look == Look::Flat) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        setLineWidth(2);
    }
}

void DBGrid::setOptions(GridOptions options) {
    options_ = options;
    viewport()->update();
}

void DBGrid::setFitColumnsToWidth(bool fit) {
    layout_.setFitted(fit);
    fitColumns();
}

void DBGrid::setColumns(const QList<GridColumn>& columns) {
    layout_.setColumns(columns);
    bindColumns();
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
    dataset::DataSource::watch(source_, source, this);
    bindColumns();
}

dataset::ClientDataSet* DBGrid::dataSet() const {
    return source_ != nullptr ? source_->DataSet() : nullptr;
}

// Columns find their fields by name; a column without a stored width takes
// the field's default width.
void DBGrid::bindColumns() {
    cells_.bind(dataSet(), layout_.columns());
    for (int column = 0; column < layout_.count(); ++column) {
        const dataset::Field* field = cells_.field(column);
        if (layout_.baseWidth(column) == 0 && field != nullptr) {
            layout_.setBaseWidth(column, defaultColumnWidth(DataSetCells::displayWidthOf(*field)));
        }
    }
    currentColumn_ = std::clamp(currentColumn_, 0, std::max(0, layout_.count() - 1));
    fitColumns();
    updateScrollBar();
    ensureCurrentVisible();
    viewport()->update();
}

void DBGrid::fitColumns() {
    layout_.fit(viewport()->width());
    ensureColumnVisible();
    editing_->placeEditor();
    viewport()->update();
}

int DBGrid::visibleRowCount() const {
    const int rows = (viewport()->height() - rowHeight() - ColumnLayout::kLineWidth) /
                     (rowHeight() + ColumnLayout::kLineWidth);
    return std::max(0, rows);
}

QRect DBGrid::cellRect(int row, int column) const {
    const int top = rowHeight() + ColumnLayout::kLineWidth +
                    (row - topRow_) * (rowHeight() + ColumnLayout::kLineWidth);
    return QRect(layout_.left(column) - xOffset_, top, layout_.width(column), rowHeight());
}

QRect DBGrid::titleRect(int column) const {
    return QRect(layout_.left(column) - xOffset_, 0, layout_.width(column), rowHeight());
}

int DBGrid::columnAt(int x) const {
    return x <= ColumnLayout::kIndicatorWidth ? -1 : layout_.columnAt(x + xOffset_);
}

int DBGrid::columnEdgeAt(int x, int slack) const {
    return x <= ColumnLayout::kIndicatorWidth ? -1 : layout_.edgeAt(x + xOffset_, slack);
}

int DBGrid::rowAt(int y) const {
    const int fromFirst = y - rowHeight() - ColumnLayout::kLineWidth;
    if (fromFirst < 0) {
        return -1;
    }
    const int row = topRow_ + fromFirst / (rowHeight() + ColumnLayout::kLineWidth);
    return row < rowCount() ? row : -1;
}

IndicatorGlyph DBGrid::indicatorGlyph() const {
    switch (source_ != nullptr ? source_->State() : DataSetState::Inactive) {
    case DataSetState::Edit:
        return IndicatorGlyph::Edit;
    case DataSetState::Insert:
        return IndicatorGlyph::Insert;
    default:
        return search_.searching() ? IndicatorGlyph::Searching : IndicatorGlyph::Browse;
    }
}

// --- FindTarget ---

QList<FindColumn> DBGrid::findColumns() const {
    QList<FindColumn> result;
    for (int column = 0; column < layout_.count(); ++column) {
        result.append({layout_.column(column).fieldName, layout_.column(column).title});
    }
    return result;
}

bool DBGrid::locate(const QString& fieldName, const QString& text, LocateOptions options,
                    LocateDirection direction, LocateMatch match) {
    if (!cells_.active()) {
        return false;
    }
    int start = currentColumn_;
    if (!fieldName.isEmpty()) {
        start = -1;
        for (int column = 0; column < layout_.count(); ++column) {
            if (layout_.column(column).fieldName.compare(fieldName, Qt::CaseInsensitive) == 0) {
                start = column;
                break;
            }
        }
        if (start < 0) {
            return false;
        }
    }
    const LocateRequest request{text, options, direction, match};
    const std::optional<CellPosition> found =
        GridLocator::find(cells_, CellPosition{std::max(0, currentRow()), start}, request,
                          [this] { return escPending(); });
    if (!found) {
        return false;
    }
    if (found->row != currentRow()) {
        searchMove_ = true;
        const bool moved = moveToRow(found->row);
        searchMove_ = false;
        if (!moved) {
            return false;
        }
    }
    // The column of the match becomes current, whatever the letter case rule.
    if (found->column != currentColumn_) {
        hideEditor();
        currentColumn_ = found->column;
        ensureColumnVisible();
        viewport()->update();
    }
    return true;
}

bool DBGrid::escPending() const {
    // Qt offers no look into the input queue that leaves events in it; a
    // locate over the rows in memory ends long before a key could wait.
    return false;
}

// --- Moves ---

void DBGrid::setCurrentColumn(int column) {
    if (column < 0 || column >= layout_.count() || column == currentColumn_) {
        return;
    }
    if (!writeEditor()) {
        return;
    }
    hideEditor();
    search_.end();
    currentColumn_ = column;
    ensureColumnVisible();
    viewport()->update();
}

// Scrolls sideways just enough to show the whole current column.
void DBGrid::ensureColumnVisible() {
    const int overflow = std::max(0, layout_.totalWidth() - viewport()->width());
    if (layout_.count() > 0 && currentColumn_ < layout_.count()) {
        const int left =
            layout_.left(currentColumn_) - ColumnLayout::kIndicatorWidth - ColumnLayout::kLineWidth;
        const int right = layout_.left(currentColumn_) + layout_.width(currentColumn_) +
                          ColumnLayout::kLineWidth - viewport()->width();
        if (xOffset_ > left) {
            xOffset_ = left;
        } else if (xOffset_ < right) {
            xOffset_ = right;
        }
    }
    xOffset_ = std::clamp(xOffset_, 0, overflow);
    QScrollBar* bar = horizontalScrollBar();
    const QSignalBlocker blocker(bar);
    bar->setRange(0, overflow);
    bar->setPageStep(std::max(1, viewport()->width()));
    bar->setValue(xOffset_);
}

// --- Moves between records, done by GridNavigation ---

void DBGrid::moveDown() {
    navigation_->moveDown();
}

void DBGrid::moveUp() {
    navigation_->moveUp();
}

bool DBGrid::moveToRow(int row) {
    return navigation_->moveToRow(row);
}

void DBGrid::nextCell() {
    navigation_->nextCell();
}

void DBGrid::previousCell() {
    navigation_->previousCell();
}

// --- Editing, done by GridEditing ---

CellEditor* DBGrid::cellEditor() const {
    return editing_->editor();
}

bool DBGrid::editorShown() const {
    return editing_->editor()->isVisible();
}

void DBGrid::insertRecord() {
    editing_->insertRecord();
}

void DBGrid::deleteRecord() {
    editing_->deleteRecord();
}

void DBGrid::cancelEdits() {
    editing_->cancelEdits();
}

void DBGrid::copyFromPreviousRecord() {
    editing_->copyFromPreviousRecord();
}

void DBGrid::showEditor(const QString& text) {
    editing_->showEditor(text);
}

void DBGrid::hideEditor() {
    editing_->hideEditor();
}

bool DBGrid::writeEditor() {
    return editing_->writeEditor();
}

bool DBGrid::canEditCell() const {
    return editing_->canEditCell();
}

bool DBGrid::canInsert() const {
    return editing_->canInsert();
}

// --- Incremental search ---

void DBGrid::startSearch(int timeoutMs) {
    search_.start(timeoutMs);
    viewport()->update();
}

void DBGrid::searchStep(const QString& typed) {
    const QString text = search_.text() + typed;
    const LocateOptions options =
        LocateOption::CaseInsensitive | LocateOption::MatchDisplayText | LocateOption::StopOnEsc;
    if (locate(QString(), text, options, LocateDirection::All, LocateMatch::FromBeginning)) {
        // The shown text takes the found value's letter case.
        search_.setText(cellText(currentRow(), currentColumn_).left(text.size()));
    }
    hideEditor();
    search_.restartTimer();
    viewport()->update();
}

void DBGrid::searchBackspace() {
    search_.removeLastCharacter();
    search_.restartTimer();
    viewport()->update();
}

void DBGrid::searchAgain(bool up) {
    const LocateOptions options =
        LocateOption::CaseInsensitive | LocateOption::MatchDisplayText | LocateOption::StopOnEsc;
    locate(QString(), search_.text(), options, up ? LocateDirection::Up : LocateDirection::Down,
           LocateMatch::FromBeginning);
    search_.restartTimer();
    viewport()->update();
}

void DBGrid::openFindDialog() {
    search_.end();
    FindDialog::instance().openFor(*this, QString(), QString(), true);
}

// --- Marking, resizing, moving ---

void DBGrid::clearMarking() {
    if (!marking_.isEmpty()) {
        marking_.clear();
        viewport()->update();
    }
}

void DBGrid::resizeColumn(int column, int newWidth) {
    layout_.resizeByHand(column, std::max(0, newWidth), viewport()->width());
    editing_->placeEditor();
    viewport()->update();
}

void DBGrid::showColumnDrop(int from, int to) {
    if (from == dropFrom_ && to == dropTo_) {
        return;
    }
    dropFrom_ = from;
    dropTo_ = to;
    viewport()->update();
}

void DBGrid::moveColumn(int from, int to) {
    if (!writeEditor()) {
        return;
    }
    hideEditor();
    const QString currentField = layout_.column(currentColumn_).fieldName;
    layout_.move(from, to);
    if (currentColumn_ == from) {
        currentColumn_ = to;
    } else if (from < currentColumn_ && to >= currentColumn_) {
        --currentColumn_;
    } else if (from > currentColumn_ && to <= currentColumn_) {
        ++currentColumn_;
    }
    marking_.clear();
    cells_.bind(dataSet(), layout_.columns());
    fitColumns();
}

// --- Scrolling ---

void DBGrid::ensureCurrentVisible() {
    const int rows = rowCount();
    const int page = std::max(1, visibleRowCount());
    const int current = currentRow();
    if (current >= 0) {
        if (current < topRow_) {
            topRow_ = current;
        } else if (current >= topRow_ + page) {
            topRow_ = current - page + 1;
        }
    }
    topRow_ = std::clamp(topRow_, 0, std::max(0, rows - page));
    updateScrollBar();
    editing_->placeEditor();
}

void DBGrid::updateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker blocker(bar);
    const int page = std::max(1, visibleRowCount());
    bar->setRange(0, std::max(0, rowCount() - page));
    bar->setPageStep(page);
    bar->setValue(topRow_);
}

void DBGrid::scrollContentsBy(int dx, int) {
    if (dx != 0) {
        xOffset_ = horizontalScrollBar()->value();
        editing_->placeEditor();
        viewport()->update();
        return;
    }
    topRow_ = verticalScrollBar()->value();
    const int page = std::max(1, visibleRowCount());
    const int current = currentRow();
    // The current record stays in view.
    if (current >= 0 && (current < topRow_ || current >= topRow_ + page)) {
        const int top = topRow_;
        moveToRow(std::clamp(current, top, std::min(rowCount() - 1, top + page - 1)));
        topRow_ = top;
        updateScrollBar();
    }
    editing_->placeEditor();
    viewport()->update();
}

// --- Events ---

void DBGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    GridPainter(*this).paint(painter, event->rect());
}

void DBGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    fitColumns();
    ensureCurrentVisible();
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    if (keyboard_->keyPress(*event)) {
        event->accept();
        viewport()->update();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool DBGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport() && event->type() == QEvent::Resize) {
        fitColumns();
        ensureCurrentVisible();
    }
    if (watched == editing_->editor() && event->type() == QEvent::KeyPress) {
        if (keyboard_->editorKeyPress(*static_cast<QKeyEvent*>(event))) {
            viewport()->update();
            return true;
        }
    }
    if (watched == editing_->editor() && event->type() == QEvent::FocusOut) {
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
    if (!hasFocus() && !editing_->editor()->hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
    mouse_->press(*event);
}

void DBGrid::mouseMoveEvent(QMouseEvent* event) {
    mouse_->move(*event);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event) {
    mouse_->release(*event);
}

void DBGrid::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0 && cells_.active()) {
        moveToRow(std::clamp(currentRow() - steps * kWheelRows, 0, rowCount() - 1));
    }
    event->accept();
}

void DBGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void DBGrid::hideEvent(QHideEvent* event) {
    mouse_->cancel();
    QAbstractScrollArea::hideEvent(event);
}

void DBGrid::focusOutEvent(QFocusEvent* event) {
    mouse_->cancel();
    if (editing_->editor()->hasFocus() || event->reason() == Qt::PopupFocusReason ||
        event->reason() == Qt::ActiveWindowFocusReason) {
        viewport()->update();
        return;
    }
    // The focus went elsewhere: a pending edit is written, an untouched new
    // row is dropped.
    writeEditor();
    dataset::ClientDataSet* records = dataSet();
    if (editing_->untouchedInsert()) {
        ownMove_ = true;
        GridAction::run([&] { records->Cancel(); });
        ownMove_ = false;
    }
    viewport()->update();
}

// --- The data set ---

void DBGrid::dataSetOpened(dataset::DataSource&) {
    search_.end();
    topRow_ = 0;
    bindColumns();
}

void DBGrid::dataSetClosed(dataset::DataSource&) {
    search_.end();
    editing_->editor()->hide();
    marking_.clear();
    topRow_ = 0;
    cells_.bind(dataSet(), layout_.columns());
    updateScrollBar();
    viewport()->update();
}

void DBGrid::currentRowChanged(dataset::DataSource&) {
    if (!searchMove_) {
        search_.end();
    }
    if (!ownMove_) {
        editing_->editor()->hide();
    }
    ensureCurrentVisible();
    viewport()->update();
}

void DBGrid::stateChanged(dataset::DataSource& source) {
    if (source.State() == DataSetState::Insert && !ownMove_) {
        editing_->setTouched(false);
    }
    if (source.State() == DataSetState::Browse) {
        editing_->editor()->hide();
    }
    ensureCurrentVisible();
    viewport()->update();
}

void DBGrid::dataChanged(dataset::DataSource&) {
    ensureCurrentVisible();
    viewport()->update();
}

void DBGrid::fieldChanged(dataset::DataSource&, dataset::Field&) {
    viewport()->update();
}

void DBGrid::updateRecord(dataset::DataSource&) {
    // Whoever posts the row hears of text the field refuses.
    editing_->storeEditor();
}

bool DBGrid::focusField(dataset::DataSource&, dataset::Field& field) {
    for (int column = 0; column < layout_.count(); ++column) {
        if (cells_.field(column) == &field) {
            currentColumn_ = column;
            setFocus();
            viewport()->update();
            return true;
        }
    }
    return false;
}

void DBGrid::dataSourceDetached(dataset::DataSource&) {
    source_ = nullptr;
    cells_.bind(nullptr, layout_.columns());
    viewport()->update();
}

} // namespace ui
