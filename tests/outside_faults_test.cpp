// Faults that come from outside the game, with the real start-up, the real SDL message pump and
// the real main loop on SDL's headless drivers: the window minimised and restored, and no sound
// device. Only the clock is scripted, one millisecond per loop pass, so the frames come when the
// pacing rule says.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/state.h"
#include "graphics/display.h"
#include "platform/display.h"
#include "platform/sdl_window.h"
#include "platform/system.h"
#include "shell/shell.h"
#include "tests/sound_files.h"

namespace {

uint32_t clockMs = 0;
uint32_t ClockMs() { return clockMs; }

// The dummy video driver has no window manager to minimise its window; the window's state is
// taken from the window events themselves, as a window manager would report it.
bool windowMinimised = false;
bool MinimisedByEvents(platform::Window*) { return windowMinimised; }
int WatchWindowEvents(void*, SDL_Event* event) {
  if (event->type == SDL_WINDOWEVENT) {
    if (event->window.event == SDL_WINDOWEVENT_MINIMIZED) windowMinimised = true;
    if (event->window.event == SDL_WINDOWEVENT_RESTORED) windowMinimised = false;
  }
  return 1;
}

class OutsideFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    oldDir_ = cwd;
    ASSERT_EQ(chdir(CORVANE_DATA_DIR), 0);
    ResetGameState();
    ResetShell();
    platform::ClearMessages();
    platform::backend = platform::sdlBackend;
    platform::backend.timeMs = ClockMs;
    clockMs = 1000;
    windowMinimised = false;
  }
  void TearDown() override {
    if (!IsQuitting()) QuitGame();
    int32_t code = 0;
    for (int i = 0; i < 100 && MainLoopPass(&code); ++i) {
    }
    platform::ClearMessages();
    if (mainWindow != nullptr) platform::backend.destroyWindow(mainWindow);
    mainWindow = nullptr;
    for (platform::Surface** picture :
         {&backgroundSurface, &blankSurface, &menuTitleSurface, &rightPanelSurface, &buttonsSurface,
          &bulletSurface, &planeSurface, &fireSurface, &cloudSurface, &towerSurface,
          &lettersSurface, &numbersSurface}) {
      platform::FreeSurface(*picture);
      *picture = nullptr;
    }
    platform::backend = platform::sdlBackend;
    ResetShell();
    ASSERT_EQ(chdir(oldDir_.c_str()), 0);
  }

  // Runs loop passes, the clock one millisecond on each; returns how many menu frames ran.
  int32_t MenuFramesIn(int32_t passes) {
    int32_t frames = 0;
    int32_t code = 0;
    for (int32_t i = 0; i < passes; ++i) {
      matchFramePeriod = -1;  // every menu frame writes it
      EXPECT_TRUE(MainLoopPass(&code));
      if (matchFramePeriod != -1) ++frames;
      ++clockMs;
    }
    return frames;
  }

  static void PushWindowEvent(uint8_t what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.windowID = SDL_GetWindowID(platform::sdlMainWindow->sdl);
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }

  std::string oldDir_;
};

// What the window shows at game pixel (x, y), as 0xRRGGBB.
uint32_t ShownAt(int32_t x, int32_t y) {
  SDL_Renderer* renderer = platform::sdlMainWindow->renderer;
  int outW = 0;
  int outH = 0;
  SDL_GetRendererOutputSize(renderer, &outW, &outH);
  SDL_Rect pixel{x * outW / screenWidth, y * outH / screenHeight, 1, 1};
  SDL_RenderSetLogicalSize(renderer, 0, 0);
  SDL_RenderSetViewport(renderer, nullptr);
  uint32_t shown = 0;
  SDL_RenderReadPixels(renderer, &pixel, SDL_PIXELFORMAT_RGB888, &shown, 4);
  SDL_RenderSetLogicalSize(renderer, screenWidth, screenHeight);
  return shown & 0xFFFFFF;
}

