#include "game/flight.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/state.h"

namespace {

class FlightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ReturnToMenu();
  }

  static Plane& InAir(int32_t index, double x, double y, int32_t heading, double speed) {
    Plane& plane = planes[index];
    plane.x = x;
    plane.y = y;
    plane.headingIndex = heading;
    plane.speed = speed;
    plane.onGround = 0;
    plane.crashed = 0;
    return plane;
  }

  // The running part of a match frame without any controls: the match screen's count-down of a
  // burning plane's timer, the plane bookkeeping, gravity, and each plane's movement step.
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

// ---- Sink under gravity ----

TEST_F(FlightTest, SinkIsThreePullsBelowSpeedThreeTwoBelowSixOneAbove) {
  struct Case {
    double speed;
    double sink;
  };
  const Case cases[] = {{2.99, 3.0}, {3.0, 2.0}, {5.99, 2.0}, {6.0, 1.0},
                        {15.0, 1.0}, {0.0, 3.0}, {-0.5, 3.0}, {-10.0, 3.0}};
  for (const Case& c : cases) {
    InAir(0, 100.0, 200.0, 0, c.speed);
    ApplyGravity(0);
    EXPECT_EQ(planes[0].y, 200.0 + c.sink) << "speed " << c.speed;
  }
}

TEST_F(FlightTest, PlaneOnRunwayNeitherSinksNorChangesSpeed) {
  Plane& plane = planes[0];
  plane.headingIndex = 9;  // only reachable by a crash on the runway, but gravity must not care
  plane.speed = 2.0;
  ApplyGravity(0);
  EXPECT_EQ(plane.y, 420.0);
  EXPECT_EQ(plane.speed, 2.0);
}

TEST_F(FlightTest, BurningPlaneInTheAirKeepsSinkingAndLosingSpeed) {
  Plane& plane = InAir(1, 100.0, 200.0, 9, 8.0);
  plane.crashed = 1;
  ApplyGravity(1);
  EXPECT_EQ(plane.y, 201.0);
  EXPECT_LT(plane.speed, 8.0);
}

// ---- Climb and dive ----

// The speed after one step of gravity at heading h from speed 8.0 (fast enough to sink only once).
double SpeedAfterGravity(int32_t heading) {
  Plane& plane = planes[0];
  plane.onGround = 0;
  plane.headingIndex = heading;
  plane.speed = 8.0;
  plane.y = 200.0;
  ApplyGravity(0);
  return plane.speed;
}

TEST_F(FlightTest, ClimbLossStartsAtHeadingTwoAndEndsAtSixteen) {
  EXPECT_EQ(SpeedAfterGravity(0), 8.0);
  EXPECT_EQ(SpeedAfterGravity(1), 8.0);
  // Heading 2 uses the sine of 30 "degrees" at 0.01745 radians each, not of exactly 30 degrees.
  EXPECT_NEAR(SpeedAfterGravity(2), 8.0 - 0.5 * std::sin(0.5235), 1e-12);
  EXPECT_NEAR(SpeedAfterGravity(9), 8.0 - 0.5 * std::sin(1.745), 1e-12);
  EXPECT_NEAR(SpeedAfterGravity(16), 8.0 - 0.5 * std::sin(2.9665), 1e-12);
  EXPECT_EQ(SpeedAfterGravity(17), 8.0);
  EXPECT_EQ(SpeedAfterGravity(18), 8.0);
}

TEST_F(FlightTest, DiveGainsSpeedFromHeadingTwentyToThirtyFour) {
  EXPECT_EQ(SpeedAfterGravity(19), 8.0);
  // sin(210 * 0.01745) is about -0.5: three quarters of the half pull is gained.
  EXPECT_NEAR(SpeedAfterGravity(20), 8.0 - 0.375 * std::sin(3.6645), 1e-12);
  EXPECT_GT(SpeedAfterGravity(20), 8.18);
  EXPECT_NEAR(SpeedAfterGravity(27), 8.0 - 0.375 * std::sin(4.886), 1e-12);
  EXPECT_NEAR(SpeedAfterGravity(34), 8.0 - 0.375 * std::sin(6.1075), 1e-12);
  EXPECT_GT(SpeedAfterGravity(34), 8.06);
  EXPECT_EQ(SpeedAfterGravity(35), 8.0);
}

