#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "game/match.h"
#include "game/state.h"
#include "graphics/display.h"
#include "menu/menu.h"
#include "net/online.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "shell/options.h"
#include "sound/effects.h"

namespace {

bool quitting = false;
char windowFailure[256] = "";

}  // namespace

void ResetShell() {
  quitting = false;
  windowFailure[0] = '\0';
}

bool IsQuitting() { return quitting; }

int32_t CreateMainWindow() {
  mainWindow = platform::backend.createWindow(windowTitle, screenWidth, screenHeight, windowFailure,
                                              sizeof windowFailure);
  return mainWindow != nullptr ? 1 : 0;
}

void WindowProc(const platform::Message& message) {
  switch (message.type) {
    case platform::MSG_DESTROY:
      QuitGame();
      break;
    case platform::MSG_KEYDOWN:
      if (message.wParam == platform::VK_PAD_START && gameMode == MODE_MENU) {
        // A pad's Start is "Play!" in the menu, and P in a match.
        PlayFromMenu();
      } else if (message.wParam == platform::VK_ESCAPE) {
        QuitGame();
      } else if (message.wParam == platform::VK_KEY_P || message.wParam == platform::VK_PAD_START) {
        // Online, the pause goes with the next frame's input, so both machines pause at one frame.
        if (OnlineMatchRuns()) {
          OnlineQueuePause();
          break;
        }
        TogglePause();
        OnlineMenuPaused();
      }
      break;
    default:
      // Painting needs nothing: every frame redraws the whole picture.
      break;
  }
}

void QuitGame(int32_t exitCode) {
  if (quitting) return;
  quitting = true;
  OnlineLeave();
  ReleaseDisplay();
  ReleaseDirectSound();
  platform::PostQuitMessage(exitCode);
}

void ShowError(const char* text) { platform::ShowMessageBox(mainWindow, "Error", text); }

void ExitWithError(const char* text) {
  ShowError(text);
  if (!quitting) {
    quitting = true;
    ReleaseDisplay();
    ReleaseDirectSound();
  }
  if (mainWindow != nullptr) platform::backend.destroyWindow(mainWindow);
  std::exit(1);
}

bool AdvanceFrameClock(uint32_t now) {
  // Unsigned arithmetic keeps the elapsed time right across the timer's wrap.
  const uint32_t elapsed = now - lastTime;
  const int32_t period = gameMode == MODE_MENU ? menuFramePeriod : matchFramePeriod;
  bool due = false;
  if (frameTimeAccumulator > static_cast<uint32_t>(period)) {
    // What the accumulator held beyond the period is dropped: a stall gives one frame, not a burst.
    frameTimeAccumulator = elapsed;
    due = true;
  } else {
    frameTimeAccumulator += elapsed;
  }
  lastTime = now;
  return due;
}

namespace {

// The player switched to another window: the screen is theirs now, as when it is lost.
bool SwitchedAway() { return !platform::HasFocus(mainWindow); }

void RunDueFrame() {
  // Nothing moves while the player is away, and the pictures are restored when they are back.
  // Online the other machine goes on, so the match does too (undrawn while the screen is lost).
  const bool online = OnlineMatchRuns();
  if (SwitchedAway() && !online) surfacesValid = 0;
  if (online) {
    OnlineMatchFrame(surfacesValid == 1);
  } else if (surfacesValid == 1) {
    if (gameMode == MODE_MENU) {
      MenuFrame();
    } else if (gameMode == MODE_MATCH) {
      MatchFrame();
    }
  }
  // The frame may have quit the game; nothing it released may be touched again.
  if (quitting) return;
  if (platform::IsScreenLost(primarySurface)) surfacesValid = 0;
  if (surfacesValid == 0 && !platform::backend.isMinimised(mainWindow) && !SwitchedAway())
    RestoreSurfaces();
}

}  // namespace

