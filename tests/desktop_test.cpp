// The game on a desktop among other programs: switching away stops it, the black bars beside the
// picture are not part of it, the panel buttons' release wait cannot hang it, and the main loop
// sleeps between frames. The window, its events and the cursor are SDL's own (dummy driver).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <tuple>
#include <utility>
#include <vector>

#include "game/controls.h"
#include "game/state.h"
#include "platform/sdl_window.h"
#include "shell/shell.h"
#include "tests/support/fake_input.h"

namespace {

uint64_t clockUs = 0;
uint32_t ClockMs() { return static_cast<uint32_t>(clockUs / 1000); }
// A sleep overruns by most of a millisecond.
void SleepOnClock(uint32_t ms) {
  EXPECT_FALSE(platform::MessagesWaiting());  // a message waiting is never slept on
  clockUs += ms * 1000ull + 700;
}

void Push(uint32_t type, uint8_t windowEvent = 0) {
  SDL_Event event{};
  event.type = type;
  event.window.windowID = SDL_GetWindowID(platform::sdlMainWindow->sdl);
  event.window.event = windowEvent;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(CORVANE_DATA_DIR);  // where the game finds its pictures
    ResetGameState();
    ResetShell();
    platform::ClearMessages();
    fake::Install();
    platform::backend = platform::sdlBackend;
    platform::backend.timeMs = ClockMs;
    clockUs = 1000000;
  }
  void TearDown() override {
    if (!IsQuitting()) QuitGame();  // gives the display and the sound device back
    platform::sdlBackend.destroyWindow(std::exchange(mainWindow, nullptr));
    for (platform::Surface** p :
         {&backgroundSurface, &blankSurface, &menuTitleSurface, &rightPanelSurface, &buttonsSurface,
          &bulletSurface, &planeSurface, &fireSurface, &cloudSurface, &towerSurface,
          &lettersSurface, &numbersSurface})
      platform::FreeSurface(std::exchange(*p, nullptr));
    fake::Uninstall();
    ResetShell();
    std::filesystem::current_path(oldDir_);
  }
  std::filesystem::path oldDir_;
};

// A period, and the frames in 3 s: one every period + 1 ms.
class PacingTest : public DesktopTest,
                   public ::testing::WithParamInterface<std::pair<int32_t, int32_t>> {};

TEST_P(PacingTest, TheLoopSleepsBetweenFramesAndKeepsTheFrameRule) {
  platform::backend.pumpMessages = [] {};
  platform::backend.waitForMessages = SleepOnClock;
  const auto [period, expectedFrames] = GetParam();
  menuFramePeriod = period;
  std::vector<uint32_t> frameTimes;
  int32_t passes = 0, code = 0;
  for (const uint64_t end = clockUs + 3000000; clockUs < end; ++passes) {
    matchFramePeriod = -1;  // every menu frame writes it
    ASSERT_TRUE(MainLoopPass(&code));
    if (matchFramePeriod != -1) frameTimes.push_back(ClockMs());
    clockUs += 50;  // the pass's own work
    if (passes == 100) platform::PostMessage({platform::MSG_PAINT, 0});
    WaitForNextPass();
  }
  ASSERT_NEAR(static_cast<int32_t>(frameTimes.size()), expectedFrames, 1);
  for (size_t i = 2; i < frameTimes.size(); ++i)
    EXPECT_EQ(frameTimes[i] - frameTimes[i - 1], static_cast<uint32_t>(period + 1));
  // Only the last millisecond before a frame is polled, 50 us a pass.
  EXPECT_LE(passes, 25 * static_cast<int32_t>(frameTimes.size()));
}

INSTANTIATE_TEST_SUITE_P(Periods, PacingTest,
                         ::testing::Values(std::pair{80, 37}, std::pair{40, 73}, std::pair{20, 143},
                                           std::pair{10, 273}, std::pair{0, 3000}));

// Switching away in the menu or a match, with a key held down.
using FocusRow = std::tuple<GameMode, SDL_Scancode, int32_t>;
class FocusTest : public DesktopTest, public ::testing::WithParamInterface<FocusRow> {};

// Loop passes with the clock one millisecond on each; how many ran a frame (a menu frame writes
// the match period, a running match frame moves the clouds).
int32_t FramesIn(int32_t passes) {
  int32_t frames = 0, code = 0;
  for (int32_t i = 0; i < passes; ++i, clockUs += 1000) {
    const int32_t cloudX = clouds[0].x;
    const bool menu = gameMode == MODE_MENU;
    if (menu) matchFramePeriod = -1;
    EXPECT_TRUE(MainLoopPass(&code));
    if ((menu && matchFramePeriod != -1) || clouds[0].x != cloudX) ++frames;
    matchFramePeriod = (5 - gameSpeed) * 10;
  }
  return frames;
}