TEST_F(FlightTest, LongDiveReachesTheTopSpeedAndNoMore) {
  Plane& plane = InAir(0, 100.0, 0.0, 27, 10.0);
  for (int32_t frame = 0; frame < 40; ++frame) {
    plane.y = 0.0;  // keep it high: only the speed matters here
    UpdatePlanes();
    ApplyGravity(0);
  }
  UpdatePlanes();
  EXPECT_EQ(plane.speed, 20.0);
}

// ---- Movement ----

TEST_F(FlightTest, MoveFollowsTheHeadingWithTheGameAngleFactor) {
  Plane& plane = InAir(0, 100.0, 200.0, 9, 5.0);
  MovePlane(0);
  // 9 * 0.1745 = 1.5705, a little short of a right angle: a trace of sideways drift remains.
  EXPECT_NEAR(plane.vx, std::cos(1.5705) * 5.0, 1e-12);
  EXPECT_GT(plane.vx, 0.0);
  EXPECT_NEAR(plane.x, 100.0 + std::cos(1.5705) * 5.0, 1e-12);
  EXPECT_NEAR(plane.y, 200.0 - std::sin(1.5705) * 5.0, 1e-12);
}

TEST_F(FlightTest, LevelFlightMovesOnlySideways) {
  Plane& plane = InAir(0, 100.0, 200.0, 0, 5.0);
  MovePlane(0);
  EXPECT_EQ(plane.x, 105.0);
  EXPECT_EQ(plane.y, 200.0);
  InAir(0, 100.0, 200.0, 18, 5.0);
  MovePlane(0);
  EXPECT_NEAR(plane.x, 100.0 + std::cos(3.141) * 5.0, 1e-12);
}

TEST_F(FlightTest, ZeroSpeedDoesNotMove) {
  Plane& plane = InAir(0, 100.0, 200.0, 5, 0.0);
  MovePlane(0);
  EXPECT_EQ(plane.x, 100.0);
  EXPECT_EQ(plane.y, 200.0);
}

TEST_F(FlightTest, StalledPlaneSlidesDownWhicheverWayItPoints) {
  // Nose up, negative speed: the motion already points down and x stays.
  Plane& plane = InAir(0, 100.0, 200.0, 9, -4.0);
  MovePlane(0);
  EXPECT_EQ(plane.x, 100.0);
  EXPECT_NEAR(plane.y, 200.0 + std::sin(1.5705) * 4.0, 1e-12);
  // Nose down, negative speed: the upward motion is turned round.
  InAir(0, 100.0, 200.0, 27, -4.0);
  MovePlane(0);
  EXPECT_EQ(plane.x, 100.0);
  EXPECT_NEAR(plane.vy, -std::sin(4.7115) * 4.0, 1e-12);
  EXPECT_GT(plane.vy, 0.0);
  EXPECT_NEAR(plane.y, 204.0, 1e-5);
}

TEST_F(FlightTest, PlaneOnRunwayRollsAlongXOnly) {
  Plane& plane = planes[0];
  plane.speed = 3.0;
  plane.headingIndex = 5;
  plane.vx = 7.0;
  plane.vy = 7.0;
  MovePlane(0);
  EXPECT_EQ(plane.x, 13.0);
  EXPECT_EQ(plane.y, 420.0);
  EXPECT_EQ(plane.vx, 7.0);
  EXPECT_EQ(plane.vy, 7.0);
}

TEST_F(FlightTest, DownedPlaneDoesNotMove) {
  Plane& plane = InAir(0, 100.0, 200.0, 0, 8.0);
  plane.crashed = 1;
  MovePlane(0);
  EXPECT_EQ(plane.x, 100.0);
  EXPECT_EQ(plane.y, 200.0);
  planes[1].crashed = 1;
  planes[1].speed = 5.0;
  MovePlane(1);
  EXPECT_EQ(planes[1].x, 312.0);
}

// ---- Screen position ----

TEST_F(FlightTest, ScreenPositionIsTruncatedTowardZeroBeforeEverythingElse) {
  Plane& plane = InAir(0, -5.7, 100.9, 0, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.screenX, -5);
  EXPECT_EQ(plane.screenY, 100);
  // Taken before the wrap: the integer position still shows where the plane was.
  InAir(0, 560.5, 100.0, 0, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.x, 0.0);
  EXPECT_EQ(plane.screenX, 560);
}

// ---- Crashes ----

