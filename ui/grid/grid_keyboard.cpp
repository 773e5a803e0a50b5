#include "ui/grid/grid_keyboard.h"

#include "dataset/client/client_data_set.h"
#include "ui/grid/cell_editor.h"
#include "ui/grid/db_grid_p.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace ui {

namespace {

constexpr Qt::KeyboardModifiers kModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool printable(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty() || (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return false;
    }
    for (const QChar c : text) {
        if (!c.isPrint()) {
            return false;
        }
    }
    return true;
}

} // namespace

bool GridKeyboard::keyPress(QKeyEvent& event) {
    if (!grid_.hasOpenDataSet()) {
        return false;
    }
    if (searchKey(event)) {
        return true;
    }
    if (editingKey(event) || navigationKey(event)) {
        return true;
    }
    if (printable(event)) {
        typed(event.text());
        return true;
    }
    return false;
}

bool GridKeyboard::editorKeyPress(QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return navigationKey(event);
    case Qt::Key_Escape:
        grid_.cancelEdits();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return enterAsTab(event);
    case Qt::Key_Home:
    case Qt::Key_End:
        return mods == Qt::ControlModifier && navigationKey(event);
    case Qt::Key_Delete:
        if (mods == Qt::ControlModifier) {
            grid_.deleteRecord();
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool GridKeyboard::searchKey(QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
    const GridOptions options = grid_.options();
    const int key = event.key();
    const bool searching = d_.search.searching();
    if (key == Qt::Key_F && mods == Qt::ControlModifier) {
        if (searching && options.testFlag(GridOption::DialogFind)) {
            grid_.openFindDialog();
            return true;
        }
        if (options.testFlag(GridOption::IncSearch) && !grid_.editorShown()) {
            grid_.startSearch(IncrementalSearch::kNoTimeout);
            grid_.update();
            return true;
        }
        return false;
    }
    if (!searching) {
        return false;
    }
    if (isEnter(key) && (mods & Qt::ControlModifier)) {
        grid_.searchAgain(mods.testFlag(Qt::ShiftModifier));
        return true;
    }
    if (key == Qt::Key_Backspace && mods == Qt::NoModifier) {
        grid_.searchBackspace();
        return true;
    }
    if ((key == Qt::Key_V && mods == Qt::ControlModifier) ||
        (key == Qt::Key_Insert && mods == Qt::ShiftModifier)) {
        grid_.searchStep(QApplication::clipboard()->text());
        return true;
    }
    if (printable(event)) {
        grid_.searchStep(event.text());
        return true;
    }
    if ((isEnter(key) || key == Qt::Key_Escape || key == Qt::Key_F2) && mods == Qt::NoModifier) {
        // The key does its usual work as well.
        grid_.endSearch();
    }
    return false;
}

bool GridKeyboard::navigationKey(QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const int last = d_.layout.count() - 1;
    const int page = std::max(1, grid_.visibleRowCount());
    const int pageTop = grid_.topRow();
    const int pageBottom = std::min(grid_.rowCount() - 1, pageTop + page - 1);
    const bool singleColumn = last == 0;
    bool handled = true;
    switch (event.key()) {
    case Qt::Key_Up:
        if (ctrl) {
            grid_.moveToRow(pageTop);
        } else {
            grid_.moveUp();
        }
        break;
    case Qt::Key_Down:
        if (ctrl) {
            grid_.moveToRow(pageBottom);
        } else {
            grid_.moveDown();
        }
        break;
    case Qt::Key_PageUp:
        grid_.moveToRow(ctrl ? pageTop : std::max(0, grid_.currentRow() - page));
        break;
    case Qt::Key_PageDown:
        grid_.moveToRow(ctrl ? pageBottom
                             : std::min(grid_.rowCount() - 1, grid_.currentRow() + page));
        break;
    case Qt::Key_Left:
        grid_.setCurrentColumn(ctrl ? 0 : std::max(0, grid_.currentColumn() - 1));
        break;
    case Qt::Key_Right:
        grid_.setCurrentColumn(ctrl ? last : std::min(last, grid_.currentColumn() + 1));
        break;
    case Qt::Key_Home:
        if (ctrl || singleColumn) {
            grid_.moveToRow(0);
        } else {
            grid_.setCurrentColumn(0);
        }
        break;
    case Qt::Key_End:
        if (ctrl || singleColumn) {
            grid_.moveToRow(grid_.rowCount() - 1);
        } else {
            grid_.setCurrentColumn(last);
        }
        break;
    case Qt::Key_Tab:
        grid_.nextCell();
        break;
    case Qt::Key_Backtab:
        grid_.previousCell();
        break;
    default:
        handled = false;
    }
    if (handled && grid_.options().testFlag(GridOption::ClearSelection)) {
        grid_.clearMarking();
    }
    return handled;
}

bool GridKeyboard::enterAsTab(QKeyEvent& event) {
    if (!grid_.options().testFlag(GridOption::EnterAsTab)) {
        return false;
    }
    const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
    if (mods == Qt::ShiftModifier) {
        grid_.previousCell();
    } else if (mods == Qt::NoModifier) {
        grid_.nextCell();
    } else {
        return false;
    }
    return true;
}

bool GridKeyboard::editingKey(QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return enterAsTab(event);
    case Qt::Key_F2:
        if (mods == Qt::NoModifier && grid_.canEditCell()) {
            grid_.showEditor();
            return true;
        }
        return false;
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier && grid_.canInsert()) {
            grid_.insertRecord();
            return true;
        }
        return false;
    case Qt::Key_Delete:
        if (mods == Qt::ControlModifier) {
            grid_.deleteRecord();
            return true;
        }
        return false;
    case Qt::Key_Escape:
        grid_.cancelEdits();
        grid_.clearMarking();
        // The window may use Esc as well.
        return false;
    case Qt::Key_Apostrophe:
        if (mods == Qt::ControlModifier) {
            grid_.copyFromPreviousRecord();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void GridKeyboard::typed(const QString& text) {
    if (grid_.options().testFlag(GridOption::PreferIncSearch)) {
        const dataset::ClientDataSet* dataSet = grid_.dataSet();
        if (dataSet->State() == dataset::DataSetState::Browse && !grid_.editorShown()) {
            grid_.startSearch(IncrementalSearch::kTypingTimeoutMs);
            grid_.searchStep(text);
        }
        return;
    }
    if (grid_.canEditCell()) {
        grid_.showEditor(text);
    }
}

} // namespace ui
