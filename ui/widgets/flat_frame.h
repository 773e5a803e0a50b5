#pragma once
// The flat look of an edit or a drop-down list: a one-pixel frame in the
// window-text colour instead of the sunken 3-D border.

class QComboBox;
class QLineEdit;

namespace ui {

void setFlatFrame(QLineEdit* edit);
// Also gives every item of the drop-down list the height itemHeight.
void setFlatFrame(QComboBox* list, int itemHeight);

} // namespace ui
