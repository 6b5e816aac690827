#include "game/controls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "game/flight.h"
#include "game/state.h"
#include "platform/keys.h"
#include "shell/shell.h"
#include "tests/support/fake_input.h"

namespace {

using namespace platform;  // the VK_ key names

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    ClearMessages();
    ReturnToMenu();
    gameMode = MODE_MATCH;
    cpuPlayers = 0;
    fake::Install();
  }
  void TearDown() override {
    fake::Uninstall();
    ResetShell();
    ClearMessages();
  }

  static void Hold(std::initializer_list<int32_t> keys) {
    for (int32_t key : keys) fake::keys[key] = true;
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
  Hold({VK_CONTROL, VK_LEFT});
  for (int32_t frame = 1; frame <= 9; ++frame) {
    Player1Controls();
    EXPECT_NEAR(plane.speed, 0.65 * frame, 1e-9) << "frame " << frame;
    EXPECT_EQ(plane.onGround, 1) << "frame " << frame;
  }
  Player1Controls();
  EXPECT_NEAR(plane.speed, 6.5, 1e-9);
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.headingIndex, 1);
  // The frame of the take-off already moves the plane along its new heading.
  EXPECT_NEAR(plane.y, 420.0 - std::sin(0.1745) * 6.5, 1e-9);
}

TEST_F(ControlsTest, NoseUpBelowTakeOffSpeedDoesNothingAndOnlyGasAndNoseUpCountOnTheRunway) {
  Plane& plane = planes[0];
  plane.speed = 5.99;
  Hold({VK_LEFT, VK_SHIFT, VK_RIGHT});
  Player1Controls();
  EXPECT_EQ(plane.onGround, 1);
  EXPECT_EQ(plane.headingIndex, 0);
  EXPECT_EQ(plane.x, 15.99);
  EXPECT_EQ(plane.fired, 0);
  plane.speed = 6.0;
  Player1Controls();  // nose down held too does not stop the take-off
  EXPECT_EQ(plane.onGround, 0);
  EXPECT_EQ(plane.headingIndex, 1);
}

TEST_F(ControlsTest, RunwayTopSpeedIsTen) {
  Plane& plane = planes[0];
  Hold({VK_CONTROL});
  // The gas is added first, then the speed is cut back: 10.4 in frame 16 already reads 10.
  for (int32_t frame = 1; frame <= 20; ++frame) {
    Player1Controls();
    EXPECT_NEAR(plane.speed, frame < 16 ? 0.65 * frame : 10.0, 1e-9) << "frame " << frame;
  }
  fake::keys[VK_CONTROL] = false;  // cut back also without gas
  plane.speed = 12.0;
  plane.x = 10.0;
  Player1Controls();
  EXPECT_EQ(plane.speed, 10.0);
  EXPECT_EQ(plane.x, 20.0);
  // Gas comes before the take-off check too.
  plane.speed = 5.5;
  ApplyControlCommands(0, 1, TURN_NOSE_UP, 0);  // 6.15 after the gas: lifts off
  EXPECT_EQ(plane.onGround, 0);
}

TEST_F(ControlsTest, RollingPlaneWrapsPastTheRightEdge) {
  Plane& plane = planes[1];
  plane.x = 554.0;
  plane.speed = 6.0;
  Player2Controls();
  EXPECT_EQ(plane.x, 560.0);
  plane.x = 555.0;
  Player2Controls();
  EXPECT_EQ(plane.x, 0.0);
}

TEST_F(ControlsTest, GasInTheAirGivesTenPointSixFiveAtMost) {
  Plane& plane = Flying(0, 100.0, 200.0, 0, 10.0);
  Hold({VK_CONTROL});
  Player1Controls();
  EXPECT_NEAR(plane.speed, 10.65, 1e-12);
  Player1Controls();
  EXPECT_NEAR(plane.speed, 10.65, 1e-12);
  plane.speed = std::nextafter(10.0, 11.0);
  Player1Controls();
  EXPECT_EQ(plane.speed, std::nextafter(10.0, 11.0));
}

