#include "game/controls.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/flight.h"
#include "game/state.h"
#include "platform/keys.h"
#include "shell/shell.h"
#include "test_support.h"

namespace {

using platform::VK_CONTROL;
using platform::VK_KEY_C;
using platform::VK_KEY_V;
using platform::VK_KEY_Z;
using platform::VK_LEFT;
using platform::VK_MENU;
using platform::VK_RIGHT;
using platform::VK_SHIFT;

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    platform::ClearMessages();
    ReturnToMenu();
    gameMode = MODE_MATCH;
    cpuPlayers = 0;
    scripted::Install();
  }
  void TearDown() override {
    scripted::Uninstall();
    ResetShell();
    platform::ClearMessages();
  }

  static Plane& Flying(int32_t index, double x, double y, int32_t heading, double speed) {
    Plane& plane = planes[index];
    plane.x = x;
    plane.y = y;
    plane.screenX = static_cast<int32_t>(x);
    plane.screenY = static_cast<int32_t>(y);
    plane.headingIndex = heading;
    plane.speed = speed;
    plane.onGround = 0;
    return plane;
  }
};

// ---- Take-off ----

TEST_F(ControlsTest, GasFromStandstillReachesTakeOffSpeedInTheTenthFrame) {
  Plane& plane = planes[0];
  scripted::Hold(VK_CONTROL);
  scripted::Hold(VK_LEFT);
  for (int32_t frame = 1; frame <= 9; ++frame) {
    Player1Controls();
    EXPECT_NEAR(plane.speed, 0.65 * frame, 1e-9) << "frame " << frame;
    EXPECT_EQ(plane.onGround, 1) << "frame " << frame;
    EXPECT_EQ(plane.headingIndex, 0);
    EXPECT_EQ(plane.y, 420.0);
  }
  EXPECT_NEAR(plane.speed, 5.85, 1e-9);
  Player1Controls();
  EXPECT_NEAR(plane.speed, 6.5, 1e-9);
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.headingIndex, 1);
  // The frame of the take-off already moves the plane along its new heading.
  EXPECT_NEAR(plane.y, 420.0 - std::sin(0.1745) * 6.5, 1e-9);
}

TEST_F(ControlsTest, NoseUpBelowTakeOffSpeedDoesNothing) {
  Plane& plane = planes[0];
  plane.speed = 5.99;
  scripted::Hold(VK_LEFT);
  Player1Controls();
  EXPECT_EQ(plane.onGround, 1);
  EXPECT_EQ(plane.headingIndex, 0);
  EXPECT_EQ(plane.x, 15.99);
  EXPECT_EQ(plane.y, 420.0);
  plane.speed = 6.0;
  Player1Controls();
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.headingIndex, 1);
}

TEST_F(ControlsTest, RunwayTopSpeedIsTen) {
  Plane& plane = planes[0];
  scripted::Hold(VK_CONTROL);
  for (int32_t frame = 0; frame < 20; ++frame) Player1Controls();
  EXPECT_EQ(plane.speed, 10.0);
  // Cut back also without gas.
  scripted::ReleaseAll();
  plane.speed = 12.0;
  plane.x = 10.0;
  Player1Controls();
  EXPECT_EQ(plane.speed, 10.0);
  EXPECT_EQ(plane.x, 20.0);
}

TEST_F(ControlsTest, GasInTheAirGivesTenPointSixFiveAtMost) {
  Plane& plane = Flying(0, 100.0, 200.0, 0, 10.0);
  scripted::Hold(VK_CONTROL);
  Player1Controls();
  EXPECT_NEAR(plane.speed, 10.65, 1e-12);
  Player1Controls();
  Player1Controls();
  EXPECT_NEAR(plane.speed, 10.65, 1e-12);
  plane.speed = std::nextafter(10.0, 11.0);
  Player1Controls();
  EXPECT_EQ(plane.speed, std::nextafter(10.0, 11.0));
}

TEST_F(ControlsTest, FireAndNoseDownAreIgnoredOnTheRunway) {
  Plane& plane = planes[0];
  plane.speed = 7.0;
  scripted::Hold(VK_SHIFT);
  scripted::Hold(VK_RIGHT);
  Player1Controls();
  EXPECT_EQ(plane.bulletCount, 0);
  EXPECT_EQ(plane.fired, 0);
  EXPECT_EQ(plane.headingIndex, 0);
  EXPECT_EQ(plane.onGround, 1);
}

TEST_F(ControlsTest, NoseDownHeldWithNoseUpDoesNotStopATakeOff) {
  Plane& plane = planes[0];
  plane.speed = 7.0;
  scripted::Hold(VK_LEFT);
  scripted::Hold(VK_RIGHT);
  Player1Controls();
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.headingIndex, 1);
}

