#include "ui/grid/cell_editor.h"

namespace ui {

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    hide();
}

void CellEditor::open(const QString& text, const QRect& cell) {
    original_ = text;
    setText(text);
    setModified(false);
    setGeometry(cell);
    end(false);
    show();
}

void CellEditor::revert() {
    setText(original_);
    setModified(false);
}

} // namespace ui
