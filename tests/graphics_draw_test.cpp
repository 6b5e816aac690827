// Sprites, text and numbers in the back buffer, against coded sheets.
#include "graphics/draw.h"
#include "support/coded_sheets.h"

class DrawTest : public coded::Test {};

TEST_F(DrawTest, SpritesWrapAtThePlayfield) {
  // A part of a sprite: the sheet's w x h box from (sx, sy), shown 1:1 at (x, y).
  // clang-format off
  struct Part { int x, y, w, h, sx, sy; };
  // clang-format on
  enum Kind { PLANE, FIRE, CLOUD };
  // frame: heading or fire frame; row: colour row; drawn: pixels drawn in all.
  // clang-format off
  const struct { Kind kind; int x, y, frame, row, drawn; Part parts[2]; } cases[] = {
      // Twelve pictures turning clockwise, heading 0 flying right.
      {PLANE, 100, 200, 0, 2, 1024, {{100, 200, 32, 32, 0, 64}}},
      {PLANE, 100, 200, 2, 2, 1024, {{100, 200, 32, 32, 352, 64}}},
      // Past the playfield's right edge (not the screen's) the rest shows on the left, past its
      // left edge on the right; past the top the sprite is cut.
      {PLANE, 550, 100, 9, 1, 1024, {{550, 100, 10, 32, 288, 32}, {0, 100, 22, 32, 298, 32}}},
      {PLANE, -12, 100, 9, 3, 1024, {{0, 100, 20, 32, 300, 96}, {548, 100, 12, 32, 288, 96}}},
      {PLANE, 50, -10, 9, 1, 32 * 22, {{50, 0, 32, 22, 288, 42}}},
      {CLOUD, 540, 50, 0, 0, 64 * 32, {{540, 50, 20, 32, 0, 0}, {0, 50, 44, 32, 20, 0}}},
      {FIRE, 100, 100, 7, 0, 1024, {{100, 100, 32, 32, 224, 0}}},
      {FIRE, 100, 100, 8, 0, 0, {}}};
  // clang-format on
  const platform::Surface* sheets[] = {planeSurface, fireSurface, cloudSurface};
  for (const auto& c : cases) {
    std::fill_n(backBuffer->pixels, 640 * 480, 0);
    // SPRITE_PLANE and SPRITE_FIRE follow PLANE and FIRE.
    c.kind == CLOUD ? DrawObjectSprite(SPRITE_CLOUD, c.x, c.y, 2, 0)
                    : DrawPlaneSprite(c.kind + 1, c.x, c.y, c.frame, c.row);
    for (const Part& p : c.parts)
      EXPECT_TRUE(p.w == 0 || Shows(sheets[c.kind], p.sx, p.sy, p.x, p.y, p.w, p.h)) << &c - cases;
    EXPECT_EQ(Drawn(), c.drawn) << &c - cases;
  }
}

TEST_F(DrawTest, TextAndNumbers) {
  // Text (or null: value as a number), band, size, what shows, pixels drawn in all.
  // clang-format off
  const struct { const char* text; int value, band, size; const char* shown; int drawn; }
  cases[] = {
      {"A b", 0, 2, 4, "A b", 2 * 64}, {"!~", 0, 10, 6, "!~", 2 * 144},
      {"\x7f\x80\xff\x1fZ", 0, 1, 4, "    Z", 64}, {nullptr, 0, 2, 4, "0", 3 * 8},
      {nullptr, 100, 1, 6, "100", 3 * 5 * 12}, {nullptr, 1000000, 3, 4, "1000000", 7 * 3 * 8},
      // Callers draw the sign themselves.
      {nullptr, -3, 1, 6, "", 0}};
  // clang-format on
  for (const auto& c : cases) {
    std::fill_n(backBuffer->pixels, 640 * 480, 0);
    c.text ? DrawString(c.text, 40, 60, c.band, c.size)
           : DrawNumber(c.value, 40, 60, c.band, c.size);
    EXPECT_TRUE(Text(c.shown, 40, 60, c.band, c.size, c.text == nullptr)) << c.shown;
    EXPECT_EQ(Drawn(), c.drawn) << c.shown;
  }
}
