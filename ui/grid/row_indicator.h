#pragma once
// The glyph in the indicator cell of the current row: a 6 x 11 one-bit
// picture for browse, browse while searching, edit and insert.

#include <QColor>

class QPainter;
class QRect;

namespace ui {

enum class IndicatorGlyph { Browse, Searching, Edit, Insert };

class RowIndicator {
public:
    static constexpr int kGlyphWidth = 6;
    static constexpr int kGlyphHeight = 11;

    // Whether the glyph has its pixel at column x, row y.
    static bool pixel(IndicatorGlyph glyph, int x, int y);

    // Draws the glyph centred in the cell; the searching arrow in searchColour.
    static void paint(QPainter& painter, const QRect& cell, IndicatorGlyph glyph, const QColor& ink,
                      const QColor& searchColour);
};

} // namespace ui
