#include "game/input.h"

#include "game/bindings.h"
#include "game/state.h"
#include "platform/keys.h"
#include "platform/pads.h"
#include "platform/system.h"

namespace {

constexpr uint8_t kActionBits[kActionCount] = {INPUT_GAS, INPUT_FIRE, INPUT_NOSE_UP,
                                               INPUT_NOSE_DOWN};

const FrameInput* frameInput = nullptr;

// The button the current press began on, until it is let go.
PanelClick pressedButton = PANEL_NONE;
bool buttonWasDown = false;

}  // namespace

uint8_t ReadFlyingKeys(int32_t player) {
  if (player < 1 || player > 2) return 0;
  uint8_t bits = 0;
  for (int32_t action = 0; action < kActionCount; ++action) {
    // A key and a pad input for one action count together: held when either is.
    const ActionBinding& binding = controls.players[player - 1][action];
    bool held = binding.key != 0 && platform::IsKeyDown(binding.key);
    for (int32_t i = 0; i < binding.padCount && !held; ++i)
      held = platform::IsPadInputHeld(player - 1, binding.pad[i]);
    if (held) bits |= kActionBits[action];
  }
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
