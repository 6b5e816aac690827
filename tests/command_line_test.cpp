// Command lines, and controls files with the mapping they leave and the message each fault gets.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/bindings.h"
#include "shell/options.h"

namespace {

using std::string;

#define REFUSED(what) "corvane-altor: " what "\nTry 'corvane-altor --help' for more information.\n"
#define AT "corvane-altor: c.conf:"

// What write(stream) writes.
string Captured(const auto& write) {
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  write(out);
  std::fclose(out);
  const string captured(text, size);
  free(text);
  return captured;
}

TEST(CommandLineTest, Options) {
  // The arguments; the status, the start of standard output or else standard error; then the
  // options: w(indowed), m(ute), p(rint-controls), the host or the game joined, and the port.
  // clang-format off
  const struct { std::vector<const char*> args; int status; string said, set; } cases[] = {
      {{"--help"}, 0, "Usage: corvane-altor [OPTION]...\n", ""},
      {{"--version"}, 0, "corvane-altor 1.2\n", ""},
      {{"--windowed", "--mute", "--print-controls", "--fullscreen"}, -1, "", "mp"},
      {{"--host", "--mute"}, -1, "", "m host"}, {{"--host=65535"}, -1, "", " host:65535"},
      {{"--join", "example.org:7000"}, -1, "", " example.org:7000"},
      {{"--join"}, 2, REFUSED("option '--join' needs a value (HOST[:PORT])"), ""},
      {{"--host", "0"}, 2, REFUSED("invalid port '0' (a number from 1 to 65535)"), ""},
      {{"--host", "--join=x"}, 2, REFUSED("'--host' and '--join' cannot be used together"), ""},
      {{"--mute=yes"}, 2, REFUSED("option '--mute' takes no value"), ""},
      {{"-w"}, 2, REFUSED("unrecognized option '-w'"), ""},
      {{"play"}, 2, REFUSED("unexpected argument 'play'"), ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::vector<const char*> argv{"corvane-altor"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    gameOptions = GameOptions{};
    int status = 0;
    string err;
    const string out = Captured([&](FILE* o) {
      err = Captured([&](FILE* e) { status = ParseCommandLine(argv.size(), argv.data(), o, e); });
    });
    const GameOptions& g = gameOptions;
    const string set = string(g.windowed ? "w" : "") + (g.mute ? "m" : "") +
                       (g.printControls ? "p" : "") + (g.host ? " host" : "") +
                       (g.join ? " " + string(g.joinHost) : "") +
                       (g.port ? ":" + std::to_string(g.port) : "");
    const string said = status ? err : out.substr(0, c.said.size());
    EXPECT_EQ(std::tie(status, said, set), std::tie(c.status, c.said, c.set)) << &c - cases;
  }
}

// Reads text as the file c.conf; returns the messages.
string Read(string text) {
  FILE* in = fmemopen(text.data(), text.size(), "r");
  const string messages = Captured([&](FILE* err) { ReadControls(in, "c.conf", err); });
  std::fclose(in);
  return messages;
}

string Printed() {
  return Captured([](FILE* out) { PrintControls(out); });
}

TEST(CommandLineTest, ControlsFiles) {
  // The file; the messages; the settings it changes.
  // clang-format off
  const struct { string file, messages, changed; } cases[] = {
      {"# mine\n\n  PLAYER2.Fire.key=x \r\nplayer1.fire.pad = b +rightx", "",
       "player2.fire.key = X\nplayer1.fire.pad = b +rightx"},
      {"player1.fire.key = Left Shift\nplayer2.gas.key = Right Shift\nplayer2.fire.key = Left Ctrl",
       AT "3: key 'Left Ctrl' is already used by 'player1.gas.key = Ctrl'\n",
       "player1.fire.key = Left Shift\nplayer2.gas.key = Right Shift"},
      {"player2.gas.key = Ctrl\nplayer1.gas.key = Z\n",
       AT "2: key 'Z' is already used by 'player2.fire.key = Z'\n"
       AT "1: key 'Ctrl' is already used by 'player1.gas.key = Ctrl'\n", ""},
      {"player1.gas.key = Ctrll\nplayer1.gas = A\nplayer1.gas.key A\nplayer2.nose-up.key = p\n"
       "player1.fire.pad = leftx\nplayer1.gas.pad = start\nplayer1.fire.key = B\n",
       AT "1: unknown key 'Ctrll'\n" AT "2: unknown setting 'player1.gas' (player1 or player2, gas, "
       "fire, nose-up or nose-down, key or pad, as 'player2.nose-up.key')\n"
       AT "3: 'player1.gas.key A' is not a setting (as 'player1.gas.key = Left Ctrl')\n"
       AT "4: key 'p' is the game's own: it pauses the game\n"
       AT "5: pad button 'leftx': a stick needs a way to be pushed, - or +\n"
       AT "6: pad button 'start' is the game's own: it pauses the game\n", "player1.fire.key = B"},
      {"player1.gas.key = A\nplayer1.gas.key = B\n",
       AT "2: 'player1.gas.key' is set already, on line 1\n", "player1.gas.key = A"},
      {"player1.gas.key =\nplayer1.gas.pad =\nplayer2.gas.pad = -righty b", "",
       "player1.gas.key =\nplayer1.gas.pad =\nplayer2.gas.pad = -righty b"},
      {"player1.fire.pad = x a\nplayer1.nose-up.pad = y\nplayer2.nose-up.pad = y\n",
       AT "1: pad button 'a' is already used by 'player1.gas.pad = a righttrigger'\n",
       "player1.nose-up.pad = y\nplayer2.nose-up.pad = y"},
      {"\x01\x02\n" + string(300, 'x'),
       AT "1: unreadable: not text\n" AT "2: longer than 255 characters\n", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.file), c.messages) << c.file;
    const string printed = Printed();
    EXPECT_EQ(Read(printed) + Printed(), printed) << c.file;  // read back, the same and no word
    // The defaults as printed, with the settings of c.changed ("name = value", one a line).
    controls = kDefaultControls;
    string want = Printed();
    std::istringstream changes(c.changed);
    for (string line; std::getline(changes, line);) {
      const size_t from = want.find("\n" + line.substr(0, line.find(" =")) + " =") + 1;
      want.replace(from, want.find('\n', from) - from, line);
    }
    EXPECT_EQ(printed, want) << c.file;
  }
  controls = kDefaultControls;  // as other tests fly
}

}  // namespace
