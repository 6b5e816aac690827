// Sprites, text and numbers, drawn with colour-keyed copies from the picture sheets into the back
// buffer. Nothing is drawn while the back buffer or the sheet is missing.
#pragma once

#include <cstdint>

// Kinds for DrawObjectSprite.
enum ObjectSpriteKind : int32_t { SPRITE_CLOUD = 1, SPRITE_TOWER = 2, SPRITE_BULLET = 3 };
// Kinds for DrawPlaneSprite.
enum PlaneSpriteKind : int32_t { SPRITE_PLANE = 1, SPRITE_FIRE = 2 };

// A cloud (widthCells sprite cells wide, wrapping around the playfield's right edge), the tower,
// or a bullet (variant: the firing plane's index) with its top-left corner at (x, y).
void DrawObjectSprite(int32_t kind, int32_t x, int32_t y, int32_t widthCells, int32_t variant);

// A plane flying on heading frame (0..35) in colour band colorRow, wrapping around both edges of
// the playfield; or fire animation frame `frame` (0..7; others draw nothing).
void DrawPlaneSprite(int32_t kind, int32_t x, int32_t y, int32_t frame, int32_t colorRow);

// text in colour band row (1..10), each character in a cell 2 * size pixels square. Characters
// the font has no picture for leave their cell empty.
void DrawString(const char* text, int32_t x, int32_t y, int32_t row, int32_t size);

// value in decimal in digit band row (1..10), each digit size - 1 pixels wide and 2 * size high
// in a cell size pixels wide. Negative values draw nothing.
void DrawNumber(int32_t value, int32_t x, int32_t y, int32_t row, int32_t size);
