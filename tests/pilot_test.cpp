#include "game/pilot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "game/controls.h"
#include "game/flight.h"
#include "game/guns.h"
#include "game/match.h"
#include "game/state.h"
#include "shell/shell.h"
#include "test_support.h"

namespace {

// The draws a seed gives the pilot: the raw rand() results and the even numbers 0..100 made from
// them (a raw result above 5099 is thrown away and drawn again).
struct Draws {
  int32_t raw[1024];
  int32_t value[8];
  int32_t end[8];  // raw results used up after draw k
};

Draws Predict(unsigned seed) {
  Draws draws{};
  std::srand(seed);
  int32_t used = 0;
  for (int32_t k = 0; k < 8; ++k) {
    int32_t value;
    do {
      draws.raw[used] = RandomNumber();
      value = draws.raw[used] / 100 * 2;
      ++used;
    } while (value > 100 && used < 1024);
    draws.value[k] = value;
    draws.end[k] = used;
  }
  // One more raw result, to tell how many the pilot took.
  draws.raw[used] = RandomNumber();
  return draws;
}

// The first seed whose draws satisfy `wanted`.
template <typename Wanted>
unsigned SeedWhere(Wanted wanted) {
  for (unsigned seed = 1; seed < 2000000; ++seed) {
    if (wanted(Predict(seed))) return seed;
  }
  ADD_FAILURE() << "no seed found";
  return 1;
}

// The first seed whose first draws are exactly these values.
unsigned SeedDrawing(std::initializer_list<int32_t> values) {
  return SeedWhere([&](const Draws& d) {
    int32_t k = 0;
    for (int32_t v : values) {
      if (d.value[k++] != v) return false;
    }
    return true;
  });
}

// The raw rand() result that follows the first `count` draws of the seed.
int32_t RawAfterDraws(const Draws& draws, int32_t count) {
  return draws.raw[count == 0 ? 0 : draws.end[count - 1]];
}

class PilotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    platform::ClearMessages();
    ReturnToMenu();
    gameMode = MODE_MATCH;
    scripted::Install();
  }
  void TearDown() override {
    scripted::Uninstall();
    ResetShell();
    platform::ClearMessages();
  }

  static Plane& Airborne(int32_t index, int32_t screenX, int32_t screenY, int32_t heading,
                         int32_t phase) {
    Plane& plane = planes[index];
    plane.x = screenX;
    plane.y = screenY;
    plane.screenX = screenX;
    plane.screenY = screenY;
    plane.headingIndex = heading;
    plane.speed = 8.0;
    plane.onGround = 0;
    plane.crashed = 0;
    plane.cpuPhase = phase;
    plane.cpuClimbFrames = 0;
    plane.bulletCount = 0;
    plane.fired = 0;
    return plane;
  }

  // Runs one pilot call for plane 2 against plane 1 with the given seed and checks how many
  // draws it used.
  static void FlyWithSeed(unsigned seed, int32_t drawsUsed, int32_t flown = 1) {
    const Draws draws = Predict(seed);
    std::srand(seed);
    ComputerPilot(flown, 1 - flown);
    EXPECT_EQ(RandomNumber(), RawAfterDraws(draws, drawsUsed))
        << "the pilot should have drawn " << drawsUsed << " value(s)";
  }
};

// ---- The draw ----

TEST_F(PilotTest, RandomNumbersSpanZeroTo32767) {
  std::srand(5);
  int32_t lowest = 32767;
  int32_t highest = 0;
  for (int32_t i = 0; i < 200000; ++i) {
    const int32_t value = RandomNumber();
    if (value < lowest) lowest = value;
    if (value > highest) highest = value;
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 32767);
}

// ---- Target heading ----

TEST_F(PilotTest, TargetHeadingOfTheFourDiagonals) {
  Airborne(1, 200, 200, 0, PHASE_ATTACK);
  const struct {
    int32_t x;
    int32_t y;
    int32_t target;
  } cases[] = {{300, 100, 4}, {100, 300, 22}, {300, 300, 32}, {100, 100, 14}};
  for (const auto& c : cases) {
    planes[0].screenX = c.x;
    planes[0].screenY = c.y;
    EXPECT_EQ(TargetHeading(1, 0), c.target) << c.x << ", " << c.y;
  }
}