TEST_F(ControlsTest, RollingPlaneWrapsPastTheRightEdge) {
  Plane& plane = planes[1];
  plane.x = 555.0;
  plane.speed = 6.0;
  Player2Controls();
  EXPECT_EQ(plane.x, 0.0);
  plane.x = 554.0;
  Player2Controls();
  EXPECT_EQ(plane.x, 560.0);
}

// ---- Turning ----

TEST_F(ControlsTest, NoseUpTurnsAFullLoopInThirtySixFrames) {
  Plane& plane = Flying(0, 100.0, 200.0, 0, 8.0);
  scripted::Hold(VK_LEFT);
  for (int32_t frame = 1; frame <= 36; ++frame) {
    Player1Controls();
    EXPECT_EQ(plane.headingIndex, frame % 36) << "frame " << frame;
  }
}

TEST_F(ControlsTest, NoseDownTurnsClockwiseAndWrapsBelowZero) {
  Plane& plane = Flying(0, 100.0, 200.0, 1, 8.0);
  scripted::Hold(VK_RIGHT);
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 0);
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 35);
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 34);
}

TEST_F(ControlsTest, TurnComesBeforeTheMove) {
  Plane& plane = Flying(0, 100.0, 200.0, 0, 8.0);
  scripted::Hold(VK_LEFT);
  Player1Controls();
  EXPECT_NEAR(plane.y, 200.0 - std::sin(0.1745) * 8.0, 1e-12);
  EXPECT_NEAR(plane.x, 100.0 + std::cos(0.1745) * 8.0, 1e-12);
}

TEST_F(ControlsTest, BulletLeavesWithHeadingThirtySixWhenTurningPastThirtyFive) {
  Plane& plane = Flying(0, 100.0, 200.0, 35, 8.0);
  scripted::Hold(VK_LEFT);
  scripted::Hold(VK_SHIFT);
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 0);
  ASSERT_EQ(plane.bulletCount, 1);
  // 36 * 0.1745 = 6.282, a hair short of a full turn: the bullet drifts down very slightly.
  EXPECT_NEAR(plane.bullets[0].vy, -20.0 * std::sin(6.282), 1e-12);
  EXPECT_GT(plane.bullets[0].vy, 0.02);
}

TEST_F(ControlsTest, BulletLeavesWithHeadingMinusOneWhenTurningPastZero) {
  Plane& plane = Flying(0, 100.0, 200.0, 0, 8.0);
  scripted::Hold(VK_RIGHT);
  scripted::Hold(VK_SHIFT);
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 35);
  ASSERT_EQ(plane.bulletCount, 1);
  EXPECT_NEAR(plane.bullets[0].vy, -20.0 * std::sin(-0.1745), 1e-12);
  EXPECT_NEAR(plane.bullets[0].vx, 20.0 * std::cos(-0.1745), 1e-12);
  // Heading 35 would give a slightly different direction.
  EXPECT_GT(std::fabs(plane.bullets[0].vy - (-20.0 * std::sin(35 * 0.1745))), 0.01);
}

TEST_F(ControlsTest, BothNoseKeysCancelButGasAndFireStillAct) {
  Plane& plane = Flying(0, 100.0, 200.0, 5, 8.0);
  scripted::Hold(VK_LEFT);
  scripted::Hold(VK_RIGHT);
  scripted::Hold(VK_CONTROL);
  scripted::Hold(VK_SHIFT);
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 5);
  EXPECT_NEAR(plane.speed, 8.65, 1e-12);
  EXPECT_EQ(plane.bulletCount, 1);
}

TEST_F(ControlsTest, HoldingFireShootsOncePerFrameUpToTheLimit) {
  Plane& plane = Flying(0, 100.0, 200.0, 0, 8.0);
  scripted::Hold(VK_SHIFT);
  for (int32_t frame = 1; frame <= 8; ++frame) {
    Player1Controls();
    EXPECT_EQ(plane.bulletCount, frame < 6 ? frame : 6);
  }
  EXPECT_EQ(plane.fired, 6);
}

// ---- A plane that is down ----

TEST_F(ControlsTest, DownedPlaneStillTurnsAndSpeedsButNeitherFiresNorMoves) {
  Plane& plane = Flying(0, 100.0, 200.0, 5, 8.0);
  plane.crashed = 1;
  scripted::Hold(VK_LEFT);
  scripted::Hold(VK_CONTROL);
  scripted::Hold(VK_SHIFT);
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 6);
  EXPECT_NEAR(plane.speed, 8.65, 1e-12);
  EXPECT_EQ(plane.fired, 0);
  EXPECT_EQ(plane.x, 100.0);
  EXPECT_EQ(plane.y, 200.0);
}

