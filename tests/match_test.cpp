// The match frame: what its picture shows, who flies which plane, the pause, the panel buttons,
// the win rule and the clouds held still in a pause.
#include "game/match.h"

#include "support/coded_sheets.h"
#include "support/planes.h"

class MatchTest : public coded::Test {};

TEST_F(MatchTest, PausedFireBurnsOut) {
  cpuPlayers = 0;
  paused = 1;
  testplanes::PutInAir(1, 200, 200, 0, 8).crashed = 1;
  planes[1].crashTimer = 8;
  clouds[0].x = 300;
  // See-through left halves of the fire show the plane under it.
  for (int i = 0; i < 256 * 32; i += 32) std::fill_n(fireSurface->pixels + i, 16, 0);
  for (int frame = 0; frame < 10; ++frame) {
    MatchFrame();
    EXPECT_EQ(Shows(planeSurface, 0, 32, 200, 200, 16, 32), frame < 2) << frame;
    EXPECT_TRUE(frame < 8 ? Shows(fireSurface, 32 * frame + 16, 0, 216, 200, 16, 32)
                          : Shows(backgroundSurface, 200, 200, 200, 200, 32, 32))
        << frame;
  }
  EXPECT_EQ(clouds[0].x, 300);
  // The next picture shows nothing there, the one after the plane where it went down, once.
  paused = 0;
  MatchFrame();
  EXPECT_TRUE(Shows(backgroundSurface, 200, 200, 200, 200, 32, 32));
  MatchFrame();
  EXPECT_TRUE(Shows(planeSurface, 0, 32, 200, 200, 32, 32));
  MatchFrame();
  EXPECT_TRUE(Shows(planeSurface, 0, 32, 312, 420, 32, 32));
}

TEST_F(MatchTest, BulletsHitPlanesWhereThePictureShowsThem) {
  cpuPlayers = 0;
  testplanes::PutInAir(1, 300, 100, 0, 8);
  // On to x 308; the next picture still shows it at 300.
  MatchFrame();
  planes[0].bullets[0] = {306, 110, 306, 110, 0, 0, 20};
  planes[0].bulletCount = 1;
  MatchFrame();
  EXPECT_EQ(planes[1].crashed, 1);
}

TEST_F(MatchTest, PanelButtonsPilotsAndTheWinRule) {
  // Computer players, paused, a click's y (0: none), the scores, then: back in the menu, quitting,
  // plane 2's speed, match over. Player 2 holds gas: only a human plane 2 takes it. After "Main
  // Menu" the rest of the frame runs, so a computer gives gas on the runway.
  // clang-format off
  const struct { int cpu, paused, y, score0, score1; bool menu, quit; double speed; int over; }
  cases[] = {{0, 1, 430, 0, 0, true, false, 0, 0}, {1, 0, 430, 0, 0, true, false, 0.65, 0},
             {2, 0, 430, 0, 0, true, false, 0.65, 0}, {0, 0, 0, 5, 0, false, false, 0.65, 1},
             {0, 0, 0, 0, 5, false, false, 0.65, 1}, {0, 0, 0, 4, 4, false, false, 0.65, 0},
             {0, 0, 460, 0, 0, false, true, 0.65, 0}};
  // clang-format on
  fake::keys[platform::VK_MENU] = true;
  for (const auto& c : cases) {
    ReturnToMenu();
    std::tie(gameMode, cpuPlayers, paused, planes[0].score, planes[1].score) =
        std::tuple(MODE_MATCH, c.cpu, c.paused, c.score0, c.score1);
    fake::Click(600, c.y, c.y > 0);
    MatchFrame();
    // A finished match stays paused.
    EXPECT_EQ(std::tuple(gameMode == MODE_MENU, IsQuitting(), matchOver, paused),
              std::tuple(c.menu, c.quit, c.over, c.over))
        << &c - cases;
    EXPECT_DOUBLE_EQ(planes[1].speed, c.speed) << &c - cases;
  }
}