TEST_F(PilotTest, TargetHeadingUsesTheFactorFivePointSevenTwoNineSix) {
  // Lines that lie a hair above a ten-degree step with 5.7296 and below it with 180 / pi / 10.
  Airborne(1, 10, 10, 0, PHASE_ATTACK);
  planes[0].screenX = 83;
  planes[0].screenY = 424;
  EXPECT_EQ(TargetHeading(1, 0), 28);
  Airborne(1, 100, 100, 0, PHASE_ATTACK);
  planes[0].screenX = 462;
  planes[0].screenY = 309;
  EXPECT_EQ(TargetHeading(1, 0), 33);
  Airborne(1, 300, 400, 0, PHASE_ATTACK);
  planes[0].screenX = 201;
  planes[0].screenY = 128;
  EXPECT_EQ(TargetHeading(1, 0), 11);
}

TEST_F(PilotTest, TargetHeadingIsNotWrappedBelowTheRight) {
  Airborne(1, 200, 200, 0, PHASE_ATTACK);
  planes[0].screenX = 300;
  planes[0].screenY = 217;
  EXPECT_EQ(TargetHeading(1, 0), 36);
  planes[0].screenY = 218;
  EXPECT_EQ(TargetHeading(1, 0), 35);
  planes[0].screenY = 183;  // 17 higher: level
  EXPECT_EQ(TargetHeading(1, 0), 0);
}

TEST_F(PilotTest, TargetHeadingLevelAndInTheSameColumn) {
  Airborne(1, 200, 200, 0, PHASE_ATTACK);
  planes[0].screenX = 200;
  planes[0].screenY = 300;
  EXPECT_EQ(TargetHeading(1, 0), 9);
  planes[0].screenY = 100;
  EXPECT_EQ(TargetHeading(1, 0), 9);
  planes[0].screenY = 200;
  EXPECT_EQ(TargetHeading(1, 0), 0);
  planes[0].screenX = 100;
  EXPECT_EQ(TargetHeading(1, 0), 18);
  planes[0].screenX = 300;
  EXPECT_EQ(TargetHeading(1, 0), 0);
  planes[0].screenX = 100;
  planes[0].screenY = 218;
  EXPECT_EQ(TargetHeading(1, 0), 19);
}

// ---- On the runway ----

TEST_F(PilotTest, RunwayGivesFullGasAndSetsClimbOut) {
  Plane& plane = planes[1];
  plane.cpuPhase = PHASE_ATTACK;
  plane.cpuClimbFrames = 7;
  FlyWithSeed(SeedWhere([](const Draws& d) { return d.value[0] >= 20; }), 1);
  EXPECT_NEAR(plane.speed, 0.65, 1e-12);
  EXPECT_NEAR(plane.x, 312.65, 1e-12);
  EXPECT_EQ(plane.cpuPhase, PHASE_CLIMB_OUT);
  EXPECT_EQ(plane.cpuClimbFrames, 7);
  EXPECT_EQ(plane.onGround, 1);
}

TEST_F(PilotTest, LiftOffOnlyOnANoseUpDrawAtTakeOffSpeed) {
  Plane& plane = planes[1];
  const unsigned noseUp = SeedDrawing({18});
  const unsigned level = SeedDrawing({20});
  plane.speed = 6.5;
  FlyWithSeed(level, 1);
  EXPECT_EQ(plane.onGround, 1);
  EXPECT_EQ(plane.headingIndex, 0);
  plane.speed = 6.5;
  FlyWithSeed(noseUp, 1);
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.headingIndex, 1);
}

TEST_F(PilotTest, EarliestLiftOffIsOnTheTenthRunwayFrame) {
  Plane& plane = planes[1];
  const unsigned noseUp = SeedWhere([](const Draws& d) { return d.value[0] < 20; });
  for (int32_t frame = 1; frame <= 9; ++frame) {
    std::srand(noseUp);
    ComputerPilot(1, 0);
    EXPECT_EQ(plane.onGround, 1) << "frame " << frame;
  }
  EXPECT_NEAR(plane.speed, 5.85, 1e-9);
  std::srand(noseUp);
  ComputerPilot(1, 0);
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_NEAR(plane.speed, 6.5, 1e-9);
}