bool MainLoopPass(int32_t* exitCode) {
  platform::Message message;
  if (platform::PeekMessage(&message)) {
    if (!platform::GetMessage(&message)) {
      *exitCode = message.wParam;
      return false;
    }
    WindowProc(message);
    return true;
  }
  // The frame clock is read in the same pass as the frame runs, and the frame's own time counts
  // into the next pass.
  const uint32_t now = platform::TimeMs();
  OnlinePass(now);
  if (quitting) return true;  // only the quit message is still to come
  const bool due = AdvanceFrameClock(now);
  if (due) RunDueFrame();
  return true;
}

uint32_t MsUntilFrameDue(uint32_t now) {
  if (quitting || platform::MessagesWaiting()) return 0;
  const int32_t period = gameMode == MODE_MENU ? menuFramePeriod : matchFramePeriod;
  const uint32_t limit = static_cast<uint32_t>(period);
  if (frameTimeAccumulator > limit) return 0;
  // The pass that takes the accumulator past the period comes at dueAt; the frame runs in the
  // pass right after it.
  const uint32_t dueAt = lastTime + (limit - frameTimeAccumulator) + 1;
  const int32_t left = static_cast<int32_t>(dueAt - now);
  return left > 0 ? static_cast<uint32_t>(left) : 0;
}

void WaitForNextPass() {
  uint32_t left = MsUntilFrameDue(platform::TimeMs());
  // Online, the network is served every few milliseconds, not only when a frame is due.
  if (OnlineActive() && left > kOnlineMaxSleepMs + 1) left = kOnlineMaxSleepMs + 1;
  // The last millisecond is polled, as every pass used to be: a sleep may overrun, and a frame
  // that comes a millisecond late loses that millisecond for good.
  if (left > 1) platform::backend.waitForMessages(left - 1);
}

void PlaceClouds() {
  for (int32_t i = 0; i < kCloudCount; ++i) {
    int32_t x;
    do {
      x = 5 * (RandomNumber() / 100);
    } while (x > 600);
    clouds[i].x = x;
  }
}

int StartUp() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  static const int32_t kSizes[3][2] = {{640, 480}, {800, 600}, {1024, 768}};
  bool created = false;
  for (const auto& size : kSizes) {
    SetScreenSize(size[0], size[1]);
    if (CreateMainWindow() == 1) {
      created = true;
      break;
    }
  }
  // A start-up failure is not a success: say what failed and end with status 1.
  if (!created) {
    std::fprintf(stderr, "corvane-altor: cannot create the game window: %s\n", windowFailure);
    return 1;
  }
  if (InitDirectDraw() == 0) {
    std::fprintf(stderr, "corvane-altor: cannot set up the display: %s\n", displayFailure);
    ReleaseDisplay();
    platform::backend.destroyWindow(mainWindow);
    mainWindow = nullptr;
    return 1;
  }
  InitDirectSound();
  LoadDirectSound(&fireSound, "sounds/fire.wav");
  LoadDirectSound(&boomSound, "sounds/boom.wav");
  LoadBitmaps();
  matchFramePeriod = (5 - gameSpeed) * 10;
  PlaceClouds();
  ReturnToMenu();
  // --host or --join: a port in use or an unknown host ends the game here.
  const char* joinHost = gameOptions.join ? gameOptions.joinHost : nullptr;
  if (OnlineOpen(gameOptions.host, joinHost, gameOptions.port, platform::TimeMs()) != 0) {
    QuitGame(1);
    platform::ClearMessages();
    platform::backend.destroyWindow(mainWindow);
    mainWindow = nullptr;
    return 1;
  }
  return 0;
}

int GameMain() {
  const int failed = StartUp();
  if (failed != 0) return failed;
  int32_t exitCode = 0;
  while (MainLoopPass(&exitCode)) WaitForNextPass();
  platform::backend.destroyWindow(mainWindow);
  mainWindow = nullptr;
  return exitCode;
}
