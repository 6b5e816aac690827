#include "game/pilot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "game/controls.h"
#include "game/flight.h"
#include "game/match.h"
#include "game/state.h"
#include "shell/shell.h"
#include "support/planes.h"
#include "tests/support/fake_input.h"

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
    do {
      draws.raw[used] = RandomNumber();
      draws.value[k] = draws.raw[used++] / 100 * 2;
    } while (draws.value[k] > 100 && used < 1023);
    draws.end[k] = used;
  }
  draws.raw[used] = RandomNumber();  // one more, to tell how many the pilot took
  return draws;
}

// The first seed whose first draws are exactly these values.
unsigned SeedDrawing(std::initializer_list<int32_t> values) {
  for (unsigned seed = 1; seed < 2000000; ++seed) {
    const Draws d = Predict(seed);
    if (std::equal(values.begin(), values.end(), d.value)) return seed;
  }
  ADD_FAILURE() << "no seed found";
  return 1;
}

class PilotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    platform::ClearMessages();
    ReturnToMenu();
    gameMode = MODE_MATCH;
    fake::Install();
  }
  void TearDown() override {
    fake::Uninstall();
    ResetShell();
    platform::ClearMessages();
  }

  static Plane& Airborne(int32_t index, int32_t screenX, int32_t screenY, int32_t heading,
                         int32_t phase = PHASE_NONE) {
    Plane& plane = testplanes::PutInAir(index, screenX, screenY, heading, 8.0);
    plane.cpuPhase = phase;
    plane.cpuClimbFrames = 0;
    plane.bulletCount = 0;
    return plane;
  }

  // One pilot call for plane `flown` with the seed; checks it drew exactly `drawsUsed` values.
  static void FlyWithSeed(unsigned seed, int32_t drawsUsed, int32_t flown = 1) {
    const Draws draws = Predict(seed);
    std::srand(seed);
    ComputerPilot(flown, 1 - flown);
    EXPECT_EQ(RandomNumber(), draws.raw[drawsUsed == 0 ? 0 : draws.end[drawsUsed - 1]])
        << "the pilot should have drawn " << drawsUsed << " value(s)";
  }
};

TEST_F(PilotTest, TargetHeadingExamples) {
  // From (x, y) to (x, y): the four diagonals; level to the right 0; just below the right, 17 lower
  // is still 36 (not wrapped) and 18 lower 35; the same column either way up 9, the same spot 0,
  // left 18 and a little lower 19; three lines a hair above a ten-degree step with the
  // factor 5.7296 but below it with 180 / pi / 10.
  const int32_t cases[][5] = {
      {200, 200, 300, 100, 4},  {200, 200, 100, 300, 22}, {200, 200, 300, 300, 32},
      {200, 200, 100, 100, 14}, {200, 200, 300, 200, 0},  {200, 200, 300, 217, 36},
      {200, 200, 300, 218, 35}, {200, 200, 300, 183, 0},  {200, 200, 200, 300, 9},
      {200, 200, 200, 100, 9},  {200, 200, 200, 200, 0},  {200, 200, 100, 200, 18},
      {200, 200, 100, 218, 19}, {10, 10, 83, 424, 28},    {100, 100, 462, 309, 33},
      {300, 400, 201, 128, 11}};
  for (const auto& c : cases) {
    Airborne(1, c[0], c[1], 0);
    planes[0].screenX = c[2];
    planes[0].screenY = c[3];
    EXPECT_EQ(TargetHeading(1, 0), c[4]) << c[0] << ", " << c[1] << " to " << c[2] << ", " << c[3];
  }
}

// ---- On the runway ----

TEST_F(PilotTest, RunwayGivesFullGasAndLiftsOffOnlyOnANoseUpDrawAtTakeOffSpeed) {
  Plane& plane = planes[1];
  plane.cpuPhase = PHASE_ATTACK;
  plane.cpuClimbFrames = 7;
  const unsigned noseUp = SeedDrawing({18});
  for (int32_t frame = 1; frame <= 9; ++frame) FlyWithSeed(noseUp, 1);  // 5.85 at most
  EXPECT_EQ(plane.onGround, 1);
  EXPECT_NEAR(plane.x, 312.0 + 0.65 * 45, 1e-9);
  EXPECT_EQ(plane.cpuPhase, PHASE_CLIMB_OUT);
  EXPECT_EQ(plane.cpuClimbFrames, 7);
  FlyWithSeed(SeedDrawing({20}), 1);  // 6.5, but 20 is no nose-up draw
  EXPECT_EQ(plane.onGround, 1);
  FlyWithSeed(noseUp, 1);
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.headingIndex, 1);
}