TEST_F(FlightTest, GroundLineItselfIsNoCrash) {
  Plane& plane = InAir(0, 100.0, 432.0, 0, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.crashed, 0);
  EXPECT_EQ(plane.crashes, 0);
  plane.y = std::nextafter(432.0, 500.0);
  UpdatePlanes();
  EXPECT_EQ(plane.crashed, 1);
  EXPECT_EQ(plane.crashes, 1);
  EXPECT_EQ(plane.score, -1);
  EXPECT_EQ(plane.crashTimer, 8);
}

TEST_F(FlightTest, TowerBoxBoundsAreStrict) {
  struct Case {
    double x;
    double y;
    int32_t inside;
  };
  const Case cases[] = {
      {248.0, 400.0, 0}, {248.001, 400.0, 1}, {296.0, 400.0, 0}, {295.999, 400.0, 1},
      {270.0, 384.0, 0}, {270.0, 384.001, 1}, {270.0, 500.0, 1}, {100.0, 400.0, 0},
  };
  for (const Case& c : cases) {
    planes[0].x = c.x;
    planes[0].y = c.y;
    EXPECT_EQ(HitsTower(0), c.inside) << c.x << ", " << c.y;
  }
}

TEST_F(FlightTest, TowerBoxFollowsTheScreenSize) {
  SetScreenSize(800, 600);
  // Centre 360: 328 < x < 376; 540 - 48 = 492 < y.
  planes[1].x = 328.5;
  planes[1].y = 492.5;
  EXPECT_EQ(HitsTower(1), 1);
  planes[1].y = 492.0;
  EXPECT_EQ(HitsTower(1), 0);
  planes[1].y = 500.0;
  planes[1].x = 376.0;
  EXPECT_EQ(HitsTower(1), 0);
}

TEST_F(FlightTest, FlyingIntoTheTowerIsACrash) {
  Plane& plane = InAir(1, 260.0, 390.0, 0, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.crashed, 1);
  EXPECT_EQ(plane.crashes, 1);
  EXPECT_EQ(plane.score, -1);
}

TEST_F(FlightTest, PlaneRollingIntoTheTowerCrashesAndStaysOnTheSpot) {
  Plane& plane = planes[0];
  plane.x = 230.0;
  plane.speed = 5.0;
  RunFrame();  // rolls to 235
  RunFrame();  // 240
  RunFrame();  // 245
  RunFrame();  // 250: inside, found at the next frame's start
  EXPECT_EQ(plane.x, 250.0);
  EXPECT_EQ(plane.crashed, 0);
  RunFrame();
  EXPECT_EQ(plane.crashed, 1);
  EXPECT_EQ(plane.crashes, 1);
  EXPECT_EQ(plane.score, -1);
  for (int32_t frame = 0; frame < 7; ++frame) {
    RunFrame();
    EXPECT_EQ(plane.x, 250.0);
    EXPECT_EQ(plane.y, 420.0);
    EXPECT_EQ(plane.crashes, 1) << "a plane in the tower is counted once";
  }
  RunFrame();
  EXPECT_EQ(plane.crashed, 0);
  EXPECT_EQ(plane.x, 10.0);
}

TEST_F(FlightTest, CrashIsCountedOncePerCrash) {
  Plane& plane = InAir(0, 100.0, 440.0, 27, 8.0);
  for (int32_t frame = 0; frame < 5; ++frame) RunFrame();
  EXPECT_EQ(plane.crashes, 1);
  EXPECT_EQ(plane.score, -1);
}

TEST_F(FlightTest, ShotDownPlaneHittingTheGroundIsNoCrashOfItsOwn) {
  Plane& plane = InAir(1, 100.0, 440.0, 0, 8.0);
  plane.crashed = 1;
  plane.crashTimer = 5;
  UpdatePlanes();
  EXPECT_EQ(plane.crashes, 0);
  EXPECT_EQ(plane.score, 0);
  EXPECT_EQ(plane.crashTimer, 5);
}

// ---- Respawn ----

