// Where the match's commands come from: the keys held right now (one machine), or the inputs both
// machines exchanged for the frame (online play).
#pragma once

#include <cstdint>

// One player's input in one frame, as bits. The first four are the flying commands; the other two
// are online play's stand-ins for P and the panel's "Main Menu", so that both machines act on
// them in the same frame.
enum InputBits : uint8_t {
  INPUT_GAS = 1,
  INPUT_FIRE = 2,
  INPUT_NOSE_UP = 4,
  INPUT_NOSE_DOWN = 8,
  INPUT_PAUSE = 16,      // toggles the pause
  INPUT_MAIN_MENU = 32,  // "Main Menu" clicked
};
constexpr uint8_t kFlyingBits = INPUT_GAS | INPUT_FIRE | INPUT_NOSE_UP | INPUT_NOSE_DOWN;
constexpr uint8_t kAllInputBits = kFlyingBits | INPUT_PAUSE | INPUT_MAIN_MENU;

// Both players' inputs for one frame: bits[0] is player 1's (plane 1), bits[1] player 2's.
struct FrameInput {
  uint8_t bits[2];
};

// The flying commands player 1 or 2 holds right now, as INPUT_GAS .. INPUT_NOSE_DOWN: their keys
// and the buttons of their pad (see game/bindings.h). This is the one place where they are read.
uint8_t ReadFlyingKeys(int32_t player);

// Hands the simulation the inputs of the frame it is about to run (online play), or null to go
// back to the keys and the mouse. While set, no key or mouse button is read by the match frame.
void SetFrameInput(const FrameInput* input);
const FrameInput* CurrentFrameInput();

// Player 1's or 2's flying commands for the frame being simulated.
uint8_t PlayerCommands(int32_t player);

// The session bits (INPUT_PAUSE, INPUT_MAIN_MENU) either player gave for the frame; always 0
// offline, where P and the panel are served as they happen.
uint8_t SessionCommands();

// The panel's buttons without waiting (online play, where nothing may block): a press that began on
// "Main Menu" or "Quit" reports that button once, when the mouse button is let go.
enum PanelClick : int32_t { PANEL_NONE = 0, PANEL_MAIN_MENU = 1, PANEL_QUIT = 2 };
PanelClick PollPanelClick();

// Which button (x, y) lies on; the bounds are strict, the row between the two is neither.
PanelClick PanelButtonAt(int32_t x, int32_t y);
