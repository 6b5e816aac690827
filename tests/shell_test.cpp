// The application shell: frame pacing, the window's keys, quitting and start-up.
#include "shell/shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "game/state.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "platform/system.h"

namespace {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    platform::backend = platform::sdlBackend;
    platform::ClearMessages();
  }
  void TearDown() override {
    platform::ClearMessages();
    platform::backend = platform::sdlBackend;
    ResetShell();
  }
};

// ---- Frame pacing ----

// Runs idle passes at the given timer readings and returns which of them ran a frame.
std::vector<bool> PassesAt(const std::vector<uint32_t>& times) {
  std::vector<bool> due;
  for (uint32_t t : times) due.push_back(AdvanceFrameClock(t));
  return due;
}

TEST_F(ShellTest, FirstIdlePassFillsTheAccumulatorAndTheNextRunsAFrame) {
  lastTime = 0;
  EXPECT_EQ(PassesAt({123456, 123456}), (std::vector<bool>{false, true}));
}

TEST_F(ShellTest, AFrameNeedsStrictlyMoreThanThePeriod) {
  gameMode = MODE_MENU;
  lastTime = 1000;
  frameTimeAccumulator = 80;
  EXPECT_FALSE(AdvanceFrameClock(1000));
  EXPECT_EQ(frameTimeAccumulator, 80u);
  EXPECT_FALSE(AdvanceFrameClock(1000));
  EXPECT_FALSE(AdvanceFrameClock(1001));  // adds the millisecond
  EXPECT_EQ(frameTimeAccumulator, 81u);
  EXPECT_TRUE(AdvanceFrameClock(1001));
  EXPECT_EQ(frameTimeAccumulator, 0u);  // restarted from this pass's elapsed time
}

TEST_F(ShellTest, MatchUsesTheMatchPeriod) {
  gameMode = MODE_MATCH;
  matchFramePeriod = 30;
  lastTime = 0;
  frameTimeAccumulator = 30;
  EXPECT_FALSE(AdvanceFrameClock(0));
  frameTimeAccumulator = 31;
  EXPECT_TRUE(AdvanceFrameClock(0));
}

TEST_F(ShellTest, TimerAlreadyPastTwoToThe31PacesFromTheSecondPass) {
  lastTime = 0;
  const uint32_t start = 0x80000005u;
  EXPECT_EQ(PassesAt({start, start + 1}), (std::vector<bool>{false, true}));
  // Then regular frames, one per 81 ms of 1 ms passes.
  int frames = 0;
  for (uint32_t t = start + 2; t < start + 2 + 810; ++t) frames += AdvanceFrameClock(t) ? 1 : 0;
  EXPECT_EQ(frames, 10);
}

TEST_F(ShellTest, TimerWrappingPastTwoToThe32KeepsPacing) {
  gameMode = MODE_MATCH;
  matchFramePeriod = 30;
  lastTime = 0xFFFFFFF0u;
  frameTimeAccumulator = 0;
  int frames = 0;
  uint32_t t = 0xFFFFFFF0u;
  for (int i = 0; i < 310; ++i) {
    ++t;  // wraps to 0 after 15 passes
    frames += AdvanceFrameClock(t) ? 1 : 0;
  }
  // A frame every 32 passes: 31 ms to exceed the period, then the pass that runs it.
  EXPECT_EQ(frames, 310 / 32);
  EXPECT_LT(frameTimeAccumulator, 32u);
}

TEST_F(ShellTest, LongStallYieldsExactlyOneFrame) {
  gameMode = MODE_MATCH;
  matchFramePeriod = 30;
  lastTime = 5000;
  frameTimeAccumulator = 0;
  uint32_t t = 5000;
  for (int i = 0; i < 100; ++i) AdvanceFrameClock(++t);
  // A frame that took 500 ms.
  t += 500;
  int frames = AdvanceFrameClock(t) ? 1 : 0;
  frames += AdvanceFrameClock(t) ? 1 : 0;
  frames += AdvanceFrameClock(t) ? 1 : 0;
  EXPECT_EQ(frames, 1);
  // And the following 1 ms passes run at the normal rate again.
  int later = 0;
  for (int i = 0; i < 64; ++i) later += AdvanceFrameClock(++t) ? 1 : 0;
  EXPECT_EQ(later, 2);
}

