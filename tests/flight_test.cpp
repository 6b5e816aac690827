#include "game/flight.h"

#include <gtest/gtest.h>

#include "support/planes.h"

namespace {

using std::tuple;
using testplanes::PutInAir;

class FlightTest : public testplanes::Fresh {};

// A frame in the air: gravity, then the move. Slow planes sink faster; climbs lose speed and
// dives gain it, by the sine of the nose taken a step further round; a stalled plane slides
// down whichever way its nose points.
TEST_F(FlightTest, GravityThenMove) {
  // {heading, speed, then y, speed}
  const double cases[][4] = {{0, 2.99, 203, 2.99},
                             {0, 3, 202, 3},
                             {0, 6, 201, 6},
                             {9, 8, 193.4924, 7.5076},
                             {20, 8, 203.7951, 8.1873},
                             {9, -4, 207.4924, -4.4924},
                             {27, -4, 206.6306, -3.6306}};
  for (const auto& c : cases) {
    Plane& p = PutInAir(0, 100, 200, c[0], c[1]);
    ApplyGravity(0);
    MovePlane(0);
    EXPECT_NEAR(p.y, c[2], 1e-4) << &c - cases;
    EXPECT_NEAR(p.speed, c[3], 1e-4) << &c - cases;
  }
}

// The bookkeeping of a frame: crashes, the edges, the speed limits. The screen position is
// taken first.
TEST_F(FlightTest, CrashesEdgesAndLimits) {
  // {x, y, speed, then x, y, speed, score}: on the ground line and below it, rolling up to the
  // tower and into it, on the right edge and past it, a sprite past the left edge, above the
  // top, too fast.
  const double cases[][7] = {{100, 432, 8, 100, 432, 8, 0},    {100, 432.01, 8, 100, 432.01, 8, -1},
                             {248, 420, 8, 248, 420, 8, 0},    {248.01, 420, 8, 248.01, 420, 8, -1},
                             {560, 100, 8, 560, 100, 8, 0},    {560.01, 100, 8, 0, 100, 8, 0},
                             {-32.01, 100, 8, 528, 100, 8, 0}, {100, -1, 8, 100, 0, 8, 0},
                             {100, 100, 20.5, 100, 100, 20, 0}};
  for (const auto& c : cases) {
    SetUp();
    Plane& p = PutInAir(0, c[0], c[1], 0, c[2]);
    UpdatePlanes();
    EXPECT_EQ(tuple(p.x, p.y, p.speed, p.score + 0.0), tuple(c[3], c[4], c[5], c[6]));
    EXPECT_EQ(p.screenY, static_cast<int32_t>(c[1]));
  }
  // Burnt out: back on its runway, but shown where it burned for one more frame.
  Plane& p = PutInAir(1, 200, 300, 0, 8);
  std::tie(p.crashed, p.crashTimer) = tuple(1, 0);
  UpdatePlanes();
  EXPECT_EQ(tuple(p.x, p.y, p.onGround, p.screenX), tuple(312.0, 420.0, 1, 200));
}

}  // namespace
