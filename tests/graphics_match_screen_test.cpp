// The match screen as drawn: panel, statistics, notices, bullets and clouds, against coded sheets.
#include "graphics/match_screen.h"
#include "support/coded_sheets.h"

class MatchScreenTest : public coded::Test {};

TEST_F(MatchScreenTest, PanelAndStatistics) {
  planes[0].score = -3;
  planes[1].score = 12;
  planes[0].kills = 3;
  planes[0].crashes = 1;
  // 3 kills of 7 shots: 42 %, cut.
  planes[0].fired = 7;
  // Kills without shots: 0 %, and no division by zero.
  planes[1].kills = 2;
  paused = 1;
  DrawMatchScreen();
  // clang-format off
  ExpectShown({{"-", 578, 115, 1, 6}, {"3", 590, 115, 1, 6, true}, {"Player 1", 124, 0, 2},
               {"42", 186, 40, 3, 4, true}, {"0", 373, 40, 3, 4, true}, {"5", 592, 394, 1, 6, true}});
  // clang-format on
  EXPECT_TRUE(Shows(buttonsSurface, 0, 0, 560, 416, 80, 64));
  EXPECT_TRUE(Shows(towerSurface, 0, 0, 264, 400, 32, 64));
}

TEST_F(MatchScreenTest, PauseAndTieNotices) {
  // Scores, paused, over, whether "PAUSED" and "Its a tie!" show.
  const int cases[][6] = {
      {0, 0, 1, 0, 1, 0}, {3, 12, 1, 1, 0, 0}, {5, 5, 1, 1, 0, 1}, {4, 4, 0, 0, 0, 0}};
  for (const auto& c : cases) {
    planes[0].score = c[0];
    planes[1].score = c[1];
    paused = c[2];
    matchOver = c[3];
    DrawMatchScreen();
    EXPECT_EQ(Text("PAUSED", 272, 176, 2), c[4] == 1) << &c - cases;
    EXPECT_EQ(Text("Its a tie!", 240, 176, 2), c[5] == 1) << &c - cases;
    EXPECT_FALSE(Text("-", 578, 115, 1, 6));
  }
}

TEST_F(MatchScreenTest, BulletsUnderClouds) {
  Plane& a = planes[0];
  // Screen position, position, motion.
  a.bullets[0] = {559, 300, 559, 300.7, 0, 0, 0};
  // Past bulletCount: not drawn.
  a.bullets[1] = {100, 100, 100, 100, 0, 0, 0};
  a.bulletCount = 1;
  planes[1].bullets[0] = {200, 300, 200, 300, 0, 0, 0};
  planes[1].bullets[1] = {400, 300, 400, 300, 0, 0, 0};
  planes[1].bulletCount = 2;
  a.screenX = 400;
  a.screenY = 300;
  clouds[0] = {400, 300};
  DrawMatchScreen();
  EXPECT_TRUE(Shows(bulletSurface, 0, 0, 559, 300, 4, 4));
  EXPECT_TRUE(Shows(backgroundSurface, 100, 100, 100, 100, 4, 4));
  EXPECT_TRUE(Shows(bulletSurface, 0, 4, 200, 300, 4, 4));
  EXPECT_TRUE(Shows(cloudSurface, 0, 0, 400, 300, 64, 32));
}
