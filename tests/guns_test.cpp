#include "game/guns.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/state.h"
#include "support/planes.h"

namespace {

class GunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ReturnToMenu();
  }

  static Plane& Flying(int32_t index, int32_t screenX, int32_t screenY, int32_t heading = 0) {
    return testplanes::PutInAir(index, screenX, screenY, heading, planes[index].speed);
  }

  // Puts a bullet of plane `owner` in flight directly.
  static void AddBullet(int32_t owner, double x, double y, double vx, double vy,
                        int32_t life = 26) {
    Plane& plane = planes[owner];
    plane.bullets[plane.bulletCount++] = Bullet{0, 0, x, y, vx, vy, life};
  }
};

// ---- Firing ----

TEST_F(GunsTest, MuzzleIsOneSpriteAheadOfTheCentreOfTheScreenPosition) {
  Plane& plane = Flying(0, 100, 200);
  plane.x = 100.9;  // the integer screen position counts
  plane.y = 200.9;
  FireBullet(0);
  ASSERT_EQ(plane.bulletCount, 1);
  const Bullet& bullet = plane.bullets[0];
  EXPECT_EQ(bullet.x, 148.0);
  EXPECT_EQ(bullet.y, 216.0);
  EXPECT_EQ(bullet.vx, 20.0);
  EXPECT_EQ(bullet.vy, 0.0);
  EXPECT_EQ(bullet.life, 26);
  EXPECT_EQ(plane.fired, 1);
  // Along the heading with the game's 0.1745 per step: 9 gives 1.5705 radians.
  Flying(1, 100, 200, 9);
  FireBullet(1);
  EXPECT_NEAR(planes[1].bullets[0].x, 116.0 + 32.0 * std::cos(1.5705), 1e-12);
  EXPECT_NEAR(planes[1].bullets[0].y, 216.0 - 32.0 * std::sin(1.5705), 1e-12);
  EXPECT_NEAR(planes[1].bullets[0].vx, 20.0 * std::cos(1.5705), 1e-12);
  EXPECT_NEAR(planes[1].bullets[0].vy, -20.0 * std::sin(1.5705), 1e-12);
}

TEST_F(GunsTest, AtMostMaxBulletsInFlightAndNoneFromADownedPlane) {
  Plane& plane = Flying(0, 100, 200);
  for (int32_t shot = 0; shot < 8; ++shot) FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 6);
  EXPECT_EQ(plane.fired, 6);
  maxBullets = 1;
  plane.bulletCount = 0;
  FireBullet(0);
  FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 1);
  Flying(1, 100, 200).crashed = 1;
  FireBullet(1);
  EXPECT_EQ(planes[1].bulletCount, 0);
  EXPECT_EQ(planes[1].fired, 0);
}

TEST_F(GunsTest, LimitAboveTheSlotCountStopsAtTwentyFiveAndAllAreMoved) {
  maxBullets = 40;
  Plane& plane = Flying(0, 100, 200);
  planes[1].onGround = 1;
  const int32_t colourBefore = plane.color;
  for (int32_t shot = 0; shot < 40; ++shot) FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 25);
  EXPECT_EQ(plane.fired, 25);
  EXPECT_EQ(plane.color, colourBefore);  // nothing written past the slots
  UpdateBullets();
  ASSERT_EQ(plane.bulletCount, 25);
  EXPECT_EQ(plane.bullets[24].x, 168.0);
}

TEST_F(GunsTest, SlotFreedByTheUpdateCanBeUsedInTheSameFrame) {
  Plane& plane = Flying(0, 100, 200);
  planes[1].onGround = 1;
  for (int32_t shot = 0; shot < 7; ++shot) FireBullet(0);
  plane.bullets[0].life = 1;  // the oldest makes its last move this frame
  UpdateBullets();
  EXPECT_EQ(plane.bulletCount, 5);
  FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 6);
  EXPECT_EQ(plane.fired, 7);
  EXPECT_EQ(plane.bullets[5].x, 148.0);
}

// ---- Flight of a bullet ----

TEST_F(GunsTest, BulletMakesTwentySixMovesTheLastFourSinking) {
  planes[1].onGround = 1;
  AddBullet(0, 10.0, 200.0, 20.0, 0.0);
  for (int32_t move = 1; move <= 25; ++move) {
    UpdateBullets();
    ASSERT_EQ(planes[0].bulletCount, 1) << "move " << move;
    EXPECT_EQ(planes[0].bullets[0].y, 200.0 + (move >= 23 ? move - 22 : 0)) << "move " << move;
  }
  UpdateBullets();
  EXPECT_EQ(planes[0].bulletCount, 0);
}

TEST_F(GunsTest, BulletWrapsAtTheSideEdges) {
  planes[1].onGround = 1;
  const double cases[][3] = {
      {555.0, 20.0, 15.0}, {15.0, -20.0, 555.0}, {540.0, 20.0, 560.0}, {20.0, -20.0, 0.0}};
  for (const auto& c : cases) AddBullet(0, c[0], 100.0, c[1], 0.0);
  UpdateBullets();
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(planes[0].bullets[i].x, cases[i][2]) << cases[i][0];
}

