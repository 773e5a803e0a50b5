#pragma once
// The window's fonts by their pixel heights. Where "MS Sans Serif" or
// "Arial Narrow" is not installed, a sans font of the same pixel size stands in.

#include <QFont>

namespace ui {

QFont msSansSerif(int pixelSize);
QFont arialNarrow(int pixelSize);

} // namespace ui
