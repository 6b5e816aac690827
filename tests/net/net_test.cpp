// Online play: the packet checks, two rollback engines over a bad link against the match played on
// one machine, a desync and its record, and two sessions over the real network on loopback.
// This program counts every allocation of its own process, so it is a test program of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "game/input.h"
#include "game/match.h"
#include "net/packet.h"
#include "net/rollback.h"
#include "net/session.h"
#include "shell/shell.h"
#include "tests/support/fake_input.h"

// Counted by allocations.cpp while counting is set.
extern bool counting;
extern long allocations;

namespace {

using namespace net;

// A match as "Play!" starts it (the clouds at the left edge), that runs until the scripts end.
MatchState StartOfMatch() {
  ResetGameState();
  ReturnToMenu();
  gameMode = MODE_MATCH;
  cpuPlayers = 0;
  scoreToWin = 1000;
  MatchState start;
  SaveMatchState(&start);
  return start;
}

// ---- The packet checks ----

// A good packet of kind `base` (0 input, 1 greeting, 2 settings, 3 start, 4 pause, 5 leave), with
// `value` written over `width` bytes at `offset` (little-endian), then grown by `grow` bytes.
// clang-format off
struct BadPacket { const char* what; int base; size_t offset; int width; uint64_t value; int grow;
                   DecodeResult expected; };
const BadPacket kBadPackets[] = {
    {"a good input packet", 0, 0, 0, 0, 0, DECODE_OK},
    {"a good start", 3, 0, 0, 0, 0, DECODE_OK},
    {"nothing at all", 0, 0, 0, 0, -28, DECODE_EMPTY},
    {"an unknown type", 0, 0, 1, 9, 0, DECODE_UNKNOWN_TYPE},
    {"an input header cut short", 0, 0, 0, 0, -12, DECODE_WRONG_SIZE},
    {"more inputs than a packet carries", 0, 9, 1, 129, 124, DECODE_TOO_MANY},
    {"inputs after a gap", 0, 5, 4, 301, 0, DECODE_OUTSIDE_WINDOW},
    {"frame numbers past 2^32", 0, 5, 4, 0xFFFFFFF0u, 0, DECODE_OUTSIDE_WINDOW},
    {"an acknowledgement of frames not made yet", 0, 1, 4, 311, 0, DECODE_OUTSIDE_WINDOW},
    {"the hash of a frame not confirmed", 0, 11, 4, 305, 0, DECODE_OUTSIDE_WINDOW},
    {"an undefined input bit", 0, 25, 1, 0x41, 0, DECODE_BAD_INPUT},
    {"game speed 6", 2, 9, 1, 6, 0, DECODE_BAD_VALUE},
    {"a plane heading 36", 3, 106, 4, 36, 0, DECODE_BAD_VALUE},
    {"a plane at NaN", 3, 154, 8, 0x7FF8000000000000ull, 0, DECODE_BAD_VALUE},
};
// clang-format on

class BadPacketTest : public ::testing::TestWithParam<BadPacket> {};

TEST_P(BadPacketTest, IsRefusedForItsReason) {
  const BadPacket& row = GetParam();
  static uint8_t out[6][kMaxPacketBytes];
  const InputPacket input = {305, 298, 5, 0, 297, 42, {1, 2, 4, 8, 16}};
  MatchState state = StartOfMatch();
  state.paused = state.matchOver = 1;
  // clang-format off
  const size_t sizes[] = {EncodeInput(input, out[0]), EncodeHello(MakeHello(), out[1]),
      EncodeSettings({3, 5, 6}, out[2]), EncodeStart({3, 5, 6}, state, out[3]),
      EncodeByte(PACKET_PAUSE, 1, out[4]), EncodeByte(PACKET_LEAVE, 1, out[5])};
  // clang-format on
  std::vector<uint8_t> bytes(out[row.base], out[row.base] + sizes[row.base] + row.grow);
  for (int i = 0; i < row.width; ++i)
    bytes[row.offset + i] = static_cast<uint8_t>(row.value >> 8 * i);
  static Message message;
  EXPECT_EQ(DecodePacket(bytes.data(), bytes.size(), FrameWindow{300, 310}, &message), row.expected)
      << row.what << ": " << DecodeResultName(row.expected);
}

INSTANTIATE_TEST_SUITE_P(Net, BadPacketTest, ::testing::ValuesIn(kBadPackets));

// ---- Two rollback engines over a bad link, against the match played on one machine ----

Rollback engines[2];
constexpr int32_t kFrames = 3000;
uint64_t confirmedHash[2][kFrames];

// What a player does: take off, climb, then loop, dive and shoot; player 2 is 50 frames later in
// the same script. Player 1 pauses the match at frame 700, player 2 resumes it at 760 and clicks
// "Main Menu" in the last frame.
// clang-format off
struct Segment { int32_t frames; uint8_t bits; };
const Segment kScript[] = {
    {12, INPUT_GAS}, {4, INPUT_GAS | INPUT_NOSE_UP}, {30, INPUT_GAS}, {18, INPUT_GAS | INPUT_NOSE_UP},
    {25, INPUT_GAS | INPUT_FIRE}, {36, INPUT_NOSE_UP | INPUT_FIRE}, {20, INPUT_GAS}, {9, INPUT_NOSE_DOWN},
    {40, INPUT_GAS | INPUT_FIRE}, {14, INPUT_GAS | INPUT_NOSE_DOWN}, {60, INPUT_GAS},
    {10, INPUT_NOSE_UP | INPUT_NOSE_DOWN | INPUT_FIRE}};
const int kKeys[2][4] = {
    {platform::VK_CONTROL, platform::VK_SHIFT, platform::VK_LEFT, platform::VK_RIGHT},
    {platform::VK_MENU, platform::VK_KEY_Z, platform::VK_KEY_C, platform::VK_KEY_V}};
// clang-format on

uint8_t Recorded(int32_t player, uint32_t frame) {
  const uint8_t event = frame == (player == 0 ? 700u : 760u)  ? INPUT_PAUSE
                        : frame == kFrames - 1 && player == 1 ? INPUT_MAIN_MENU
                                                              : 0;
  int32_t t = static_cast<int32_t>((frame + 50 * player) % 278);
  for (const Segment& s : kScript) {
    if (t < s.frames) return s.bits | event;
    t -= s.frames;
  }
  return event;
}

// The same players at one keyboard: their keys held, P pressed between frames, the click.
std::vector<uint64_t> PlayOffline(const MatchState& start) {
  RestoreMatchState(start);
  fake::Install();
  std::vector<uint64_t> hashes;
  for (uint32_t f = 0; f < kFrames; ++f) {
    for (int p = 0; p < 8; ++p) fake::keys[kKeys[p / 4][p % 4]] = Recorded(p / 4, f) >> p % 4 & 1;
    if (((Recorded(0, f) | Recorded(1, f)) & INPUT_PAUSE) != 0)
      WindowProc({platform::MSG_KEYDOWN, platform::VK_KEY_P});
    if ((Recorded(1, f) & INPUT_MAIN_MENU) != 0) fake::Click(600, 430);
    MatchFrame();
    hashes.push_back(HashCurrentMatch());
  }
  fake::Uninstall();
  return hashes;
}

// clang-format off
struct LinkCase { const char* name; int32_t speed, latencyMs, jitterMs, lossPercent, duplicatePercent,
                  lateStartMs; };
// clang-format on

// Packets in flight, each due at its own time: jitter reorders them.
struct Link {
  // clang-format off
  struct Packet { int64_t dueUs; int32_t to; size_t size; uint8_t bytes[kMaxPacketBytes]; } queue[1024];
  // clang-format on
  int32_t count = 0;
  LinkCase c;
  std::mt19937 rng{1234};
  bool Chance(int32_t percent) { return static_cast<int32_t>(rng() % 100) < percent; }
  void Send(int32_t to, const uint8_t* data, size_t size, int64_t nowUs) {
    int32_t i = Chance(c.lossPercent) ? 2 : Chance(c.duplicatePercent) ? 0 : 1;
    for (; i < 2 && count < 1024; ++i) {
      const auto jitter = static_cast<int64_t>(rng() % (2000 * c.jitterMs + 1)) - 1000 * c.jitterMs;
      queue[count] = Packet{nowUs + c.latencyMs * 1000 + jitter, to, size, {}};
      std::copy(data, data + size, queue[count++].bytes);
    }
  }
  void Deliver(int32_t to, int64_t nowUs) {
    for (int32_t i = count - 1; i >= 0; --i) {
      if (queue[i].to != to || queue[i].dueUs > nowUs) continue;
      RollbackReceive(&engines[to], queue[i].bytes, queue[i].size);
      queue[i] = queue[--count];
    }
  }
} link;

void OnConfirmed(void* rb, uint32_t frame, uint64_t hash) {
  if (frame < kFrames) confirmedHash[static_cast<Rollback*>(rb)->localPlayer][frame] = hash;
}

// Both sides as two machines would run them, side 1 starting late with a clock 0.3% slow, until
// both have confirmed every frame or found a desync. Side 1's state is spoilt at frame spoilAt.
// Returns the most frames in a row either side held its input back during the match.
int32_t PlayOnline(const LinkCase& c, const MatchState& start, uint32_t spoilAt = kNoFrame) {
  link.c = c;
  link.count = 0;
  for (int32_t side = 0; side < 2; ++side) {
    RestoreMatchState(start);
    RollbackStart(&engines[side], side, c.speed);
    engines[side].onConfirmed = OnConfirmed;
    engines[side].user = &engines[side];
  }
  const int64_t periodUs = (c.speed == 5 ? 1 : (5 - c.speed) * 10) * 1000;
  int64_t due[2] = {0, c.lateStartMs * 1000};
  int32_t held[2] = {0, 0}, longestHeld = 0;
  for (int64_t now = 0; now < 600000000; now += 250) {
    const bool desynced = engines[0].desynced && engines[1].desynced;
    if (std::min(engines[0].confirmed, engines[1].confirmed) >= kFrames || desynced) break;
    for (int32_t side = 0; side < 2; ++side) {
      Rollback& rb = engines[side];
      counting = true;
      link.Deliver(side, now);
      if (now >= due[side]) {
        due[side] += side == 0 ? periodUs : periodUs * 1003 / 1000;
        for (uint32_t f = rb.confirmed; side == 1 && rb.frame == spoilAt && f <= rb.frame; ++f)
          rb.states[f % kStateRing].planes[0].x += 0.5;
        const FrameResult result = RollbackAdvance(&rb, Recorded(side, rb.frame));
        held[side] = result == FRAME_SIMULATED || rb.endFrame != kNoFrame ? 0 : held[side] + 1;
        longestHeld = std::max(longestHeld, held[side]);
        static uint8_t out[kMaxPacketBytes];
        link.Send(1 - side, out, RollbackOutgoing(rb, out), now);
      }
      counting = false;
    }
  }
  return longestHeld;
}

class RollbackLinkTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(RollbackLinkTest, BothSidesConfirmTheOfflineMatchFrameByFrame) {
  const MatchState start = StartOfMatch();
  const std::vector<uint64_t> offline = PlayOffline(start);
  allocations = 0;
  const int32_t longestHeld = PlayOnline(GetParam(), start);
  EXPECT_EQ(allocations, 0);
  for (const Rollback& rb : engines) {
    ASSERT_GE(rb.confirmed, static_cast<uint32_t>(kFrames));
    EXPECT_GT(rb.stats.rollbacks, 0u);
    EXPECT_EQ(rb.endFrame, static_cast<uint32_t>(kFrames));  // both back to the menu after it
  }
  EXPECT_GT(engines[0].stats.waits, 0u);  // the side ahead waited for the other
  EXPECT_TRUE(GetParam().speed == 5 || longestHeld <= 2) << longestHeld;
  for (int32_t f = 0; f < kFrames; ++f) {
    ASSERT_EQ(confirmedHash[0][f], offline[f]) << "frame " << f;
    ASSERT_EQ(confirmedHash[1][f], offline[f]) << "frame " << f;
  }
}

// clang-format off
const LinkCase kLinks[] = {
    {"speed4_60ms", 4, 60, 20, 5, 5, 37},
    {"speed5_60ms", 5, 60, 20, 5, 5, 37},
    {"speed1_30ms", 1, 30, 10, 5, 5, 90}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Net, RollbackLinkTest, ::testing::ValuesIn(kLinks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Desync, IsFoundOnBothSidesAndLeavesTheInputsAsARecordedGame) {
  const MatchState start = StartOfMatch();
  const std::vector<uint64_t> offline = PlayOffline(start);
  PlayOnline(LinkCase{"clean", 4, 20, 0, 0, 0, 0}, start, 500);
  ASSERT_TRUE(engines[0].desynced && engines[1].desynced);
  const std::string prefix = ::testing::TempDir() + "desync-" + std::to_string(getpid());
  char why[256] = "";
  ASSERT_TRUE(WriteDesyncRecord(engines[0], prefix.c_str(), why, sizeof why)) << why;
  std::ifstream in(prefix + "-inputs.txt");
  uint32_t frame = 0, lines = 0;
  std::string hex;
  while (in >> frame >> hex) {  // side 0 was not spoilt: its record is the game as played
    ASSERT_EQ(frame, lines++);
    ASSERT_EQ(std::stoul(hex, nullptr, 16), RecordedInputs(Recorded(0, frame), Recorded(1, frame)));
    ASSERT_EQ(confirmedHash[0][frame], offline[frame]);
  }
  EXPECT_EQ(lines, engines[0].confirmed);
  EXPECT_FALSE(WriteDesyncRecord(engines[0], "/nonexistent/x", why, sizeof why));
  EXPECT_STREQ(why, "cannot write /nonexistent/x-inputs.txt: No such file or directory");
}

// ---- Two sessions over the real network, on loopback ----

Session host, join, third;

// Services every open session until done() holds, for at most 3 s.
template <typename Done>
void Pump(Done done) {
  for (int32_t i = 0; i < 3000 && !done(); ++i) {
    for (Session* s : {&host, &join, &third})
      if (s->link != nullptr) SessionService(s, &engines[s == &host ? 0 : 1], platform::TimeMs());
    usleep(1000);
  }
}

TEST(Transport, SessionsRefuseAnotherVersionAndAThirdMachineAndPlayWithoutAllocating) {
  StartOfMatch();
  const auto port = static_cast<uint16_t>(20000 + getpid() % 20000);
  ASSERT_TRUE(SessionHost(&host, port, platform::TimeMs())) << host.message;
  ASSERT_TRUE(SessionJoin(&third, "127.0.0.1", port, platform::TimeMs())) << third.message;
  third.hello.gameVersion = 0x0103;
  Pump([] { return third.state == SESSION_CLOSED && host.message[0] == 'V'; });
  const std::string differ = "Versions differ: this game is 1.";
  EXPECT_EQ(host.message, differ + "2 (online 1), the other 1.3 (online 1)");
  EXPECT_EQ(third.message, differ + "3 (online 1), the other 1.2 (online 1)");
  ASSERT_TRUE(SessionJoin(&join, "127.0.0.1", port, platform::TimeMs()));
  Pump([] { return host.state == SESSION_READY && join.state == SESSION_READY; });
  ASSERT_TRUE(SessionJoin(&third, "127.0.0.1", port, platform::TimeMs()));
  Pump([] { return third.state == SESSION_CLOSED; });
  EXPECT_STREQ(third.message, "That game already has two players");
  SessionStartMatch(&host, &engines[0]);
  Pump([] { return join.state == SESSION_PLAYING; });
  const uint32_t heapBefore = platform::NetHeapAllocations();
  allocations = 0;
  for (int32_t i = 0, passes = 0; i < 600; ++i, passes = 0) {
    counting = true;
    RollbackAdvance(&engines[i % 2], i % 2 == 0 ? INPUT_GAS : INPUT_NOSE_UP);
    SessionSendInputs(i % 2 == 0 ? &host : &join, engines[i % 2]);
    Pump([&] { return passes++ > 0; });  // every session once
    counting = false;
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(platform::NetHeapAllocations(), heapBefore);
  EXPECT_EQ(engines[0].log[200], INPUT_GAS | INPUT_NOSE_UP << 8);  // frame 200 confirmed
  SessionLeave(&join, LEAVE_QUIT);
  SessionLeave(&host, LEAVE_QUIT);
}

}  // namespace
