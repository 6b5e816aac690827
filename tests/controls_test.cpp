#include "game/controls.h"

#include <gtest/gtest.h>

#include "support/planes.h"

namespace {

using namespace fake;
using std::tuple;

// Set when a panel button acted while the mouse button was still held.
bool early = false;
// At the third poll the window is closed, or else switched away from.
bool closing = false;

class ControlsTest : public testplanes::Fresh {
 protected:
  void SetUp() override {
    Fresh::SetUp();
    early = false;
    onButtonPoll = [] { early |= buttonPollsLeft > 0 && (gameMode == MODE_MENU || IsQuitting()); };
  }
};

// On the runway: lift-off from 6.0 on, a top speed of 10, and the right edge wraps at once.
TEST_F(ControlsTest, Runway) {
  // {x, speed, nose up, then x, speed, heading}
  const double cases[][6] = {{100, 6, 1, 105.9089, 6, 1},
                             {100, 5.99, 1, 105.99, 5.99, 0},
                             {10, 12, 0, 20, 10, 0},
                             {554, 6, 0, 560, 6, 0},
                             {555, 6, 0, 0, 6, 0}};
  for (const auto& c : cases) {
    SetUp();
    std::tie(planes[1].x, planes[1].speed) = tuple(c[0], c[1]);
    ApplyControlCommands(1, 0, c[2] ? TURN_NOSE_UP : TURN_NONE, 0);
    const Plane& p = planes[1];
    EXPECT_NEAR(p.x, c[3], 1e-4) << c[0];
    EXPECT_EQ(tuple(p.speed, p.headingIndex + 0.0), tuple(c[4], c[5])) << c[0];
  }
}

// The panel's buttons act on release, within strict bounds, and the frame goes on: back on its
// runway, plane 1 already takes this frame's gas.
TEST_F(ControlsTest, PanelButtons) {
  enum { NONE, MENU, QUIT };
  const int32_t cases[][3] = {
      {561, 430, MENU}, {560, 430, NONE}, {600, 417, MENU}, {600, 416, NONE}, {600, 447, MENU},
      {600, 448, NONE}, {600, 449, QUIT}, {600, 479, QUIT}, {561, 460, QUIT}, {560, 460, NONE}};
  for (const auto& c : cases) {
    SetUp();
    testplanes::PutInAir(0, 100, 200, 0, 8);
    Hold(P1_GAS);
    Click(c[0], c[1], 3);
    Player1Controls();
    const int32_t acted = IsQuitting() ? QUIT : gameMode == MODE_MENU ? MENU : NONE;
    EXPECT_EQ(tuple(acted, early), tuple(c[2], false)) << &c - cases;
    EXPECT_NEAR(planes[0].speed, acted == MENU ? 0.65 : 8.65, 1e-9) << &c - cases;
  }
}

// A press held on "Main Menu" or "Quit" while the player switches away or closes the window: the
// wait for its release ends there, and the button does nothing.
TEST_F(ControlsTest, SwitchingAwayOrClosingEndsTheReleaseWait) {
  for (const int32_t row : {0, 1, 2, 3}) {
    SetUp();
    closing = row & 1;
    platform::backend.hasFocus = [](platform::Window*) { return closing || buttonPolls < 3; };
    platform::backend.closeRequested = [] { return closing && buttonPolls >= 3; };
    Click(600, row < 2 ? 430 : 460, 1000000);
    ServePanelButtons();
    EXPECT_EQ(tuple(buttonPolls, gameMode, IsQuitting()), tuple(3, MODE_MATCH, false)) << row;
  }
}

// Quit in a running match: the frame that quits, then the quit message, the only one.
TEST_F(ControlsTest, QuitInARunningMatch) {
  cpuPlayers = 1;
  frameTimeAccumulator = 1000;
  Click(600, 460, 3);
  int32_t code = -1;
  EXPECT_TRUE(MainLoopPass(&code));
  EXPECT_FALSE(MainLoopPass(&code));
  EXPECT_EQ(tuple(code, early), tuple(0, false));
  EXPECT_TRUE(MainLoopPass(&code));
}

}  // namespace