// ---- The climb timer and the low line ----

TEST_F(PilotTest, RunningClimbTimerSteersUpWithoutDrawing) {
  // Toward straight up, where it alternates between 8 and 9.
  const int32_t cases[][2] = {{0, 1},   {5, 6},   {8, 9},   {9, 8},
                              {17, 16}, {26, 25}, {27, 28}, {35, 0}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 200, c[0], PHASE_CLIMB_OUT);
    plane.cpuClimbFrames = 3;
    FlyWithSeed(7, 0);
    EXPECT_EQ(plane.headingIndex, c[1]) << "from " << c[0];
    EXPECT_EQ(plane.cpuClimbFrames, 2);
  }
}

TEST_F(PilotTest, LowPlaneSteersUpAndSetsTheClimbTimerFromTheDraw) {
  const int32_t cases[][2] = {{18, 5}, {20, 8}, {38, 8}, {40, 10}, {68, 10}, {70, 14}, {100, 14}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 377, 9, PHASE_CLIMB_OUT);
    FlyWithSeed(SeedDrawing({c[0]}), 1);
    EXPECT_EQ(plane.cpuClimbFrames, c[1]) << "r1 " << c[0];
    EXPECT_EQ(plane.headingIndex, 8);
  }
  // At 376 the plane is not low: with the opponent on its runway it goes on to climb out.
  Plane& plane = Airborne(1, 200, 376, 9, PHASE_CLIMB_OUT);
  FlyWithSeed(SeedDrawing({40, 40}), 2);
  EXPECT_EQ(plane.cpuClimbFrames, 0);
  EXPECT_EQ(plane.headingIndex, 9);
}

// ---- Climb-out ----

TEST_F(PilotTest, ClimbOutNoseUpOnTheFirstDrawLevelOffLineFromTheSecond) {
  // Both are drawn whatever the heading. Nose up on r1 < 20 below heading 18. The line is 0.8,
  // 0.75 or 0.7 of the height (r2 below 50, below 66, else) less a sprite; above it the nose goes
  // down instead. {screenY, heading, r1, r2, heading after}
  const int32_t cases[][5] = {{340, 5, 10, 70, 6}, {360, 20, 10, 0, 20}, {300, 5, 10, 0, 4},
                              {351, 5, 40, 48, 4}, {352, 5, 40, 48, 5},  {327, 5, 40, 50, 4},
                              {328, 5, 40, 50, 5}, {327, 5, 40, 64, 4},  {328, 5, 40, 64, 5},
                              {303, 5, 40, 66, 4}, {304, 5, 40, 66, 5}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, c[0], c[1], PHASE_CLIMB_OUT);
    FlyWithSeed(SeedDrawing({c[2], c[3]}), 2);
    EXPECT_EQ(plane.headingIndex, c[4])
        << c[0] << " heading " << c[1] << " r " << c[2] << ", " << c[3];
    EXPECT_EQ(plane.cpuPhase, PHASE_CLIMB_OUT);
  }
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
  const int32_t cases[][2] = {{0, 6}, {32, 6}, {34, 5}, {64, 5}, {66, 4}, {100, 4}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 352, 5, PHASE_PATROL);
    FlyWithSeed(SeedDrawing({0, c[0]}), 2);
    EXPECT_EQ(plane.headingIndex, c[1]) << "r2 " << c[0];
    EXPECT_EQ(plane.cpuPhase, PHASE_PATROL);
  }
}

