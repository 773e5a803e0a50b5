#pragma once
// The in-place editor of one cell: a frameless line edit over the cell. The
// grid takes the keys that move between cells before it does.

#include <QLineEdit>

namespace ui {

class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit CellEditor(QWidget* parent);

    // Shows the text with the caret at its end; nothing pending yet.
    void open(const QString& text, const QRect& cell);
    // Whether the user changed the text since it was opened.
    bool pending() const { return isModified(); }
    // Puts back the text the editor opened with.
    void revert();

private:
    QString original_;
};

} // namespace ui