// ---- Steering up and the climb timer ----

TEST_F(PilotTest, RunningClimbTimerSteersUpWithoutDrawing) {
  const struct {
    int32_t from;
    int32_t to;
  } cases[] = {{0, 1}, {5, 6}, {8, 9}, {9, 8}, {17, 16}, {26, 25}, {27, 28}, {35, 0}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 200, c.from, PHASE_CLIMB_OUT);
    plane.cpuClimbFrames = 3;
    FlyWithSeed(7, 0);
    EXPECT_EQ(plane.headingIndex, c.to) << "from " << c.from;
    EXPECT_EQ(plane.cpuClimbFrames, 2);
    EXPECT_EQ(plane.cpuPhase, PHASE_CLIMB_OUT);
  }
}

TEST_F(PilotTest, LowPlaneSteersUpAndSetsTheClimbTimerFromTheDraw) {
  const struct {
    int32_t r1;
    int32_t frames;
  } cases[] = {{18, 5}, {20, 8}, {38, 8}, {40, 10}, {68, 10}, {70, 14}, {100, 14}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 377, 9, PHASE_CLIMB_OUT);
    FlyWithSeed(SeedDrawing({c.r1}), 1);
    EXPECT_EQ(plane.cpuClimbFrames, c.frames) << "r1 " << c.r1;
    EXPECT_EQ(plane.headingIndex, 8);
  }
}

TEST_F(PilotTest, LowIsBelowTheLineAt376) {
  // At 376 the plane is not low: with the opponent on its runway it goes on to level off.
  Plane& plane = Airborne(1, 200, 376, 9, PHASE_CLIMB_OUT);
  FlyWithSeed(SeedWhere([](const Draws& d) { return d.value[0] >= 20; }), 2);
  EXPECT_EQ(plane.cpuClimbFrames, 0);
  EXPECT_EQ(plane.headingIndex, 9);
}

TEST_F(PilotTest, JustLiftedOffPilotIsLowAndStartsItsClimb) {
  Plane& plane = planes[1];
  plane.speed = 6.5;
  std::srand(SeedDrawing({10}));
  ComputerPilot(1, 0);
  ASSERT_EQ(plane.onGround, 0);
  UpdatePlanes();
  ApplyGravity(1);
  ASSERT_GT(plane.screenY, 376);
  FlyWithSeed(SeedDrawing({50}), 1);
  EXPECT_EQ(plane.cpuClimbFrames, 10);
  EXPECT_EQ(plane.headingIndex, 2);
}

// ---- Climb-out ----

TEST_F(PilotTest, ClimbOutDrawsTheNoseUpFirstThenTheLevelOffLine) {
  // r1 < 20 and r2 >= 66: nose up, and at 340 the plane is below the 0.7 line.
  Plane& plane = Airborne(1, 200, 340, 5, PHASE_CLIMB_OUT);
  FlyWithSeed(SeedWhere([](const Draws& d) { return d.value[0] < 20 && d.value[1] >= 66; }), 2);
  EXPECT_EQ(plane.headingIndex, 6);
  EXPECT_EQ(plane.cpuPhase, PHASE_CLIMB_OUT);
}

TEST_F(PilotTest, ClimbOutDrawsBothEvenWhenTheHeadingRulesOutTheNoseUp) {
  Plane& plane = Airborne(1, 200, 360, 20, PHASE_CLIMB_OUT);
  FlyWithSeed(SeedWhere([](const Draws& d) { return d.value[0] < 20; }), 2);
  EXPECT_EQ(plane.headingIndex, 20);
}

TEST_F(PilotTest, LevelOffLineComesFromTheSecondDraw) {
  const struct {
    int32_t screenY;
    int32_t r2;
    int32_t heading;  // from 5: 4 when above the line
  } cases[] = {{351, 48, 4}, {352, 48, 5}, {327, 50, 4}, {328, 50, 5},
               {327, 64, 4}, {328, 64, 5}, {303, 66, 4}, {304, 66, 5}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, c.screenY, 5, PHASE_CLIMB_OUT);
    FlyWithSeed(SeedDrawing({40, c.r2}), 2);
    EXPECT_EQ(plane.headingIndex, c.heading) << c.screenY << " r2 " << c.r2;
  }
}

