#include "game/guns.h"

#include <gtest/gtest.h>

#include "support/planes.h"

namespace {

using std::tuple;
using testplanes::PutInAir;

class GunsTest : public testplanes::Fresh {};

// Never more bullets in flight than the limit, nor than the slots; none from a plane that is
// down.
TEST_F(GunsTest, FiresUpToTheLimit) {
  // {maxBullets, plane down, shots, bullets in flight}
  const int32_t cases[][4] = {{6, 0, 8, 6}, {40, 0, 40, 25}, {6, 1, 1, 0}};
  for (const auto& c : cases) {
    SetUp();
    maxBullets = c[0];
    Plane& p = PutInAir(0, 100, 200, 9, 8);
    p.crashed = c[1];
    for (int32_t i = 0; i < c[2]; ++i) FireBullet(0);
    EXPECT_EQ(tuple(p.bulletCount, p.fired), tuple(c[3], c[3])) << c[0];
  }
}

// A bullet wraps at the sides and is gone above the top and in the ground strip: shown as
// (-1, -1).
TEST_F(GunsTest, WrapsAndLeaves) {
  // {x, y, vx, vy, then x, y}
  const double cases[][6] = {{540, 100, 20, 0, 560, 100}, {555, 100, 20, 0, 15, 100},
                             {15, 100, -20, 0, 555, 100}, {20, 10, 0, -10, 20, 0},
                             {20, 10, 0, -10.5, -1, -1},  {50, 446, 0, 10, 50, 456},
                             {50, 446, 0, 10.5, -1, -1}};
  for (const auto& c : cases) {
    Plane& p = planes[0];
    p.bulletCount = 1;
    p.bullets[0] = Bullet{0, 0, c[0], c[1], c[2], c[3], 26};
    UpdateBullets();
    const bool kept = p.bulletCount == 1;
    EXPECT_EQ(tuple(kept ? p.bullets[0].x : -1, kept ? p.bullets[0].y : -1), tuple(c[4], c[5]))
        << c[0];
  }
}

}  // namespace
