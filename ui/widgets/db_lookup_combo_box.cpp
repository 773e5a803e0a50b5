#include "ui/widgets/db_lookup_combo_box.h"

namespace ui {

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace ui
