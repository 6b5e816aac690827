// The SDL implementation of the pads.
#include <SDL.h>

#include <cstdio>

#include "platform/pads.h"
#include "platform/sdl_window.h"

namespace platform {

namespace {

constexpr int32_t kAxisInput = kPadAxis;
static_assert(PAD_A == SDL_CONTROLLER_BUTTON_A && PAD_X == SDL_CONTROLLER_BUTTON_X &&
              PAD_START == SDL_CONTROLLER_BUTTON_START &&
              PAD_RIGHT_SHOULDER == SDL_CONTROLLER_BUTTON_RIGHTSHOULDER &&
              PAD_DPAD_LEFT == SDL_CONTROLLER_BUTTON_DPAD_LEFT &&
              PAD_DPAD_RIGHT == SDL_CONTROLLER_BUTTON_DPAD_RIGHT &&
              PAD_LEFT_STICK_LEFT == (kPadAxis | SDL_CONTROLLER_AXIS_LEFTX << 1) &&
              PAD_RIGHT_TRIGGER == (kPadAxis | SDL_CONTROLLER_AXIS_TRIGGERRIGHT << 1 | 1));
constexpr Sint16 kHalfWay = SDL_JOYSTICK_AXIS_MAX / 2;

bool started = false;
SDL_GameController* pads[kPadCount] = {};
// A pad came or went: the places are looked at again before the next read.
bool padsChanged = false;
bool updatedOnce = false;
uint32_t lastUpdate = 0;

int WatchPads(void* /*userdata*/, SDL_Event* event) {
  if (event->type == SDL_JOYDEVICEADDED || event->type == SDL_JOYDEVICEREMOVED) padsChanged = true;
  return 1;
}

bool Seated(SDL_JoystickID id) {
  for (SDL_GameController* pad : pads)
    if (pad != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id)
      return true;
  return false;
}

void SeatPads() {
  padsChanged = false;
  for (SDL_GameController*& pad : pads) {
    if (pad != nullptr && !SDL_GameControllerGetAttached(pad)) {
      SDL_GameControllerClose(pad);
      pad = nullptr;
    }
  }
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (!SDL_IsGameController(i) || Seated(SDL_JoystickGetDeviceInstanceID(i))) continue;
    for (SDL_GameController*& pad : pads) {
      if (pad == nullptr) {
        pad = SDL_GameControllerOpen(i);
        break;
      }
    }
  }
}

// The pads are read afresh at most once a millisecond, as the keys are.
void RefreshPads() {
  const uint32_t now = SDL_GetTicks();
  if (!updatedOnce || now != lastUpdate) {
    SDL_GameControllerUpdate();
    updatedOnce = true;
    lastUpdate = now;
  }
  if (padsChanged) SeatPads();
}

bool IsTrigger(int axis) {
  return axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
}

}  // namespace

bool StartPads() {
  if (started) return true;
  // The window's focus decides when the game runs; the pads are read whichever window has it, so
  // that a button let go elsewhere is not still held when the player comes back.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
  SDL_AddEventWatch(WatchPads, nullptr);
  started = true;
  padsChanged = true;
  updatedOnce = false;
  return true;
}

void StopPads() {
  if (!started) return;
  for (SDL_GameController*& pad : pads) {
    if (pad != nullptr) SDL_GameControllerClose(pad);
    pad = nullptr;
  }
  SDL_DelEventWatch(WatchPads, nullptr);
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started = false;
}

bool PadConnected(int32_t pad) {
  if (!started || pad < 0 || pad >= kPadCount) return false;
  RefreshPads();
  return pads[pad] != nullptr;
}

bool IsPadInputHeld(int32_t pad, int32_t input) {
  if (!PadConnected(pad)) return false;
  SDL_GameController* controller = pads[pad];
  if (input < kAxisInput)
    return SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(input));
  const Sint16 value = SDL_GameControllerGetAxis(
      controller, static_cast<SDL_GameControllerAxis>((input - kAxisInput) >> 1));
  return (input & 1) != 0 ? value >= kHalfWay : value <= -kHalfWay;
}

void SeatChangedPads() {
  if (started && padsChanged) SeatPads();
}

bool IsPlayingPadStart(const SDL_ControllerButtonEvent& event) {
  if (!started || event.button != SDL_CONTROLLER_BUTTON_START) return false;
  RefreshPads();
  return Seated(event.which);
}

bool PadInputFromName(const char* name, int32_t* input, const char** why) {
  const char sign = name[0] == '+' || name[0] == '-' ? name[0] : '\0';
  const char* bare = sign != '\0' ? name + 1 : name;
  const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(bare);
  const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(bare);
  *why = nullptr;
  if (button != SDL_CONTROLLER_BUTTON_INVALID) {
    if (sign != '\0') *why = "a button is pressed, not pushed one way";
    *input = button;
  } else if (axis == SDL_CONTROLLER_AXIS_INVALID) {
    *why = "no such pad button";
  } else if (IsTrigger(axis)) {
    if (sign == '-') *why = "a trigger is only pressed one way";
    *input = kAxisInput | axis << 1 | 1;
  } else {
    if (sign == '\0') *why = "a stick needs a way to be pushed, - or +";
    *input = kAxisInput | axis << 1 | (sign == '+' ? 1 : 0);
  }
  return *why == nullptr;
}

void PadInputName(int32_t input, char* out, size_t outLen) {
  if (input < kAxisInput) {
    const char* name =
        SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(input));
    std::snprintf(out, outLen, "%s", name != nullptr ? name : "");
    return;
  }
  const int axis = (input - kAxisInput) >> 1;
  const char* name = SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(axis));
  const char* sign = IsTrigger(axis) ? "" : (input & 1) != 0 ? "+" : "-";
  std::snprintf(out, outLen, "%s%s", sign, name != nullptr ? name : "");
}

}  // namespace platform