TEST_F(GunsTest, RemovedAboveTheTopAndBelowTheGroundStripKeepingTheOrder) {
  planes[1].onGround = 1;
  AddBullet(0, 10.0, 10.0, 0.0, -10.5);    // -0.5: removed
  AddBullet(0, 20.0, 10.0, 0.0, -10.0);    // exactly 0: stays
  AddBullet(0, 30.0, 446.0, 0.0, 10.5);    // 456.5: removed
  AddBullet(0, 40.0, 100.0, 1.0, 0.0, 1);  // expires
  AddBullet(0, 50.0, 446.0, 0.0, 10.0);    // exactly 456: stays
  UpdateBullets();
  ASSERT_EQ(planes[0].bulletCount, 2);
  EXPECT_EQ(planes[0].bullets[0].x, 20.0);
  EXPECT_EQ(planes[0].bullets[0].y, 0.0);
  EXPECT_EQ(planes[0].bullets[1].x, 50.0);
  EXPECT_EQ(planes[0].bullets[1].y, 456.0);
  EXPECT_EQ(planes[0].bullets[1].life, 25);
}

// ---- Hits ----

TEST_F(GunsTest, HitBoxIsTheStrictInnerSquareTestedBeforeTheMove) {
  // Target drawn at (300, 200): the inner square runs from 308 to 324 and from 208 to 224.
  const double cases[][3] = {{305.0, 215.0, 0}, {305.5, 215.0, 1}, {324.0, 215.0, 0},
                             {323.5, 215.0, 1}, {315.0, 205.0, 0}, {315.0, 205.5, 1},
                             {315.0, 224.0, 0}, {315.0, 223.5, 1}};
  for (const auto& c : cases) {
    SetUp();
    Flying(0, 100, 100);
    Flying(1, 300, 200).x = 400.0;  // moved since it was drawn: the drawn position counts
    AddBullet(0, c[0], c[1], 0.5, 0.5);
    UpdateBullets();
    EXPECT_EQ(planes[1].crashed, c[2]) << c[0] << ", " << c[1];
    EXPECT_EQ(planes[0].bulletCount, 1 - c[2]) << c[0] << ", " << c[1];
  }
}

TEST_F(GunsTest, HitDownsTheTargetAndScoresForTheShooterOnly) {
  for (int32_t shooterIndex : {0, 1}) {
    SetUp();
    Plane& shooter = Flying(shooterIndex, 100, 100);
    Plane& target = Flying(1 - shooterIndex, 300, 200);
    target.score = 3;
    target.kills = 1;
    target.crashes = 2;
    AddBullet(shooterIndex, 315.0, 215.0, 20.0, 0.0);
    UpdateBullets();
    SCOPED_TRACE(shooterIndex);
    EXPECT_EQ(target.crashed, 1);
    EXPECT_EQ(target.crashTimer, 8);
    EXPECT_EQ(shooter.kills, 1);
    EXPECT_EQ(shooter.score, 2);
    EXPECT_EQ(shooter.bulletCount, 0);
    EXPECT_EQ(target.score, 3);
    EXPECT_EQ(target.kills, 1);
    EXPECT_EQ(target.crashes, 2);
  }
}

TEST_F(GunsTest, BulletsPassPlanesOnTheGroundOrDownAndTheirOwnPlane) {
  Flying(0, 300, 200);  // the shooter's own plane sits on its bullet
  Plane& target = planes[1];
  target.screenX = 300;
  target.screenY = 200;
  AddBullet(0, 315.0, 215.0, 0.0, 0.0);
  UpdateBullets();  // the target is on its runway
  target.onGround = 0;
  target.crashed = 1;
  target.crashTimer = 3;
  UpdateBullets();
  EXPECT_EQ(target.crashTimer, 3);
  EXPECT_EQ(planes[0].crashed, 0);
  EXPECT_EQ(planes[0].kills, 0);
  EXPECT_EQ(planes[0].bulletCount, 1);
}

// ---- Order of the bullets ----

TEST_F(GunsTest, BulletsBehindAHitAreStillMovedOnceAndTheHitOneIsNot) {
  Flying(0, 100, 100);
  Flying(1, 300, 200);
  AddBullet(0, 400.0, 300.0, 20.0, 0.0);
  AddBullet(0, 315.0, 215.0, 20.0, 0.0);  // hits
  AddBullet(0, 200.0, 100.0, 20.0, 0.0);
  AddBullet(0, 150.0, 100.0, 20.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(planes[1].crashed, 1);
  ASSERT_EQ(planes[0].bulletCount, 3);
  EXPECT_EQ(planes[0].bullets[0].x, 420.0);
  EXPECT_EQ(planes[0].bullets[1].x, 220.0);
  EXPECT_EQ(planes[0].bullets[2].x, 170.0);
}

}  // namespace
