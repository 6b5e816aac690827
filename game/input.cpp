#include "game/input.h"

#include "game/state.h"
#include "platform/keys.h"
#include "platform/system.h"

namespace {

struct PlayerKeys {
  int32_t gas;
  int32_t fire;
  int32_t noseUp;
  int32_t noseDown;
};

constexpr PlayerKeys kPlayerKeys[2] = {
    {platform::VK_CONTROL, platform::VK_SHIFT, platform::VK_LEFT, platform::VK_RIGHT},
    {platform::VK_MENU, platform::VK_KEY_Z, platform::VK_KEY_C, platform::VK_KEY_V},
};

const FrameInput* frameInput = nullptr;

// The button the current press began on, until it is let go.
PanelClick pressedButton = PANEL_NONE;
bool buttonWasDown = false;

}  // namespace

uint8_t ReadFlyingKeys(int32_t player) {
  if (player < 1 || player > 2) return 0;
  const PlayerKeys& keys = kPlayerKeys[player - 1];
  uint8_t bits = 0;
  if (platform::IsKeyDown(keys.gas)) bits |= INPUT_GAS;
  if (platform::IsKeyDown(keys.fire)) bits |= INPUT_FIRE;
  if (platform::IsKeyDown(keys.noseUp)) bits |= INPUT_NOSE_UP;
  if (platform::IsKeyDown(keys.noseDown)) bits |= INPUT_NOSE_DOWN;
  return bits;
}

void SetFrameInput(const FrameInput* input) { frameInput = input; }

const FrameInput* CurrentFrameInput() { return frameInput; }

uint8_t PlayerCommands(int32_t player) {
  if (player < 1 || player > 2) return 0;
  if (frameInput == nullptr) return ReadFlyingKeys(player);
  return frameInput->bits[player - 1] & kFlyingBits;
}

uint8_t SessionCommands() {
  if (frameInput == nullptr) return 0;
  return (frameInput->bits[0] | frameInput->bits[1]) & (INPUT_PAUSE | INPUT_MAIN_MENU);
}

PanelClick PanelButtonAt(int32_t x, int32_t y) {
  if (x <= playAreaWidth || x >= screenWidth) return PANEL_NONE;
  if (y > screenHeight - 2 * spriteHeight && y < screenHeight - spriteHeight)
    return PANEL_MAIN_MENU;
  if (y > screenHeight - spriteHeight && y < screenHeight) return PANEL_QUIT;
  return PANEL_NONE;
}

PanelClick PollPanelClick() {
  const bool down = platform::IsKeyDown(platform::VK_LBUTTON);
  PanelClick released = PANEL_NONE;
  if (down && !buttonWasDown) {
    int32_t x = 0;
    int32_t y = 0;
    platform::GetCursorPos(&x, &y);
    pressedButton = PanelButtonAt(x, y);
  } else if (!down && buttonWasDown) {
    // As offline: where the mouse is let go does not matter.
    released = pressedButton;
    pressedButton = PANEL_NONE;
  }
  buttonWasDown = down;
  return released;
}
