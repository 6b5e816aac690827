// Online play: the packet checks, two rollback engines over a bad link against the match played on
// one machine, sessions over the real network on loopback, the game's own online frames, and two
// real games through a bad link.
// This program counts every allocation of its own process, so it is a test program of its own.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "game/input.h"
#include "game/match.h"
#include "net/online.h"
#include "net/packet.h"
#include "net/rollback.h"
#include "net/session.h"
#include "shell/shell.h"
#include "tests/support/fake_input.h"

extern bool counting;  // allocations.cpp counts every operator new while this is set
extern long allocations;

namespace {

using namespace net;

// A match as "Play!" starts it (the clouds at the left edge), that runs until the scripts end.
MatchState StartOfMatch() {
  ResetGameState(), ReturnToMenu();
  gameMode = MODE_MATCH, cpuPlayers = 0, scoreToWin = 1000;
  MatchState start;
  SaveMatchState(&start);
  return start;
}

// ---- The packet checks ----

// A good input packet (base 0) or start (base 1), with `value` written over `width` bytes at
// `offset` (little-endian), then grown by `grow` bytes. One row for each reason a packet is
// refused.
// clang-format off
struct BadPacket { const char* what; int base; size_t offset; int width; uint64_t value; int grow;
                   DecodeResult expected; };
const BadPacket kBadPackets[] = {
    {"a good input", 0, 0, 0, 0, 0, DECODE_OK},
    {"a good start", 1, 0, 0, 0, 0, DECODE_OK},
    {"nothing at all", 0, 0, 0, 0, -28, DECODE_EMPTY},
    {"an unknown type", 0, 0, 1, 9, 0, DECODE_UNKNOWN_TYPE},
    {"a byte too long", 0, 0, 0, 0, 1, DECODE_WRONG_SIZE},
    {"129 inputs", 0, 9, 1, 129, 124, DECODE_TOO_MANY},
    {"a hash of a frame not acked", 0, 11, 4, 302, 0, DECODE_OUTSIDE_WINDOW},
    {"input bit 6", 0, 25, 1, 0x41, 0, DECODE_BAD_INPUT},
    {"a plane heading 36", 1, 106, 4, 36, 0, DECODE_BAD_VALUE},
};
// clang-format on

class BadPacketTest : public testing::TestWithParam<BadPacket> {};

TEST_P(BadPacketTest, IsRefusedForItsReason) {
  const BadPacket& row = GetParam();
  static uint8_t out[2][kMaxPacketBytes];
  MatchState state = StartOfMatch();
  state.paused = state.matchOver = 1;
  const size_t sizes[] = {EncodeInput({302, 298, 5, 0, 297, 42, {1, 2, 4, 8, 16}}, out[0]),
                          EncodeStart({3, 5, 6}, state, out[1])};
  std::vector<uint8_t> bytes(out[row.base], out[row.base] + sizes[row.base] + row.grow);
  for (int i = 0; i < row.width; ++i) bytes[row.offset + i] = uint8_t(row.value >> 8 * i);
  static Message message;
  EXPECT_EQ(DecodePacket(bytes.data(), bytes.size(), FrameWindow{300, 310}, &message), row.expected)
      << row.what;
}

INSTANTIATE_TEST_SUITE_P(Net, BadPacketTest, testing::ValuesIn(kBadPackets));

// Names the rows of a table.
constexpr auto kName = [](const auto& info) { return std::string(info.param.name); };

// ---- Two rollback engines over a bad link, against the match played on one machine ----

Rollback engines[2];
constexpr uint32_t kFrames = 3000;
uint64_t confirmedHash[2][kFrames];

// What a player does: take off, climb, then loop, dive and shoot; player 2 is 50 frames later in
// the same script. Player 1 pauses the match at frame 700, player 2 resumes it at 760 and clicks
// "Main Menu" in the last frame.
// clang-format off
struct Segment { int32_t frames; uint8_t bits; };
enum : uint8_t { G = INPUT_GAS, F = INPUT_FIRE, U = INPUT_NOSE_UP, D = INPUT_NOSE_DOWN };
const Segment kScript[] = {{12, G}, {4, G | U}, {30, G}, {18, G | U}, {25, G | F}, {36, U | F},
                           {20, G}, {9, D}, {40, G | F}, {14, G | D}, {60, G}, {10, U | D | F}};
// clang-format on

uint8_t Recorded(int32_t player, uint32_t frame, uint32_t length = kFrames) {
  uint8_t event = frame == (player == 0 ? 700u : 760u) ? INPUT_PAUSE : 0;
  if (player == 1 && frame == length - 1) event = INPUT_MAIN_MENU;
  int32_t t = int32_t((frame + 50 * player) % 278);
  for (const Segment& s : kScript)
    if ((t -= s.frames) < 0) return s.bits | event;
  return event;
}

const platform::Message kP = {platform::MSG_KEYDOWN, platform::VK_KEY_P};

// The same players at one keyboard: their keys held, P pressed between frames, the click.
std::vector<uint64_t> PlayOffline(const MatchState& start, uint32_t length = kFrames) {
  RestoreMatchState(start);
  fake::Install();
  std::vector<uint64_t> hashes;
  for (uint32_t f = 0; f < length; ++f) {
    const uint8_t in[2] = {Recorded(0, f, length), Recorded(1, f, length)};
    fake::Hold((in[0] & kFlyingBits) | (in[1] & kFlyingBits) << 4);
    if ((in[0] | in[1]) & INPUT_PAUSE) WindowProc(kP);
    if (in[1] & INPUT_MAIN_MENU) fake::Click(600, 430);
    MatchFrame();
    hashes.push_back(HashCurrentMatch());
  }
  fake::Uninstall();
  return hashes;
}

// clang-format off
struct LinkCase { const char* name; int32_t speed, latencyMs, jitterMs, lateStartMs; };
// Packets in flight, each due at its own time: jitter reorders them.
struct Packet { int64_t dueUs; int32_t to; size_t size; uint8_t bytes[kMaxPacketBytes]; };
// clang-format on
Packet queue[1024];

void OnConfirmed(void* rb, uint32_t frame, uint64_t hash) {
  if (frame < kFrames) confirmedHash[static_cast<Rollback*>(rb)->localPlayer][frame] = hash;
}

// Both sides as two machines would run them over a link that loses 5% of the packets and delivers
// 5% twice, side 1 starting late with a clock 0.3% slow, until both have confirmed every frame.
void PlayOnline(const LinkCase& c, const MatchState& start) {
  for (int32_t side : {0, 1}) {
    RestoreMatchState(start);
    RollbackStart(&engines[side], side, c.speed);
    engines[side].onConfirmed = OnConfirmed, engines[side].user = &engines[side];
  }
  std::mt19937 rng{1234};
  const int64_t periodUs = (c.speed == 5 ? 1 : (5 - c.speed) * 10) * 1000;
  int64_t due[2] = {0, c.lateStartMs * 1000};
  int32_t count = 0;
  for (int64_t now = 0; now < 600000000; now += 250) {
    if (std::min(engines[0].confirmed, engines[1].confirmed) >= kFrames) break;
    counting = true;
    for (int32_t i = count - 1; i >= 0; --i)
      if (const Packet& p = queue[i]; p.dueUs <= now)
        RollbackReceive(&engines[p.to], p.bytes, p.size), queue[i] = queue[--count];
    for (int32_t side : {0, 1}) {
      if (now < due[side]) continue;
      Rollback& rb = engines[side];
      due[side] += side == 0 ? periodUs : periodUs * 1003 / 1000;
      RollbackAdvance(&rb, Recorded(side, rb.frame));
      uint8_t out[kMaxPacketBytes];
      const size_t size = RollbackOutgoing(rb, out);
      for (uint32_t n = rng() % 100 < 5 ? 0 : rng() % 100 < 5 ? 2 : 1; n > 0 && count < 1024; --n) {
        const auto jitter = int64_t(rng() % (2000 * c.jitterMs + 1)) - 1000 * c.jitterMs;
        queue[count] = Packet{now + c.latencyMs * 1000 + jitter, 1 - side, size, {}};
        std::copy(out, out + size, queue[count++].bytes);
      }
    }
    counting = false;
  }
}

class RollbackLinkTest : public testing::TestWithParam<LinkCase> {};

TEST_P(RollbackLinkTest, BothSidesConfirmTheOfflineMatchFrameByFrame) {
  const MatchState start = StartOfMatch();
  const auto offline = PlayOffline(start);
  allocations = 0;
  PlayOnline(GetParam(), start);
  EXPECT_EQ(allocations, 0);
  // The other's last flying bits are the prediction: it is wrong only where the other's input
  // changed.
  uint32_t changes[2] = {};
  for (uint32_t f = 0; f < kFrames; ++f)
    for (int32_t p : {0, 1}) changes[1 - p] += Recorded(p, f) != (f ? Recorded(p, f - 1) & 15 : 0);
  for (const Rollback& rb : engines) {
    ASSERT_GE(rb.confirmed, kFrames);
    EXPECT_TRUE(rb.stats.rollbacks > 0 && rb.stats.rollbacks <= changes[rb.localPlayer]);
    EXPECT_EQ(rb.endFrame, kFrames);  // both back to the menu after it
  }
  EXPECT_GT(engines[0].stats.waits, 0u);  // the side ahead waited for the other
  for (uint32_t f = 0; f < kFrames; ++f)
    for (int32_t side : {0, 1}) ASSERT_EQ(confirmedHash[side][f], offline[f]) << side << ' ' << f;
}

// clang-format off
const LinkCase kLinks[] = {
    {"speed4_60ms", 4, 60, 20, 37}, {"speed5_60ms", 5, 60, 20, 37}, {"speed1_30ms", 1, 30, 10, 90}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Net, RollbackLinkTest, testing::ValuesIn(kLinks), kName);

// ---- Sessions over the real network, on loopback ----

Session host, join, third;
uint32_t Now() { return platform::TimeMs(); }

// Services every open session until done() holds, for at most 3 s.
template <typename Done>
void Pump(Done done) {
  for (int32_t i = 0; i < 3000 && !done(); ++i) {
    for (Session* s : {&host, &join, &third})
      if (s->link != nullptr) SessionService(s, &engines[s == &host ? 0 : 1], Now());
    usleep(1000);
  }
}

bool Says(const char* message, const std::string& start) {
  return std::string(message).starts_with(start);
}

// A machine whose game differs tries to join: both sides say why, and the host waits on.
// clang-format off
struct Refusal { uint16_t versionUp; uint64_t rulesXor; const char* host; const char* third; };
const Refusal kRefusals[] = {
    {1, 0, "Versions differ: this game is 1.2 (online 1), the other 1.3 (online 1)",
     "Versions differ: this game is 1.3 (online 1), the other 1.2 (online 1)"},
    {0, 1, "The two games play by different rules", "The two games play by"}};
// clang-format on

TEST(Sessions, RefuseAnotherGameAndAThirdMachineAndEndWhenTheOpponentFallsSilent) {
  StartOfMatch();
  const auto port = uint16_t(20000 + getpid() % 20000);
  int32_t passes = 0;
  auto at = [](Session* s, uint32_t ms) { return SessionService(s, &engines[1], ms), s->state; };
  ASSERT_TRUE(SessionHost(&host, port, Now())) << host.message;
  for (const Refusal& r : kRefusals) {
    ASSERT_TRUE(SessionJoin(&third, "127.0.0.1", port, Now()));
    third.hello.gameVersion += r.versionUp, third.hello.rulesChecksum ^= r.rulesXor;
    Pump([&] { return third.state == SESSION_CLOSED && Says(host.message, r.host); });
    EXPECT_TRUE(Says(host.message, r.host) && Says(third.message, r.third)) << third.message;
  }
  ASSERT_TRUE(SessionJoin(&join, "127.0.0.1", port, Now()));
  Pump([] { return host.state == SESSION_READY && join.state == SESSION_READY; });
  ASSERT_TRUE(SessionJoin(&third, "127.0.0.1", port, Now()));
  Pump([] { return third.state == SESSION_CLOSED; });
  EXPECT_STREQ(third.message, "That game already has two players");
  Pump([&] { return passes++ > 50; });  // the host hears the third leave, and keeps its player
  EXPECT_EQ(host.state, SESSION_READY) << host.message;
  SessionStartMatch(&host, &engines[0]);
  Pump([] { return join.state == SESSION_PLAYING; });
  const uint32_t heap = platform::NetHeapAllocations();
  for (int32_t i = 0; i < 300; ++i) SessionSendPause(&host, 1);  // a burst not yet acknowledged
  EXPECT_EQ(platform::NetHeapAllocations(), heap);
  // The host falls silent: 5 s later, and not before, the joining side has been left.
  EXPECT_EQ(at(&join, join.lastHeardMs + 5000), SESSION_PLAYING);
  EXPECT_EQ(at(&join, join.lastHeardMs + 5001), SESSION_CLOSED);
  EXPECT_STREQ(join.message, "Your opponent left");
  SessionLeave(&host, LEAVE_QUIT);
  // Nobody at the other end: joining gives up after 10 s, and not before.
  ASSERT_TRUE(SessionJoin(&third, "127.0.0.1", port, Now()));
  EXPECT_EQ(at(&third, third.openedMs + 10000), SESSION_CONNECTING);
  EXPECT_EQ(at(&third, third.openedMs + 10001), SESSION_CLOSED);
  EXPECT_EQ(third.message,
            "No game answered at 127.0.0.1:" + std::to_string(port) + " within 10 s");
}

// ---- The game's own online frames, as the shell runs them, against a session in this process ----

// How the host's match ends: a click at (600, clickY) on the panel, or (clickY 0) the other side's
// state spoilt; and what the other side then hears.
// clang-format off
struct Ending { const char* name; int32_t clickY; const char* joinHears; };
// clang-format on
class OnlineFramesTest : public testing::TestWithParam<Ending> {};

TEST_P(OnlineFramesTest, AllocateNothingSendPAsAnInputAndEndOnBothSides) {
  const Ending& row = GetParam();
  StartOfMatch();
  const auto port = uint16_t(21000 + getpid() % 20000);
  const std::string records = testing::TempDir() + "state-" + std::to_string(getpid());
  setenv("XDG_STATE_HOME", records.c_str(), 1);
  fake::Install();  // no keys held, the real clock
  platform::backend.timeMs = platform::sdlBackend.timeMs;
  ASSERT_EQ(OnlineOpen(true, nullptr, port, Now()), 0);
  ASSERT_TRUE(SessionJoin(&join, "127.0.0.1", port, Now()));
  uint32_t heap = 0, presses = 0;
  allocations = 0;
  // P at frames 150 and 250 (the pause on, then off); allocations counted from 50 to 450; the end.
  for (int32_t i = 0, ended = 0; i < 4000 && !(ended && !OnlineMatchRuns()); ++i) {
    const uint32_t f = OnlineMatchRuns() ? OnlineRollback().frame : 0;
    if (f < 50) heap = platform::NetHeapAllocations();
    if (presses < 2 && f >= 150 + 100 * presses) ++presses, WindowProc(kP);
    if (!ended && f >= 450) {
      ended = 1, heap = platform::NetHeapAllocations() - heap;
      fake::Click(600, row.clickY);  // (600, 0) is no button
      engines[1].states[engines[1].frame % kStateRing].planes[1].x += row.clickY == 0;
    }
    counting = f >= 50 && !ended;
    OnlinePass(Now());
    if (!ended && OnlineSession().state == SESSION_READY) OnlineStartMatch();
    if (OnlineMatchRuns()) OnlineMatchFrame(false);
    SessionService(&join, &engines[1], Now());
    if (join.state == SESSION_PLAYING) RollbackAdvance(&engines[1], i % 50 < 30 ? INPUT_GAS : 0);
    SessionSendInputs(&join, engines[1]);
    counting = false;
    usleep(500);
  }
  fake::Uninstall();
  EXPECT_TRUE(allocations == 0 && heap == 0 && !OnlineMatchRuns()) << allocations << " " << heap;
  // The other side ran the host's P as player 1's input, twice.
  RollbackCorrect(&engines[1]);
  const uint16_t* log = engines[1].log;
  EXPECT_EQ(
      std::count_if(log, log + engines[1].confirmed, [](auto in) { return in & INPUT_PAUSE; }), 2);
  Pump([&] { return Says(join.message, row.joinHears); });
  EXPECT_TRUE(Says(join.message, row.joinHears)) << join.message;
  EXPECT_TRUE(row.clickY != 430 || engines[1].endFrame != kNoFrame);  // "Main Menu" on both sides
  EXPECT_EQ(IsQuitting(), row.clickY == 475);
  if (row.clickY == 0) {  // the record is named in the status line; player 1's P is bit 8 there
    char line[320];
    OnlineStatusLine(line, sizeof line);
    const std::string status = line, folder = records + "/corvane-altor/desync-host-";
    ASSERT_TRUE(Says(line, "The two games went apart (desync) at frame ")) << status;
    std::ifstream in(status.substr(status.find(folder), folder.size() + 15) + "-inputs.txt");
    uint32_t frame = 0, pauses = 0;
    for (std::string hex; in >> frame >> hex;) pauses += std::stoul(hex, nullptr, 16) >> 8 == 1;
    EXPECT_EQ(pauses, 2u) << status;
  }
  platform::NetClose(join.link), join = Session{};
  OnlineReset(), ResetShell();
}

// clang-format off
const Ending kEndings[] = {
    {"MainMenu", 430, ""}, {"Quit", 475, "Your opponent left"},
    {"Desync", 0, "The two games went apart (desync); the match was stopped"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Net, OnlineFramesTest, testing::ValuesIn(kEndings), kName);

// ---- Two real games, each playing a script, through a UDP relay on loopback ----

// Between the joining game and the host: 60 ms late give or take 20 (so packets overtake each
// other), 5% lost, 5% twice; nothing passes once the joining game has sent cutAfter datagrams.
// clang-format off
struct Datagram { int64_t dueUs; int to; size_t size; uint8_t bytes[1500]; };
// clang-format on
Datagram held[1024];
struct Relay {
  int fd[2];  // [0] faces the joining game, [1] the host
  sockaddr_in to[2] = {};
  int32_t cutAfter, count = 0;
  std::mt19937 rng{77};
  void Pass(int64_t nowUs) {
    uint8_t bytes[1500];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    for (int side : {0, 1})
      for (ssize_t n;
           (n = recvfrom(fd[side], bytes, sizeof bytes, 0, (sockaddr*)&from, &len)) > 0;) {
        if (side == 0) to[0] = from, cutAfter -= cutAfter > 0;
        for (int c = cutAfter == 0 || rng() % 20 == 0 ? 0
                     : rng() % 20                     ? 1
                                                      : 2;
             c-- > 0 && count < 1024;) {
          held[count] = Datagram{nowUs + 40000 + int64_t(rng() % 40001), 1 - side, size_t(n), {}};
          std::copy(bytes, bytes + n, held[count++].bytes);
        }
      }
    for (int32_t i = count - 1; i >= 0; --i)
      if (const Datagram& p = held[i]; p.dueUs <= nowUs)
        sendto(fd[p.to], p.bytes, p.size, 0, (sockaddr*)&to[p.to], sizeof to[0]),
            held[i] = held[--count];
  }
};

int64_t NowUs() { return int64_t(Now()) * 1000; }

// The game from its data directory, playing PREFIX-script.txt, its log and error output at PREFIX.
pid_t StartGame(const std::string& prefix, const std::string& args) {
  const std::string command = "cd '" CORVANE_DATA_DIR "' && CORVANE_NET_SCRIPT='" + prefix +
                              "-script.txt' CORVANE_NET_LOG='" + prefix +
                              "' exec '" CORVANE_GAME_EXE "' " + args + " 2>'" + prefix +
                              "-stderr.txt'";
  const pid_t pid = fork();
  if (pid == 0) execl("/bin/sh", "sh", "-c", command.c_str(), nullptr), _exit(127);
  return pid;
}

std::string Text(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
// The numbers of "NAME HEX" lines.
std::vector<uint64_t> Numbers(const std::string& path) {
  std::istringstream in(Text(path));
  std::vector<uint64_t> numbers;
  for (std::string name, number; in >> name >> number;)
    numbers.push_back(std::stoull(number, 0, 16));
  return numbers;
}

// clang-format off
struct TwoGames { const char* name; int32_t speed; uint32_t length; int32_t cutAfter; };
const TwoGames kTwoGames[] = {{"speed4", 4, 300, -1}, {"speed5_cut", 5, kFrames, 150}};
// clang-format on
class TwoGamesTest : public testing::TestWithParam<TwoGames> {};

// Both end by themselves with status 0, having confirmed frame for frame the match the two
// scripts play at one keyboard from the host's start, with rollbacks. Cut off, each has been left
// 5 s after it last heard the other. Beside them, a game hosting on the same port and one joining
// nobody end with a message and status 1.
TEST_P(TwoGamesTest, PlayTheMatchOfOneMachineAndEndByThemselves) {
  const TwoGames& row = GetParam();
  const auto port = uint16_t(42000 + getpid() % 10000 * 2);
  const std::string dir = testing::TempDir() + row.name + std::to_string(getpid()) + "-";
  const std::string names[4] = {"host", "join", "busy", "nobody"};
  for (int g = 0; g < 4; ++g) {
    std::ofstream script(dir + names[g] + "-script.txt");
    if (g == 0) script << "speed " << row.speed << '\n';
    for (uint32_t f = 0; g < 2 && f < row.length; ++f)
      script << f << ' ' << std::hex << +Recorded(g, f, row.length) << std::dec << '\n';
  }
  Relay relay{{socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0),
               socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0)},
              {},
              row.cutAfter};
  relay.to[1] = {AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
  sockaddr_in at = {AF_INET, htons(port + 1), {htonl(INADDR_LOOPBACK)}, {}};
  ASSERT_EQ(bind(relay.fd[0], (sockaddr*)&at, sizeof at), 0);
  const std::string p = std::to_string(port);
  pid_t pids[4] = {StartGame(dir + "host", "--host " + p)};
  for (int i = 0; i < 5000 && Text(dir + "host-stderr.txt").find("Waiting") == std::string::npos;
       ++i)
    usleep(1000);
  pids[2] = StartGame(dir + "busy", "--host=" + p);
  pids[1] = StartGame(dir + "join", "--join localhost:" + std::to_string(port + 1));
  if (row.cutAfter > 0)
    pids[3] = StartGame(dir + "nobody", "--join 127.0.0.1:" + std::to_string(port + 3));
  int status[4] = {-1, -1, -1, -1}, left = row.cutAfter > 0 ? 4 : 3;
  int64_t cutUs = 0, endUs[2] = {};
  for (const int64_t start = NowUs(); left > 0 && NowUs() - start < 20000000; usleep(500)) {
    relay.Pass(NowUs());
    if (relay.cutAfter == 0 && cutUs == 0) cutUs = NowUs();
    for (int g = 0; g < 4; ++g)
      if (pids[g] > 0 && status[g] < 0 && waitpid(pids[g], &status[g], WNOHANG) == pids[g])
        --left, endUs[g & 1] += g < 2 ? NowUs() - cutUs : 0;
  }
  for (int g = 0; g < 4; ++g)
    if (pids[g] > 0 && status[g] < 0) kill(pids[g], SIGKILL), ADD_FAILURE() << names[g] << " hung";
  close(relay.fd[0]), close(relay.fd[1]);
  EXPECT_EQ(status[2], 1 << 8);
  EXPECT_TRUE(
      Text(dir + "busy-stderr.txt").starts_with("corvane-altor: cannot listen on UDP port " + p));
  if (row.cutAfter > 0) {
    EXPECT_EQ(status[3], 1 << 8);
    EXPECT_NE(Text(dir + "nobody-stderr.txt").find("No game answered at 127.0.0.1:"),
              std::string::npos);
  }
  // The host's start, written at the end of its match.
  const std::vector<uint64_t> start = Numbers(dir + "host-start.txt");
  ASSERT_EQ(start.size(), 13u);
  StartOfMatch();
  for (int32_t i = 0; i < kCloudCount; ++i) clouds[i].x = int32_t(start[i]);
  paused = int32_t(start[9]), scoreToWin = int32_t(start[10]), maxBullets = int32_t(start[11]);
  MatchState state;
  SaveMatchState(&state);
  const std::vector<uint64_t> offline = PlayOffline(state, row.length);
  for (int side : {0, 1}) {
    EXPECT_EQ(status[side], 0) << names[side];
    const std::string prefix = dir + names[side];
    const std::vector<uint64_t> frames = Numbers(prefix + "-frames.txt");
    const std::vector<uint64_t> stats = Numbers(prefix + "-stats.txt");
    ASSERT_GE(frames.size(), row.cutAfter > 0 ? 50u : row.length) << names[side];
    for (size_t f = 0; f < frames.size() && f < offline.size(); ++f)
      ASSERT_EQ(frames[f], offline[f]) << names[side] << " frame " << f;
    EXPECT_TRUE(stats.size() == 9 && stats[1] > 0 && stats[8] == 0) << Text(prefix + "-stats.txt");
    if (row.cutAfter < 0) continue;
    EXPECT_NE(Text(prefix + "-stderr.txt").find(": Your opponent left"), std::string::npos);
    // 5 s after the last datagram heard; some were still on their way at the cut.
    EXPECT_TRUE(endUs[side] >= 4800000 && endUs[side] < 8000000) << endUs[side];
  }
}
INSTANTIATE_TEST_SUITE_P(Net, TwoGamesTest, testing::ValuesIn(kTwoGames), kName);

}  // namespace