TEST_F(PilotTest, NoseDownAboveTheLineReplacesTheNoseUp) {
  Plane& plane = Airborne(1, 200, 300, 5, PHASE_CLIMB_OUT);
  FlyWithSeed(SeedWhere([](const Draws& d) { return d.value[0] < 20; }), 2);
  EXPECT_EQ(plane.headingIndex, 4);
}

TEST_F(PilotTest, ClimbOutHandsOverToPatrolInTheSameFrame) {
  // Level and above the line: patrol, whose wobble then uses the same two draws.
  Plane& plane = Airborne(1, 200, 300, 0, PHASE_CLIMB_OUT);
  FlyWithSeed(SeedWhere([](const Draws& d) { return d.value[0] < 20 && d.value[1] < 33; }), 2);
  EXPECT_EQ(plane.cpuPhase, PHASE_PATROL);
  EXPECT_EQ(plane.headingIndex, 1);
  // Near the top the patrol's own rule turns it down at once.
  Airborne(1, 200, 20, 0, PHASE_CLIMB_OUT);
  FlyWithSeed(SeedWhere([](const Draws& d) { return d.value[0] < 20; }), 2);
  EXPECT_EQ(plane.cpuPhase, PHASE_PATROL);
  EXPECT_EQ(plane.headingIndex, 35);
}

TEST_F(PilotTest, ClimbOutHandsOverToAttackInTheSameFrame) {
  Plane& plane = Airborne(1, 200, 300, 0, PHASE_CLIMB_OUT);
  Airborne(0, 400, 300, 0, PHASE_NONE);
  FlyWithSeed(7, 0);
  EXPECT_EQ(plane.cpuPhase, PHASE_ATTACK);
  // Aimed dead on at a level target: fires.
  EXPECT_EQ(plane.bulletCount, 1);
  EXPECT_EQ(plane.headingIndex, 0);
}

TEST_F(PilotTest, ClimbTimerAndLowComeBeforeTheOpponentCheck) {
  Plane& plane = Airborne(1, 200, 300, 9, PHASE_CLIMB_OUT);
  plane.cpuClimbFrames = 1;
  Airborne(0, 400, 300, 0, PHASE_NONE);
  FlyWithSeed(7, 0);
  EXPECT_EQ(plane.cpuPhase, PHASE_CLIMB_OUT);
  EXPECT_EQ(plane.cpuClimbFrames, 0);
}

// ---- Patrol ----

TEST_F(PilotTest, PatrolKeepsAboveTheBandsBottomAndBelowTheTop) {
  Plane& plane = Airborne(1, 200, 353, 0, PHASE_PATROL);
  FlyWithSeed(7, 0);
  EXPECT_EQ(plane.headingIndex, 1);
  Airborne(1, 200, 23, 0, PHASE_PATROL);
  FlyWithSeed(7, 0);
  EXPECT_EQ(plane.headingIndex, 35);
}

TEST_F(PilotTest, PatrolWobblesByTheSecondDraw) {
  const struct {
    int32_t r2;
    int32_t heading;  // from 5
  } cases[] = {{0, 6}, {32, 6}, {34, 5}, {64, 5}, {66, 4}, {100, 4}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 352, 5, PHASE_PATROL);
    FlyWithSeed(SeedDrawing({0, c.r2}), 2);
    EXPECT_EQ(plane.headingIndex, c.heading) << "r2 " << c.r2;
    EXPECT_EQ(plane.cpuPhase, PHASE_PATROL);
  }
}

TEST_F(PilotTest, WobbleThresholdFollowsTheSkill) {
  const struct {
    int32_t level;
    int32_t r1;
    bool wobbles;
  } cases[] = {{0, 18, true},  {0, 20, false}, {1, 14, true},  {1, 16, false}, {2, 8, true},
               {2, 10, false}, {7, 8, true},   {7, 10, false}, {-1, 10, false}};
  for (const auto& c : cases) {
    cpuLevel = c.level;
    Plane& plane = Airborne(1, 200, 24, 5, PHASE_PATROL);
    FlyWithSeed(SeedDrawing({c.r1, 0}), 2);
    EXPECT_EQ(plane.headingIndex, c.wobbles ? 6 : 5) << "level " << c.level << " r1 " << c.r1;
  }
}

