#include "game/guns.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/state.h"

namespace {

class GunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ReturnToMenu();
  }

  static Plane& Flying(int32_t index, int32_t screenX, int32_t screenY, int32_t heading) {
    Plane& plane = planes[index];
    plane.x = screenX;
    plane.y = screenY;
    plane.screenX = screenX;
    plane.screenY = screenY;
    plane.headingIndex = heading;
    plane.onGround = 0;
    plane.crashed = 0;
    return plane;
  }

  // Puts a bullet of plane `owner` in flight directly, for the update's rules.
  static Bullet& AddBullet(int32_t owner, double x, double y, double vx, double vy,
                           int32_t life = 26) {
    Plane& plane = planes[owner];
    Bullet& bullet = plane.bullets[plane.bulletCount++];
    bullet = Bullet{0, 0, x, y, vx, vy, life};
    return bullet;
  }
};

// ---- Firing ----

TEST_F(GunsTest, MuzzleIsOneSpriteAheadOfTheCentre) {
  Flying(0, 100, 200, 0);
  FireBullet(0);
  ASSERT_EQ(planes[0].bulletCount, 1);
  const Bullet& bullet = planes[0].bullets[0];
  EXPECT_EQ(bullet.x, 148.0);
  EXPECT_EQ(bullet.y, 216.0);
  EXPECT_EQ(bullet.vx, 20.0);
  EXPECT_EQ(bullet.vy, 0.0);
  EXPECT_EQ(bullet.life, 26);
  EXPECT_EQ(planes[0].fired, 1);
}

TEST_F(GunsTest, BulletLeavesAlongTheHeadingWithTheGameAngleFactor) {
  Flying(1, 100, 200, 9);  // 9 * 0.1745 = 1.5705 radians
  FireBullet(1);
  const Bullet& bullet = planes[1].bullets[0];
  EXPECT_NEAR(bullet.x, 116.0 + 32.0 * std::cos(1.5705), 1e-12);
  EXPECT_NEAR(bullet.y, 216.0 - 32.0 * std::sin(1.5705), 1e-12);
  EXPECT_NEAR(bullet.vx, 20.0 * std::cos(1.5705), 1e-12);
  EXPECT_NEAR(bullet.vy, -20.0 * std::sin(1.5705), 1e-12);
}

TEST_F(GunsTest, MuzzleUsesTheIntegerScreenPosition) {
  Plane& plane = Flying(0, 100, 200, 0);
  plane.x = 100.9;
  plane.y = 200.9;
  FireBullet(0);
  EXPECT_EQ(plane.bullets[0].x, 148.0);
  EXPECT_EQ(plane.bullets[0].y, 216.0);
}

TEST_F(GunsTest, AtMostMaxBulletsInFlight) {
  Plane& plane = Flying(0, 100, 200, 0);
  for (int32_t shot = 0; shot < 8; ++shot) FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 6);
  EXPECT_EQ(plane.fired, 6);
  maxBullets = 1;
  plane.bulletCount = 0;
  FireBullet(0);
  FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 1);
}

TEST_F(GunsTest, DownedPlaneCannotFire) {
  Plane& plane = Flying(0, 100, 200, 0);
  plane.crashed = 1;
  FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 0);
  EXPECT_EQ(plane.fired, 0);
}

TEST_F(GunsTest, LimitAboveTheSlotCountStopsAtTwentyFive) {
  maxBullets = 40;
  Plane& plane = Flying(0, 100, 200, 0);
  const int32_t colourBefore = plane.color;
  for (int32_t shot = 0; shot < 40; ++shot) FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 25);
  EXPECT_EQ(plane.fired, 25);
  EXPECT_EQ(plane.color, colourBefore);  // nothing written past the slots
}