TEST_F(ShellTest, GameSpeedFiveRunsAFrameForEveryTimerAdvance) {
  gameMode = MODE_MATCH;
  gameSpeed = 5;
  matchFramePeriod = (5 - gameSpeed) * 10;
  ASSERT_EQ(matchFramePeriod, 0);
  lastTime = 100;
  frameTimeAccumulator = 0;
  int frames = 0;
  // Ten idle passes per millisecond, for 200 ms.
  for (uint32_t ms = 101; ms <= 300; ++ms)
    for (int pass = 0; pass < 10; ++pass) frames += AdvanceFrameClock(ms) ? 1 : 0;
  EXPECT_EQ(frames, 200);
}

// ---- Keys of every mode ----

void SendKey(int32_t vk) {
  platform::PostMessage({platform::MSG_KEYDOWN, vk});
  platform::Message m;
  ASSERT_TRUE(platform::GetMessage(&m));
  WindowProc(m);
}

void NoPump() {}

TEST_F(ShellTest, PTogglesThePauseInEveryModeAndEveryRepeatCounts) {
  platform::backend.pumpMessages = NoPump;
  gameMode = MODE_MENU;
  SendKey(platform::VK_KEY_P);
  EXPECT_EQ(paused, 1);  // the next match starts paused
  gameMode = MODE_MATCH;
  SendKey(platform::VK_KEY_P);
  EXPECT_EQ(paused, 0);
  // Auto-repeat delivers further key-downs; each one toggles.
  SendKey(platform::VK_KEY_P);
  SendKey(platform::VK_KEY_P);
  SendKey(platform::VK_KEY_P);
  EXPECT_EQ(paused, 1);
  SendKey('Q');
  EXPECT_EQ(paused, 1);
}

TEST_F(ShellTest, PDoesNotResumeAFinishedMatch) {
  platform::backend.pumpMessages = NoPump;
  gameMode = MODE_MATCH;
  paused = 1;
  matchOver = 1;
  SendKey(platform::VK_KEY_P);
  EXPECT_EQ(paused, 1);
  EXPECT_EQ(matchOver, 1);
}

// ---- Quitting ----

int CountQueued(platform::MessageType type) {
  int n = 0;
  platform::Message m;
  while (platform::PeekMessage(&m)) {
    platform::GetMessage(&m);
    if (m.type == type) ++n;
  }
  return n;
}

TEST_F(ShellTest, QuitGameWorksOnceAndPostsOneQuitMessage) {
  platform::backend.pumpMessages = NoPump;
  backBuffer = platform::CreateSurface(640, 480);
  QuitGame();
  EXPECT_TRUE(IsQuitting());
  EXPECT_EQ(backBuffer, nullptr);
  QuitGame();
  // A second Escape and the window's destruction, handled before the quit message is taken.
  WindowProc({platform::MSG_KEYDOWN, platform::VK_ESCAPE});
  WindowProc({platform::MSG_DESTROY, 0});
  EXPECT_EQ(CountQueued(platform::MSG_QUIT), 1);
}

TEST_F(ShellTest, EscapeAndDestroyQuit) {
  platform::backend.pumpMessages = NoPump;
  SendKey(platform::VK_ESCAPE);
  EXPECT_TRUE(IsQuitting());
  ResetShell();
  platform::ClearMessages();
  WindowProc({platform::MSG_DESTROY, 0});
  EXPECT_TRUE(IsQuitting());
}

