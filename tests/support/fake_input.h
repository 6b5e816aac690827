// Scripted keyboard, mouse and clock for tests: swaps the platform's input functions for ones that
// read these variables.
#pragma once

#include <cstdint>

#include "platform/keys.h"
#include "platform/system.h"

namespace fake {

inline bool keys[256] = {};
inline int32_t cursorX = 0;
inline int32_t cursorY = 0;
inline uint32_t now = 0;
// The left button reads down for this many more polls, then up (a click held for a while).
inline int32_t buttonPollsLeft = 0;
inline int32_t buttonPolls = 0;
// Called at every read of the left button, before it answers (to move the mouse while held, say).
inline void (*onButtonPoll)() = nullptr;

inline bool IsKeyDown(int32_t vk) {
  if (vk == platform::VK_LBUTTON) {
    ++buttonPolls;
    if (onButtonPoll != nullptr) onButtonPoll();
    if (buttonPollsLeft > 0) {
      --buttonPollsLeft;
      return true;
    }
    return false;
  }
  return vk >= 0 && vk < 256 && keys[vk];
}
inline void CursorPos(int32_t* x, int32_t* y) {
  *x = cursorX;
  *y = cursorY;
}
inline uint32_t TimeMs() { return now; }
inline void Pump() {}
inline bool SilentBox(platform::Window*, const char*, const char*) { return true; }

// Installs the fakes with every key up and the cursor at the top-left corner.
inline void Install() {
  for (bool& k : keys) k = false;
  cursorX = cursorY = 0;
  now = 0;
  buttonPollsLeft = 0;
  buttonPolls = 0;
  onButtonPoll = nullptr;
  platform::backend = platform::sdlBackend;
  platform::backend.isKeyDown = IsKeyDown;
  platform::backend.cursorPos = CursorPos;
  platform::backend.timeMs = TimeMs;
  platform::backend.pumpMessages = Pump;
  platform::backend.messageBox = SilentBox;
}

inline void Uninstall() { platform::backend = platform::sdlBackend; }

// A click at (x, y) that the button holds for `polls` reads.
inline void Click(int32_t x, int32_t y, int32_t polls = 1) {
  cursorX = x;
  cursorY = y;
  buttonPollsLeft = polls;
}

}  // namespace fake