TEST_F(ControlsTest, PlaneBurningInTheTowerOnTheRunwayCanStillLiftAndThenSinks) {
  Plane& plane = planes[0];
  plane.x = 250.0;
  plane.speed = 6.5;
  UpdatePlanes();
  ASSERT_EQ(plane.crashed, 1);
  scripted::Hold(VK_LEFT);
  Player1Controls();
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.x, 250.0);
  ApplyGravity(0);
  EXPECT_EQ(plane.y, 421.0);
}

// ---- Whose keys move which plane ----

TEST_F(ControlsTest, PlayerTwoFliesPlaneTwoWithAltZCAndV) {
  Plane& two = Flying(1, 300.0, 200.0, 5, 8.0);
  scripted::Hold(VK_MENU);
  scripted::Hold(VK_KEY_Z);
  scripted::Hold(VK_KEY_C);
  Player2Controls();
  EXPECT_EQ(two.headingIndex, 6);
  EXPECT_NEAR(two.speed, 8.65, 1e-12);
  EXPECT_EQ(two.bulletCount, 1);
  scripted::ReleaseAll();
  scripted::Hold(VK_KEY_V);
  Player2Controls();
  EXPECT_EQ(two.headingIndex, 5);
  EXPECT_EQ(planes[0].x, 10.0);
  EXPECT_EQ(planes[0].speed, 0.0);
}

TEST_F(ControlsTest, EachPlayerIgnoresTheOthersKeys) {
  Plane& one = Flying(0, 100.0, 200.0, 5, 8.0);
  Plane& two = Flying(1, 300.0, 200.0, 5, 8.0);
  scripted::Hold(VK_MENU);
  scripted::Hold(VK_KEY_Z);
  scripted::Hold(VK_KEY_C);
  Player1Controls();
  EXPECT_EQ(one.headingIndex, 5);
  EXPECT_EQ(one.speed, 8.0);
  EXPECT_EQ(one.bulletCount, 0);
  scripted::ReleaseAll();
  scripted::Hold(VK_CONTROL);
  scripted::Hold(VK_SHIFT);
  scripted::Hold(VK_RIGHT);
  Player2Controls();
  EXPECT_EQ(two.headingIndex, 5);
  EXPECT_EQ(two.speed, 8.0);
  EXPECT_EQ(two.bulletCount, 0);
}

TEST_F(ControlsTest, WithTheComputerFlyingBothPlanesNoKeyActs) {
  cpuPlayers = 2;
  scripted::Hold(VK_CONTROL);
  scripted::Hold(VK_LEFT);
  planes[0].speed = 7.0;
  Player1Controls();
  EXPECT_EQ(planes[0].speed, 7.0);
  EXPECT_EQ(planes[0].x, 10.0);
  EXPECT_EQ(planes[0].onGround, 1);
}

TEST_F(ControlsTest, WithOneComputerPlayerPlayerOneStillFlies) {
  cpuPlayers = 1;
  scripted::Hold(VK_CONTROL);
  Player1Controls();
  EXPECT_NEAR(planes[0].speed, 0.65, 1e-12);
}

// ---- Panel buttons ----

enum Action { NONE, MENU, QUIT };

Action ActionOfClickAt(int32_t x, int32_t y) {
  ResetShell();
  platform::ClearMessages();
  gameMode = MODE_MATCH;
  scripted::Click(x, y, 2);
  Player1Controls();
  if (IsQuitting()) return QUIT;
  return gameMode == MODE_MENU ? MENU : NONE;
}

TEST_F(ControlsTest, PanelButtonBoundsAreStrict) {
  struct Case {
    int32_t x;
    int32_t y;
    Action action;
  };
  const Case cases[] = {
      {561, 430, MENU}, {560, 430, NONE}, {639, 430, MENU}, {640, 430, NONE}, {600, 416, NONE},
      {600, 417, MENU}, {600, 447, MENU}, {600, 448, NONE}, {600, 449, QUIT}, {600, 479, QUIT},
      {600, 480, NONE}, {561, 460, QUIT}, {560, 460, NONE}, {300, 430, NONE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ActionOfClickAt(c.x, c.y), c.action) << c.x << ", " << c.y;
  }
}

TEST_F(ControlsTest, ButtonsFollowTheScreenSize) {
  SetScreenSize(800, 600);
  // Main Menu: 721..799 x 537..567; Quit: 721..799 x 569..599.
  EXPECT_EQ(ActionOfClickAt(721, 537), MENU);
  EXPECT_EQ(ActionOfClickAt(720, 550), NONE);
  EXPECT_EQ(ActionOfClickAt(750, 568), NONE);
  EXPECT_EQ(ActionOfClickAt(799, 599), QUIT);
}

