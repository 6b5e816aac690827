// Scripted keyboard, mouse, clock and random numbers for tests: swaps the platform's input
// functions for ones that read these variables.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/keys.h"
#include "platform/system.h"

namespace fake {

inline bool keys[256] = {};
inline int32_t cursorX = 0, cursorY = 0;
// The left button reads down for this many more polls, then up (a click held for a while).
inline int32_t buttonPollsLeft = 0, buttonPolls = 0;
// Called at every poll of the left button, before it answers.
inline void (*onButtonPoll)() = nullptr;

// The next values RandomNumber gives (a negative one: the C library's own; see state_test.cpp),
// and how many it gave since they were set.
inline int32_t script[16], scripted = 0, rolls = 0;
inline void Roll(std::initializer_list<int32_t> values) {
  scripted = rolls = 0;
  for (int32_t v : values) script[scripted++] = v;
}

// The players' flying keys as bits: gas, fire, nose up, nose down; player 2's the next four.
enum : uint32_t { P1_GAS = 1, P1_FIRE = 2, P1_UP = 4, P1_DOWN = 8 };
inline void Hold(uint32_t held) {
  using namespace platform;
  const int32_t order[8] = {VK_CONTROL, VK_SHIFT, VK_LEFT,  VK_RIGHT,
                            VK_MENU,    VK_KEY_Z, VK_KEY_C, VK_KEY_V};
  for (int32_t i = 0; i < 8; ++i) keys[order[i]] = (held >> i & 1) != 0;
}

inline bool IsKeyDown(int32_t vk) {
  if (vk != platform::VK_LBUTTON) return vk >= 0 && vk < 256 && keys[vk];
  ++buttonPolls;
  if (onButtonPoll != nullptr) onButtonPoll();
  if (buttonPollsLeft <= 0) return false;
  --buttonPollsLeft;
  return true;
}

// Installs the fakes with every key up, the cursor at the top-left corner, the clock at 0.
inline void Install() {
  for (bool& k : keys) k = false;
  cursorX = cursorY = buttonPollsLeft = buttonPolls = 0;
  onButtonPoll = nullptr;
  Roll({});
  platform::backend = platform::sdlBackend;
  platform::backend.isKeyDown = IsKeyDown;
  platform::backend.cursorPos = [](int32_t* x, int32_t* y) { *x = cursorX, *y = cursorY; };
  platform::backend.timeMs = [] { return 0u; };
  platform::backend.pumpMessages = [] {};
}

inline void Uninstall() {
  platform::backend = platform::sdlBackend;
  Roll({});
}

// A click at (x, y) that the button holds for `polls` reads.
inline void Click(int32_t x, int32_t y, int32_t polls = 1) {
  cursorX = x;
  cursorY = y;
  buttonPollsLeft = polls;
}

}  // namespace fake
