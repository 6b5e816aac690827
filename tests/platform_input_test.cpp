// The SDL side of the window's messages and input, on SDL's dummy video driver: events pushed into
// SDL's queue come out as the game's messages and key states.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/display.h"
#include "platform/keys.h"
#include "platform/system.h"

namespace {

class PlatformInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::backend = platform::sdlBackend;
    platform::ClearMessages();
    char why[256] = "";
    window = platform::backend.createWindow("input test", 640, 480, why, sizeof why);
    ASSERT_NE(window, nullptr) << why;
    Drain();
  }
  void TearDown() override {
    platform::ClearMessages();
    if (window != nullptr) platform::backend.destroyWindow(window);
  }
  // Every message waiting now.
  std::vector<platform::Message> Drain() {
    std::vector<platform::Message> out;
    platform::Message m;
    while (platform::PeekMessage(&m)) {
      platform::GetMessage(&m);
      out.push_back(m);
    }
    return out;
  }
  static void PushKey(SDL_Scancode code, SDL_Keycode sym, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = code;
    e.key.keysym.sym = sym;
    SDL_PushEvent(&e);
  }
  static void PushButton(Uint32 type) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
  }
  platform::Window* window = nullptr;
};

TEST_F(PlatformInputTest, KeysArriveAsVirtualKeyMessagesRepeatsIncluded) {
  PushKey(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  PushKey(SDL_SCANCODE_P, SDLK_p);
  PushKey(SDL_SCANCODE_P, SDLK_p, true);
  PushKey(SDL_SCANCODE_RCTRL, SDLK_RCTRL);
  PushKey(SDL_SCANCODE_LALT, SDLK_LALT);
  PushKey(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT);
  PushKey(SDL_SCANCODE_LEFT, SDLK_LEFT);
  PushKey(SDL_SCANCODE_F5, SDLK_F5);  // not one of ours: no message
  const auto messages = Drain();
  std::vector<int32_t> keys;
  for (const auto& m : messages) {
    EXPECT_EQ(m.type, platform::MSG_KEYDOWN);
    keys.push_back(m.wParam);
  }
  EXPECT_EQ(keys, (std::vector<int32_t>{platform::VK_ESCAPE, 'P', 'P', platform::VK_CONTROL,
                                        platform::VK_MENU, platform::VK_SHIFT, platform::VK_LEFT}));
}

TEST_F(PlatformInputTest, QuitRequestBecomesTheWindowsDestruction) {
  SDL_Event e{};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
  const auto messages = Drain();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].type, platform::MSG_DESTROY);
}

TEST_F(PlatformInputTest, AClickBetweenTwoPollsReadsAsDownOnce) {
  EXPECT_FALSE(platform::IsKeyDown(platform::VK_LBUTTON));
  PushButton(SDL_MOUSEBUTTONDOWN);
  PushButton(SDL_MOUSEBUTTONUP);
  Drain();
  EXPECT_TRUE(platform::IsKeyDown(platform::VK_LBUTTON));
  EXPECT_FALSE(platform::IsKeyDown(platform::VK_LBUTTON));
}

TEST_F(PlatformInputTest, ReadingKeyStatesLeavesMessagesQueued) {
  PushKey(SDL_SCANCODE_P, SDLK_p);
  // A wait loop that only polls the button must not swallow the keystroke.
  for (int i = 0; i < 5; ++i) platform::IsKeyDown(platform::VK_LBUTTON);
  const auto messages = Drain();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].wParam, 'P');
}

TEST_F(PlatformInputTest, MinimisingLosesTheScreenUntilRestored) {
  char why[256] = "";
  platform::Surface* screen = platform::OpenScreen(window, 640, 480, why, sizeof why);
  ASSERT_NE(screen, nullptr) << why;
  EXPECT_FALSE(platform::IsScreenLost(screen));
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_MINIMIZED;
  SDL_PushEvent(&e);
  Drain();
  EXPECT_TRUE(platform::IsScreenLost(screen));
  EXPECT_TRUE(platform::RestoreScreen(screen));
  EXPECT_FALSE(platform::IsScreenLost(screen));
  platform::CloseScreen(screen);
}

TEST_F(PlatformInputTest, TheQueueKeepsOrderAndNeverLosesTheQuitMessage) {
  for (int i = 0; i < 300; ++i) platform::PostMessage({platform::MSG_KEYDOWN, 'A' + i % 26});
  platform::Message m;
  ASSERT_TRUE(platform::PeekMessage(&m));
  EXPECT_EQ(m.wParam, 'A');  // the oldest first
  platform::PostQuitMessage(0);
  int32_t keyDowns = 0;
  while (platform::GetMessage(&m)) ++keyDowns;
  EXPECT_EQ(m.type, platform::MSG_QUIT);
  EXPECT_EQ(keyDowns, 255);  // a full queue drops new key-downs, not the quit message
}

}  // namespace
