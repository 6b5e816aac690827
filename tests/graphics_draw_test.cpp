// Sprites, text and numbers in the back buffer, pixel by pixel against pattern sheets.
#include <gtest/gtest.h>

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

  // The plane cell in column `column`, colour band `band`, as drawn at (x, y) 1:1.
  ::testing::AssertionResult PlaneCellAt(int32_t x, int32_t y, int32_t column, int32_t band) {
    return RegionShows(backBuffer, x, y, 32, 32, planeSurface, column * 32, band * 32, 32, 32);
  }
};

TEST_F(DrawTest, PlaneHeadingChoosesItsColumn) {
  const struct {
    int32_t heading;
    int32_t column;
  } cases[] = {{9, 9}, {27, 3}, {18, 6}, {1, 0}, {2, 11}, {35, 0}, {0, 0}, {34, 1}, {4, 11}};
  for (const auto& c : cases) {
    std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
    DrawPlaneSprite(SPRITE_PLANE, 100, 200, c.heading, 2);
    EXPECT_TRUE(PlaneCellAt(100, 200, c.column, 2)) << "heading " << c.heading;
    EXPECT_EQ(CountNonZero(backBuffer), 32 * 32) << "heading " << c.heading;
  }
}

TEST_F(DrawTest, PlaneLeavingRightEdgeWrapsToLeftEdge) {
  const int32_t x = playAreaWidth - 10;
  DrawPlaneSprite(SPRITE_PLANE, x, 100, 9, 1);
  EXPECT_TRUE(RegionShows(backBuffer, x, 100, 10, 32, planeSurface, 9 * 32, 32, 10, 32));
  EXPECT_TRUE(RegionShows(backBuffer, 0, 100, 22, 32, planeSurface, 9 * 32 + 10, 32, 22, 32));
  EXPECT_EQ(CountNonZero(backBuffer), 32 * 32);
}

TEST_F(DrawTest, PlaneLeavingLeftEdgeWrapsToRightEdge) {
  DrawPlaneSprite(SPRITE_PLANE, -12, 100, 0, 3);
  EXPECT_TRUE(RegionShows(backBuffer, 0, 100, 20, 32, planeSurface, 12, 96, 20, 32));
  EXPECT_TRUE(
      RegionShows(backBuffer, playAreaWidth - 12, 100, 12, 32, planeSurface, 0, 96, 12, 32));
  EXPECT_EQ(CountNonZero(backBuffer), 32 * 32);
}

TEST_F(DrawTest, PlaneCutAtTopOrBottomDoesNotWrap) {
  DrawPlaneSprite(SPRITE_PLANE, 50, -10, 0, 0);
  EXPECT_TRUE(RegionShows(backBuffer, 50, 0, 32, 22, planeSurface, 0, 10, 32, 22));
  EXPECT_EQ(CountNonZero(backBuffer), 32 * 22);

  std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
  DrawPlaneSprite(SPRITE_PLANE, -12, -10, 0, 0);
  EXPECT_TRUE(RegionShows(backBuffer, 0, 0, 20, 22, planeSurface, 12, 10, 20, 22));
  EXPECT_EQ(CountNonZero(backBuffer), 20 * 22);

  std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
  DrawPlaneSprite(SPRITE_PLANE, playAreaWidth - 10, screenHeight - 8, 0, 0);
  EXPECT_TRUE(RegionShows(backBuffer, playAreaWidth - 10, screenHeight - 8, 10, 8, planeSurface, 0,
                          0, 10, 8));
  EXPECT_EQ(CountNonZero(backBuffer), 10 * 8);
}

TEST_F(DrawTest, PlaneWhollyOffScreenOrBeyondItsSheetDrawsNothing) {
  DrawPlaneSprite(SPRITE_PLANE, -40, 100, 0, 0);
  DrawPlaneSprite(SPRITE_PLANE, 100, -40, 0, 0);
  DrawPlaneSprite(SPRITE_PLANE, 100, screenHeight, 0, 0);
  DrawPlaneSprite(SPRITE_PLANE, 100, 100, 0, 7);  // colour band past the sheet's seven
  DrawPlaneSprite(SPRITE_PLANE, INT32_MAX - 5, INT32_MIN, 0, 0);
  EXPECT_EQ(CountNonZero(backBuffer), 0);
}

TEST_F(DrawTest, FireFramesComeFromTheFireSheetWithoutWrapping) {
  DrawPlaneSprite(SPRITE_FIRE, 100, 100, 7, 0);
  EXPECT_TRUE(RegionShows(backBuffer, 100, 100, 32, 32, fireSurface, 7 * 32, 0, 32, 32));
  EXPECT_EQ(CountNonZero(backBuffer), 32 * 32);
  std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
  DrawPlaneSprite(SPRITE_FIRE, playAreaWidth - 10, 100, 2, 0);
  EXPECT_TRUE(RegionShows(backBuffer, playAreaWidth - 10, 100, 10, 32, fireSurface, 64, 0, 10, 32));
  EXPECT_EQ(CountNonZero(backBuffer), 10 * 32);
}

