// The human players' keys, the one set of control rules that keys and computer pilot share, and
// the right panel's "Main Menu" and "Quit" buttons.
#pragma once

#include <cstdint>

// The turn command of one frame.
enum TurnCommand : int32_t {
  TURN_NONE = 0,
  TURN_NOSE_UP = 1,    // headingIndex + 1: counter-clockwise on screen; the take-off control
  TURN_NOSE_DOWN = 2,  // headingIndex - 1
};

// Applies one frame's commands to a plane and moves it: on the runway gas, the runway top speed
// and the take-off; in the air the turn, gas, fire and the heading's wrap. gas and fire are 1 for
// on. Both the keyboard and the computer pilot steer through this.
void ApplyControlCommands(int32_t planeIndex, int32_t gas, int32_t turn, int32_t fire);

// Serves the panel's two buttons: with the left mouse button down on "Main Menu" or "Quit", waits
// for its release and then returns to the menu or quits. Used while the match runs (by
// Player1Controls) and while it is paused (by the match frame).
void ServePanelButtons();

// Player 1's frame: the panel buttons, then (unless the computer flies both planes) CTRL, SHIFT,
// LEFT and RIGHT for plane 1.
void Player1Controls();

// Player 2's frame: ALT, Z, C and V for plane 2.
void Player2Controls();