// ---- Turning ----

TEST_F(ControlsTest, NoseUpTurnsAFullLoopInThirtySixFrames) {
  Plane& plane = Flying(0, 100.0, 200.0, 0, 8.0);
  Hold({VK_LEFT});
  for (int32_t frame = 1; frame <= 36; ++frame) {
    Player1Controls();
    EXPECT_EQ(plane.headingIndex, frame % 36) << "frame " << frame;
  }
}

TEST_F(ControlsTest, BulletLeavesWithTheHeadingAsTurnedBeforeTheWrap) {
  // Turning up past 35 fires along 36 (6.282 radians, a hair short of a turn: slightly down);
  // turning down past 0 fires along -1.
  // {from, key, to, fired along}
  const int32_t cases[][4] = {{35, VK_LEFT, 0, 36}, {0, VK_RIGHT, 35, -1}};
  for (const auto& c : cases) {
    SetUp();
    Plane& plane = Flying(0, 100.0, 200.0, c[0], 8.0);
    Hold({c[1], VK_SHIFT});
    Player1Controls();
    SCOPED_TRACE(c[0]);
    EXPECT_EQ(plane.headingIndex, c[2]);
    ASSERT_EQ(plane.bulletCount, 1);
    EXPECT_NEAR(plane.bullets[0].vy, -20.0 * std::sin(c[3] * 0.1745), 1e-12);
    EXPECT_GT(std::fabs(plane.bullets[0].vy - (-20.0 * std::sin(c[2] * 0.1745))), 0.01);
  }
}

TEST_F(ControlsTest, InTheAirGasIsTestedAfterTheTurnAndTheMoveUsesTheWrappedHeading) {
  Plane& plane = Flying(1, 300.0, 200.0, 35, 10.0);
  ApplyControlCommands(1, 1, TURN_NOSE_UP, 1);
  EXPECT_NEAR(plane.speed, 10.65, 1e-12);
  ASSERT_EQ(plane.bulletCount, 1);
  // The muzzle was placed from the position before this frame's move.
  EXPECT_NEAR(plane.bullets[0].x, 316.0 + 32.0 * std::cos(6.282), 1e-9);
  EXPECT_NEAR(plane.x, 310.65, 1e-12);
  EXPECT_EQ(plane.y, 200.0);
}

TEST_F(ControlsTest, BothNoseKeysCancelButGasAndFireStillAct) {
  Plane& plane = Flying(0, 100.0, 200.0, 5, 8.0);
  Hold({VK_LEFT, VK_RIGHT, VK_CONTROL, VK_SHIFT});
  Player1Controls();
  EXPECT_EQ(plane.headingIndex, 5);
  EXPECT_NEAR(plane.speed, 8.65, 1e-12);
  EXPECT_EQ(plane.bulletCount, 1);
}

// ---- Whose keys move which plane ----

TEST_F(ControlsTest, EachPlayerIgnoresTheOthersKeys) {
  // Player 2's own keys are checked against the computer's commands in the pilot tests.
  Plane& one = Flying(0, 100.0, 200.0, 5, 8.0);
  Plane& two = Flying(1, 300.0, 200.0, 5, 8.0);
  Hold({VK_MENU, VK_KEY_Z, VK_KEY_C});
  Player1Controls();
  EXPECT_EQ(one.headingIndex, 5);
  EXPECT_EQ(one.speed, 8.0);
  EXPECT_EQ(one.bulletCount, 0);
  fake::Install();
  Hold({VK_CONTROL, VK_SHIFT, VK_LEFT});
  Player2Controls();
  EXPECT_EQ(two.headingIndex, 5);
  EXPECT_EQ(two.speed, 8.0);
  EXPECT_EQ(two.bulletCount, 0);
}

// ---- Panel buttons ----

enum Action { NONE, MENU, QUIT };

Action ActionOfClickAt(int32_t x, int32_t y) {
  ResetShell();
  ClearMessages();
  gameMode = MODE_MATCH;
  fake::buttonPolls = 0;
  fake::Click(x, y, 2);
  Player1Controls();
  if (IsQuitting()) return QUIT;
  return gameMode == MODE_MENU ? MENU : NONE;
}

