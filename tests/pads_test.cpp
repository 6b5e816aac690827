// Pads through SDL's virtual joysticks and the game's own input layer: a pad starts a match,
// takes off, fires and pauses; two pads fly both planes; one pulled out leaves the keyboard.
#include "platform/pads.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "game/input.h"
#include "game/match.h"
#include "game/state.h"
#include "platform/sdl_window.h"
#include "shell/shell.h"
#include "support/fake_input.h"

namespace {

using namespace platform;
constexpr int kPlug = -1, kUnplug = -2, kAxis = 100,  // kAxis + SDL's axis number
    A = SDL_CONTROLLER_BUTTON_A, X = SDL_CONTROLLER_BUTTON_X, kStart = SDL_CONTROLLER_BUTTON_START,
              kShoulder = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
              kRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kLeftX = kAxis + SDL_CONTROLLER_AXIS_LEFTX,
              kTrigger = kAxis + SDL_CONTROLLER_AXIS_TRIGGERRIGHT;

class PadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Install();  // the keyboard is scripted, the pads are SDL's
    ResetGameState();
    ReturnToMenu();
    ASSERT_TRUE(StartPads());
  }
  void TearDown() override {
    for (int pad = 0; pad < 3; ++pad) Set(pad, kUnplug, 0);
    StopPads();
    fake::Uninstall();
  }
  // Plugs pad in, pulls it out, or sets a button or axis; the game sees it at its next look.
  void Set(int pad, int control, int value) {
    SDL_Joystick*& stick = pads_[pad];
    // SDL's shorthand for SDL_JoystickAttachVirtualEx with a pad's axes and buttons.
    if (control == kPlug)
      stick = SDL_JoystickOpen(SDL_JoystickAttachVirtual(
          SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0));
    for (int i = 0; control == kUnplug && stick && i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == SDL_JoystickInstanceID(stick))
        SDL_JoystickDetachVirtual(i);
    if (control == kUnplug) SDL_JoystickClose(std::exchange(stick, nullptr));
    if (control >= kAxis) SDL_JoystickSetVirtualAxis(stick, control - kAxis, Sint16(value));
    if (control >= 0 && control < kAxis) SDL_JoystickSetVirtualButton(stick, control, Uint8(value));
    SDL_Delay(2);
    sdlBackend.pumpMessages();  // the main loop's next look, when there is a window
  }
  SDL_Joystick* pads_[3] = {};
};

TEST_F(PadsTest, APadPlaysAMatch) {
  Window* window = sdlBackend.createWindow("pads", 640, 480, nullptr, 0);
  ASSERT_NE(window, nullptr);
  Set(0, kPlug, 0);
  // What the pad does, whether the game's window is inactive, frames run; then plane 1 on the
  // ground, its shots and the pause, in the match that Start began.
  // clang-format off
  const int steps[][7] = {
      {kStart, 1, 0, 0, 1, 0, 0}, {kStart, 0, 0, 0, 1, 0, 0}, {A, 1, 0, 20, 1, 0, 0},
      {kLeftX, -32768, 0, 3, 0, 0, 0}, {X, 1, 0, 1, 0, 1, 0}, {kStart, 1, 0, 5, 0, 1, 1},
      {kStart, 0, 0, 0, 0, 1, 1}, {kStart, 1, 1, 0, 0, 1, 1}, {kStart, 0, 1, 0, 0, 1, 1},
      {kStart, 1, 0, 1, 0, 2, 0},
  };
  // clang-format on
  for (const auto& s : steps) {
    window->focused = s[2] == 0;
    Set(0, s[0], s[1]);
    for (Message m; PeekMessage(&m) && GetMessage(&m);) WindowProc(m);
    for (int frame = 0; frame < s[3]; ++frame) SimulateMatchFrame();
    EXPECT_EQ((std::array{planes[0].onGround, planes[0].fired, paused, gameMode - MODE_MATCH}),
              (std::array{s[4], s[5], s[6], 0}))
        << &s - steps;
  }
  sdlBackend.destroyWindow(window);
}

TEST_F(PadsTest, TwoPadsAndTheKeyboard) {
  const int gas = INPUT_GAS, fire = INPUT_FIRE, up = INPUT_NOSE_UP, down = INPUT_NOSE_DOWN;
  const int shift = fake::P1_FIRE, alt = fake::P1_GAS << 4;  // player 2's gas
  // A pad (in the order first plugged in), what happens to it, the key held; then what players
  // 1 and 2 hold.
  // clang-format off
  const int steps[][6] = {
      {0, kPlug, 0, 0, 0, 0}, {1, kPlug, 0, 0, 0, 0}, {0, A, 1, 0, gas, 0},
      {1, kTrigger, 32767, 0, gas, gas}, {1, kLeftX, -20000, 0, gas, gas | up},
      {0, kLeftX, 16000, 0, gas, gas | up},  // not half way
      {0, kRight, 1, 0, gas | down, gas | up},
      {0, X, 1, shift, gas | fire | down, gas | up},
      {0, kUnplug, 0, shift, fire, gas | up}, {2, kPlug, 0, 0, 0, gas | up},
      {2, kShoulder, 1, 0, fire, gas | up}, {1, kUnplug, 0, alt, fire, gas},
  };
  // clang-format on
  for (const auto& s : steps) {
    Set(s[0], s[1], s[2]);
    fake::Hold(s[3]);
    EXPECT_EQ(ReadFlyingKeys(1), s[4]) << &s - steps;
    EXPECT_EQ(ReadFlyingKeys(2), s[5]) << &s - steps;
  }
}

}  // namespace
