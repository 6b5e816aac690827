// The biplane: one vector model, drawn in seven colour schemes at twelve angles for the plane
// sheet, and larger for the title picture and the desktop icon.
#pragma once

#include <cstdint>

#include "tools/raster.h"

namespace art {

constexpr int kPlaneSchemes = 7;
constexpr int kPlaneAngles = 12;

// The spinning propeller is painted in this one colour (already a 16-bit display level), which
// no other part of the plane uses, so the nose can be found in the sheet.
constexpr uint8_t kPropellerRgb[3] = {214, 211, 198};

// Main colour of scheme 0..6 (0 is player 1's red, 1 player 2's blue).
Color PlaneBodyColor(int scheme);

// Draws the plane of `scheme` with its centre at (cx, cy), `scale` times the sprite size, nose
// turned `angleDegrees` clockwise from flying right (or, mirrored, anticlockwise from flying left).
void DrawPlane(Canvas& canvas, int scheme, double cx, double cy, double angleDegrees, double scale,
               bool mirror = false);

// plane.bmp: 12 angles (30 degrees clockwise per column) by 7 colour schemes, 32x32 cells.
Bitmap MakePlanes();
// The desktop icon: the plane on a rounded square of sky, `size` pixels square.
Canvas DrawIcon(int size);
// The 64x64 icon, opaque (black outside the rounded square).
Bitmap MakeIcon();
// The icon with transparent corners, for PNG files; its opaque pixels equal MakeIcon's.
RgbaBitmap MakeIconPng(int size);

}  // namespace art
