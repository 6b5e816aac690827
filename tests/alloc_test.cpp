// Nothing is allocated per frame: after a warm-up, a thousand menu frames and a thousand match
// frames (two computer pilots, the real pictures drawn into the real back buffer, presented
// through SDL's headless video driver, the sound device open) allocate nothing on the heap.
//
// Every operator new of this test program is counted, and so is every malloc, calloc and realloc
// of the process, SDL's included: the program defines them itself, over glibc's. Under
// AddressSanitizer, which owns malloc, only operator new is counted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>
#include <string>

#include "game/match.h"
#include "game/state.h"
#include "graphics/display.h"
#include "menu/menu.h"
#include "shell/shell.h"
#include "sound/effects.h"
#include "support/fake_input.h"

#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_ASAN 1
#endif
#endif

namespace {

std::atomic<bool> counting{false};
std::atomic<long> newCalls{0};
std::atomic<long> mallocCalls{0};
std::atomic<long> allCalls{0};
std::atomic<size_t> firstSize{0};

void Count(std::atomic<long>& calls, size_t size) {
  if (!counting.load(std::memory_order_relaxed)) return;
  calls.fetch_add(1, std::memory_order_relaxed);
  if (allCalls.fetch_add(1, std::memory_order_relaxed) == 0) firstSize = size;
}

void* NewBytes(size_t size) {
  Count(newCalls, size);
  return std::malloc(size == 0 ? 1 : size);
}

void* NewAligned(size_t size, std::align_val_t align) {
  Count(newCalls, size);
  const size_t a = static_cast<size_t>(align);
  return std::aligned_alloc(a, (size + a - 1) / a * a);
}

}  // namespace

// ---- operator new and delete ----

