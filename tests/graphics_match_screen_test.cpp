// The match screen at the game's three screen sizes, the crash animation, the notices and the
// panel's scores, pixel by pixel against pattern sheets.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "game/state.h"
#include "graphics/match_screen.h"
#include "tests/graphics_test_support.h"

namespace {

using gfxtest::DigitAt;
using gfxtest::GlyphAt;
using gfxtest::RegionShows;
using gfxtest::StringAt;

// Where everything lands, worked out by hand for each screen size.
struct Layout {
  int32_t w, h;
  int32_t buttonsLeft, buttonsTop;
  int32_t towerX, towerY;
  int32_t labelY;
  int32_t panelNameX, scoreX, minusX;
  int32_t p1NameX, p1LabelX, p1ValueX;
  int32_t p2NameX, p2LabelX, p2ValueX;
  int32_t toWinX, toWinY, toWinNumberX, toWinNumberY;
  int32_t mainMenuX, mainMenuY, quitX, quitY;
  int32_t pausedX, pausedY, tieX, tieY;
};

// Test names and messages show the screen size only.
void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.w << "x" << layout.h; }

const Layout kLayouts[] = {
    {640, 480, 560, 416, 264, 400, 465, 568, 590, 578, 124, 122, 186, 311,
     309, 373, 576, 380, 592, 394, 564, 428, 584, 460, 272, 176, 240, 176},
    {800, 600, 720, 536, 344, 508, 585, 728, 750, 738, 178, 176, 240, 418,
     416, 480, 736, 500, 752, 514, 724, 548, 744, 580, 352, 236, 320, 236},
    {1024, 768, 944, 704, 456, 659, 753, 952, 974, 962, 252, 250, 314, 567,
     565,  629, 960, 668, 976, 682, 948, 716, 968, 748, 464, 320, 432, 320},
};

class MatchScreenTest : public ::testing::Test {
 protected:
  void StartMatch(int32_t w, int32_t h) {
    ResetGameState();
    SetScreenSize(w, h);
    gfxtest::MakeAllSheets();
    ReturnToMenu();
    gameMode = MODE_MATCH;
  }
  void SetUp() override { StartMatch(640, 480); }
  void TearDown() override { gfxtest::FreeAllSheets(); }

  // Nothing was drawn over the background in {x, y, w, h}.
  ::testing::AssertionResult Untouched(int32_t x, int32_t y, int32_t w, int32_t h) {
    return RegionShows(backBuffer, x, y, w, h, backgroundSurface, x, y, w, h);
  }
};

class MatchScreenLayoutTest : public MatchScreenTest, public ::testing::WithParamInterface<Layout> {
 protected:
  void SetUp() override { StartMatch(GetParam().w, GetParam().h); }
};

