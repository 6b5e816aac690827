// The shell: frame pacing, the window's messages, quitting, lost surfaces and start-up.
#include "shell/shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/planes.h"

namespace {

using namespace platform;
using std::tuple;

class ShellTest : public testplanes::Fresh {};

// Loop passes until the quit message, at most `limit`; how many went before it.
int32_t PassesBeforeQuit(int32_t limit, int32_t* code) {
  int32_t passes = 0;
  while (passes < limit && MainLoopPass(code)) ++passes;
  return passes;
}

// Idle passes, perMs of them to a millisecond, the first at `from`; the menu's period is 80.
// In turn: the period itself is not enough, a millisecond more is; the first pass fills the
// accumulator, even with a timer past 2^31; a frame every 81 ms in the menu and every 31 in a
// match; a jump across the timer's wrap; one frame after a stall, no burst; game speed 5, a
// frame every millisecond.
TEST_F(ShellTest, FramePacing) {
  // {menu, match period, last time, accumulated, from, perMs, passes, frames}
  // clang-format off
  const uint32_t cases[][8] = {
      {1, 30, 1000, 80, 1000, 100, 3, 0},  {1, 30, 1000, 80, 1001, 100, 2, 1},
      {1, 30, 0, 0, 0x80000005u, 100, 2, 1},
      {1, 30, 0, 0, 1, 1, 810, 9},         {0, 30, 0, 0, 1, 1, 542, 17},
      {0, 30, 0xFFFFFFF0u, 0, 0x20, 100, 2, 1},
      {0, 30, 5000, 0, 5500, 100, 3, 1},   {0, 0, 100, 0, 101, 10, 2000, 200}};
  // clang-format on
  for (const auto& c : cases) {
    gameMode = c[0] ? MODE_MENU : MODE_MATCH;
    std::tie(matchFramePeriod, lastTime, frameTimeAccumulator) = tuple(c[1], c[2], c[3]);
    uint32_t frames = 0;
    for (uint32_t i = 0; i < c[6]; ++i) frames += AdvanceFrameClock(c[4] + i / c[5]);
    EXPECT_EQ(frames, c[7]) << &c - cases;
  }
}

uint64_t clockUs = 0;
// A sleep overruns by most of a millisecond; a message waiting is never slept on.
void Sleep(uint32_t ms) {
  EXPECT_FALSE(MessagesWaiting());
  clockUs += ms * 1000ull + 700;
}

// Between frames the loop sleeps, all but the last millisecond, which passes of 50 us poll: a
// frame every 31 ms in a match as before, at most 25 passes to a frame, no sleep on a message.
TEST_F(ShellTest, TheLoopSleepsBetweenFrames) {
  backend.timeMs = [] { return static_cast<uint32_t>(clockUs / 1000); };
  backend.waitForMessages = Sleep;
  matchFramePeriod = 30;
  int32_t passes = 0, frames = 0, code = 0;
  for (uint32_t last = clockUs = 0; clockUs < 3000000; ++passes) {
    const int32_t x = clouds[0].x;
    ASSERT_TRUE(MainLoopPass(&code));
    if (clouds[0].x != x) {
      EXPECT_TRUE(++frames < 3 || TimeMs() - last == 31) << TimeMs() - last;
      last = TimeMs();
      if (frames == 5) PostMessage({MSG_PAINT, 0});
    }
    clockUs += 50;  // the pass's own work
    WaitForNextPass();
  }
  EXPECT_LE(passes, 25 * frames);
}

// P and Escape work in the menu too.
TEST_F(ShellTest, PauseAndQuitKeys) {
  // {key pressed (0: the window destroyed), paused, match over, then paused, quitting}
  const int32_t cases[][5] = {{'P', 0, 0, 1, 0}, {'P', 1, 0, 0, 0},       {'P', 1, 1, 1, 0},
                              {'Q', 0, 0, 0, 0}, {VK_ESCAPE, 0, 0, 0, 1}, {0, 0, 0, 0, 1}};
  for (const auto& c : cases) {
    SetUp();
    std::tie(gameMode, paused, matchOver) = tuple(MODE_MENU, c[1], c[2]);
    WindowProc({c[0] ? MSG_KEYDOWN : MSG_DESTROY, c[0]});
    EXPECT_EQ(tuple(paused, IsQuitting()), tuple(c[3], c[4] == 1)) << &c - cases;
  }
}

// Messages go first, even with a frame overdue; QuitGame releases the display and posts one
// quit message, with status 0; after it no frame runs (cloud 3 would drift).
TEST_F(ShellTest, QuitEndsTheLoop) {
  backBuffer = CreateSurface(8, 8);
  frameTimeAccumulator = 1000;
  PostMessage({MSG_PAINT, 0});
  PostMessage({MSG_KEYDOWN, VK_ESCAPE});
  PostMessage({MSG_DESTROY, 0});
  int32_t code = -1;
  EXPECT_EQ(tuple(PassesBeforeQuit(10, &code), code), tuple(3, 0));
  EXPECT_TRUE(MainLoopPass(&code));
  EXPECT_EQ(tuple(backBuffer, clouds[3].x), tuple(nullptr, 0));
}

TEST_F(ShellTest, FullQueueKeepsQuit) {
  for (int32_t i = 0; i < 300; ++i) PostMessage({MSG_KEYDOWN, 'A'});
  PostQuitMessage(0);
  int32_t code = -1;
  EXPECT_EQ(PassesBeforeQuit(1000, &code), 255);
}

std::string attempts;
int32_t failures = 0;
bool minimised = false, away = false;

Window* FlakyWindow(const char* title, int32_t w, int32_t h, char* why, size_t len) {
  attempts += std::to_string(w) + " ";
  if (failures-- <= 0) return sdlBackend.createWindow(title, w, h, why, len);
  std::snprintf(why, len, "no window today");
  return nullptr;
}

// Start-up tries 640x480, 800x600 and 1024x768; with none, it says so and ends with status 1.
// Once started, lost surfaces stop the frames; they are restored (the pictures reloaded) at the
// first due frame outside the minimised window. Switched to another window, the same.
TEST_F(ShellTest, StartUpAndLostSurfaces) {
  ASSERT_EQ(chdir(CORVANE_DATA_DIR), 0);  // where the game finds its pictures
  backend.createWindow = FlakyWindow;
  backend.isMinimised = [](Window*) { return minimised; };
  backend.hasFocus = [](Window*) { return !away; };
  attempts.clear();
  failures = 3;
  testing::internal::CaptureStderr();
  EXPECT_EQ(StartUp(), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("game window: no window today"),
            std::string::npos);
  failures = 1;
  ASSERT_EQ(StartUp(), 0);
  EXPECT_EQ(attempts, "640 800 1024 640 800 ");
  EXPECT_EQ(tuple(gameMode, planes[1].x, matchFramePeriod), tuple(MODE_MENU, 392.0, 30));
  gameMode = MODE_MATCH;
  primarySurface->lost = true;
  // {minimised, away, frames, surfaces valid after}
  const int32_t passes[][4] = {
      {1, 0, 1, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}, {0, 1, 0, 0}, {0, 0, 0, 1}};
  for (const auto& c : passes) {
    std::tie(minimised, away) = tuple(c[0], c[1]);
    frameTimeAccumulator = 1000;
    const int32_t before = clouds[3].x;
    int32_t code = 0;
    EXPECT_TRUE(MainLoopPass(&code));
    EXPECT_EQ(tuple(clouds[3].x - before, surfacesValid), tuple(c[2], c[3])) << &c - passes;
  }
  QuitGame();
  backend.destroyWindow(mainWindow);
  mainWindow = nullptr;
}

TEST_F(ShellTest, CloudsStartUpTo600) {
  fake::Roll({12100, 12099, 99, 100, 32767, 7777});
  PlaceClouds();
  const int32_t x[] = {600, 0, 5, 385};
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(clouds[i].x, x[i]) << i;
}

}  // namespace