TEST_F(ControlsTest, NothingHappensWithoutTheButtonDown) {
  scripted::cursorX = 600;
  scripted::cursorY = 430;
  Player1Controls();
  EXPECT_EQ(gameMode, MODE_MATCH);
  EXPECT_EQ(scripted::buttonPolls, 1);
}

TEST_F(ControlsTest, ButtonActsOnlyAfterItIsReleased) {
  scripted::Click(600, 430, 5);
  Player1Controls();
  EXPECT_EQ(gameMode, MODE_MENU);
  // One look, then polled while held until it reads up once.
  EXPECT_EQ(scripted::buttonPolls, 6);
  ASSERT_EQ(scripted::modesWhileDownCount, 5);
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(scripted::modesWhileDown[i], MODE_MATCH);
}

TEST_F(ControlsTest, PressOutsideAButtonDoesNotWait) {
  scripted::Click(600, 448, 5);
  Player1Controls();
  EXPECT_EQ(scripted::buttonPolls, 1);
  EXPECT_EQ(gameMode, MODE_MATCH);
}

TEST_F(ControlsTest, ClickThatStartsOnAButtonActsEvenIfTheMouseLeavesIt) {
  scripted::Click(600, 460, 3);
  scripted::moveCursorAfterPoll = true;
  scripted::movedX = 100;
  scripted::movedY = 100;
  Player1Controls();
  EXPECT_TRUE(IsQuitting());
}

TEST_F(ControlsTest, FrameGoesOnAfterMainMenu) {
  Flying(0, 200.0, 100.0, 7, 9.0);
  planes[0].score = 3;
  scripted::Hold(VK_CONTROL);
  scripted::Click(600, 430, 1);
  Player1Controls();
  EXPECT_EQ(gameMode, MODE_MENU);
  EXPECT_EQ(planes[0].score, 0);
  // The reset plane already took this frame's gas: the next match starts rolling.
  EXPECT_NEAR(planes[0].speed, 0.65, 1e-12);
  EXPECT_NEAR(planes[0].x, 10.65, 1e-12);
  EXPECT_EQ(planes[0].onGround, 1);
}

TEST_F(ControlsTest, FrameGoesOnAfterQuit) {
  Flying(0, 200.0, 100.0, 0, 5.0);
  scripted::Hold(VK_CONTROL);
  scripted::Click(600, 460, 1);
  Player1Controls();
  EXPECT_TRUE(IsQuitting());
  EXPECT_NEAR(planes[0].speed, 5.65, 1e-12);
  EXPECT_NEAR(planes[0].x, 205.65, 1e-12);
}

TEST_F(ControlsTest, WithTheComputerFlyingBothPlanesTheButtonsStillWork) {
  cpuPlayers = 2;
  EXPECT_EQ(ActionOfClickAt(600, 430), MENU);
  EXPECT_EQ(ActionOfClickAt(600, 470), QUIT);
}

TEST_F(ControlsTest, PanelButtonsServedAloneMoveNoPlane) {
  // While paused the match frame serves the buttons by themselves.
  scripted::Hold(VK_CONTROL);
  scripted::Click(600, 430, 1);
  ServePanelButtons();
  EXPECT_EQ(gameMode, MODE_MENU);
  EXPECT_EQ(planes[0].speed, 0.0);
  ResetShell();
  scripted::Click(600, 470, 1);
  ServePanelButtons();
  EXPECT_TRUE(IsQuitting());
  EXPECT_EQ(planes[0].x, 10.0);
}

// ---- The control rules themselves ----

TEST_F(ControlsTest, OnTheRunwayGasComesBeforeTheTopSpeedAndTheTakeOffCheck) {
  Plane& plane = planes[0];
  plane.speed = 9.9;
  ApplyControlCommands(0, 1, TURN_NONE, 0);
  EXPECT_EQ(plane.speed, 10.0);
  plane.speed = 5.5;
  ApplyControlCommands(0, 1, TURN_NOSE_UP, 0);  // 6.15 after the gas: lifts off
  EXPECT_EQ(plane.onGround, 0);
}

TEST_F(ControlsTest, InTheAirGasIsTestedAfterTheTurnAndFireBeforeTheWrap) {
  Plane& plane = Flying(1, 300.0, 200.0, 35, 10.0);
  ApplyControlCommands(1, 1, TURN_NOSE_UP, 1);
  EXPECT_EQ(plane.headingIndex, 0);
  EXPECT_NEAR(plane.speed, 10.65, 1e-12);
  ASSERT_EQ(plane.bulletCount, 1);
  EXPECT_GT(plane.bullets[0].vy, 0.0);
  // The muzzle was placed from the position before this frame's move.
  EXPECT_NEAR(plane.bullets[0].x, 316.0 + 32.0 * std::cos(6.282), 1e-9);
  EXPECT_NEAR(plane.x, 310.65, 1e-12);
}

}  // namespace