TEST_F(PilotTest, PlaneOneUsesTheSecondSkillSetting) {
  cpuLevel = 0;
  cpu2Level = 2;
  const unsigned seed = SeedDrawing({14, 0});
  Plane& one = Airborne(0, 200, 200, 5, PHASE_PATROL);
  planes[1].onGround = 1;
  FlyWithSeed(seed, 2, 0);
  EXPECT_EQ(one.headingIndex, 5);  // Hard: 14 is no wobble
  Plane& two = Airborne(1, 200, 200, 5, PHASE_PATROL);
  planes[0].onGround = 1;
  FlyWithSeed(seed, 2, 1);
  EXPECT_EQ(two.headingIndex, 6);  // Easy: 14 wobbles
}

TEST_F(PilotTest, PatrolHandsOverToAttackInTheSameFrame) {
  Plane& plane = Airborne(1, 200, 200, 3, PHASE_PATROL);
  Airborne(0, 400, 200, 0, PHASE_NONE);
  // Heading 3 above a level target: nose down, gas kept with r1 >= 3.
  FlyWithSeed(SeedDrawing({4}), 1);
  EXPECT_EQ(plane.cpuPhase, PHASE_ATTACK);
  EXPECT_EQ(plane.headingIndex, 2);
  EXPECT_NEAR(plane.speed, 8.65, 1e-12);
}

// ---- Attack ----

TEST_F(PilotTest, AttackTurnsBackToPatrolButStillAimsThatFrame) {
  Plane& plane = Airborne(1, 200, 200, 0, PHASE_ATTACK);
  planes[0].screenX = 400;
  planes[0].screenY = 200;  // on its runway, level with the pilot
  FlyWithSeed(7, 0);
  EXPECT_EQ(plane.cpuPhase, PHASE_PATROL);
  EXPECT_EQ(plane.bulletCount, 1);
}

TEST_F(PilotTest, AttackFliesOffTheClimbTimerBeforeAiming) {
  Plane& plane = Airborne(1, 200, 200, 0, PHASE_ATTACK);
  plane.cpuClimbFrames = 2;
  Airborne(0, 400, 200, 0, PHASE_NONE);
  FlyWithSeed(7, 0);
  EXPECT_EQ(plane.cpuClimbFrames, 1);
  EXPECT_EQ(plane.headingIndex, 1);
  EXPECT_EQ(plane.bulletCount, 0);
}

TEST_F(PilotTest, LowAttackerClimbsInsteadOfAiming) {
  Plane& plane = Airborne(1, 200, 380, 0, PHASE_ATTACK);
  Airborne(0, 400, 380, 0, PHASE_NONE);
  FlyWithSeed(SeedDrawing({30}), 1);
  EXPECT_EQ(plane.cpuClimbFrames, 8);
  EXPECT_EQ(plane.headingIndex, 1);
  EXPECT_EQ(plane.bulletCount, 0);
}

TEST_F(PilotTest, AimedPilotNeitherTurnsNorDraws) {
  Plane& plane = Airborne(1, 200, 200, 4, PHASE_ATTACK);
  Airborne(0, 300, 100, 0, PHASE_NONE);
  FlyWithSeed(7, 0);
  EXPECT_EQ(plane.headingIndex, 4);
  EXPECT_EQ(plane.bulletCount, 1);
  EXPECT_NEAR(plane.speed, 8.65, 1e-12);
}

TEST_F(PilotTest, GasGoesOffOnLowDrawsWhileTurning) {
  const struct {
    int32_t heading;  // the target is 4
    int32_t r1;
    double speed;
  } cases[] = {{6, 0, 8.0}, {6, 2, 8.0}, {6, 4, 8.65}, {2, 4, 8.0}, {2, 6, 8.65}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 200, c.heading, PHASE_ATTACK);
    Airborne(0, 300, 100, 0, PHASE_NONE);
    FlyWithSeed(SeedDrawing({c.r1}), 1);
    EXPECT_NEAR(plane.speed, c.speed, 1e-12) << "heading " << c.heading << " r1 " << c.r1;
    EXPECT_EQ(plane.headingIndex, c.heading > 4 ? c.heading - 1 : c.heading + 1);
  }
}

