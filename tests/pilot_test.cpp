#include "game/pilot.h"

#include <gtest/gtest.h>

#include "game/match.h"
#include "support/fake_input.h"
#include "support/planes.h"

namespace {

using std::tuple;
using testplanes::PutInAir;

constexpr int32_t N = PHASE_NONE;
constexpr int32_t C = PHASE_CLIMB_OUT;
constexpr int32_t P = PHASE_PATROL;
constexpr int32_t A = PHASE_ATTACK;

// The random number that makes the pilot draw d, an even number 0..100 (-1: none). The 99 tells
// a draw of the hundreds, doubled, from one of the fifties.
int32_t Raw(int32_t d) { return d < 0 ? -1 : 50 * d + 99; }

class PilotTest : public testplanes::Fresh {};

TEST_F(PilotTest, TargetHeadingIsNotWrapped) {
  // {dx, dy (down), target}; the last three lie a hair past a step with the factor 5.7296.
  const int32_t cases[][3] = {{100, -100, 4}, {-100, 100, 22}, {100, 100, 32}, {-100, -100, 14},
                              {100, 17, 36},  {0, 100, 9},     {0, 0, 0},      {73, 414, 28},
                              {362, 209, 33}, {-99, -272, 11}};
  for (const auto& c : cases) {
    PutInAir(1, 200, 200, 0, 8);
    PutInAir(0, 200 + c[0], 200 + c[1], 0, 8);
    EXPECT_EQ(TargetHeading(1, 0), c[2]) << &c - cases;
  }
}

// One call of the Medium pilot of plane 2 at (200, y), on its runway in phase N. Plane 1 is at
// (300, 100), flying (a target heading of 4) or on its runway. r1, r2: the draws the call must
// take (-1: none).
TEST_F(PilotTest, OneCall) {
  // {phase, y, heading, climb timer, flies, r1, r2,
  //  then phase, heading, climb timer, shots, gas}
  const int32_t cases[][12] = {
      // On the runway: lift-off on a draw below 20; the climb timer is kept.
      {N, 200, 0, 7, 0, 18, -1, C, 1, 7, 0, 1},
      // A running climb timer steers toward straight up, without a draw.
      {C, 200, 27, 3, 0, -1, -1, C, 28, 2, 0, 1},
      // Below the low line a climb starts, as long as the draw says.
      {C, 377, 9, 0, 0, 68, -1, C, 8, 10, 0, 1},
      // Climb-out: nose up on r1 below 20, but not from heading 18 on.
      {C, 360, 18, 0, 0, 10, 0, C, 18, 0, 0, 1},
      // Levelled off it patrols, and it attacks a flying opponent, in the same call.
      {C, 300, 0, 0, 0, 10, 20, P, 1, 0, 0, 1},
      {C, 200, 4, 0, 1, -1, -1, A, 4, 0, 1, 1},
      // Patrol: up off the band's floor.
      {P, 353, 0, 0, 0, -1, -1, P, 1, 0, 0, 1},
      // Attack: gas off on a low draw while turning; shots within the skill's tolerance.
      {A, 200, 2, 0, 1, 4, -1, A, 3, 0, 0, 0},
      {A, 200, 5, 0, 1, 50, -1, A, 4, 0, 1, 1},
      // The opponent landed: patrol from the next call, aim in this one.
      {A, 200, 4, 0, 0, -1, -1, P, 4, 0, 1, 1}};
  for (const auto& c : cases) {
    SetUp();
    cpuLevel = 1;
    Plane& p = PutInAir(1, 200, c[1], c[2], 8);
    std::tie(p.onGround, p.cpuPhase, p.cpuClimbFrames) = tuple(c[0] == N, c[0], c[3]);
    PutInAir(0, 300, 100, 0, 8).onGround = !c[4];
    fake::Roll({Raw(c[5]), Raw(c[6])});
    ComputerPilot(1, 0);
    EXPECT_EQ(tuple(fake::rolls, p.cpuPhase, p.headingIndex, p.cpuClimbFrames, p.bulletCount),
              tuple((c[5] >= 0) + (c[6] >= 0), c[7], c[8], c[9], c[10]))
        << &c - cases;
    EXPECT_NEAR(p.speed, c[11] ? 8.65 : 8, 1e-9) << &c - cases;
  }
}

// With two computer pilots, plane 2's draws come first.
TEST_F(PilotTest, PlaneTwosPilotDrawsFirst) {
  cpuPlayers = 2;
  planes[0].speed = planes[1].speed = 6.5;
  fake::Roll({Raw(18), Raw(40)});
  SimulateMatchFrame();
  EXPECT_EQ(tuple(planes[1].onGround, planes[0].onGround), tuple(0, 1));
}

}  // namespace