uint32_t AsShown(uint16_t pixel) {
  const uint32_t c = platform::PixelToColor(pixel);
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

TEST_F(OutsideFaultTest, MinimisedWindowStopsFramesAndRestoringBringsThePicturesBack) {
  SDL_AddEventWatch(WatchWindowEvents, nullptr);
  platform::backend.isMinimised = MinimisedByEvents;
  ASSERT_EQ(StartUp(), 0);
  ASSERT_EQ(gameMode, MODE_MENU);
  // Menu frames every 81 ms.
  EXPECT_EQ(MenuFramesIn(810), 10);
  const uint16_t corner = menuTitleSurface->pixels[0];
  EXPECT_EQ(ShownAt(0, 0), AsShown(corner));

  // Minimised: what the surfaces held is gone. The frame already due may still run, then none.
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_LE(MenuFramesIn(81), 1);
  EXPECT_EQ(surfacesValid, 0);
  EXPECT_TRUE(platform::IsScreenLost(primarySurface));
  std::memset(menuTitleSurface->pixels, 0x5A, sizeof(uint16_t) * screenWidth * screenHeight);
  EXPECT_EQ(MenuFramesIn(2000), 0);
  EXPECT_EQ(surfacesValid, 0);  // no restore while minimised
  EXPECT_EQ(menuTitleSurface->pixels[0], 0x5A5A);

  // Restored: the next due period restores and reloads the pictures, then frames resume.
  PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
  const int32_t frames = MenuFramesIn(810);
  EXPECT_GE(frames, 8);
  EXPECT_LE(frames, 10);
  EXPECT_EQ(surfacesValid, 1);
  EXPECT_FALSE(platform::IsScreenLost(primarySurface));
  EXPECT_EQ(menuTitleSurface->pixels[0], corner);
  EXPECT_EQ(ShownAt(0, 0), AsShown(corner));
  EXPECT_FALSE(IsQuitting());

  // And the game still answers: closing the window ends it with status 0.
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  int32_t code = -1;
  bool running = true;
  for (int i = 0; i < 100 && running; ++i) running = MainLoopPass(&code);
  EXPECT_FALSE(running);
  EXPECT_EQ(code, 0);
  SDL_DelEventWatch(WatchWindowEvents, nullptr);
}

TEST_F(OutsideFaultTest, NoSoundDeviceIsReportedAndTheGameRunsSilently) {
  soundtest::ScopedEnv driver("SDL_AUDIODRIVER", "nonexistent");
  // The dummy video driver has no message boxes: the messages go to standard error.
  testing::internal::CaptureStderr();
  const int started = StartUp();
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(started, 0);
  EXPECT_EQ(directSound, nullptr);
  EXPECT_EQ(fireSound, nullptr);
  EXPECT_EQ(boomSound, nullptr);
  EXPECT_NE(err.find("Error: InitDirectSound DirectSoundCreate\n"
                     "Error: LoadDirectSound CreateSoundBuffer\n"
                     "Error: LoadDirectSound CreateSoundBuffer\n"),
            std::string::npos)
      << err;

  // The menu runs...
  EXPECT_EQ(MenuFramesIn(810), 10);
  // ...and so does a match of two computer pilots, shots and crashes without a sound.
  cpuPlayers = 2;
  gameSpeed = 5;
  matchFramePeriod = 0;
  gameMode = MODE_MATCH;
  int32_t code = 0;
  int32_t fired = 0;
  for (int32_t i = 0; i < 3000; ++i) {
    const int32_t before = planes[0].fired + planes[1].fired;
    ASSERT_TRUE(MainLoopPass(&code));
    fired += planes[0].fired + planes[1].fired - before;
    if (matchOver == 1) {
      ReturnToMenu();
      gameMode = MODE_MATCH;
    }
    ++clockMs;  // at speed 5, a frame for every step of the clock
  }
  EXPECT_GT(fired, 0);
  EXPECT_FALSE(IsQuitting());
}

}  // namespace