TEST_F(PilotTest, WobbleThresholdFollowsTheSkill) {
  // Easy 20, Medium 15, Hard and any other level 10. {level, r1, wobbles}
  const int32_t cases[][3] = {{0, 18, 1}, {0, 20, 0}, {1, 14, 1}, {1, 16, 0}, {2, 8, 1},
                              {2, 10, 0}, {7, 8, 1},  {7, 10, 0}, {-1, 10, 0}};
  for (const auto& c : cases) {
    cpuLevel = c[0];
    Plane& plane = Airborne(1, 200, 24, 5, PHASE_PATROL);
    FlyWithSeed(SeedDrawing({c[1], 0}), 2);
    EXPECT_EQ(plane.headingIndex, 5 + c[2]) << "level " << c[0] << " r1 " << c[1];
  }
  // Plane 1 uses the second skill setting.
  cpuLevel = 0;
  cpu2Level = 2;
  Plane& one = Airborne(0, 200, 200, 5, PHASE_PATROL);
  planes[1].onGround = 1;
  FlyWithSeed(SeedDrawing({14, 0}), 2, 0);
  EXPECT_EQ(one.headingIndex, 5);  // Hard: 14 is no wobble
}

// ---- Changes of phase ----

TEST_F(PilotTest, PhasesHandOverWithinTheFrame) {
  const int32_t C = PHASE_CLIMB_OUT, P = PHASE_PATROL, A = PHASE_ATTACK;
  // The opponent is at (400, the pilot's height), on its runway or flying. A draw of -1 is not
  // drawn. {phase, screenY, heading, climb timer, opponent flying, r1, r2, phase after, heading
  // after, shots}
  const int32_t cases[][10] = {
      {C, 300, 0, 0, 0, 10, 20, P, 1, 0},   // level above the line: patrol wobbles on its draws
      {C, 20, 0, 0, 0, 10, 90, P, 35, 0},   // and near the top patrol turns down at once
      {C, 300, 0, 0, 1, -1, -1, A, 0, 1},   // opponent up: attack, dead on, fires
      {C, 300, 9, 1, 1, -1, -1, C, 8, 0},   // the climb timer comes before the opponent check
      {P, 200, 3, 0, 1, 4, -1, A, 2, 0},    // patrol to attack: nose down toward the target
      {A, 200, 0, 0, 0, -1, -1, P, 0, 1},   // opponent landed: patrol next, but aims this frame
      {A, 380, 0, 0, 1, 30, -1, A, 1, 0}};  // a low attacker climbs instead of aiming
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, c[1], c[2], c[0]);
    plane.cpuClimbFrames = c[3];
    planes[0].screenX = 400;
    planes[0].screenY = c[1];
    planes[0].onGround = 1 - c[4];
    const int32_t drawn = (c[5] >= 0 ? 1 : 0) + (c[6] >= 0 ? 1 : 0);
    FlyWithSeed(drawn == 0   ? 7
                : drawn == 1 ? SeedDrawing({c[5]})
                             : SeedDrawing({c[5], c[6]}),
                drawn);
    SCOPED_TRACE(testing::Message() << "phase " << c[0] << " at " << c[1] << " heading " << c[2]);
    EXPECT_EQ(plane.cpuPhase, c[7]);
    EXPECT_EQ(plane.headingIndex, c[8]);
    EXPECT_EQ(plane.bulletCount, c[9]);
  }
}

// ---- Attack ----

TEST_F(PilotTest, GasGoesOffOnLowDrawsWhileTurning) {
  // Below 3 while turning down, below 6 while turning up. {heading (target 4), r1, gas kept}
  const int32_t cases[][3] = {{6, 0, 0}, {6, 2, 0}, {6, 4, 1}, {2, 4, 0}, {2, 6, 1}};
  for (const auto& c : cases) {
    Plane& plane = Airborne(1, 200, 200, c[0], PHASE_ATTACK);
    Airborne(0, 300, 100, 0);
    FlyWithSeed(SeedDrawing({c[1]}), 1);
    EXPECT_NEAR(plane.speed, c[2] == 1 ? 8.65 : 8.0, 1e-12) << "heading " << c[0] << " r1 " << c[1];
    EXPECT_EQ(plane.headingIndex, c[0] > 4 ? c[0] - 1 : c[0] + 1);
  }
}

