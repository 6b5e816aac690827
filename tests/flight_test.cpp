#include "game/flight.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/state.h"
#include "support/planes.h"

namespace {

class FlightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ReturnToMenu();
  }

  static Plane& InAir(int32_t index, double x, double y, int32_t heading, double speed) {
    return testplanes::PutInAir(index, x, y, heading, speed);
  }

  // A match frame without controls: the burning timer's count-down, the bookkeeping, gravity and
  // the movement step.
  static void RunFrame() {
    for (Plane& plane : planes) {
      if (plane.crashed == 1 && plane.crashTimer > 0) plane.crashTimer -= 1;
    }
    UpdatePlanes();
    ApplyGravity(0);
    ApplyGravity(1);
    MovePlane(0);
    MovePlane(1);
  }
};

// ---- Gravity ----

TEST_F(FlightTest, SinkIsThreePullsBelowSpeedThreeTwoBelowSixOneAbove) {
  // A plane on its runway neither sinks nor slows, whatever its heading.
  planes[0].headingIndex = 9;
  planes[0].speed = 2.0;
  ApplyGravity(0);
  EXPECT_EQ(planes[0].y, 420.0);
  EXPECT_EQ(planes[0].speed, 2.0);
  // {speed, sink}
  const double cases[][2] = {{2.99, 3.0}, {3.0, 2.0}, {5.99, 2.0}, {6.0, 1.0},
                             {15.0, 1.0}, {0.0, 3.0}, {-0.5, 3.0}, {-10.0, 3.0}};
  for (const auto& c : cases) {
    InAir(0, 100.0, 200.0, 0, c[0]);
    ApplyGravity(0);
    EXPECT_EQ(planes[0].y, 200.0 + c[1]) << "speed " << c[0];
  }
  // A burning plane in the air still sinks and slows.
  InAir(1, 100.0, 200.0, 9, 8.0).crashed = 1;
  ApplyGravity(1);
  EXPECT_EQ(planes[1].y, 201.0);
  EXPECT_LT(planes[1].speed, 8.0);
}

TEST_F(FlightTest, ClimbLosesAndDiveGainsSpeedBetweenTheBoundaryHeadings) {
  // The nose's angle is taken one step further round, at the game's 0.01745 per degree; climbs
  // (2..16) lose half a pull times its sine, dives (20..34) three quarters of that.
  // {heading, factor}
  const double cases[][2] = {{0, 0.0},    {1, 0.0},    {2, 0.5},    {9, 0.5},
                             {16, 0.5},   {17, 0.0},   {18, 0.0},   {19, 0.0},
                             {20, 0.375}, {27, 0.375}, {34, 0.375}, {35, 0.0}};
  for (const auto& c : cases) {
    InAir(0, 100.0, 200.0, static_cast<int32_t>(c[0]), 8.0);
    ApplyGravity(0);
    EXPECT_NEAR(planes[0].speed, 8.0 - c[1] * std::sin((10 * c[0] + 10) * 0.01745), 1e-12)
        << "heading " << c[0];
  }
  InAir(0, 100.0, 200.0, 20, 8.0);
  ApplyGravity(0);
  EXPECT_GT(planes[0].speed, 8.18);  // a dive gains speed
  InAir(0, 100.0, 200.0, 34, 8.0);
  ApplyGravity(0);
  EXPECT_GT(planes[0].speed, 8.06);
}

// ---- Movement ----

TEST_F(FlightTest, MoveFollowsTheHeadingAndAStalledPlaneSlidesDown) {
  // 9 * 0.1745 = 1.5705, a little short of a right angle: a trace of sideways drift remains. With
  // negative speed x stays and the plane slides down whichever way its nose points.
  const double cases[][4] = {
      {9, 5.0, 100.0 + std::cos(1.5705) * 5.0, 200.0 - std::sin(1.5705) * 5.0},
      {0, 5.0, 105.0, 200.0},
      {9, -4.0, 100.0, 200.0 + std::sin(1.5705) * 4.0},
      {27, -4.0, 100.0, 200.0 - std::sin(4.7115) * 4.0}};
  for (const auto& c : cases) {
    Plane& plane = InAir(0, 100.0, 200.0, static_cast<int32_t>(c[0]), c[1]);
    MovePlane(0);
    EXPECT_NEAR(plane.x, c[2], 1e-12) << "heading " << c[0] << " speed " << c[1];
    EXPECT_NEAR(plane.y, c[3], 1e-12) << "heading " << c[0] << " speed " << c[1];
  }
}

TEST_F(FlightTest, RunwayPlaneRollsAlongXOnlyAndADownedOneStays) {
  Plane& plane = planes[0];
  plane.speed = 3.0;
  plane.headingIndex = 5;
  MovePlane(0);
  EXPECT_EQ(plane.x, 13.0);
  EXPECT_EQ(plane.y, 420.0);
  InAir(1, 100.0, 200.0, 0, 8.0).crashed = 1;
  MovePlane(1);
  EXPECT_EQ(planes[1].x, 100.0);
  EXPECT_EQ(planes[1].y, 200.0);
}

TEST_F(FlightTest, ScreenPositionIsTruncatedTowardZeroBeforeTheWrap) {
  Plane& plane = InAir(0, -5.7, 100.9, 0, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.screenX, -5);
  EXPECT_EQ(plane.screenY, 100);
  InAir(0, 560.5, 100.0, 0, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.x, 0.0);
  EXPECT_EQ(plane.screenX, 560);
}

