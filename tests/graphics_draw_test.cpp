// Sprites, text and numbers in the back buffer, pixel by pixel against pattern sheets.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/state.h"
#include "graphics/draw.h"
#include "tests/graphics_test_support.h"

namespace {

using gfxtest::CountNonZero;
using gfxtest::DigitAt;
using gfxtest::GlyphAt;
using gfxtest::RegionShows;

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    gfxtest::MakeAllSheets();
  }
  void TearDown() override { gfxtest::FreeAllSheets(); }
};

TEST_F(DrawTest, PlaneHeadingChoosesItsColumn) {
  const int32_t cases[][2] = {{9, 9},  {27, 3}, {18, 6}, {1, 0}, {2, 11},
                              {35, 0}, {0, 0},  {34, 1}, {4, 11}};
  for (const auto& [heading, column] : cases) {
    std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
    DrawPlaneSprite(SPRITE_PLANE, 100, 200, heading, 2);
    EXPECT_TRUE(RegionShows(backBuffer, 100, 200, 32, 32, planeSurface, column * 32, 64, 32, 32))
        << "heading " << heading;
    EXPECT_EQ(CountNonZero(backBuffer), 32 * 32) << "heading " << heading;
  }
}

// One drawing call (plane or fire: frame and colour row; cloud or tower: width in cells), the
// sheet regions {dx, dy, sx, sy, w, h} it must show 1:1, and how many pixels it draws in all.
struct Region {
  int32_t dx, dy, sx, sy, w, h;
};
struct SpriteCase {
  int32_t kind, x, y, frame, row, drawn;
  std::vector<Region> regions;
};

TEST_F(DrawTest, SpritesAreCutAndWrappedAtTheEdges) {
  const int32_t p = playAreaWidth, h = screenHeight;
  enum { P, F, C, T };  // the two plane kinds and the two object kinds share numbers
  // clang-format off
  const SpriteCase cases[] = {
      // plane leaving right wraps left
      {P, p - 10, 100, 9, 1, 1024, {{p - 10, 100, 288, 32, 10, 32}, {0, 100, 298, 32, 22, 32}}},
      // plane leaving left wraps right
      {P, -12, 100, 0, 3, 1024, {{0, 100, 12, 96, 20, 32}, {p - 12, 100, 0, 96, 12, 32}}},
      {P, 50, -10, 0, 0, 32 * 22, {{50, 0, 0, 10, 32, 22}}},  // plane cut at the top
      {P, -12, -10, 0, 0, 20 * 22, {{0, 0, 12, 10, 20, 22}}},  // plane cut left and top: no wrap
      // plane cut right and bottom: no wrap
      {P, p - 10, h - 8, 0, 0, 10 * 8, {{p - 10, h - 8, 0, 0, 10, 8}}},
      {P, -40, 100, 0, 0, 0, {}},  // plane wholly left
      {P, 100, -40, 0, 0, 0, {}},  // plane wholly above
      {P, 100, h, 0, 0, 0, {}},  // plane wholly below
      {P, 100, 100, 0, 7, 0, {}},  // colour row past the sheet
      {P, INT32_MAX - 5, INT32_MIN, 0, 0, 0, {}},  // far away
      {F, 100, 100, 7, 0, 1024, {{100, 100, 224, 0, 32, 32}}},  // fire frame 7
      {F, p - 10, 100, 2, 0, 10 * 32, {{p - 10, 100, 64, 0, 10, 32}}},  // fire does not wrap
      {F, 100, 100, 8, 0, 0, {}},  // fire frame 8
      {F, -12, 100, 8, 0, 0, {}},  // fire frame 8 at the edge
      {F, 100, 100, -1, 0, 0, {}},  // fire frame -1
      // cloud wraps right
      {C, p - 20, 50, 2, 0, 64 * 32, {{p - 20, 50, 0, 0, 20, 32}, {0, 50, 20, 0, 44, 32}}},
      // cloud cut also at the top: no wrap
      {C, p - 20, -10, 2, 0, 20 * 22, {{p - 20, 0, 0, 10, 20, 22}}},
      {C, -24, 50, 2, 0, 40 * 32, {{0, 50, 24, 0, 40, 32}}},  // cloud cut left: no wrap
      // tower cut at the top keeps its foot
      {T, 100, -10, 1, 0, 32 * 54, {{100, 0, 0, 10, 32, 54}}},
      {T, 100, h - 20, 1, 0, 0, {}},  // tower reaching below is not shortened
      {T, 100, h - 50, 1, 0, 0, {}},  // tower reaching below by 14
  };
  // clang-format on
  for (const SpriteCase& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
    if (c.kind == P || c.kind == F) {
      DrawPlaneSprite(c.kind == P ? SPRITE_PLANE : SPRITE_FIRE, c.x, c.y, c.frame, c.row);
    } else {
      DrawObjectSprite(c.kind == C ? SPRITE_CLOUD : SPRITE_TOWER, c.x, c.y, c.frame, c.row);
    }
    platform::Surface* sheet = c.kind == P   ? planeSurface
                               : c.kind == F ? fireSurface
                               : c.kind == C ? cloudSurface
                                             : towerSurface;
    for (const Region& r : c.regions)
      EXPECT_TRUE(RegionShows(backBuffer, r.dx, r.dy, r.w, r.h, sheet, r.sx, r.sy, r.w, r.h));
    EXPECT_EQ(CountNonZero(backBuffer), c.drawn);
  }
}

