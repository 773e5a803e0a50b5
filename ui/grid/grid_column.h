#pragma once
// One column of a data grid as configured: the field it shows, its title and
// its stored width (0: the field's default width).

#include <QString>

namespace ui {

struct GridColumn {
    QString fieldName;
    QString title;
    int width = 0; // pixels
};

} // namespace ui