// ---- Crashes ----

TEST_F(FlightTest, GroundLineItselfIsNoCrash) {
  Plane& plane = InAir(0, 100.0, 432.0, 0, 8.0);
  plane.crashTimer = 0;
  UpdatePlanes();
  EXPECT_EQ(plane.crashed, 0);
  plane.y = std::nextafter(432.0, 500.0);
  UpdatePlanes();
  EXPECT_EQ(plane.crashed, 1);
  EXPECT_EQ(plane.crashes, 1);
  EXPECT_EQ(plane.score, -1);
  EXPECT_EQ(plane.crashTimer, 8);
  EXPECT_EQ(plane.x, 100.0);  // never respawned in the frame of its crash
}

TEST_F(FlightTest, TowerBoxBoundsAreStrict) {
  // {x, y, inside}
  const double cases[][3] = {{248.0, 400.0, 0},   {248.001, 400.0, 1}, {296.0, 400.0, 0},
                             {295.999, 400.0, 1}, {270.0, 384.0, 0},   {270.0, 384.001, 1},
                             {270.0, 500.0, 1},   {100.0, 400.0, 0}};
  for (const auto& c : cases) {
    planes[0].x = c[0];
    planes[0].y = c[1];
    EXPECT_EQ(HitsTower(0), c[2]) << c[0] << ", " << c[1];
  }
}

TEST_F(FlightTest, PlaneRollingIntoTheTowerCrashesOnceAndRespawnsAfterEightFrames) {
  Plane& plane = planes[0];
  plane.x = 230.0;
  plane.speed = 5.0;
  for (int32_t frame = 0; frame < 4; ++frame) RunFrame();  // 250: found at the next frame
  EXPECT_EQ(plane.x, 250.0);
  EXPECT_EQ(plane.crashed, 0);
  RunFrame();
  EXPECT_EQ(plane.crashes, 1);
  for (int32_t frame = 1; frame <= 7; ++frame) {
    RunFrame();
    EXPECT_EQ(plane.crashed, 1) << "frame k+" << frame;
    EXPECT_EQ(plane.crashTimer, 8 - frame);
    EXPECT_EQ(plane.x, 250.0);
    EXPECT_EQ(plane.crashes, 1) << "a plane in the tower is counted once";
    EXPECT_EQ(plane.score, -1);
  }
  RunFrame();
  EXPECT_EQ(plane.crashed, 0);
  EXPECT_EQ(plane.x, 10.0);
}

// ---- Respawn ----

TEST_F(FlightTest, RespawnResetsPositionHeadingSpeedAndMotion) {
  Plane& one = InAir(0, 200.0, 300.0, 13, -3.0);
  one.crashed = 1;
  one.crashTimer = 0;
  one.vx = 4.0;
  one.vy = 5.0;
  Plane& two = InAir(1, 400.0, 100.0, 30, 14.0);
  two.crashed = 1;
  two.crashTimer = -2;
  UpdatePlanes();
  EXPECT_EQ(one.x, 10.0);
  EXPECT_EQ(one.y, 420.0);
  EXPECT_EQ(one.headingIndex, 0);
  EXPECT_EQ(one.onGround, 1);
  EXPECT_EQ(one.speed, 0.0);
  EXPECT_EQ(one.crashed, 0);
  EXPECT_EQ(one.vx, 0.0);
  EXPECT_EQ(one.vy, 0.0);
  EXPECT_EQ(one.screenX, 200);  // still shown where it burned until the next frame
  EXPECT_EQ(two.x, 312.0);
  EXPECT_EQ(two.crashTimer, 0);
  // The points follow the screen size: player 2 at 944 / 2 + 32.
  SetScreenSize(1024, 768);
  InAir(1, 100.0, 100.0, 0, 5.0).crashed = 1;
  two.crashTimer = 0;
  UpdatePlanes();
  EXPECT_EQ(two.x, 504.0);
  EXPECT_EQ(two.y, 672.0);
}

// ---- Edges and speed limits ----

TEST_F(FlightTest, SideEdgesWrapOnlyPastThePlayfieldAndOneSpriteWidth) {
  const double cases[][2] = {
      {560.0, 560.0}, {std::nextafter(560.0, 600.0), 0.0}, {-32.0, -32.0}, {-32.01, 528.0}};
  for (const auto& c : cases) {
    InAir(0, c[0], 100.0, 0, 8.0);
    UpdatePlanes();
    EXPECT_EQ(planes[0].x, c[1]) << "from " << c[0];
  }
}

TEST_F(FlightTest, TopEdgeHoldsThePlane) {
  Plane& plane = InAir(0, 100.0, 2.0, 9, 10.0);
  RunFrame();
  ASSERT_LT(plane.y, 0.0);
  const double x = plane.x;
  UpdatePlanes();
  EXPECT_EQ(plane.y, 0.0);
  EXPECT_EQ(plane.x, x);
}

TEST_F(FlightTest, SpeedIsHeldBetweenMinusTenAndTwenty) {
  const double cases[][2] = {{20.0, 20.0}, {20.5, 20.0}, {-10.0, -10.0}, {-10.5, -10.0}};
  for (const auto& c : cases) {
    InAir(1, 100.0, 100.0, 0, c[0]);
    UpdatePlanes();
    EXPECT_EQ(planes[1].speed, c[1]) << "from " << c[0];
  }
}

}  // namespace