TEST_F(GunsTest, SlotFreedByTheUpdateCanBeUsedInTheSameFrame) {
  Plane& plane = Flying(0, 100, 200, 0);
  planes[1].onGround = 1;
  for (int32_t shot = 0; shot < 6; ++shot) FireBullet(0);
  plane.bullets[0].life = 1;  // the oldest makes its last move this frame
  FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 6);
  UpdateBullets();
  EXPECT_EQ(plane.bulletCount, 5);
  FireBullet(0);
  EXPECT_EQ(plane.bulletCount, 6);
  EXPECT_EQ(plane.fired, 7);
  EXPECT_EQ(plane.bullets[5].life, 26);
  EXPECT_EQ(plane.bullets[5].x, 148.0);
}

// ---- Flight of a bullet ----

TEST_F(GunsTest, BulletMakesTwentySixMovesTheLastFourSinking) {
  planes[1].onGround = 1;
  AddBullet(0, 10.0, 200.0, 20.0, 0.0);
  double expectedY = 200.0;
  for (int32_t move = 1; move <= 25; ++move) {
    UpdateBullets();
    ASSERT_EQ(planes[0].bulletCount, 1) << "move " << move;
    if (move >= 23) expectedY += 1.0;
    EXPECT_EQ(planes[0].bullets[0].y, expectedY) << "move " << move;
    EXPECT_EQ(planes[0].bullets[0].life, 26 - move);
  }
  EXPECT_EQ(planes[0].bullets[0].y, 203.0);
  UpdateBullets();
  EXPECT_EQ(planes[0].bulletCount, 0);
}

TEST_F(GunsTest, BulletWrapsAtTheSideEdges) {
  planes[1].onGround = 1;
  AddBullet(0, 555.0, 100.0, 20.0, 0.0);
  AddBullet(0, 15.0, 100.0, -20.0, 0.0);
  AddBullet(0, 540.0, 100.0, 20.0, 0.0);  // lands exactly on the edge
  AddBullet(0, 20.0, 100.0, -20.0, 0.0);  // lands exactly on 0
  UpdateBullets();
  EXPECT_EQ(planes[0].bullets[0].x, 15.0);
  EXPECT_EQ(planes[0].bullets[1].x, 555.0);
  EXPECT_EQ(planes[0].bullets[2].x, 560.0);
  EXPECT_EQ(planes[0].bullets[3].x, 0.0);
}

TEST_F(GunsTest, BulletLeavingThroughTheTopIsRemoved) {
  planes[1].onGround = 1;
  AddBullet(0, 100.0, 10.0, 0.0, -10.0);  // reaches exactly 0.0: stays
  AddBullet(0, 200.0, 10.0, 0.0, -10.5);  // -0.5: removed
  UpdateBullets();
  ASSERT_EQ(planes[0].bulletCount, 1);
  EXPECT_EQ(planes[0].bullets[0].x, 100.0);
  EXPECT_EQ(planes[0].bullets[0].y, 0.0);
}

TEST_F(GunsTest, BulletReachingTheGroundStripIsRemoved) {
  planes[1].onGround = 1;
  AddBullet(0, 100.0, 446.0, 0.0, 10.0);  // exactly 456.0: stays
  AddBullet(0, 200.0, 446.0, 0.0, 10.5);  // 456.5: removed
  UpdateBullets();
  ASSERT_EQ(planes[0].bulletCount, 1);
  EXPECT_EQ(planes[0].bullets[0].y, 456.0);
}

// ---- Hits ----

TEST_F(GunsTest, HitBoxIsTheStrictInnerSquare) {
  struct Case {
    double x;
    double y;
    bool hit;
  };
  // Target at (300, 200): the inner square runs from 308 to 324 and from 208 to 224.
  const Case cases[] = {
      {305.0, 215.0, false}, {305.5, 215.0, true}, {324.0, 215.0, false}, {323.5, 215.0, true},
      {315.0, 205.0, false}, {315.0, 205.5, true}, {315.0, 224.0, false}, {315.0, 223.5, true},
  };
  for (const Case& c : cases) {
    SetUp();
    Flying(0, 100, 100, 0);
    Flying(1, 300, 200, 0);
    AddBullet(0, c.x, c.y, 0.5, 0.5);
    UpdateBullets();
    EXPECT_EQ(planes[1].crashed, c.hit ? 1 : 0) << c.x << ", " << c.y;
    EXPECT_EQ(planes[0].bulletCount, c.hit ? 0 : 1) << c.x << ", " << c.y;
  }
}

