// The game's two bitmap fonts: the 8x8 text font (codes 33..126) and the 4x8 digit font, both
// in ten colour bands.
#pragma once

#include "tools/raster.h"

namespace art {

constexpr int kFirstGlyph = 33;
constexpr int kLastGlyph = 126;
constexpr int kBands = 10;

// True where the glyph of `code` (33..126) has ink at column x, row y (0..7); false elsewhere.
bool GlyphInk(int code, int x, int y);
// The colour of band 1..10 at height t (0 top of a glyph, 1 its baseline).
Color BandColor(int band, double t);
// The dark drop shadow under the text of every band.
Color TextShadowColor();

// letters.bmp: 94 cells of 8x8 per row, one row per band.
Bitmap MakeLetters();
// numbers.bmp: digits 0..9 in 4x8 cells, one row per band.
Bitmap MakeNumbers();

}  // namespace art
