// Game pads: SDL's game controllers, plugged in and pulled out at any time. The first pad plugged
// in is pad 0 (player 1's), the next pad 1 (player 2's); a pad pulled out leaves its place to the
// next one plugged in, and until then its player has the keyboard alone.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

constexpr int32_t kPadCount = 2;

// Inputs: a button by SDL's number for it, or a half axis, kPadAxis | axis << 1 | 1 when pushed
// positive. Those of the default mapping:
constexpr int32_t kPadAxis = 0x100;
constexpr int32_t PAD_A = 0;
constexpr int32_t PAD_X = 2;
constexpr int32_t PAD_START = 6;  // the game's own: pause, and "Play!" in the menu
constexpr int32_t PAD_RIGHT_SHOULDER = 10;
constexpr int32_t PAD_DPAD_LEFT = 13;
constexpr int32_t PAD_DPAD_RIGHT = 14;
constexpr int32_t PAD_LEFT_STICK_LEFT = kPadAxis | 0 << 1;
constexpr int32_t PAD_LEFT_STICK_RIGHT = kPadAxis | 0 << 1 | 1;
constexpr int32_t PAD_RIGHT_TRIGGER = kPadAxis | 5 << 1 | 1;

// Starts looking for pads; false when the system cannot give any (the game plays on without).
bool StartPads();
void StopPads();

// Whether pad 0 or 1 is plugged in.
bool PadConnected(int32_t pad);
// Whether input (see PadInputFromName) is held on the pad: a button pressed, or a stick or
// trigger pushed at least half way.
bool IsPadInputHeld(int32_t pad, int32_t input);

// The input the controls file calls name: a button by SDL's name ("a", "x", "rightshoulder",
// "dpleft"), a trigger ("righttrigger"), or a stick pushed one way ("-leftx", "+leftx"). False,
// with the reason in *why, when the name is none of these.
bool PadInputFromName(const char* name, int32_t* input, const char** why);
// The name PadInputFromName reads back as input.
void PadInputName(int32_t input, char* out, size_t outLen);

}  // namespace platform
