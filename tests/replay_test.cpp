// Recorded games: scripted key sequences replayed from fixed seeds, the whole game state hashed in
// every frame and compared with the stored reference. Any change to a rule, a constant or an order
// shows up as the first frame whose hash differs.
//
// When a rule changes on purpose, regenerate the references with scripts/record-replays.sh.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/match.h"
#include "game/state.h"
#include "shell/shell.h"
#include "support/fake_input.h"
#include "support/state_hash.h"

namespace {

constexpr int32_t kReplayFrames = 3000;

enum Key : uint32_t {
  P1_GAS = 1,
  P1_FIRE = 2,
  P1_UP = 4,
  P1_DOWN = 8,
  P2_GAS = 16,
  P2_FIRE = 32,
  P2_UP = 64,
  P2_DOWN = 128,
};

// A stretch of frames with a set of keys held.
struct Segment {
  int32_t frames;
  uint32_t keys;
};

// What a player does: take off, climb, then loop, dive and shoot.
const Segment kPilotScript[] = {
    {12, P1_GAS},           {4, P1_GAS | P1_UP},    {30, P1_GAS}, {18, P1_GAS | P1_UP},
    {25, P1_GAS | P1_FIRE}, {36, P1_UP | P1_FIRE},  {20, P1_GAS}, {9, P1_DOWN},
    {40, P1_GAS | P1_FIRE}, {14, P1_GAS | P1_DOWN}, {60, P1_GAS}, {10, P1_UP | P1_DOWN | P1_FIRE},
};

// The same script for player 2's keys.
uint32_t AsPlayer2(uint32_t keys) { return keys << 4; }

struct Scenario {
  const char* name;
  unsigned seed;
  int32_t cpuPlayers;
  int32_t cpuLevel;
  int32_t cpu2Level;
  bool secondHuman;
};

const Scenario kScenarios[] = {
    {"human_vs_easy", 101, 1, 0, 0, false},        {"human_vs_medium", 202, 1, 1, 0, false},
    {"human_vs_hard", 303, 1, 2, 0, false},        {"two_humans", 404, 0, 0, 0, true},
    {"computer_vs_computer", 505, 2, 2, 1, false},
};

uint32_t KeysAt(int32_t frame, int32_t offset) {
  int32_t total = 0;
  for (const Segment& s : kPilotScript) total += s.frames;
  int32_t t = (frame + offset) % total;
  for (const Segment& s : kPilotScript) {
    if (t < s.frames) return s.keys;
    t -= s.frames;
  }
  return 0;
}

void Press(uint32_t keys) {
  fake::keys[platform::VK_CONTROL] = keys & P1_GAS;
  fake::keys[platform::VK_SHIFT] = keys & P1_FIRE;
  fake::keys[platform::VK_LEFT] = keys & P1_UP;
  fake::keys[platform::VK_RIGHT] = keys & P1_DOWN;
  fake::keys[platform::VK_MENU] = keys & P2_GAS;
  fake::keys[platform::VK_KEY_Z] = keys & P2_FIRE;
  fake::keys[platform::VK_KEY_C] = keys & P2_UP;
  fake::keys[platform::VK_KEY_V] = keys & P2_DOWN;
}

// What happened in the last game played, counted across its matches.
struct Events {
  int32_t kills = 0;
  int32_t crashes = 0;
  int32_t fired = 0;
  int32_t matches = 0;
};
Events lastGame;

std::vector<uint64_t> Play(const Scenario& scenario) {
  lastGame = Events{};
  ResetGameState();
  ResetShell();
  fake::Install();
  fake::cursorX = 10;  // over the playfield, away from the panel buttons
  fake::cursorY = 10;
  std::srand(scenario.seed);
  PlaceClouds();
  ReturnToMenu();
  cpuPlayers = scenario.cpuPlayers;
  cpuLevel = scenario.cpuLevel;
  cpu2Level = scenario.cpu2Level;
  gameMode = MODE_MATCH;

  std::vector<uint64_t> hashes;
  hashes.reserve(kReplayFrames);
  for (int32_t frame = 0; frame < kReplayFrames; ++frame) {
    uint32_t keys = KeysAt(frame, 0);
    if (scenario.secondHuman) keys |= AsPlayer2(KeysAt(frame, 50));
    Press(keys);
    const int32_t before[3] = {planes[0].kills + planes[1].kills,
                               planes[0].crashes + planes[1].crashes,
                               planes[0].fired + planes[1].fired};
    MatchFrame();
    lastGame.kills += planes[0].kills + planes[1].kills - before[0];
    lastGame.crashes += planes[0].crashes + planes[1].crashes - before[1];
    lastGame.fired += planes[0].fired + planes[1].fired - before[2];
    if (matchOver == 1) {
      ++lastGame.matches;
      hashes.push_back(statehash::HashGameState());
      ReturnToMenu();
      gameMode = MODE_MATCH;
      continue;
    }
    hashes.push_back(statehash::HashGameState());
  }
  fake::Uninstall();
  return hashes;
}

std::string ReferencePath(const char* name) {
  return std::string(CORVANE_SOURCE_DIR) + "/tests/replays/" + name + ".txt";
}

bool Recording() {
  const char* v = std::getenv("CORVANE_RECORD_REPLAYS");
  return v != nullptr && v[0] == '1';
}

class ReplayTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(ReplayTest, StateMatchesTheRecordingInEveryFrame) {
  const Scenario& scenario = GetParam();
  const std::vector<uint64_t> hashes = Play(scenario);
  // The same game twice gives the same states: nothing depends on the clock or on memory.
  EXPECT_EQ(Play(scenario), hashes);

  const std::string path = ReferencePath(scenario.name);
  if (Recording()) {
    std::ofstream out(path);
    ASSERT_TRUE(out) << path;
    for (size_t i = 0; i < hashes.size(); ++i) {
      char line[40];
      std::snprintf(line, sizeof line, "%zu %016" PRIx64 "\n", i, hashes[i]);
      out << line;
    }
    GTEST_SKIP() << "recorded " << path;
  }

  std::ifstream in(path);
  ASSERT_TRUE(in) << "no recording at " << path << "; run scripts/record-replays.sh";
  std::vector<uint64_t> expected;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    size_t frame = 0;
    std::string hex;
    fields >> frame >> hex;
    expected.push_back(std::strtoull(hex.c_str(), nullptr, 16));
  }
  ASSERT_EQ(expected.size(), hashes.size());
  for (size_t i = 0; i < hashes.size(); ++i) {
    ASSERT_EQ(hashes[i], expected[i]) << scenario.name << ": the game first differs in frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Games, ReplayTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.name);
                         });

// The recordings are worth something only if the games in them are eventful.
TEST(ReplayScripts, EveryGameHasShotsKillsAndCrashes) {
  for (const Scenario& scenario : kScenarios) {
    Play(scenario);
    EXPECT_GT(lastGame.fired, 20) << scenario.name;
    EXPECT_GT(lastGame.kills, 0) << scenario.name;
    EXPECT_GT(lastGame.crashes, 0) << scenario.name;
    std::printf("%s: %d shots, %d kills, %d crashes, %d matches\n", scenario.name, lastGame.fired,
                lastGame.kills, lastGame.crashes, lastGame.matches);
  }
}

}  // namespace