TEST_F(PilotTest, AimToleranceFollowsTheSkill) {
  const struct {
    int32_t level;
    int32_t heading;  // the target is 4
    bool fires;
  } cases[] = {{0, 4, true},  {0, 5, false}, {0, 3, false}, {1, 5, true}, {1, 3, true},
               {1, 6, false}, {1, 2, false}, {2, 6, true},  {2, 2, true}, {2, 7, false},
               {2, 1, false}, {7, 6, true},  {7, 7, false}};
  for (const auto& c : cases) {
    cpuLevel = c.level;
    Plane& plane = Airborne(1, 200, 200, c.heading, PHASE_ATTACK);
    Airborne(0, 300, 100, 0, PHASE_NONE);
    FlyWithSeed(SeedDrawing({50}), c.heading == 4 ? 0 : 1);
    EXPECT_EQ(plane.bulletCount, c.fires ? 1 : 0)
        << "level " << c.level << " heading " << c.heading;
  }
}

TEST_F(PilotTest, TargetBelowTheRightIsChasedPastThirtyFive) {
  cpuLevel = 1;
  Plane& plane = Airborne(1, 200, 200, 35, PHASE_ATTACK);
  Airborne(0, 300, 217, 0, PHASE_NONE);  // T = 36
  FlyWithSeed(SeedDrawing({50}), 1);
  EXPECT_EQ(plane.headingIndex, 0);
  ASSERT_EQ(plane.bulletCount, 1);
  EXPECT_GT(plane.bullets[0].vy, 0.0);  // left with heading 36
  // At 0 the target is still 36 ahead: nose up again, out of the tolerance.
  plane.screenX = 200;
  plane.screenY = 200;
  FlyWithSeed(SeedDrawing({50}), 1);
  EXPECT_EQ(plane.headingIndex, 1);
  EXPECT_EQ(plane.bulletCount, 1);
}

TEST_F(PilotTest, EasyPilotJudgesTheAimBeforeTurning) {
  Plane& plane = Airborne(1, 200, 200, 5, PHASE_ATTACK);
  Airborne(0, 300, 100, 0, PHASE_NONE);
  FlyWithSeed(SeedDrawing({50}), 1);
  EXPECT_EQ(plane.headingIndex, 4);
  EXPECT_EQ(plane.bulletCount, 0);
}

TEST_F(PilotTest, DownedPilotStillSteersButCannotFire) {
  Plane& plane = Airborne(1, 200, 200, 5, PHASE_ATTACK);
  plane.crashed = 1;
  Airborne(0, 300, 100, 0, PHASE_NONE);
  cpuLevel = 2;
  FlyWithSeed(SeedDrawing({50}), 1);
  EXPECT_EQ(plane.headingIndex, 4);
  EXPECT_EQ(plane.fired, 0);
  EXPECT_EQ(plane.x, 200.0);
}

// ---- The computer's control step ----

TEST_F(PilotTest, ComputerControlsActExactlyLikePlayerTwosKeys) {
  for (int32_t onGround : {0, 1}) {
    for (double speed : {5.3, 5.5, 6.0, 9.5, 10.0, 10.3}) {
      for (int32_t heading : {0, 17, 35}) {
        for (int32_t gas : {0, 1}) {
          for (int32_t turn : {TURN_NONE, TURN_NOSE_UP, TURN_NOSE_DOWN}) {
            for (int32_t fire : {0, 1}) {
              Plane start = planes[1];
              start.x = 300.0;
              start.y = 200.0;
              start.screenX = 300;
              start.screenY = 200;
              start.onGround = onGround;
              start.speed = speed;
              start.headingIndex = heading;
              start.bulletCount = 0;
              start.fired = 0;

              planes[1] = start;
              scripted::ReleaseAll();
              if (gas == 1) scripted::Hold(platform::VK_MENU);
              if (turn == TURN_NOSE_UP) scripted::Hold(platform::VK_KEY_C);
              if (turn == TURN_NOSE_DOWN) scripted::Hold(platform::VK_KEY_V);
              if (fire == 1) scripted::Hold(platform::VK_KEY_Z);
              Player2Controls();
              const Plane byKeys = planes[1];

              planes[1] = start;
              ComputerControls(gas, turn, fire, 1);
              const Plane& byPilot = planes[1];
              SCOPED_TRACE(testing::Message()
                           << "ground " << onGround << " speed " << speed << " heading " << heading
                           << " gas " << gas << " turn " << turn << " fire " << fire);
              EXPECT_EQ(byPilot.x, byKeys.x);
              EXPECT_EQ(byPilot.y, byKeys.y);
              EXPECT_EQ(byPilot.speed, byKeys.speed);
              EXPECT_EQ(byPilot.headingIndex, byKeys.headingIndex);
              EXPECT_EQ(byPilot.onGround, byKeys.onGround);
              EXPECT_EQ(byPilot.bulletCount, byKeys.bulletCount);
              if (byKeys.bulletCount == 1) {
                EXPECT_EQ(byPilot.bullets[0].vy, byKeys.bullets[0].vy);
              }
            }
          }
        }
      }
    }
  }
}