TEST_F(FlightTest, BurningPlaneRespawnsAfterEightFrames) {
  Plane& plane = InAir(1, 100.0, 431.0, 27, 8.0);
  plane.crashTimer = 0;
  RunFrame();  // moves it below the ground line
  RunFrame();  // frame k: the crash is found
  ASSERT_EQ(plane.crashed, 1);
  ASSERT_EQ(plane.crashTimer, 8);
  const double burningX = plane.x;
  for (int32_t frame = 1; frame <= 7; ++frame) {
    RunFrame();
    EXPECT_EQ(plane.crashed, 1) << "frame k+" << frame;
    EXPECT_EQ(plane.crashTimer, 8 - frame);
    EXPECT_EQ(plane.x, burningX);
  }
  RunFrame();  // frame k+8: the count-down reaches 0 and the plane stands on its runway
  EXPECT_EQ(plane.crashed, 0);
  EXPECT_EQ(plane.onGround, 1);
  EXPECT_EQ(plane.x, 312.0);
  EXPECT_EQ(plane.y, 420.0);
  EXPECT_EQ(plane.crashes, 1);
}

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
  // The screen position still shows where it burned until the next frame.
  EXPECT_EQ(one.screenX, 200);
  EXPECT_EQ(two.x, 312.0);
  EXPECT_EQ(two.crashTimer, 0);
  EXPECT_EQ(two.headingIndex, 0);
}

TEST_F(FlightTest, RespawnPointsFollowThePlayerNumberAndScreenSize) {
  SetScreenSize(1024, 768);
  Plane& plane = InAir(1, 100.0, 100.0, 0, 5.0);
  plane.crashed = 1;
  plane.crashTimer = 0;
  UpdatePlanes();
  EXPECT_EQ(plane.x, 504.0);  // 944 / 2 + 32
  EXPECT_EQ(plane.y, 672.0);
}

TEST_F(FlightTest, PlaneNeverRespawnsInTheFrameOfItsCrash) {
  Plane& plane = InAir(0, 100.0, 450.0, 0, 8.0);
  plane.crashTimer = 0;
  UpdatePlanes();
  EXPECT_EQ(plane.crashed, 1);
  EXPECT_EQ(plane.x, 100.0);
}

// ---- Edges and speed limits ----

TEST_F(FlightTest, RightEdgeWrapsOnlyPastThePlayfield) {
  Plane& plane = InAir(0, 560.0, 100.0, 0, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.x, 560.0);
  plane.x = std::nextafter(560.0, 600.0);
  UpdatePlanes();
  EXPECT_EQ(plane.x, 0.0);
}

TEST_F(FlightTest, LeftEdgeWrapsOnlyPastOneSpriteWidth) {
  Plane& plane = InAir(0, -32.0, 100.0, 18, 8.0);
  UpdatePlanes();
  EXPECT_EQ(plane.x, -32.0);
  plane.x = -32.01;
  UpdatePlanes();
  EXPECT_EQ(plane.x, 528.0);
}

TEST_F(FlightTest, TopEdgeHoldsThePlane) {
  Plane& plane = InAir(0, 100.0, 2.0, 9, 10.0);
  RunFrame();  // climbs past the top
  ASSERT_LT(plane.y, 0.0);
  const double x = plane.x;
  UpdatePlanes();
  EXPECT_EQ(plane.y, 0.0);
  EXPECT_EQ(plane.x, x);
  UpdatePlanes();
  EXPECT_EQ(plane.screenY, 0);
}

TEST_F(FlightTest, RollingPlaneWrapsAtTheRightEdgeAndKeepsRolling) {
  Plane& plane = planes[1];
  plane.x = 555.0;
  plane.speed = 10.0;
  RunFrame();  // 565
  RunFrame();  // wrapped to 0, rolls to 10
  EXPECT_EQ(plane.x, 10.0);
  EXPECT_EQ(plane.onGround, 1);
  EXPECT_EQ(plane.y, 420.0);
}

TEST_F(FlightTest, SpeedIsHeldBetweenMinusTenAndTwenty) {
  Plane& plane = InAir(0, 100.0, 100.0, 0, 20.0);
  UpdatePlanes();
  EXPECT_EQ(plane.speed, 20.0);
  plane.speed = 20.5;
  UpdatePlanes();
  EXPECT_EQ(plane.speed, 20.0);
  plane.speed = -10.0;
  UpdatePlanes();
  EXPECT_EQ(plane.speed, -10.0);
  plane.speed = -10.5;
  UpdatePlanes();
  EXPECT_EQ(plane.speed, -10.0);
}

TEST_F(FlightTest, BothPlanesAreUpdated) {
  InAir(0, 100.0, 450.0, 0, 8.0);
  InAir(1, 600.0, 100.0, 0, 25.0);
  UpdatePlanes();
  EXPECT_EQ(planes[0].crashed, 1);
  EXPECT_EQ(planes[1].x, 0.0);
  EXPECT_EQ(planes[1].speed, 20.0);
}

}  // namespace
