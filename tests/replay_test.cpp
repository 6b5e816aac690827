// Recorded games: scripted keys from fixed seeds, the whole game state hashed in every frame and
// compared with tests/replays/NAME.txt. A change to any rule, constant or order shows as the first
// frame that differs. After a change on purpose, record anew with scripts/record-replays.sh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <span>
#include <string>
#include <vector>

#include "game/match.h"
#include "support/planes.h"

namespace {

using namespace fake;  // the key bits

uint64_t HashGameState() {
  uint64_t h = 1469598103934665603ull;  // FNV-1a over each value's bytes, never padding
  const auto add = [&h](const auto&... values) {
    for (const auto& [data, size] :
         {std::pair{static_cast<const void*>(&values), sizeof values}...}) {
      for (size_t i = 0; i < size; ++i) {
        h = (h ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
      }
    }
  };
  add(gameMode, gameSpeed, cpuPlayers, cpuLevel, cpu2Level, scoreToWin, maxBullets, paused);
  add(matchOver, matchFramePeriod);
  for (const Cloud& c : clouds) add(c.x, c.y);
  for (const Plane& p : planes) {
    add(p.playerNumber, p.x, p.y, p.speed, p.screenX, p.screenY, p.headingIndex, p.vx, p.vy);
    add(p.onGround, p.crashed, p.crashTimer, p.bulletCount);
    for (const Bullet& b : std::span(p.bullets, p.bulletCount)) {
      add(b.screenX, b.screenY, b.x, b.y, b.vx, b.vy, b.life);
    }
    add(p.color, p.score, p.kills, p.crashes, p.fired, p.cpuPhase, p.cpuClimbFrames);
  }
  return h;
}

// A player's game, 278 frames round: take off, climb, loop, dive and shoot. {frames, keys}
const uint32_t kScript[][2] = {
    {12, P1_GAS},           {4, P1_GAS | P1_UP},    {30, P1_GAS}, {18, P1_GAS | P1_UP},
    {25, P1_GAS | P1_FIRE}, {36, P1_UP | P1_FIRE},  {20, P1_GAS}, {9, P1_DOWN},
    {40, P1_GAS | P1_FIRE}, {14, P1_GAS | P1_DOWN}, {60, P1_GAS}, {10, P1_UP | P1_DOWN | P1_FIRE}};

uint32_t KeysAt(uint32_t frame) {
  frame %= 278;
  for (const auto& s : kScript) {
    if (frame < s[0]) return s[1];
    frame -= s[0];
  }
  return 0;
}

// {name, seed, cpuPlayers, cpuLevel, cpu2Level}
using Game = std::tuple<std::string, unsigned, int32_t, int32_t, int32_t>;
const Game kGames[] = {{"human_vs_easy", 101, 1, 0, 0},
                       {"human_vs_medium", 202, 1, 1, 0},
                       {"human_vs_hard", 303, 1, 2, 0},
                       {"two_humans", 404, 0, 0, 0},
                       {"computer_vs_computer", 505, 2, 2, 1}};

class ReplayTest : public testplanes::Fresh, public ::testing::WithParamInterface<Game> {};

// 3000 frames; player 2 keeps 50 frames ahead of player 1 in the script.
TEST_P(ReplayTest, StateMatchesTheRecordingInEveryFrame) {
  const auto& [name, seed, cpus, level, level2] = GetParam();
  std::srand(seed);
  PlaceClouds();
  std::tie(cpuPlayers, cpuLevel, cpu2Level) = std::tuple(cpus, level, level2);
  std::vector<uint64_t> hashes;
  // "Play!" again after each match.
  for (uint32_t frame = 0; frame < 3000; ++frame) {
    gameMode = MODE_MATCH;
    Hold(KeysAt(frame) | KeysAt(frame + 50) << 4);
    MatchFrame();
    hashes.push_back(HashGameState());
    if (matchOver == 1) ReturnToMenu();
  }
  const std::string path = CORVANE_SOURCE_DIR "/tests/replays/" + name;
  if (const char* record = std::getenv("CORVANE_RECORD_REPLAYS"); record && *record == '1') {
    std::ofstream out(path + ".txt");
    for (size_t i = 0; i < hashes.size(); ++i) {
      out << std::dec << i << std::hex << std::setfill('0') << ' ' << std::setw(16) << hashes[i]
          << '\n';
    }
    GTEST_SKIP() << "recorded " << path;
  }
  std::ifstream in(path + ".txt");
  size_t frame = 0;
  for (uint64_t hash; in >> std::dec >> frame >> std::hex >> hash && frame < hashes.size();) {
    ASSERT_EQ(hashes[frame], hash) << "first difference in frame " << frame;
  }
  EXPECT_EQ(frame + 1, hashes.size()) << path;
}

INSTANTIATE_TEST_SUITE_P(Games, ReplayTest, ::testing::ValuesIn(kGames),
                         [](const auto& game) { return std::get<0>(game.param); });

}  // namespace