TEST_F(DrawTest, FireFrameEightDrawsNothing) {
  DrawPlaneSprite(SPRITE_FIRE, 100, 100, 8, 0);
  DrawPlaneSprite(SPRITE_FIRE, -12, 100, 8, 0);
  DrawPlaneSprite(SPRITE_FIRE, 100, 100, -1, 0);
  EXPECT_EQ(CountNonZero(backBuffer), 0);
}

TEST_F(DrawTest, CloudWrapsAroundTheRightEdge) {
  const int32_t x = playAreaWidth - 20;
  DrawObjectSprite(SPRITE_CLOUD, x, 50, 2, 0);
  EXPECT_TRUE(RegionShows(backBuffer, x, 50, 20, 32, cloudSurface, 0, 0, 20, 32));
  EXPECT_TRUE(RegionShows(backBuffer, 0, 50, 44, 32, cloudSurface, 20, 0, 44, 32));
  EXPECT_EQ(CountNonZero(backBuffer), 64 * 32);
}

TEST_F(DrawTest, CloudCutAlsoAtTheTopDoesNotWrap) {
  DrawObjectSprite(SPRITE_CLOUD, playAreaWidth - 20, -10, 2, 0);
  EXPECT_TRUE(RegionShows(backBuffer, playAreaWidth - 20, 0, 20, 22, cloudSurface, 0, 10, 20, 22));
  EXPECT_EQ(CountNonZero(backBuffer), 20 * 22);
}

TEST_F(DrawTest, CloudCutOnTheLeftDoesNotWrap) {
  DrawObjectSprite(SPRITE_CLOUD, -24, 50, 2, 0);
  EXPECT_TRUE(RegionShows(backBuffer, 0, 50, 40, 32, cloudSurface, 24, 0, 40, 32));
  EXPECT_EQ(CountNonZero(backBuffer), 40 * 32);
}

TEST_F(DrawTest, TowerKeepsItsFootAndLeavesOutWhite) {
  towerSurface->pixels[5] = 0xFFFF;  // a white pixel in its top row
  backBuffer->pixels[300 * 640 + 105] = 0x4321;
  DrawObjectSprite(SPRITE_TOWER, 100, 300, 1, 0);
  EXPECT_TRUE(RegionShows(backBuffer, 100, 300, 32, 64, towerSurface, 0, 0, 32, 64));
  EXPECT_EQ(gfxtest::PixelAt(backBuffer, 105, 300), 0x4321);
  EXPECT_EQ(CountNonZero(backBuffer), 32 * 64);

  // Cut at the top, it still ends 64 rows below y.
  std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
  DrawObjectSprite(SPRITE_TOWER, 100, -10, 1, 0);
  EXPECT_TRUE(RegionShows(backBuffer, 100, 0, 32, 54, towerSurface, 0, 10, 32, 54));
  EXPECT_EQ(CountNonZero(backBuffer), 32 * 54);

  // Reaching below the screen, it is not shortened, so it is not drawn.
  std::fill(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
  DrawObjectSprite(SPRITE_TOWER, 100, screenHeight - 20, 1, 0);
  DrawObjectSprite(SPRITE_TOWER, 100, screenHeight - 50, 1, 0);
  EXPECT_EQ(CountNonZero(backBuffer), 0);
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

TEST_F(DrawTest, NumberZeroIsOneDigit) {
  DrawNumber(0, 40, 60, 2, 4);
  EXPECT_TRUE(DigitAt(40, 60, 0, 2, 4));
  EXPECT_EQ(CountNonZero(backBuffer), 3 * 8);
}

TEST_F(DrawTest, NumberDigitsSitInCellsOneColumnWiderThanThem) {
  DrawNumber(120, 40, 60, 1, 6);
  EXPECT_TRUE(DigitAt(40, 60, 1, 1, 6));
  EXPECT_TRUE(DigitAt(46, 60, 2, 1, 6));
  EXPECT_TRUE(DigitAt(52, 60, 0, 1, 6));
  for (int32_t y = 60; y < 72; ++y) {
    EXPECT_EQ(gfxtest::PixelAt(backBuffer, 45, y), 0);
    EXPECT_EQ(gfxtest::PixelAt(backBuffer, 51, y), 0);
  }
  EXPECT_EQ(CountNonZero(backBuffer), 3 * 5 * 12);
}

TEST_F(DrawTest, NegativeNumberDrawsNothing) {
  DrawNumber(-3, 40, 60, 1, 6);
  DrawNumber(INT32_MIN, 40, 60, 1, 6);
  EXPECT_EQ(CountNonZero(backBuffer), 0);
}

TEST_F(DrawTest, MillionsShowEveryDigit) {
  DrawNumber(1234567, 10, 60, 3, 4);
  for (int32_t j = 0; j < 7; ++j) EXPECT_TRUE(DigitAt(10 + 4 * j, 60, j + 1, 3, 4)) << j;
  DrawNumber(INT32_MAX, 10, 100, 1, 4);
  const char digits[] = "2147483647";
  for (int32_t j = 0; j < 10; ++j) EXPECT_TRUE(DigitAt(10 + 4 * j, 100, digits[j] - '0', 1, 4));
  EXPECT_EQ(CountNonZero(backBuffer), 17 * 3 * 8);
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