TEST_F(ShellTest, NoFrameRunsAfterQuitAndTheLoopEndsWithTheQuitCode) {
  platform::backend.pumpMessages = NoPump;
  gameMode = MODE_MENU;
  frameTimeAccumulator = 1000;  // a frame is overdue
  matchFramePeriod = -1;        // every menu frame sets it: a witness that one ran
  platform::PostMessage({platform::MSG_KEYDOWN, platform::VK_ESCAPE});
  platform::PostMessage({platform::MSG_KEYDOWN, platform::VK_KEY_P});
  int32_t code = -5;
  EXPECT_TRUE(MainLoopPass(&code));  // Escape: QuitGame
  EXPECT_TRUE(MainLoopPass(&code));  // P, still handled
  EXPECT_EQ(paused, 1);
  EXPECT_FALSE(MainLoopPass(&code));  // the quit message
  EXPECT_EQ(code, 0);
  EXPECT_EQ(matchFramePeriod, -1);
  // Even an idle pass after quitting runs no frame.
  EXPECT_TRUE(MainLoopPass(&code));
  EXPECT_EQ(matchFramePeriod, -1);
}

uint32_t fakeNow = 0;
uint32_t FakeTime() { return fakeNow; }

TEST_F(ShellTest, IdlePassesRunTheFrameOfTheCurrentMode) {
  platform::backend.pumpMessages = NoPump;
  platform::backend.timeMs = FakeTime;
  gameMode = MODE_MENU;
  gameSpeed = 4;
  matchFramePeriod = -1;
  fakeNow = 500;
  int32_t code = 0;
  EXPECT_TRUE(MainLoopPass(&code));
  EXPECT_EQ(matchFramePeriod, -1);
  EXPECT_TRUE(MainLoopPass(&code));
  EXPECT_EQ(matchFramePeriod, 10);  // the menu frame ran
  // Messages always go first: a waiting message means no frame in that pass.
  matchFramePeriod = -1;
  frameTimeAccumulator = 1000;
  platform::PostMessage({platform::MSG_PAINT, 0});
  EXPECT_TRUE(MainLoopPass(&code));
  EXPECT_EQ(matchFramePeriod, -1);
  // No frame of any kind for an unknown mode, and none while the surfaces are lost.
  gameMode = 7;
  frameTimeAccumulator = 1000;
  EXPECT_TRUE(MainLoopPass(&code));
  EXPECT_EQ(matchFramePeriod, -1);
}

// ---- Lost surfaces ----

bool minimised = false;
bool FakeMinimised(platform::Window*) { return minimised; }

TEST_F(ShellTest, LostSurfacesWaitWhileMinimisedThenOneRestoreAndFramesResume) {
  platform::backend.pumpMessages = NoPump;
  platform::backend.timeMs = FakeTime;
  platform::backend.isMinimised = FakeMinimised;
  // The restore reloads the pictures, which the game finds in its data directory.
  char oldDir[PATH_MAX];
  ASSERT_NE(getcwd(oldDir, sizeof oldDir), nullptr);
  ASSERT_EQ(chdir(CORVANE_DATA_DIR), 0);
  char why[256] = "";
  mainWindow = platform::sdlBackend.createWindow(windowTitle, 640, 480, why, sizeof why);
  ASSERT_NE(mainWindow, nullptr) << why;
  primarySurface = platform::OpenScreen(mainWindow, 640, 480, why, sizeof why);
  ASSERT_NE(primarySurface, nullptr) << why;
  gameMode = MODE_MENU;
  gameSpeed = 3;
  fakeNow = 1000;
  lastTime = 1000;
  int32_t code = 0;
  // Runs idle passes 1 ms apart until a frame is due and has been handled; returns whether a
  // menu frame ran.
  auto nextDuePeriod = [&]() {
    matchFramePeriod = -1;
    frameTimeAccumulator = 81;
    EXPECT_TRUE(MainLoopPass(&code));
    return matchFramePeriod != -1;
  };

  minimised = true;
  primarySurface->lost = true;
  EXPECT_TRUE(nextDuePeriod());  // this frame still runs; the loss is found after it
  EXPECT_EQ(surfacesValid, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(nextDuePeriod());
    EXPECT_EQ(surfacesValid, 0);  // nothing restored while minimised
    EXPECT_TRUE(platform::IsScreenLost(primarySurface));
  }
  minimised = false;
  EXPECT_FALSE(nextDuePeriod());  // the restore comes in place of a frame
  EXPECT_EQ(surfacesValid, 1);
  EXPECT_FALSE(platform::IsScreenLost(primarySurface));
  EXPECT_TRUE(nextDuePeriod());  // and frames resume at the period after it

  platform::CloseScreen(primarySurface);
  primarySurface = nullptr;
  platform::sdlBackend.destroyWindow(mainWindow);
  mainWindow = nullptr;
  ASSERT_EQ(chdir(oldDir), 0);
}

