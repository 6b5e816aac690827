#include "game/controls.h"

#include "game/flight.h"
#include "game/guns.h"
#include "game/state.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "shell/shell.h"

namespace {

constexpr double kTakeOffSpeed = 6.0;
constexpr double kRunwayTopSpeed = 10.0;
// Gas adds only while the speed is at most this, so it lifts a plane to 10.65 at the most.
constexpr double kGasLimit = 10.0;

struct PlayerKeys {
  int32_t gas;
  int32_t fire;
  int32_t noseUp;
  int32_t noseDown;
};

constexpr PlayerKeys kPlayer1Keys = {platform::VK_CONTROL, platform::VK_SHIFT, platform::VK_LEFT,
                                     platform::VK_RIGHT};
constexpr PlayerKeys kPlayer2Keys = {platform::VK_MENU, platform::VK_KEY_Z, platform::VK_KEY_C,
                                     platform::VK_KEY_V};

int32_t Down(int32_t virtualKey) { return platform::IsKeyDown(virtualKey) ? 1 : 0; }

// Turns the keys held right now into the frame's commands and applies them to the plane.
void KeyboardStep(int32_t planeIndex, const PlayerKeys& keys) {
  if (planeIndex < 0 || planeIndex >= planeCount) return;
  const int32_t gas = Down(keys.gas);
  const int32_t noseUp = Down(keys.noseUp);
  int32_t turn = noseUp == 1 ? TURN_NOSE_UP : TURN_NONE;
  int32_t fire = 0;
  // On the runway only gas and nose up count; in the air both nose keys held cancel out.
  if (planes[planeIndex].onGround != 1) {
    const int32_t noseDown = Down(keys.noseDown);
    if (noseDown == 1) turn = noseUp == 1 ? TURN_NONE : TURN_NOSE_DOWN;
    fire = Down(keys.fire);
  }
  ApplyControlCommands(planeIndex, gas, turn, fire);
}

bool InMainMenuButton(int32_t x, int32_t y) {
  return x > playAreaWidth && x < screenWidth && y > screenHeight - 2 * spriteHeight &&
         y < screenHeight - spriteHeight;
}

bool InQuitButton(int32_t x, int32_t y) {
  return x > playAreaWidth && x < screenWidth && y > screenHeight - spriteHeight &&
         y < screenHeight;
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
  int32_t x = 0;
  int32_t y = 0;
  platform::GetCursorPos(&x, &y);
  if (!platform::IsKeyDown(platform::VK_LBUTTON)) return;
  // The position at release is not tested again: a press that starts on a button acts.
  if (InMainMenuButton(x, y)) {
    if (WaitForMouseRelease()) ReturnToMenu();
  } else if (InQuitButton(x, y)) {
    if (WaitForMouseRelease()) QuitGame();
  }
}

void Player1Controls() {
  ServePanelButtons();
  if (cpuPlayers == 2) return;
  KeyboardStep(planes[0].playerNumber - 1, kPlayer1Keys);
}

void Player2Controls() { KeyboardStep(planes[1].playerNumber - 1, kPlayer2Keys); }
