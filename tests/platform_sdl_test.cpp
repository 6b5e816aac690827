// The SDL window on the dummy video driver: events as the game's messages, the click latch, the
// cursor in game pixels, a lost screen, and the picture shown.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/display.h"
#include "platform/keys.h"
#include "platform/sdl_window.h"
#include "platform/system.h"

// The module under test.
using namespace platform;

class PlatformSdlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = sdlBackend;
    window_ = backend.createWindow("test", 640, 480, nullptr, 0);
    ASSERT_NE(window_, nullptr);
    SDL_GetWindowSize(window_->sdl, &w_, &h_);
    ClearMessages();
  }
  void TearDown() override {
    CloseScreen(screen_);
    FreeSurface(picture_);
    backend.destroyWindow(window_);
  }
  // Opens the screen at w x h and shows a picture of one colour on it.
  bool Show(int w, int h, uint16_t pixel) {
    CloseScreen(screen_);
    FreeSurface(picture_);
    screen_ = OpenScreen(window_, w, h, nullptr, 0);
    picture_ = CreateSurface(w, h);
    std::fill_n(picture_->pixels, w * h, pixel);
    return PresentToScreen(screen_, *picture_, {0, 0, w, h});
  }
  // A key's scan code, or what befell the window.
  void Push(Uint32 type, int code = SDL_WINDOWEVENT_MINIMIZED, SDL_Keycode sym = 0) {
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.window.windowID = SDL_GetWindowID(window_->sdl);
    if (type == SDL_WINDOWEVENT) event.window.event = Uint8(code);
    if (type == SDL_KEYDOWN) event.key.keysym = SDL_Keysym{SDL_Scancode(code), sym, 0, 0};
    SDL_PushEvent(&event);
  }
  Window* window_ = nullptr;
  Surface *screen_ = nullptr, *picture_ = nullptr;
  int w_ = 0, h_ = 0;
};

TEST_F(PlatformSdlTest, KeysCloseAndClick) {
  // Letters as the key caps read.
  Push(SDL_KEYDOWN, SDL_SCANCODE_Q, SDLK_p);
  Push(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  Push(SDL_QUIT);
  Push(SDL_MOUSEBUTTONDOWN);
  Push(SDL_MOUSEBUTTONUP);
  // Each message's type and word.
  std::vector<int> got;
  for (Message m; PeekMessage(&m) && GetMessage(&m);) got.insert(got.end(), {m.type, m.wParam});
  EXPECT_EQ(got, (std::vector<int>{MSG_KEYDOWN, 'P', MSG_KEYDOWN, VK_ESCAPE, MSG_DESTROY, 0}));
  // The click came and went between two polls: it reads as down once.
  EXPECT_TRUE(IsKeyDown(VK_LBUTTON));
  EXPECT_FALSE(IsKeyDown(VK_LBUTTON));
}

// Switched away from, the window no longer has the keyboard, and a key held then is let go.
TEST_F(PlatformSdlTest, SwitchingAway) {
  const_cast<Uint8*>(SDL_GetKeyboardState(nullptr))[SDL_SCANCODE_Z] = SDL_PRESSED;
  for (int event : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED}) {
    Push(SDL_WINDOWEVENT, event);
    backend.pumpMessages();
    EXPECT_EQ(HasFocus(window_), event == SDL_WINDOWEVENT_FOCUS_GAINED);
  }
  EXPECT_FALSE(IsKeyDown('Z'));
}

TEST_F(PlatformSdlTest, LostScreen) {
  for (Uint32 type : {SDL_WINDOWEVENT, SDL_RENDER_DEVICE_RESET}) {
    ASSERT_TRUE(Show(640, 480, 0xFFFF));
    Push(type);
    const Uint32 start = SDL_GetTicks();
    backend.waitForMessages(1000);  // the event ends the loop's sleep
    EXPECT_LT(SDL_GetTicks() - start, 500u);
    backend.pumpMessages();
    EXPECT_TRUE(IsScreenLost(screen_));
    EXPECT_FALSE(PresentToScreen(screen_, *picture_, {0, 0, 640, 480}));
    EXPECT_TRUE(RestoreScreen(screen_));
    EXPECT_FALSE(IsScreenLost(screen_));
  }
}

TEST_F(PlatformSdlTest, BarsAndCursor) {
  ASSERT_TRUE(Show(640, 480, 0xFFFF));
  ASSERT_TRUE(Show(640, 240, 0xF800));
  // Window rows at the top, middle, just below the picture and at the bottom: the cursor's game row
  // there (-1 over a bar, which is outside the game), what shows there.
  const int rows[][3] = {{0, -1, 0}, {h_ / 2, 120, 0xFF0000}, {h_ * 3 / 4, -1, 0}, {h_ - 1, -1, 0}};
  for (const auto& r : rows) {
    SDL_WarpMouseInWindow(window_->sdl, w_ / 2, r[0]);
    int x = 0, y = 0;
    GetCursorPos(&x, &y);
    EXPECT_EQ(y, r[1]) << r[0];
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_LEAVE);  // nowhere once the mouse has left
    GetCursorPos(&x, &y);
    EXPECT_EQ(y, -1) << r[0];
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_ENTER);
  }
  // Read in window pixels.
  SDL_RenderSetLogicalSize(window_->renderer, 0, 0);
  SDL_RenderSetViewport(window_->renderer, nullptr);
  for (const auto& r : rows) {
    const SDL_Rect at{w_ / 2, r[0], 1, 1};
    uint32_t shown = 1;
    SDL_RenderReadPixels(window_->renderer, &at, SDL_PIXELFORMAT_RGB888, &shown, 4);
    EXPECT_EQ(static_cast<int>(shown & 0xFFFFFF), r[2]) << r[0];
  }
}
