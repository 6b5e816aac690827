#include "game/state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "support/fake_input.h"

// The C library's rand for this whole test program: fake::script first, as RandomNumber values,
// then the library's own generator (glibc's rand is random()).
extern "C" int rand() noexcept {
  const int32_t i = fake::rolls++;
  if (i >= fake::scripted || fake::script[i] < 0) return static_cast<int>(random());
  return static_cast<int>(fake::script[i] * ((RAND_MAX + 1ll) / 32768));
}

namespace {

using std::tuple;

// Taken before any test runs.
const GameSettings kStart = settings;

TEST(StateTest, ResetGivesTheStartingSettings) {
  ResetGameState();
  EXPECT_EQ(std::memcmp(&settings, &kStart, sizeof settings), 0);
}

// Back to the menu: both planes on their runways, shown there; the pilots' memory stays.
TEST(StateTest, ReturnToMenu) {
  // {width, height, plane 2's x, the runways' height}
  const int32_t cases[][4] = {{640, 480, 312, 420}, {800, 600, 392, 525}};
  for (const auto& c : cases) {
    ResetGameState();
    SetScreenSize(c[0], c[1]);
    for (Plane& p : planes) std::tie(p.score, p.bulletCount, p.cpuPhase) = tuple(4, 3, 3);
    std::tie(gameMode, paused, matchOver) = tuple(MODE_MATCH, 1, 1);
    ReturnToMenu();
    for (const int32_t i : {0, 1}) {
      const Plane& p = planes[i];
      const int32_t x = i == 0 ? 10 : c[2];
      EXPECT_EQ(tuple(p.x, p.y, p.screenX, p.screenY, p.playerNumber, p.color, p.score,
                      p.bulletCount, p.onGround, p.cpuPhase),
                tuple(x, c[3], x, c[3], i + 1, i, 0, 0, 1, 3));
    }
    EXPECT_EQ(tuple(gameMode, paused, matchOver), tuple(MODE_MENU, 0, 0));
  }
  EXPECT_STREQ(resolutionLabel, "800x600x16");
}

// All of 0..32767, and nothing beyond.
TEST(StateTest, RandomNumbers) {
  std::srand(1);
  static int32_t r[100000];
  std::generate(std::begin(r), std::end(r), RandomNumber);
  const auto [low, high] = std::minmax_element(std::begin(r), std::end(r));
  EXPECT_EQ(std::tuple(*low, *high), std::tuple(0, 32767));
}

}  // namespace
