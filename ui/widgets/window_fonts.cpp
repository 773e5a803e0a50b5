#include "ui/widgets/window_fonts.h"

#include <QStringList>

namespace ui {

namespace {

QFont sansFont(const QStringList& families, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

} // namespace

QFont msSansSerif(int pixelSize) {
    return sansFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                     QStringLiteral("DejaVu Sans")},
                    pixelSize);
}

QFont arialNarrow(int pixelSize) {
    return sansFont({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
                     QStringLiteral("DejaVu Sans Condensed")},
                    pixelSize);
}

} // namespace ui
