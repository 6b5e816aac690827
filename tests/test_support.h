// Shared by the rule tests: scripted keys and mouse in place of the real input.
#pragma once

#include <cstdint>
#include <cstring>

#include "game/state.h"
#include "platform/keys.h"
#include "platform/system.h"

namespace scripted {

inline bool keys[256];
inline int32_t cursorX = 0;
inline int32_t cursorY = 0;
// The left mouse button reads down for this many more polls, then up.
inline int32_t buttonDownPolls = 0;
inline int32_t buttonPolls = 0;
// Where the cursor goes once the button has been polled (a mouse dragged off while held).
inline bool moveCursorAfterPoll = false;
inline int32_t movedX = 0;
inline int32_t movedY = 0;
// Every mode seen by a poll that read the button down.
inline int32_t modesWhileDown[64];
inline int32_t modesWhileDownCount = 0;

inline bool IsKeyDown(int32_t virtualKey) {
  if (virtualKey == platform::VK_LBUTTON) {
    ++buttonPolls;
    if (moveCursorAfterPoll) {
      cursorX = movedX;
      cursorY = movedY;
    }
    if (buttonDownPolls > 0) {
      --buttonDownPolls;
      if (modesWhileDownCount < 64) modesWhileDown[modesWhileDownCount++] = gameMode;
      return true;
    }
    return false;
  }
  return virtualKey >= 0 && virtualKey < 256 && keys[virtualKey];
}

inline void CursorPos(int32_t* x, int32_t* y) {
  *x = cursorX;
  *y = cursorY;
}

inline void Install() {
  std::memset(keys, 0, sizeof keys);
  cursorX = 0;
  cursorY = 0;
  buttonDownPolls = 0;
  buttonPolls = 0;
  moveCursorAfterPoll = false;
  modesWhileDownCount = 0;
  platform::backend.isKeyDown = IsKeyDown;
  platform::backend.cursorPos = CursorPos;
}

inline void Uninstall() { platform::backend = platform::sdlBackend; }

inline void Hold(int32_t virtualKey) { keys[virtualKey] = true; }
inline void Release(int32_t virtualKey) { keys[virtualKey] = false; }
inline void ReleaseAll() { std::memset(keys, 0, sizeof keys); }

// Presses the left button at (x, y) and keeps it down for `polls` reads.
inline void Click(int32_t x, int32_t y, int32_t polls) {
  cursorX = x;
  cursorY = y;
  buttonDownPolls = polls;
}

}  // namespace scripted