TEST_P(MatchScreenLayoutTest, PicturesAndTextSitWhereTheTableSays) {
  const Layout& l = GetParam();
  const int32_t p = l.w - 80;
  planes[0].score = 3;
  planes[1].score = 12;
  planes[0].kills = 3;
  planes[0].crashes = 1;
  planes[0].fired = 7;
  planes[1].crashes = 2;
  paused = 1;
  DrawMatchScreen();

  EXPECT_TRUE(Untouched(400, 100, 10, 10));
  EXPECT_TRUE(RegionShows(backBuffer, p, 30, 80, 60, rightPanelSurface, 0, 30, 80, 60));
  for (int32_t top : {0, 20, 32, 52})
    EXPECT_TRUE(RegionShows(backBuffer, l.buttonsLeft, l.buttonsTop + top, 80, 12, buttonsSurface,
                            0, top, 80, 12));
  EXPECT_TRUE(RegionShows(backBuffer, l.towerX, l.towerY, 32, 64, towerSurface, 0, 0, 32, 64));
  EXPECT_TRUE(StringAt(resolutionLabel, 5, l.labelY, 2, 4));

  EXPECT_TRUE(StringAt("Player 1", l.panelNameX, 100, 2, 4));
  EXPECT_TRUE(StringAt("Player 2", l.panelNameX, 200, 2, 4));
  EXPECT_TRUE(DigitAt(l.scoreX, 115, 3, 1, 6));
  EXPECT_TRUE(DigitAt(l.scoreX, 215, 1, 1, 6));
  EXPECT_TRUE(DigitAt(l.scoreX + 6, 215, 2, 1, 6));

  const struct {
    const char* name;
    int32_t nameX, labelX, valueX;
    int32_t kills, crashes, fired;
  } blocks[] = {{"Player 1", l.p1NameX, l.p1LabelX, l.p1ValueX, 3, 1, 7},
                {"Player 2", l.p2NameX, l.p2LabelX, l.p2ValueX, 0, 2, 0}};
  for (const auto& b : blocks) {
    EXPECT_TRUE(StringAt(b.name, b.nameX, 0, 2, 4));
    EXPECT_TRUE(StringAt("Kills:", b.labelX, 10, 2, 4));
    EXPECT_TRUE(StringAt("Crashes:", b.labelX, 20, 2, 4));
    EXPECT_TRUE(StringAt("Fired:", b.labelX, 30, 2, 4));
    EXPECT_TRUE(StringAt("Hit %:", b.labelX, 40, 2, 4));
    EXPECT_TRUE(DigitAt(b.valueX, 10, b.kills, 3, 4));
    EXPECT_TRUE(DigitAt(b.valueX, 20, b.crashes, 3, 4));
    EXPECT_TRUE(DigitAt(b.valueX, 30, b.fired, 3, 4));
  }
  // 3 kills from 7 shots is 42 %; no shots is 0 %.
  EXPECT_TRUE(DigitAt(l.p1ValueX, 40, 4, 3, 4));
  EXPECT_TRUE(DigitAt(l.p1ValueX + 4, 40, 2, 3, 4));
  EXPECT_TRUE(DigitAt(l.p2ValueX, 40, 0, 3, 4));
  EXPECT_TRUE(Untouched(l.p2ValueX + 3, 40, 8, 8));

  EXPECT_TRUE(StringAt("Corvane", p + 12, 5, 6, 4));
  EXPECT_TRUE(StringAt("Altor", p + 20, 15, 6, 4));
  EXPECT_TRUE(StringAt("To win:", l.toWinX, l.toWinY, 2, 4));
  EXPECT_TRUE(DigitAt(l.toWinNumberX, l.toWinNumberY, 5, 1, 6));
  EXPECT_TRUE(StringAt("Main Menu", l.mainMenuX, l.mainMenuY, 1, 4));
  EXPECT_TRUE(StringAt("Quit", l.quitX, l.quitY, 1, 4));
  EXPECT_TRUE(StringAt("PAUSED", l.pausedX, l.pausedY, 2, 4));
  EXPECT_TRUE(Untouched(l.tieX, l.tieY, 32, 8));  // no tie at 3 to 12
}

TEST_P(MatchScreenLayoutTest, TieNoticeForEqualWinningScores) {
  const Layout& l = GetParam();
  planes[0].score = 5;
  planes[1].score = 5;
  DrawMatchScreen();
  EXPECT_TRUE(StringAt("Its a tie!", l.tieX, l.tieY, 2, 4));
}

INSTANTIATE_TEST_SUITE_P(ThreeScreenSizes, MatchScreenLayoutTest, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                           return std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
                         });

TEST_F(MatchScreenTest, TieNoticeNeedsEqualScoresAtLeastTheScoreToWin) {
  const struct {
    int32_t a, b;
    bool tie;
  } cases[] = {{5, 5, true}, {6, 6, true}, {6, 5, false}, {4, 4, false}, {5, 6, false}};
  for (const auto& c : cases) {
    planes[0].score = c.a;
    planes[1].score = c.b;
    DrawMatchScreen();
    if (c.tie) {
      EXPECT_TRUE(StringAt("Its a tie!", 240, 176, 2, 4)) << c.a << ":" << c.b;
    } else {
      EXPECT_TRUE(Untouched(240, 176, 80, 8)) << c.a << ":" << c.b;
    }
  }
}

TEST_F(MatchScreenTest, PauseNoticeOnlyWhileTheMatchIsOpen) {
  for (const auto& [pause, over] : {std::pair{1, 1}, {0, 0}}) {
    paused = pause;
    matchOver = over;
    DrawMatchScreen();
    EXPECT_TRUE(Untouched(272, 176, 48, 8)) << pause << over;
  }
}

TEST_F(MatchScreenTest, NegativeScoreShowsMagnitudeWithMinusSign) {
  planes[0].score = -3;
  planes[1].score = -12;
  DrawMatchScreen();
  EXPECT_TRUE(GlyphAt(578, 115, '-', 1, 6));
  EXPECT_TRUE(DigitAt(590, 115, 3, 1, 6));
  EXPECT_TRUE(RegionShows(backBuffer, 595, 115, 20, 12, rightPanelSurface, 35, 115, 20, 12));
  EXPECT_TRUE(GlyphAt(578, 215, '-', 1, 6));
  EXPECT_TRUE(DigitAt(590, 215, 1, 1, 6));
  EXPECT_TRUE(DigitAt(596, 215, 2, 1, 6));
}

