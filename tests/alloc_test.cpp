// Nothing is allocated per frame: the real game, started as the program starts it (its pictures,
// SDL's headless video driver, its dummy audio driver), runs menu frames and match frames of two
// computer pilots, drawing, presenting and playing sounds, without one malloc, calloc or realloc
// of the process (operator new, SDL and the C library included).
//
// AddressSanitizer owns malloc, so under it there is nothing to count with and no test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

#include "game/match.h"
#include "game/state.h"
#include "graphics/display.h"
#include "menu/menu.h"
#include "shell/shell.h"
#include "support/fake_input.h"

#ifndef __has_feature
#define __has_feature(feature) 0  // GCC before 14 knows only __SANITIZE_ADDRESS__
#endif
#if !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)

static std::atomic<long> allocations{-1};  // -1: not counting

static void* Counted(void* p) {
  if (allocations >= 0) ++allocations;
  return p;
}

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* malloc(size_t size) noexcept { return Counted(__libc_malloc(size)); }
extern "C" void* calloc(size_t n, size_t size) noexcept { return Counted(__libc_calloc(n, size)); }
extern "C" void* realloc(void* p, size_t size) noexcept { return Counted(__libc_realloc(p, size)); }

namespace {

// What `frames` runs of frame allocate.
long Allocations(int32_t frames, void (*frame)(int32_t)) {
  allocations = 0;
  for (int32_t i = 0; i < frames; ++i) frame(i);
  return allocations.exchange(-1);
}

// The cursor over every menu item in turn, and now and then a click on "Game Speed:".
void MenuFrameWithMouse(int32_t i) {
  fake::cursorX = screenWidth / 2 + 10;
  fake::cursorY = 160 + 30 * (i % 6);
  if (i % 40 == 0) fake::Click(screenWidth / 2 + 10, 220);
  MenuFrame();
}

int32_t shots = 0;

// Computer against computer; a finished match starts over as "Play!" would start it.
void MatchFrameOfTwoPilots(int32_t) {
  const int32_t fired = planes[0].fired + planes[1].fired;
  MatchFrame();
  shots += planes[0].fired + planes[1].fired - fired;
  if (matchOver == 1) ReturnToMenu();
  gameMode = MODE_MATCH;
}

TEST(FrameAllocation, MenuAndMatchFramesAllocateNothing) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_EQ(chdir(CORVANE_DATA_DIR), 0);
  ResetGameState();
  ResetShell();
  fake::Install();
  ASSERT_TRUE(StartUp() == 0 && boomSound != nullptr);           // the game runs with its sounds
  EXPECT_GT(Allocations(1, [](int32_t) { LoadBitmaps(); }), 0);  // the counter counts
  Allocations(30, MenuFrameWithMouse);
  EXPECT_EQ(Allocations(300, MenuFrameWithMouse), 0);
  cpuPlayers = 2;
  gameMode = MODE_MATCH;
  Allocations(300, MatchFrameOfTwoPilots);
  shots = 0;
  EXPECT_EQ(Allocations(500, MatchFrameOfTwoPilots), 0);
  EXPECT_GT(shots, 0);
  QuitGame();
  platform::backend.destroyWindow(mainWindow);
  mainWindow = nullptr;
  platform::ClearMessages();
  fake::Uninstall();
  ResetShell();
}

}  // namespace

#endif