void* operator new(size_t size) {
  if (void* p = NewBytes(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) {
  if (void* p = NewBytes(size)) return p;
  throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept { return NewBytes(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return NewBytes(size); }
void* operator new(size_t size, std::align_val_t align) {
  if (void* p = NewAligned(size, align)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size, std::align_val_t align) {
  if (void* p = NewAligned(size, align)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { std::free(p); }

// ---- The C allocator, for SDL and everything else in the process ----

#if !defined(CORVANE_ASAN)
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);

void* malloc(size_t size) noexcept {
  Count(mallocCalls, size);
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) noexcept {
  Count(mallocCalls, count * size);
  return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size) noexcept {
  Count(mallocCalls, size);
  return __libc_realloc(p, size);
}
void free(void* p) noexcept { __libc_free(p); }
}
constexpr bool kCountsMalloc = true;
#else
constexpr bool kCountsMalloc = false;
#endif

namespace {

struct Allocations {
  long viaNew;
  long viaMalloc;
  size_t firstSize;
};

// Counts what `frames` runs of frame allocate.
template <typename Frame>
Allocations CountAllocations(int32_t frames, Frame frame) {
  newCalls = 0;
  mallocCalls = 0;
  allCalls = 0;
  firstSize = 0;
  counting = true;
  for (int32_t i = 0; i < frames; ++i) frame(i);
  counting = false;
  return {newCalls.load(), mallocCalls.load(), firstSize.load()};
}

::testing::AssertionResult NothingAllocated(const Allocations& a) {
  if (a.viaNew == 0 && a.viaMalloc == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << a.viaNew << " operator new and " << a.viaMalloc
         << " malloc-family calls; the first asked for " << a.firstSize << " bytes";
}

TEST(AllocationCounting, SeesOperatorNewAndMalloc) {
  const Allocations a = CountAllocations(3, [](int32_t) {
    int* volatile one = new int(5);
    delete one;
    std::string* volatile text = new std::string(100, 'x');
    delete text;
  });
  // The int, the string and the string's characters, three times; operator new takes its memory
  // from malloc, which counts it again where malloc is counted.
  EXPECT_EQ(a.viaNew, 9);
  EXPECT_EQ(a.viaMalloc, kCountsMalloc ? 9 : 0);
  EXPECT_EQ(a.firstSize, sizeof(int));
  const Allocations m = CountAllocations(1, [](int32_t) {
    // Called through a volatile pointer, so the compiler cannot drop the pair.
    void* (*volatile allocate)(size_t) = std::malloc;
    std::free(allocate(24));
  });
  EXPECT_EQ(m.viaMalloc, kCountsMalloc ? 1 : 0);
  EXPECT_EQ(m.viaNew, 0);
}

// The game as it runs: window and screen on the dummy video driver, the sound device on the dummy
// audio driver, the pictures and sounds from the data directory; scripted input.
class FrameAllocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    oldDir_ = cwd;
    ASSERT_EQ(chdir(CORVANE_DATA_DIR), 0);
    ResetGameState();
    ResetShell();
    fake::Install();
    platform::ClearMessages();
    SetScreenSize(640, 480);
    ASSERT_EQ(CreateMainWindow(), 1);
    ASSERT_EQ(InitDirectDraw(), 1) << displayFailure;
    InitDirectSound();
    ASSERT_NE(directSound, nullptr);
    LoadDirectSound(&fireSound, "sounds/fire.wav");
    LoadDirectSound(&boomSound, "sounds/boom.wav");
    ASSERT_NE(fireSound, nullptr);
    ASSERT_NE(boomSound, nullptr);
    LoadBitmaps();
    std::srand(4242u);
    PlaceClouds();
    ReturnToMenu();
  }
  void TearDown() override {
    QuitGame();
    platform::ClearMessages();
    for (platform::Surface** picture :
         {&backgroundSurface, &blankSurface, &menuTitleSurface, &rightPanelSurface, &buttonsSurface,
          &bulletSurface, &planeSurface, &fireSurface, &cloudSurface, &towerSurface,
          &lettersSurface, &numbersSurface}) {
      platform::FreeSurface(*picture);
      *picture = nullptr;
    }
    if (mainWindow != nullptr) platform::backend.destroyWindow(mainWindow);
    mainWindow = nullptr;
    fake::Uninstall();
    ResetShell();
    ASSERT_EQ(chdir(oldDir_.c_str()), 0);
  }
  std::string oldDir_;
};

// The cursor goes over every menu item in turn, and every so often clicks "Game Speed:", so the
// highlight, the values and a click's action are all drawn and done.
int32_t speedSteps = 0;

void MenuFrameWithMouse(int32_t i) {
  const int32_t c = screenWidth / 2;
  const int32_t tops[] = {150, 180, 210, 240, 270, 300, 420, 5};
  fake::cursorX = c + 10;
  fake::cursorY = tops[i % 8] + 10;
  if (i % 50 == 0) fake::Click(c + 10, 220);
  const int32_t speed = gameSpeed;
  MenuFrame();
  if (gameSpeed != speed) ++speedSteps;
}

TEST_F(FrameAllocationTest, MenuFramesAllocateNothing) {
  gameMode = MODE_MENU;
  for (int32_t i = 0; i < 100; ++i) MenuFrameWithMouse(i);
  speedSteps = 0;
  const Allocations a = CountAllocations(1000, MenuFrameWithMouse);
  EXPECT_TRUE(NothingAllocated(a));
  EXPECT_EQ(gameMode, MODE_MENU);
  EXPECT_EQ(speedSteps, 20);  // the clicks were acted on
  EXPECT_FALSE(IsQuitting());
}

int32_t shotsFired = 0;

// Computer against computer; a finished match starts over as "Play!" would start it.
void MatchFrameOfTwoPilots(int32_t) {
  const int32_t fired = planes[0].fired + planes[1].fired;
  MatchFrame();
  shotsFired += planes[0].fired + planes[1].fired - fired;
  if (matchOver == 1) {
    ReturnToMenu();
    gameMode = MODE_MATCH;
  }
}

TEST_F(FrameAllocationTest, MatchFramesAllocateNothing) {
  cpuPlayers = 2;
  gameMode = MODE_MATCH;
  for (int32_t i = 0; i < 300; ++i) MatchFrameOfTwoPilots(i);
  shotsFired = 0;
  const Allocations a = CountAllocations(1000, MatchFrameOfTwoPilots);
  EXPECT_TRUE(NothingAllocated(a));
  EXPECT_EQ(gameMode, MODE_MATCH);
  EXPECT_GT(shotsFired, 0);  // the pilots flew and fought, with their sounds
}

}  // namespace