TEST_P(FocusTest, NothingRunsWhileAwayAndPlayGoesOnWhenBack) {
  const auto [mode, heldKey, virtualKey] = GetParam();
  ASSERT_EQ(StartUp(), 0);
  cpuPlayers = 2;  // the computer flies both planes: a running match always moves
  gameMode = mode;
  EXPECT_GT(FramesIn(200), 1);
  // The headless driver has no keyboard: the key is held in SDL's own key state.
  const_cast<Uint8*>(SDL_GetKeyboardState(nullptr))[heldKey] = SDL_PRESSED;
  Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
  const std::vector<Plane> planesBefore(planes, planes + 2);
  const uint16_t title = menuTitleSurface->pixels[0];
  const uint16_t sky = backgroundSurface->pixels[0];
  menuTitleSurface->pixels[0] = backgroundSurface->pixels[0] = 0x1234;  // what the screen lost
  EXPECT_EQ(FramesIn(2000), 0);
  EXPECT_EQ(std::memcmp(planesBefore.data(), planes, sizeof planes), 0);

  Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_GE(FramesIn(300), 2);
  EXPECT_EQ(menuTitleSurface->pixels[0], title);
  EXPECT_EQ(backgroundSurface->pixels[0], sky);
  EXPECT_FALSE(platform::IsKeyDown(virtualKey));  // let go while away
  SDL_ResetKeyboard();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FocusTest,
    ::testing::Values(FocusRow{MODE_MENU, SDL_SCANCODE_RIGHT, platform::VK_RIGHT},
                      FocusRow{MODE_MATCH, SDL_SCANCODE_LCTRL, platform::VK_CONTROL},
                      FocusRow{MODE_MATCH, SDL_SCANCODE_Z, 'Z'}));

// A desktop wider than the picture: 1920x1080 shows it 1440x1080, with 240-pixel bars each side.
// The left button is pressed there in a match and held for one poll, or held on with something
// else happening at its third poll instead of the release.
enum Happening { NOTHING, CURSOR_LEFT_FIRST, FOCUS_LOST, CLOSE_REQUEST };
struct PressRow {
  int32_t windowX, windowY;
  Happening happening;
  int32_t gameX, gameY;  // (-1, -1): not over the picture
  int32_t mode;          // afterwards: MODE_MATCH, MODE_MENU, or 0 for quitting with status 0
};
class PressTest : public DesktopTest, public ::testing::WithParamInterface<PressRow> {};

Happening interruption = NOTHING;
void InterruptAtThirdPoll() {
  if (fake::buttonPolls != 3) return;
  if (interruption == FOCUS_LOST) Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
  if (interruption == CLOSE_REQUEST) Push(SDL_QUIT);
}

TEST_P(PressTest, OnlyThePictureTakesClicksAndAPressCannotHangTheGame) {
  const PressRow& row = GetParam();
  ASSERT_EQ(StartUp(), 0);
  SDL_SetWindowFullscreen(platform::sdlMainWindow->sdl, 0);
  SDL_SetWindowSize(platform::sdlMainWindow->sdl, 1920, 1080);
  SDL_WarpMouseInWindow(platform::sdlMainWindow->sdl, row.windowX, row.windowY);
  if (row.happening == CURSOR_LEFT_FIRST) Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_LEAVE);
  int32_t x = 0, y = 0;
  platform::GetCursorPos(&x, &y);
  EXPECT_EQ(std::pair(x, y), std::pair(row.gameX, row.gameY));
  platform::backend.isKeyDown = fake::IsKeyDown;
  interruption = row.happening;
  fake::onButtonPoll = InterruptAtThirdPoll;
  fake::buttonPollsLeft = row.happening < FOCUS_LOST ? 2 : 1000000;
  gameMode = MODE_MATCH;
  ServePanelButtons();
  EXPECT_LE(fake::buttonPolls, 5);
  // The loop then takes what ended the wait: a close request, like "Quit", ends the game.
  const int32_t mode = IsQuitting() ? 0 : gameMode;
  int32_t code = -1;
  bool running = true;
  for (int i = 0; i < 20 && running; ++i) running = MainLoopPass(&code);
  EXPECT_EQ(running ? mode : 0, row.mode);
  EXPECT_EQ(code, running ? -1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Points, PressTest,
    ::testing::Values(PressRow{1800, 1020, NOTHING, -1, -1, MODE_MATCH},  // right bar, "Quit"
                      PressRow{1700, 960, NOTHING, -1, -1, MODE_MATCH},   // and "Main Menu"
                      PressRow{1680, 1079, NOTHING, -1, -1, MODE_MATCH},
                      PressRow{100, 540, NOTHING, -1, -1, MODE_MATCH},
                      PressRow{1600, 1020, CURSOR_LEFT_FIRST, -1, -1, MODE_MATCH},
                      PressRow{1679, 1079, NOTHING, 639, 479, 0},
                      PressRow{1600, 960, NOTHING, 604, 426, MODE_MENU},
                      PressRow{1600, 1020, FOCUS_LOST, 604, 453, MODE_MATCH},
                      PressRow{1600, 960, FOCUS_LOST, 604, 426, MODE_MATCH},
                      PressRow{1600, 1020, CLOSE_REQUEST, 604, 453, 0},
                      PressRow{1600, 960, CLOSE_REQUEST, 604, 426, 0}));

}  // namespace
