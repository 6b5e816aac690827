// Computer against computer for a long time, checking the game's invariants after every frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "game/match.h"
#include "game/state.h"
#include "shell/shell.h"
#include "support/fake_input.h"

namespace {

constexpr int32_t kFrames = 200000;

struct SoakResult {
  int32_t kills[2] = {0, 0};
  int32_t crashes[2] = {0, 0};
  int32_t matches = 0;
};

bool Finite(double v) { return std::isfinite(v); }

// Runs the real match frame with two computer pilots; returns false at the first broken rule.
SoakResult Soak(int32_t level1, int32_t level2, unsigned seed) {
  ResetGameState();
  ResetShell();
  fake::Install();
  std::srand(seed);
  PlaceClouds();
  ReturnToMenu();
  cpuPlayers = 2;
  cpuLevel = level1;   // flies plane index 1
  cpu2Level = level2;  // flies plane index 0
  gameMode = MODE_MATCH;

  SoakResult result;
  int32_t downSince[2] = {-1, -1};
  int32_t totalKills[2] = {0, 0};
  int32_t totalCrashes[2] = {0, 0};
  for (int32_t frame = 0; frame < kFrames; ++frame) {
    int32_t wasCrashed[2] = {planes[0].crashed, planes[1].crashed};
    int32_t killsBefore[2] = {planes[0].kills, planes[1].kills};
    int32_t crashesBefore[2] = {planes[0].crashes, planes[1].crashes};
    MatchFrame();
    for (int32_t i = 0; i < 2; ++i) {
      const Plane& p = planes[i];
      EXPECT_TRUE(Finite(p.x) && Finite(p.y) && Finite(p.speed) && Finite(p.vx) && Finite(p.vy))
          << "frame " << frame << " plane " << i;
      EXPECT_GE(p.headingIndex, 0) << "frame " << frame;
      EXPECT_LE(p.headingIndex, 35) << "frame " << frame;
      EXPECT_GE(p.bulletCount, 0);
      EXPECT_LE(p.bulletCount, maxBullets) << "frame " << frame;
      for (int32_t b = 0; b < p.bulletCount; ++b) {
        EXPECT_TRUE(Finite(p.bullets[b].x) && Finite(p.bullets[b].y)) << "frame " << frame;
        EXPECT_GT(p.bullets[b].life, 0);
      }
      EXPECT_EQ(p.score, 2 * p.kills - p.crashes) << "frame " << frame << " plane " << i;
      EXPECT_GE(p.speed, -10.0 - 1.0);
      EXPECT_LE(p.speed, 20.0 + 1.0);
      totalKills[i] += p.kills - killsBefore[i];
      totalCrashes[i] += p.crashes - crashesBefore[i];

      // A plane that went down in this frame is back on its runway exactly 8 frames later.
      if (wasCrashed[i] == 0 && p.crashed == 1) downSince[i] = frame;
      if (downSince[i] >= 0 && frame - downSince[i] < 8) {
        EXPECT_EQ(p.crashed, 1) << "frame " << frame << " plane " << i;
      } else if (downSince[i] >= 0 && frame - downSince[i] == 8) {
        EXPECT_EQ(p.crashed, 0) << "frame " << frame << " plane " << i;
        EXPECT_EQ(p.onGround, 1);
        EXPECT_EQ(p.y, screenHeight * 0.875);
        const double start = i == 0 ? 10.0 : playAreaWidth / 2 + spriteWidth;
        EXPECT_GE(p.x, start);
        EXPECT_LE(p.x, start + acceleration + 1e-9);  // the pilot's gas of that frame
        downSince[i] = -1;
      }
    }
    if (::testing::Test::HasFailure()) return result;

    const bool reached = planes[0].score >= scoreToWin || planes[1].score >= scoreToWin;
    EXPECT_EQ(matchOver == 1, reached) << "frame " << frame;
    if (matchOver == 1) {
      EXPECT_EQ(paused, 1);
      ++result.matches;
      // Back to the menu and "Play!" again.
      ReturnToMenu();
      gameMode = MODE_MATCH;
      downSince[0] = downSince[1] = -1;
    }
  }
  for (int32_t i = 0; i < 2; ++i) {
    result.kills[i] = totalKills[i];
    result.crashes[i] = totalCrashes[i];
  }
  fake::Uninstall();
  return result;
}

class SoakTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(SoakTest, ComputerAgainstComputerKeepsEveryRule) {
  const int32_t level = GetParam();
  for (int32_t other = 0; other <= 2; ++other) {
    const SoakResult r = Soak(level, other, 1234u + 10u * level + other);
    ASSERT_FALSE(HasFailure()) << "levels " << level << "/" << other;
    const double per = 10000.0 / kFrames;
    std::printf(
        "plane 2 level %d vs plane 1 level %d: per 10,000 frames plane 2 %.1f kills %.1f crashes, "
        "plane 1 %.1f kills %.1f crashes; %d matches\n",
        level, other, r.kills[1] * per, r.crashes[1] * per, r.kills[0] * per, r.crashes[0] * per,
        r.matches);
    // Pilots that never fight or never finish a match would be broken pilots.
    EXPECT_GT(r.kills[0] + r.kills[1], 0);
    EXPECT_GT(r.matches, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, SoakTest, ::testing::Values(0, 1, 2));

}  // namespace
