#include "game/controls.h"

#include "game/flight.h"
#include "game/guns.h"
#include "game/input.h"
#include "game/state.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "shell/shell.h"

namespace {

constexpr double kTakeOffSpeed = 6.0;
constexpr double kRunwayTopSpeed = 10.0;
// Gas adds only while the speed is at most this, so it lifts a plane to 10.65 at the most.
constexpr double kGasLimit = 10.0;

// Turns the player's commands of this frame into the plane's: on the runway only gas and nose up
// count; in the air both nose commands together cancel out.
void KeyboardStep(int32_t planeIndex, int32_t player) {
  if (planeIndex < 0 || planeIndex >= planeCount) return;
  const uint8_t commands = PlayerCommands(player);
  const int32_t gas = (commands & INPUT_GAS) != 0 ? 1 : 0;
  const bool noseUp = (commands & INPUT_NOSE_UP) != 0;
  int32_t turn = noseUp ? TURN_NOSE_UP : TURN_NONE;
  int32_t fire = 0;
  if (planes[planeIndex].onGround != 1) {
    if ((commands & INPUT_NOSE_DOWN) != 0) turn = noseUp ? TURN_NONE : TURN_NOSE_DOWN;
    fire = (commands & INPUT_FIRE) != 0 ? 1 : 0;
  }
  ApplyControlCommands(planeIndex, gas, turn, fire);
}

// A button acts once, on release. Nothing else runs meanwhile, not even the window's messages.
// A release that cannot come (the player switched to another window, or the window is being
// closed) ends the wait too: false, and the button does nothing; a close request is then taken
// by the main loop like any other.
bool WaitForMouseRelease() {
  while (platform::IsKeyDown(platform::VK_LBUTTON)) {
    if (!platform::HasFocus(mainWindow) || platform::CloseRequested()) return false;
  }
  return true;
}

}  // namespace

void ApplyControlCommands(int32_t planeIndex, int32_t gas, int32_t turn, int32_t fire) {
  Plane& plane = planes[planeIndex];
  if (plane.onGround == 1) {
    if (gas == 1) plane.speed += acceleration;
    if (plane.speed > kRunwayTopSpeed) plane.speed = kRunwayTopSpeed;
    if (turn == TURN_NOSE_UP && plane.speed >= kTakeOffSpeed) {
      plane.headingIndex += 1;
      plane.onGround = 0;
    }
    MovePlane(planeIndex);
    if (plane.x > playAreaWidth) plane.x = 0.0;
  } else if (plane.onGround == 0) {
    if (turn == TURN_NOSE_UP) {
      plane.headingIndex += 1;
    } else if (turn == TURN_NOSE_DOWN) {
      plane.headingIndex -= 1;
    }
    if (gas == 1 && plane.speed <= kGasLimit) plane.speed += acceleration;
    // The gun fires along the heading as turned, before it is brought back into 0..35.
    if (fire == 1) FireBullet(planeIndex);
    if (plane.headingIndex < 0) {
      plane.headingIndex = 35;
    } else if (plane.headingIndex > 35) {
      plane.headingIndex = 0;
    }
    MovePlane(planeIndex);
  }
}

void ServePanelButtons() {
  // Online, a click arrives as an input bit of the frame, the same on both machines; leaving the
  // game ("Quit") is the session's business, not the match's.
  if (CurrentFrameInput() != nullptr) {
    if ((SessionCommands() & INPUT_MAIN_MENU) != 0) ReturnToMenu();
    return;
  }
  int32_t x = 0;
  int32_t y = 0;
  platform::GetCursorPos(&x, &y);
  if (!platform::IsKeyDown(platform::VK_LBUTTON)) return;
  // The position at release is not tested again: a press that starts on a button acts.
  const PanelClick button = PanelButtonAt(x, y);
  if (button == PANEL_MAIN_MENU) {
    if (WaitForMouseRelease()) ReturnToMenu();
  } else if (button == PANEL_QUIT) {
    if (WaitForMouseRelease()) QuitGame();
  }
}

void Player1Controls() {
  ServePanelButtons();
  if (cpuPlayers == 2) return;
  KeyboardStep(planes[0].playerNumber - 1, 1);
}

void Player2Controls() { KeyboardStep(planes[1].playerNumber - 1, 2); }