// ---- A whole flight ----

TEST_F(PilotTest, FlightFromTheRunwayToPatrolAndThenToAttack) {
  cpuPlayers = 1;
  std::srand(2024);
  Plane& pilot = planes[1];
  Plane& opponent = planes[0];

  int32_t frame = 0;
  int32_t liftOffFrame = 0;
  while (frame < 200 && liftOffFrame == 0) {
    ++frame;
    MatchFrame();
    if (pilot.onGround == 0) liftOffFrame = frame;
    EXPECT_EQ(pilot.cpuPhase, PHASE_CLIMB_OUT);
  }
  ASSERT_GE(liftOffFrame, 10);
  EXPECT_EQ(pilot.headingIndex, 1);

  // Climbing out until it levels off above its line, then patrolling.
  int32_t headingBefore = pilot.headingIndex;
  int32_t screenYBefore = 0;
  while (frame < 400 && pilot.cpuPhase == PHASE_CLIMB_OUT) {
    ++frame;
    headingBefore = pilot.headingIndex;
    MatchFrame();
    screenYBefore = pilot.screenY;  // the position this frame's pilot decided on
  }
  ASSERT_EQ(pilot.cpuPhase, PHASE_PATROL);
  EXPECT_EQ(headingBefore, 0);
  EXPECT_LT(screenYBefore, 352);
  EXPECT_EQ(pilot.crashes, 0);

  // Patrolling while the opponent stands on its runway.
  for (int32_t i = 0; i < 30; ++i) {
    MatchFrame();
    ASSERT_EQ(pilot.cpuPhase, PHASE_PATROL);
    ASSERT_EQ(pilot.crashed, 0);
  }
  EXPECT_EQ(opponent.onGround, 1);
  EXPECT_EQ(opponent.x, 10.0);

  // The opponent is in the air: the next frame attacks, and the pilot starts shooting.
  opponent.onGround = 0;
  opponent.x = 100.0;
  opponent.y = 100.0;
  opponent.speed = 8.0;
  MatchFrame();
  EXPECT_EQ(pilot.cpuPhase, PHASE_ATTACK);
  // From now on every frame without a forced climb turns the nose one step toward the target
  // heading worked out from the positions of that frame, the long way round if need be.
  int32_t aimedFrames = 0;
  for (int32_t i = 0; i < 40; ++i) {
    const int32_t before = pilot.headingIndex;
    const int32_t climbBefore = pilot.cpuClimbFrames;
    MatchFrame();
    ASSERT_EQ(pilot.cpuPhase, PHASE_ATTACK);
    if (climbBefore > 0 || pilot.screenY > 376) continue;
    const int32_t target = TargetHeading(1, 0);
    const int32_t step = before < target ? 1 : (before > target ? -1 : 0);
    EXPECT_EQ(pilot.headingIndex, (before + step + 36) % 36) << "frame " << i;
    ++aimedFrames;
  }
  EXPECT_GT(aimedFrames, 20);
}

TEST_F(PilotTest, TwoComputerPilotsBothTakeOff) {
  cpuPlayers = 2;
  std::srand(99);
  for (int32_t frame = 0; frame < 120; ++frame) MatchFrame();
  EXPECT_EQ(planes[0].onGround, 0);
  EXPECT_EQ(planes[1].onGround, 0);
  EXPECT_NE(planes[0].cpuPhase, PHASE_NONE);
  EXPECT_NE(planes[1].cpuPhase, PHASE_NONE);
}

}  // namespace
