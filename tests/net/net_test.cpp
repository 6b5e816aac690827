// Online play: the packet checks, two rollback engines over a bad link against the match played on
// one machine, a desync and its record, and two sessions over the real network on loopback.
// This program counts every allocation of its own process, so it is a test program of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "game/input.h"
#include "game/match.h"
#include "net/online.h"
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

uint8_t Recorded(int32_t player, uint32_t frame, uint32_t length = kFrames) {
  const uint8_t event = frame == (player == 0 ? length * 7 / 30 : length * 19 / 75) ? INPUT_PAUSE
                        : frame == length - 1 && player == 1 ? INPUT_MAIN_MENU
                                                             : 0;
  int32_t t = static_cast<int32_t>((frame + 50 * player) % 278);
  for (const Segment& s : kScript) {
    if (t < s.frames) return s.bits | event;
    t -= s.frames;
  }
  return event;
}

// The same players at one keyboard: their keys held, P pressed between frames, the click.
std::vector<uint64_t> PlayOffline(const MatchState& start, uint32_t frames = kFrames,
                                  uint32_t length = kFrames) {
  RestoreMatchState(start);
  fake::Install();
  std::vector<uint64_t> hashes;
  for (uint32_t f = 0; f < frames; ++f) {
    const uint8_t in[2] = {Recorded(0, f, length), Recorded(1, f, length)};
    for (int p = 0; p < 8; ++p) fake::keys[kKeys[p / 4][p % 4]] = in[p / 4] >> p % 4 & 1;
    if (((in[0] | in[1]) & INPUT_PAUSE) != 0)
      WindowProc({platform::MSG_KEYDOWN, platform::VK_KEY_P});
    if ((in[1] & INPUT_MAIN_MENU) != 0) fake::Click(600, 430);
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

// ---- The game's own online frames, as the shell runs them, against a session in this process ----

TEST(OnlineFrames, AllocateNothingAndADesyncStopsTheMatchWithARecord) {
  StartOfMatch();
  const auto port = static_cast<uint16_t>(21000 + getpid() % 20000);
  const std::string records = ::testing::TempDir() + "state-" + std::to_string(getpid());
  setenv("XDG_STATE_HOME", records.c_str(), 1);
  ASSERT_EQ(OnlineOpen(true, nullptr, port, platform::TimeMs()), 0);
  ASSERT_TRUE(SessionJoin(&join, "127.0.0.1", port, platform::TimeMs()));
  uint32_t heap = 0;
  allocations = 0;
  // Until the match runs, then 1000 frames counted, then until the spoilt state is found.
  for (int32_t i = 0, phase = 0; i < 5000 && phase < 3; ++i) {
    if (phase == 0 && OnlineMatchRuns()) phase = 1, i = 0, heap = platform::NetHeapAllocations();
    if (phase == 1 && i == 1000) phase = 2, heap = platform::NetHeapAllocations() - heap;
    if (phase == 2 && i == 1001) engines[1].states[engines[1].frame % kStateRing].planes[1].x += 1;
    if (phase == 2 && !OnlineMatchRuns()) phase = 3;
    counting = phase == 1;
    OnlinePass(platform::TimeMs());
    if (phase == 0 && OnlineSession().state == SESSION_READY) OnlineStartMatch();
    if (OnlineMatchRuns()) OnlineMatchFrame(false);
    SessionService(&join, &engines[1], platform::TimeMs());
    if (join.state == SESSION_PLAYING) RollbackAdvance(&engines[1], i % 50 < 30 ? INPUT_GAS : 0);
    SessionSendInputs(&join, engines[1]);
    counting = false;
    usleep(500);
  }
  EXPECT_GT(OnlineRollback().confirmed, 500u);
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(heap, 0u);
  EXPECT_TRUE(!OnlineMatchRuns() && gameMode == MODE_MENU);
  char line[320];
  OnlineStatusLine(line, sizeof line);
  const std::string status = line, record = records + "/corvane-altor/desync-host-";
  ASSERT_EQ(status.rfind("The two games went apart (desync) at frame ", 0), 0u) << status;
  const std::string prefix = status.substr(status.find(record), record.size() + 15);
  EXPECT_TRUE(std::ifstream(prefix + "-inputs.txt").good()) << status;
  SessionLeave(&join, LEAVE_QUIT);
  OnlineReset();
}

// ---- Two real games, each fed a script, through a UDP relay that makes the link bad ----

int64_t NowMs() { return static_cast<int64_t>(platform::TimeMs()); }

sockaddr_in Loopback(uint16_t port) { return {AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}}; }

// Between the joining game (which joins the relay) and the host: 60 ms late give or take 20 (so
// packets overtake each other), 5% lost, 5% delivered twice; nothing passes once the joining game
// has sent cutAfter datagrams. Loopback only.
struct Relay {
  int sockets[2];  // [0] faces the joining game, [1] the host
  sockaddr_in to[2];
  int64_t firstMs = -1, cutMs = -1;
  int32_t cutAfter;
  std::mt19937 rng{77};
  // clang-format off
  struct Datagram { int64_t dueMs; int side; std::vector<uint8_t> bytes; };
  // clang-format on
  std::vector<Datagram> queue;
  Relay(uint16_t port, uint16_t hostPort, int32_t cut) : to{{}, Loopback(hostPort)}, cutAfter(cut) {
    for (int side = 0; side < 2; ++side) {
      sockets[side] = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
      const sockaddr_in at = Loopback(side == 0 ? port : 0);
      EXPECT_EQ(bind(sockets[side], reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
    }
  }
  ~Relay() { close(sockets[0]), close(sockets[1]); }
  void Pass(int64_t now) {
    uint8_t bytes[2048];
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    for (int side = 0; side < 2; ++side) {
      for (ssize_t n; (n = recvfrom(sockets[side], bytes, sizeof bytes, 0,
                                    reinterpret_cast<sockaddr*>(&from), &fromLen)) > 0;) {
        if (side == 0) to[0] = from;
        if (firstMs < 0) firstMs = now;
        if (side == 0 && --cutAfter == 0) cutMs = now;
        const int copies = cutMs >= 0 || rng() % 100 < 5 ? 0 : rng() % 100 < 5 ? 2 : 1;
        for (int c = 0; c < copies; ++c)
          queue.push_back({now + 40 + static_cast<int64_t>(rng() % 41), 1 - side,
                           std::vector<uint8_t>(bytes, bytes + n)});
      }
    }
    for (size_t i = queue.size(); i-- > 0;) {
      const Datagram& d = queue[i];
      if (d.dueMs > now) continue;
      sendto(sockets[d.side], d.bytes.data(), d.bytes.size(), 0,
             reinterpret_cast<const sockaddr*>(&to[d.side]), sizeof to[0]);
      queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
};

::testing::AssertionResult Has(const std::string& path, const std::string& text) {
  std::ifstream in(path);
  const std::string all(std::istreambuf_iterator<char>(in), {});
  if (all.find(text) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << path << " lacks \"" << text << "\":\n" << all;
}

// "NAME NUMBER" lines (hexadecimal numbers when hex), in order.
std::vector<uint64_t> Numbers(const std::string& path, bool hex) {
  std::ifstream in(path);
  std::vector<uint64_t> numbers;
  std::string name, number;
  while (in >> name >> number) numbers.push_back(std::stoull(number, nullptr, hex ? 16 : 10));
  return numbers;
}

// Starts the game from its data directory with the script and the log of PREFIX.
pid_t StartGame(const std::string& prefix, std::vector<std::string> args) {
  args.insert(args.begin(), CORVANE_GAME_EXE);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  dup2(open((prefix + "-stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
  setenv("CORVANE_NET_SCRIPT", (prefix + "-script.txt").c_str(), 1);
  setenv("CORVANE_NET_LOG", prefix.c_str(), 1);
  if (chdir(CORVANE_DATA_DIR) == 0) execv(CORVANE_GAME_EXE, argv.data());
  _exit(127);
}

// clang-format off
struct Game { std::string prefix; pid_t pid; int status; int64_t endMs; };
// clang-format on

uint16_t GamePort() { return static_cast<uint16_t>(40000 + getpid() % 10000 * 2); }

// The host and the joining game play the scripts of `length` frames at `speed` through the relay
// (cut after cutAfter datagrams); endMs counts from the cut, or else the first datagram;
// also, between the host's start and the other's, a game of another version tries to join and
// another game tries to host on the same port. during(ms since the relay's first datagram) runs
// in every pass. Both games must end by themselves within 25 s.
template <typename During>
std::vector<Game> PlayTwoGames(int speed, uint32_t length, int32_t cutAfter, During during) {
  const uint16_t port = GamePort();
  const std::string dir = ::testing::TempDir() + "games-" + std::to_string(getpid()) + "-";
  std::vector<Game> games = {{dir + "host", 0, -1, 0}, {dir + "join", 0, -1, 0}};
  for (int side = 0; side < 2; ++side) {
    std::ofstream script(games[side].prefix + "-script.txt");
    if (side == 0) script << "speed " << speed << '\n';
    for (uint32_t f = 0; f < length; ++f)
      script << f << ' ' << std::hex << +Recorded(side, f, length) << std::dec << '\n';
  }
  Relay relay(port + 1, port, cutAfter);
  games[0].pid = StartGame(games[0].prefix, {"--host", std::to_string(port)});
  EXPECT_TRUE(SessionJoin(&third, "127.0.0.1", port, platform::TimeMs()));
  third.hello.gameVersion = 0x0103;
  Pump([] { return third.state == SESSION_CLOSED; });
  EXPECT_STREQ(third.message,
               "Versions differ: this game is 1.3 (online 1), the other 1.2 (online 1)");
  int status = 0;
  waitpid(StartGame(dir + "busy", {"--host=" + std::to_string(port)}), &status, 0);
  EXPECT_EQ(status, 1 << 8);
  EXPECT_TRUE(Has(dir + "busy-stderr.txt", "corvane-altor: cannot listen on UDP port " +
                                               std::to_string(port) + " (is another game"));
  games[1].pid = StartGame(games[1].prefix, {"--join", "localhost:" + std::to_string(port + 1)});
  for (const int64_t start = NowMs();
       NowMs() - start < 25000 && (games[0].status < 0 || games[1].status < 0);) {
    relay.Pass(NowMs());
    if (relay.firstMs >= 0) during(NowMs() - relay.firstMs);
    for (Game& g : games)
      if (int end = 0; g.status < 0 && waitpid(g.pid, &end, WNOHANG) == g.pid)
        g.status = end, g.endMs = NowMs() - (relay.cutMs >= 0 ? relay.cutMs : relay.firstMs);
    usleep(500);
  }
  for (Game& g : games)
    if (g.status < 0)
      kill(g.pid, SIGKILL), waitpid(g.pid, &g.status, 0), ADD_FAILURE() << g.prefix << " hung";
  return games;
}

// What both games confirmed, against the two scripts played at one keyboard from the host's start.
void ExpectTheMatchOfOneMachine(const std::vector<Game>& games, uint32_t length, size_t atLeast) {
  const std::vector<uint64_t> start = Numbers(games[0].prefix + "-start.txt", true);
  ASSERT_EQ(start.size(), 13u);
  StartOfMatch();
  for (int32_t i = 0; i < kCloudCount; ++i) clouds[i].x = static_cast<int32_t>(start[i]);
  paused = int32_t(start[9]), scoreToWin = int32_t(start[10]), maxBullets = int32_t(start[11]);
  MatchState state;
  SaveMatchState(&state);
  const std::vector<uint64_t> logs[2] = {Numbers(games[0].prefix + "-frames.txt", true),
                                         Numbers(games[1].prefix + "-frames.txt", true)};
  ASSERT_GE(std::min(logs[0].size(), logs[1].size()), atLeast);
  const auto frames = static_cast<uint32_t>(std::max(logs[0].size(), logs[1].size()));
  const std::vector<uint64_t> offline = PlayOffline(state, frames, length);
  for (int side = 0; side < 2; ++side) {
    for (size_t f = 0; f < logs[side].size(); ++f)
      ASSERT_EQ(logs[side][f], offline[f]) << side << " frame " << f;
    const std::vector<uint64_t> stats = Numbers(games[side].prefix + "-stats.txt", false);
    ASSERT_EQ(stats.size(), 9u);
    EXPECT_GT(stats[1], 0u);  // rollbacks
    EXPECT_EQ(stats[8], 0u);  // the network's allocations past its pool
  }
}

TEST(TwoGames, PlayAMatchOverABadLinkFrameForFrameAsOneMachineWould) {
  const std::vector<Game> games = PlayTwoGames(4, 150, -1, [](int64_t ms) {
    if (ms > 1000 && third.message[0] == 'V')  // a third game, once the match runs
      SessionJoin(&third, "127.0.0.1", GamePort(), platform::TimeMs());
    if (third.link != nullptr) SessionService(&third, nullptr, platform::TimeMs());
  });
  EXPECT_STREQ(third.message, "That game already has two players");
  for (const Game& g : games) EXPECT_EQ(g.status, 0) << g.prefix;
  const std::string host = games[0].prefix + "-stderr.txt";
  EXPECT_TRUE(Has(host, "Versions differ: this game is 1.2 (online 1), the other 1.3 (online 1)"));
  EXPECT_TRUE(Has(host, "Your opponent left. Waiting for a player on port "));
  EXPECT_TRUE(Has(games[1].prefix + "-stderr.txt", ": Connected to localhost\n"));
  ExpectTheMatchOfOneMachine(games, 150, 150);
}

TEST(TwoGames, AtSpeed5AnOpponentSilentFor5SecondsHasLeftBothGames) {
  const std::vector<Game> games = PlayTwoGames(5, 6000, 150, [](int64_t) {});
  for (const Game& g : games) {
    EXPECT_EQ(g.status, 0);
    EXPECT_TRUE(Has(g.prefix + "-stderr.txt", ": Your opponent left"));
    // 5 s after the last datagram heard or answered; some were still on their way at the cut.
    EXPECT_TRUE(g.endMs >= 4800 && g.endMs < 8000) << g.endMs;
  }
  ExpectTheMatchOfOneMachine(games, 6000, 50);
}

}  // namespace