TEST_F(DrawTest, TowerLeavesOutWhite) {
  towerSurface->pixels[5] = 0xFFFF;  // a white pixel in its top row
  backBuffer->pixels[300 * 640 + 105] = 0x4321;
  DrawObjectSprite(SPRITE_TOWER, 100, 300, 1, 0);
  EXPECT_TRUE(RegionShows(backBuffer, 100, 300, 32, 64, towerSurface, 0, 0, 32, 64));
  EXPECT_EQ(gfxtest::PixelAt(backBuffer, 105, 300), 0x4321);
  EXPECT_EQ(CountNonZero(backBuffer), 32 * 64);
}

TEST_F(DrawTest, BulletsUseTheirPlanesRowAndAreNeverCut) {
  DrawObjectSprite(SPRITE_BULLET, 10, 20, 1, 0);
  DrawObjectSprite(SPRITE_BULLET, 30, 20, 1, 1);
  EXPECT_TRUE(RegionShows(backBuffer, 10, 20, 4, 4, bulletSurface, 0, 0, 4, 4));
  EXPECT_TRUE(RegionShows(backBuffer, 30, 20, 4, 4, bulletSurface, 0, 4, 4, 4));
  // Over the right panel it is still drawn; past any screen edge it is not.
  DrawObjectSprite(SPRITE_BULLET, playAreaWidth - 2, 50, 1, 0);
  EXPECT_TRUE(RegionShows(backBuffer, playAreaWidth - 2, 50, 4, 4, bulletSurface, 0, 0, 4, 4));
  DrawObjectSprite(SPRITE_BULLET, screenWidth - 3, 60, 1, 0);
  DrawObjectSprite(SPRITE_BULLET, 60, screenHeight - 3, 1, 0);
  DrawObjectSprite(SPRITE_BULLET, -1, 60, 1, 0);
  DrawObjectSprite(SPRITE_BULLET, 60, -1, 1, 0);
  DrawObjectSprite(SPRITE_BULLET, 60, 60, 1, 2);
  EXPECT_EQ(CountNonZero(backBuffer), 3 * 16);
}

TEST_F(DrawTest, StringLeavesSpacesEmpty) {
  DrawString("A b", 40, 60, 2, 4);
  EXPECT_TRUE(RegionShows(backBuffer, 40, 60, 8, 8, lettersSurface, ('A' - 33) * 8, 8, 8, 8));
  EXPECT_TRUE(RegionShows(backBuffer, 56, 60, 8, 8, lettersSurface, ('b' - 33) * 8, 8, 8, 8));
  EXPECT_EQ(CountNonZero(backBuffer), 2 * 64);
}

TEST_F(DrawTest, StringSizeSixScalesToTwelvePixelCells) {
  DrawString("!~", 40, 60, 10, 6);
  EXPECT_TRUE(GlyphAt(40, 60, '!', 10, 6));
  EXPECT_TRUE(GlyphAt(52, 60, '~', 10, 6));
  EXPECT_EQ(CountNonZero(backBuffer), 2 * 144);
}

TEST_F(DrawTest, CharactersWithoutPictureLeaveTheirCellEmpty) {
  // Codes 127 and up (negative as signed bytes) and control codes have no cell.
  DrawString("\x7f\x80\xff\x1fZ", 40, 60, 1, 4);
  EXPECT_TRUE(GlyphAt(72, 60, 'Z', 1, 4));
  EXPECT_EQ(CountNonZero(backBuffer), 64);
  DrawString("A", 40, 100, 11, 4);  // band past the sheet
  DrawString(nullptr, 40, 100, 1, 4);
  EXPECT_EQ(CountNonZero(backBuffer), 64);
}

TEST_F(DrawTest, NumbersShowEveryDigitInCellsOneColumnWiderThanThem) {
  const struct {
    int32_t value, size, band;
    const char* digits;  // nullptr: nothing drawn
  } cases[] = {{0, 4, 2, "0"},
               {120, 6, 1, "120"},
               {1234567, 4, 3, "1234567"},
               {1000000, 6, 1, "1000000"},
               {INT32_MAX, 4, 1, "2147483647"},
               {-3, 6, 1, nullptr},
               {INT32_MIN, 6, 1, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
    DrawNumber(c.value, 40, 60, c.band, c.size);
    const int32_t n = c.digits == nullptr ? 0 : static_cast<int32_t>(std::strlen(c.digits));
    for (int32_t j = 0; j < n; ++j) {
      EXPECT_TRUE(DigitAt(40 + j * c.size, 60, c.digits[j] - '0', c.band, c.size)) << j;
      for (int32_t y = 60; y < 60 + 2 * c.size; ++y)
        EXPECT_EQ(gfxtest::PixelAt(backBuffer, 40 + (j + 1) * c.size - 1, y), 0) << j;
    }
    EXPECT_EQ(CountNonZero(backBuffer), n * (c.size - 1) * 2 * c.size);
  }
}

TEST_F(DrawTest, MissingSheetOrBackBufferDrawsNothing) {
  platform::Surface* target = backBuffer;
  platform::FreeSurface(planeSurface);
  planeSurface = nullptr;
  DrawPlaneSprite(SPRITE_PLANE, -12, 100, 0, 0);
  EXPECT_EQ(CountNonZero(target), 0);
  backBuffer = nullptr;
  DrawString("A", 10, 10, 1, 4);
  DrawNumber(5, 10, 10, 1, 4);
  DrawObjectSprite(SPRITE_CLOUD, 10, 10, 2, 0);
  DrawPlaneSprite(SPRITE_FIRE, 10, 10, 0, 0);
  backBuffer = target;
  EXPECT_EQ(CountNonZero(backBuffer), 0);
}

}  // namespace
