#include "ui/grid/row_indicator.h"

#include <QPainter>
#include <QRect>

#include <cstdint>

namespace ui {

namespace {

// One row a byte, bit 5 the leftmost pixel.
constexpr std::uint8_t kArrow[RowIndicator::kGlyphHeight] = {0b100000, 0b110000, 0b111000, 0b111100,
                                                             0b111110, 0b111111, 0b111110, 0b111100,
                                                             0b111000, 0b110000, 0b100000};
constexpr std::uint8_t kIBeam[RowIndicator::kGlyphHeight] = {0b110011, 0b001100, 0b001100, 0b001100,
                                                             0b001100, 0b001100, 0b001100, 0b001100,
                                                             0b001100, 0b001100, 0b110011};
constexpr std::uint8_t kAsterisk[RowIndicator::kGlyphHeight] = {
    0b000000, 0b000000, 0b001100, 0b101101, 0b011110, 0b001100,
    0b011110, 0b101101, 0b001100, 0b000000, 0b000000};

const std::uint8_t* rowsOf(IndicatorGlyph glyph) {
    switch (glyph) {
    case IndicatorGlyph::Edit:
        return kIBeam;
    case IndicatorGlyph::Insert:
        return kAsterisk;
    case IndicatorGlyph::Browse:
    case IndicatorGlyph::Searching:
        break;
    }
    return kArrow;
}

} // namespace

bool RowIndicator::pixel(IndicatorGlyph glyph, int x, int y) {
    if (x < 0 || y < 0 || x >= kGlyphWidth || y >= kGlyphHeight) {
        return false;
    }
    return (rowsOf(glyph)[y] >> (kGlyphWidth - 1 - x) & 1) != 0;
}

void RowIndicator::paint(QPainter& painter, const QRect& cell, IndicatorGlyph glyph,
                         const QColor& ink, const QColor& searchColour) {
    const int left = cell.left() + (cell.width() - kGlyphWidth) / 2;
    const int top = cell.top() + (cell.height() - kGlyphHeight) / 2;
    const QColor colour = glyph == IndicatorGlyph::Searching ? searchColour : ink;
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            if (pixel(glyph, x, y)) {
                painter.fillRect(left + x, top + y, 1, 1, colour);
            }
        }
    }
}

} // namespace ui