TEST_F(GunsTest, HitIsJudgedOnTheTargetsScreenPosition) {
  Flying(0, 100, 100, 0);
  Plane& target = Flying(1, 300, 200, 0);
  target.x = 400.0;  // moved since it was drawn: the drawn position counts
  AddBullet(0, 315.0, 215.0, 0.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(target.crashed, 1);
}

TEST_F(GunsTest, HitIsTestedBeforeTheMove) {
  Flying(0, 100, 100, 0);
  Plane& target = Flying(1, 300, 200, 0);
  AddBullet(0, 290.0, 215.0, 20.0, 0.0);  // would be at 310 after the move
  UpdateBullets();
  EXPECT_EQ(target.crashed, 0);
  UpdateBullets();  // tested at 310
  EXPECT_EQ(target.crashed, 1);
}

TEST_F(GunsTest, HitDownsTheTargetAndScoresForTheShooter) {
  Plane& shooter = Flying(0, 100, 100, 0);
  Plane& target = Flying(1, 300, 200, 0);
  target.score = 3;
  target.kills = 1;
  target.crashes = 2;
  AddBullet(0, 315.0, 215.0, 20.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(target.crashed, 1);
  EXPECT_EQ(target.crashTimer, 8);
  EXPECT_EQ(shooter.kills, 1);
  EXPECT_EQ(shooter.score, 2);
  EXPECT_EQ(shooter.bulletCount, 0);
  EXPECT_EQ(target.score, 3);
  EXPECT_EQ(target.kills, 1);
  EXPECT_EQ(target.crashes, 2);
}

TEST_F(GunsTest, BulletsPassPlanesOnTheGroundOrAlreadyDown) {
  Flying(0, 100, 100, 0);
  Plane& target = planes[1];
  target.screenX = 300;
  target.screenY = 200;
  target.onGround = 1;
  AddBullet(0, 315.0, 215.0, 0.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(target.crashed, 0);
  EXPECT_EQ(planes[0].bulletCount, 1);

  target.onGround = 0;
  target.crashed = 1;
  target.crashTimer = 3;
  UpdateBullets();
  EXPECT_EQ(target.crashTimer, 3);
  EXPECT_EQ(planes[0].kills, 0);
  EXPECT_EQ(planes[0].bulletCount, 1);
}

TEST_F(GunsTest, BulletNeverHitsItsOwnPlane) {
  Plane& own = Flying(0, 300, 200, 0);
  planes[1].onGround = 1;
  AddBullet(0, 315.0, 215.0, 0.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(own.crashed, 0);
  EXPECT_EQ(own.bulletCount, 1);
}

TEST_F(GunsTest, SecondPlanesBulletsHitTheFirst) {
  Plane& target = Flying(0, 300, 200, 0);
  Plane& shooter = Flying(1, 100, 100, 0);
  AddBullet(1, 315.0, 215.0, 0.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(target.crashed, 1);
  EXPECT_EQ(shooter.kills, 1);
  EXPECT_EQ(shooter.score, 2);
}

TEST_F(GunsTest, BulletsOfADownedShooterStillScore) {
  Plane& shooter = Flying(0, 100, 100, 0);
  shooter.crashed = 1;
  Flying(1, 300, 200, 0);
  AddBullet(0, 315.0, 215.0, 0.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(planes[1].crashed, 1);
  EXPECT_EQ(shooter.score, 2);
}

// ---- Order of the bullets ----

TEST_F(GunsTest, BulletsBehindARemovedOneAreStillMovedOnce) {
  planes[1].onGround = 1;
  AddBullet(0, 100.0, 100.0, 20.0, 0.0, 1);  // its last move
  AddBullet(0, 200.0, 100.0, 20.0, 0.0);
  AddBullet(0, 300.0, 100.0, 20.0, 0.0);
  UpdateBullets();
  ASSERT_EQ(planes[0].bulletCount, 2);
  EXPECT_EQ(planes[0].bullets[0].x, 220.0);
  EXPECT_EQ(planes[0].bullets[1].x, 320.0);
  EXPECT_EQ(planes[0].bullets[0].life, 25);
  EXPECT_EQ(planes[0].bullets[1].life, 25);
}

TEST_F(GunsTest, BulletsBehindAHitAreStillMovedOnceAndTheHitOneIsNot) {
  Flying(0, 100, 100, 0);
  Plane& target = Flying(1, 300, 200, 0);
  AddBullet(0, 400.0, 300.0, 20.0, 0.0);
  AddBullet(0, 315.0, 215.0, 20.0, 0.0);  // hits
  AddBullet(0, 200.0, 100.0, 20.0, 0.0);
  AddBullet(0, 150.0, 100.0, 20.0, 0.0);
  UpdateBullets();
  EXPECT_EQ(target.crashed, 1);
  ASSERT_EQ(planes[0].bulletCount, 3);
  EXPECT_EQ(planes[0].bullets[0].x, 420.0);
  EXPECT_EQ(planes[0].bullets[1].x, 220.0);
  EXPECT_EQ(planes[0].bullets[2].x, 170.0);
  EXPECT_EQ(planes[0].kills, 1);
}

TEST_F(GunsTest, SeveralRemovalsInOneFrameKeepTheRestInOrder) {
  planes[1].onGround = 1;
  AddBullet(0, 10.0, 5.0, 0.0, -10.0);     // leaves through the top
  AddBullet(0, 20.0, 450.0, 0.0, 10.0);    // reaches the ground strip
  AddBullet(0, 30.0, 100.0, 1.0, 0.0);     // stays
  AddBullet(0, 40.0, 100.0, 1.0, 0.0, 1);  // expires
  AddBullet(0, 50.0, 100.0, 1.0, 0.0);     // stays
  UpdateBullets();
  ASSERT_EQ(planes[0].bulletCount, 2);
  EXPECT_EQ(planes[0].bullets[0].x, 31.0);
  EXPECT_EQ(planes[0].bullets[1].x, 51.0);
}

TEST_F(GunsTest, RemoveBulletShiftsTheYoungerOnesDown) {
  for (int32_t i = 0; i < 4; ++i) AddBullet(1, 10.0 * i, 0.0, 0.0, 0.0, i);
  RemoveBullet(1, 1);
  ASSERT_EQ(planes[1].bulletCount, 3);
  EXPECT_EQ(planes[1].bullets[0].x, 0.0);
  EXPECT_EQ(planes[1].bullets[1].x, 20.0);
  EXPECT_EQ(planes[1].bullets[2].x, 30.0);
  EXPECT_EQ(planes[1].bullets[2].life, 3);
  RemoveBullet(2, 1);  // the youngest
  EXPECT_EQ(planes[1].bulletCount, 2);
  EXPECT_EQ(planes[1].bullets[1].x, 20.0);
}

TEST_F(GunsTest, RemoveBulletIgnoresSlotsNotInFlight) {
  AddBullet(0, 10.0, 0.0, 0.0, 0.0);
  RemoveBullet(1, 0);
  RemoveBullet(-1, 0);
  EXPECT_EQ(planes[0].bulletCount, 1);
}

TEST_F(GunsTest, FullSetOfSlotsIsUpdatedWithoutRunningPastThem) {
  maxBullets = 25;
  planes[1].onGround = 1;
  for (int32_t i = 0; i < 25; ++i) AddBullet(0, 10.0 + i, 100.0, 1.0, 0.0);
  UpdateBullets();
  ASSERT_EQ(planes[0].bulletCount, 25);
  EXPECT_EQ(planes[0].bullets[0].x, 11.0);
  EXPECT_EQ(planes[0].bullets[24].x, 35.0);
}

}  // namespace