TEST_F(MatchScreenTest, HitPercentIsZeroWithoutKillsOrShots) {
  planes[0].kills = 0;
  planes[0].fired = 9;
  planes[1].kills = 2;  // impossible in play, but must not divide by zero
  planes[1].fired = 0;
  DrawMatchScreen();
  EXPECT_TRUE(DigitAt(186, 40, 0, 3, 4));
  EXPECT_TRUE(DigitAt(373, 40, 0, 3, 4));
  EXPECT_TRUE(Untouched(189, 40, 8, 8));
}

TEST_F(MatchScreenTest, CrashShowsPlaneInFlamesThenFireThenNothingAlsoWhilePaused) {
  // The left half of every fire cell is transparent, so a plane under the fire shows on the left
  // and the fire on the right.
  for (int32_t i = 0; i < fireSurface->width * fireSurface->height; ++i)
    if (i % fireSurface->width % 32 < 16) fireSurface->pixels[i] = 0;
  for (int32_t pause : {0, 1}) {
    paused = pause;
    Plane& plane = planes[0];
    plane.crashed = 1;
    plane.crashTimer = 8;
    plane.screenX = plane.screenY = 100;
    for (int32_t frame = 0; frame < 10; ++frame) {
      SCOPED_TRACE("paused " + std::to_string(pause) + " frame " + std::to_string(frame));
      plane.crashTimer = std::max(8 - frame, 0);  // the simulation counts it down, not the drawing
      DrawMatchScreen();
      EXPECT_TRUE(frame < 2 ? RegionShows(backBuffer, 100, 100, 16, 32, planeSurface, 0, 0, 16, 32)
                            : Untouched(100, 100, 16, 32));
      EXPECT_TRUE(frame < 8 ? RegionShows(backBuffer, 116, 100, 16, 32, fireSurface,
                                          frame * 32 + 16, 0, 16, 32)
                            : Untouched(116, 100, 16, 32));
    }
  }
}

TEST_F(MatchScreenTest, BulletsAreDrawnAtTheirTruncatedPositionAndMayCoverThePanel) {
  Plane& a = planes[0];
  a.bulletCount = 3;
  a.bullets[0].x = 559.0;
  a.bullets[0].y = 300.7;
  a.bullets[1].x = 558.2;
  a.bullets[1].y = 320.0;
  a.bullets[2].x = 557.9;
  a.bullets[2].y = 340.0;
  a.bullets[3].x = 50.0;  // not live
  a.bullets[3].screenX = -77;
  Plane& b = planes[1];
  b.bulletCount = 2;
  b.bullets[0].x = 637.0;  // reaches past the screen's right edge
  b.bullets[0].y = 300.0;
  b.bullets[1].x = -0.5;  // cut toward zero: drawn at 0
  b.bullets[1].y = 250.9;
  DrawMatchScreen();
  EXPECT_TRUE(RegionShows(backBuffer, 559, 300, 4, 4, bulletSurface, 0, 0, 4, 4));
  EXPECT_TRUE(RegionShows(backBuffer, 558, 320, 4, 4, bulletSurface, 0, 0, 4, 4));
  EXPECT_TRUE(RegionShows(backBuffer, 557, 340, 4, 4, bulletSurface, 0, 0, 4, 4));
  EXPECT_TRUE(RegionShows(backBuffer, 0, 250, 4, 4, bulletSurface, 0, 4, 4, 4));
  EXPECT_TRUE(RegionShows(backBuffer, 637, 300, 3, 4, rightPanelSurface, 77, 300, 3, 4));
}

TEST_F(MatchScreenTest, CloudsCoverPlanesAndTheTowerCoversClouds) {
  planes[0].screenX = 100;
  planes[0].screenY = 100;
  clouds[0] = {100, 100};
  clouds[1] = {264, 400};
  DrawMatchScreen();
  EXPECT_TRUE(RegionShows(backBuffer, 100, 100, 64, 32, cloudSurface, 0, 0, 64, 32));
  EXPECT_TRUE(RegionShows(backBuffer, 264, 400, 32, 64, towerSurface, 0, 0, 32, 64));
  EXPECT_TRUE(RegionShows(backBuffer, 296, 400, 32, 32, cloudSurface, 32, 0, 32, 32));
}

}  // namespace