TEST_F(ControlsTest, WithTheComputerFlyingBothPlanesNoKeyActsButTheButtonsWork) {
  Hold({VK_CONTROL, VK_LEFT});
  planes[0].speed = 7.0;
  cpuPlayers = 2;
  Player1Controls();
  EXPECT_EQ(planes[0].speed, 7.0);
  EXPECT_EQ(planes[0].x, 10.0);
  EXPECT_EQ(ActionOfClickAt(600, 470), QUIT);
  cpuPlayers = 1;  // with one computer player, player 1 still flies
  Player1Controls();
  EXPECT_NEAR(planes[0].speed, 7.65, 1e-12);
  EXPECT_EQ(planes[0].onGround, 0);
}

TEST_F(ControlsTest, PanelButtonBoundsAreStrict) {
  // {x, y, action}
  const int32_t cases[][3] = {
      {561, 430, MENU}, {560, 430, NONE}, {639, 430, MENU}, {640, 430, NONE}, {600, 416, NONE},
      {600, 417, MENU}, {600, 447, MENU}, {600, 448, NONE}, {600, 449, QUIT}, {600, 479, QUIT},
      {600, 480, NONE}, {561, 460, QUIT}, {560, 460, NONE}, {300, 430, NONE}};
  for (const auto& c : cases) {
    EXPECT_EQ(ActionOfClickAt(c[0], c[1]), c[2]) << c[0] << ", " << c[1];
    // A press outside the buttons is looked at once and not waited on.
    EXPECT_TRUE(c[2] != NONE || fake::buttonPolls == 1) << c[0] << ", " << c[1];
  }
  // They follow the screen size: Main Menu 721..799 x 537..567, Quit 721..799 x 569..599.
  SetScreenSize(800, 600);
  EXPECT_EQ(ActionOfClickAt(721, 537), MENU);
  EXPECT_EQ(ActionOfClickAt(720, 550), NONE);
  EXPECT_EQ(ActionOfClickAt(750, 568), NONE);
  EXPECT_EQ(ActionOfClickAt(799, 599), QUIT);
}

// Every mode seen by a poll that found the button still held.
int32_t modesWhileDown[8];
int32_t modesWhileDownCount = 0;

TEST_F(ControlsTest, ButtonActsOnlyAfterItIsReleased) {
  modesWhileDownCount = 0;
  fake::onButtonPoll = [] {
    if (fake::buttonPollsLeft > 0 && modesWhileDownCount < 8) {
      modesWhileDown[modesWhileDownCount++] = gameMode;
    }
  };
  fake::Click(600, 430, 5);
  Player1Controls();
  EXPECT_EQ(gameMode, MODE_MENU);
  // One look, then polled while held until it reads up once.
  EXPECT_EQ(fake::buttonPolls, 6);
  ASSERT_EQ(modesWhileDownCount, 5);
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(modesWhileDown[i], MODE_MATCH);
}

TEST_F(ControlsTest, ClickThatStartsOnAButtonActsEvenIfTheMouseLeavesIt) {
  fake::onButtonPoll = [] { fake::cursorX = fake::cursorY = 100; };
  fake::Click(600, 460, 3);
  Player1Controls();
  EXPECT_TRUE(IsQuitting());
}

TEST_F(ControlsTest, FrameGoesOnAfterMainMenu) {
  Flying(0, 200.0, 100.0, 7, 9.0);
  planes[0].score = 3;
  Hold({VK_CONTROL});
  fake::Click(600, 430, 1);
  Player1Controls();
  EXPECT_EQ(gameMode, MODE_MENU);
  EXPECT_EQ(planes[0].score, 0);
  // The reset plane already took this frame's gas: the next match starts rolling.
  EXPECT_NEAR(planes[0].speed, 0.65, 1e-12);
  EXPECT_NEAR(planes[0].x, 10.65, 1e-12);
  EXPECT_EQ(planes[0].onGround, 1);
}

}  // namespace