// ---- Start-up ----

std::vector<std::string> attempts;
int failFirst = 0;

platform::Window* FlakyCreate(const char* title, int32_t w, int32_t h, char* why, size_t len) {
  attempts.push_back(std::to_string(w) + "x" + std::to_string(h));
  if (static_cast<int>(attempts.size()) <= failFirst) {
    std::snprintf(why, len, "no window today");
    return nullptr;
  }
  return platform::sdlBackend.createWindow(title, w, h, why, len);
}

bool SilentBox(platform::Window*, const char*, const char*) { return true; }

TEST_F(ShellTest, StartUpFailsWithStatusOneWhenNoWindowCanBeMade) {
  attempts.clear();
  failFirst = 3;
  platform::backend.createWindow = FlakyCreate;
  testing::internal::CaptureStderr();
  EXPECT_EQ(StartUp(), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(attempts, (std::vector<std::string>{"640x480", "800x600", "1024x768"}));
  EXPECT_NE(err.find("cannot create the game window: no window today"), std::string::npos);
}

class StartUpTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    oldDir = cwd;
    // The game reads its pictures and sounds from the working directory.
    ASSERT_EQ(chdir(CORVANE_DATA_DIR), 0);
    platform::backend.messageBox = SilentBox;
  }
  void TearDown() override {
    QuitGame();
    platform::ClearMessages();
    if (mainWindow != nullptr) platform::backend.destroyWindow(mainWindow);
    mainWindow = nullptr;
    ASSERT_EQ(chdir(oldDir.c_str()), 0);
    ShellTest::TearDown();
  }
  std::string oldDir;
};

TEST_F(StartUpTest, FallsBackTo800x600AndStartsInTheReturnToMenuState) {
  attempts.clear();
  failFirst = 1;
  platform::backend.createWindow = FlakyCreate;
  planes[0].cpuPhase = 2;  // start-up, like the reset, leaves the pilot's memory alone
  ASSERT_EQ(StartUp(), 0);
  EXPECT_EQ(attempts, (std::vector<std::string>{"640x480", "800x600"}));
  EXPECT_EQ(screenWidth, 800);
  EXPECT_EQ(playAreaWidth, 720);
  EXPECT_STREQ(resolutionLabel, "800x600x16");
  EXPECT_EQ(matchFramePeriod, 30);
  EXPECT_NE(primarySurface, nullptr);
  EXPECT_NE(backBuffer, nullptr);

  // Start-up leaves exactly the state a return to the menu gives.
  Plane started[2];
  std::memcpy(started, planes, sizeof planes);
  const int32_t startedMode = gameMode;
  ReturnToMenu();
  EXPECT_EQ(std::memcmp(started, planes, sizeof planes), 0);
  EXPECT_EQ(startedMode, MODE_MENU);
  EXPECT_EQ(planes[1].x, 392.0);
  EXPECT_EQ(planes[0].cpuPhase, 2);
  EXPECT_EQ(paused, 0);
  EXPECT_EQ(matchOver, 0);
}

TEST_F(StartUpTest, CloudsStartAtMultiplesOfFiveUpTo600) {
  ASSERT_EQ(StartUp(), 0);
  const int32_t ys[kCloudCount] = {10, 26, 50, 62, 78, 98, 144, 150, 171};
  for (int round = 0; round < 50; ++round) {
    for (int32_t i = 0; i < kCloudCount; ++i) {
      EXPECT_EQ(clouds[i].x % 5, 0);
      EXPECT_GE(clouds[i].x, 0);
      EXPECT_LE(clouds[i].x, 600);
      EXPECT_EQ(clouds[i].y, ys[i]);
    }
    PlaceClouds();
  }
}

}  // namespace