TEST_F(PilotTest, AimToleranceFollowsTheSkill) {
  // Easy 0, Medium 1, Hard and any other level 2 headings either side; judged before the turn,
  // and an aimed pilot neither turns nor draws. {level, heading (target 4), fires}
  const int32_t cases[][3] = {{0, 4, 1}, {0, 5, 0}, {0, 3, 0}, {1, 5, 1}, {1, 3, 1},
                              {1, 6, 0}, {1, 2, 0}, {2, 6, 1}, {2, 2, 1}, {2, 7, 0},
                              {2, 1, 0}, {7, 6, 1}, {7, 7, 0}};
  for (const auto& c : cases) {
    cpuLevel = c[0];
    Plane& plane = Airborne(1, 200, 200, c[1], PHASE_ATTACK);
    Airborne(0, 300, 100, 0);
    FlyWithSeed(SeedDrawing({50}), c[1] == 4 ? 0 : 1);
    EXPECT_EQ(plane.bulletCount, c[2]) << "level " << c[0] << " heading " << c[1];
  }
}

TEST_F(PilotTest, TargetBelowTheRightIsChasedPastThirtyFive) {
  cpuLevel = 1;
  Plane& plane = Airborne(1, 200, 200, 35, PHASE_ATTACK);
  Airborne(0, 300, 217, 0);  // T = 36
  FlyWithSeed(SeedDrawing({50}), 1);
  EXPECT_EQ(plane.headingIndex, 0);
  ASSERT_EQ(plane.bulletCount, 1);
  EXPECT_GT(plane.bullets[0].vy, 0.0);  // left with heading 36
}

// ---- The computer's control step ----

TEST_F(PilotTest, ComputerControlsActExactlyLikePlayerTwosKeys) {
  for (int32_t onGround : {0, 1}) {
    for (double speed : {5.3, 5.5, 6.0, 9.5, 10.0, 10.3}) {
      for (int32_t heading : {0, 17, 35}) {
        for (int32_t commands = 0; commands < 12; ++commands) {
          const int32_t gas = commands & 1;
          const int32_t fire = (commands >> 1) & 1;
          const int32_t turn = commands >> 2;  // TURN_NONE, TURN_NOSE_UP, TURN_NOSE_DOWN
          Plane start = Airborne(1, 300, 200, heading);
          start.onGround = onGround;
          start.speed = speed;
          start.fired = 0;

          planes[1] = start;
          fake::Install();
          fake::keys[platform::VK_MENU] = gas == 1;
          fake::keys[platform::VK_KEY_Z] = fire == 1;
          fake::keys[platform::VK_KEY_C] = turn == TURN_NOSE_UP;
          fake::keys[platform::VK_KEY_V] = turn == TURN_NOSE_DOWN;
          Player2Controls();
          const Plane byKeys = planes[1];

          planes[1] = start;
          ComputerControls(gas, turn, fire, 1);
          const Plane& p = planes[1];
          EXPECT_TRUE(p.x == byKeys.x && p.y == byKeys.y && p.speed == byKeys.speed &&
                      p.headingIndex == byKeys.headingIndex && p.onGround == byKeys.onGround &&
                      p.bulletCount == byKeys.bulletCount &&
                      p.bullets[0].vy == byKeys.bullets[0].vy)
              << "ground " << onGround << " speed " << speed << " heading " << heading << " gas "
              << gas << " turn " << turn << " fire " << fire;
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
  while (frame < 200 && pilot.onGround == 1) {
    ++frame;
    MatchFrame();
    EXPECT_EQ(pilot.cpuPhase, PHASE_CLIMB_OUT);
  }
  ASSERT_GE(frame, 10);
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

  // Patrolling while the opponent stands on its runway.
  for (int32_t i = 0; i < 30; ++i) {
    MatchFrame();
    ASSERT_EQ(pilot.cpuPhase, PHASE_PATROL);
    ASSERT_EQ(pilot.crashed, 0);
  }
  EXPECT_EQ(opponent.x, 10.0);

  // The opponent is in the air: the next frame attacks.
  opponent.onGround = 0;
  opponent.x = 100.0;
  opponent.y = 100.0;
  opponent.speed = 8.0;
  MatchFrame();
  EXPECT_EQ(pilot.cpuPhase, PHASE_ATTACK);
  // Every frame without a forced climb turns the nose one step toward the target heading worked
  // out from that frame's positions, the long way round if need be.
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

}  // namespace
