#include "shell/options.h"

#include <cstdlib>
#include <cstring>

GameOptions gameOptions = {false, false, false, false, false, 0, ""};

namespace {

constexpr char kUsage[] =
    "Usage: corvane-altor [OPTION]...\n"
    "A biplane dogfight for two players at one keyboard, or one against the computer.\n"
    "\n"
    "  --windowed          play in a window (Alt+Enter switches to full screen and back)\n"
    "  --fullscreen        play on the whole screen (the default)\n"
    "  --mute              play without sound; no sound device is opened\n"
    "  --print-controls    print the keys and pad buttons in use, in the format of the\n"
    "                      controls file, and exit\n"
    "  --host [PORT]       wait for an opponent to join over the network (UDP port 27461\n"
    "                      unless PORT is given)\n"
    "  --join HOST[:PORT]  join the game hosted on HOST\n"
    "  --help              show this help and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Controls file: $XDG_CONFIG_HOME/corvane-altor/controls.conf (~/.config/... when unset).\n"
    "See corvane-altor(6).\n";

// One line naming the fault (format has one %s, for the word at fault), then the hint.
int Refuse(FILE* err, const char* format, const char* word) {
  std::fputs("corvane-altor: ", err);
  std::fprintf(err, format, word);
  std::fputs("\n", err);
  std::fprintf(err, "Try 'corvane-altor --help' for more information.\n");
  return 2;
}

// A port is 1..65535, in decimal digits only.
bool ParsePort(const char* text, uint16_t* port) {
  if (*text == '\0' || std::strlen(text) > 5) return false;
  for (const char* c = text; *c != '\0'; ++c)
    if (*c < '0' || *c > '9') return false;
  const long value = std::strtol(text, nullptr, 10);
  if (value < 1 || value > 65535) return false;
  *port = static_cast<uint16_t>(value);
  return true;
}

// HOST or HOST:PORT.
bool ParseHostAndPort(const char* text, GameOptions* options) {
  const char* colon = std::strrchr(text, ':');
  const size_t hostLength = colon != nullptr ? static_cast<size_t>(colon - text) : std::strlen(text);
  if (hostLength == 0 || hostLength >= sizeof options->joinHost) return false;
  if (colon != nullptr && !ParsePort(colon + 1, &options->port)) return false;
  std::memcpy(options->joinHost, text, hostLength);
  options->joinHost[hostLength] = '\0';
  return true;
}

}  // namespace

int ParseCommandLine(int argc, const char* const* argv, FILE* out, FILE* err) {
  GameOptions options = {false, false, false, false, false, 0, ""};
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    // --name=value is the same as --name value.
    char name[32] = "";
    const char* value = nullptr;
    const char* equals = std::strchr(arg, '=');
    const size_t nameLength = equals != nullptr ? static_cast<size_t>(equals - arg) : std::strlen(arg);
    if (std::strncmp(arg, "--", 2) != 0 || nameLength >= sizeof name)
      return Refuse(err, arg[0] == '-' ? "unrecognized option '%s'" : "unexpected argument '%s'",
                    arg);
    std::memcpy(name, arg, nameLength);
    name[nameLength] = '\0';
    if (equals != nullptr) value = equals + 1;

    const bool takesValue = std::strcmp(name, "--host") == 0 || std::strcmp(name, "--join") == 0;
    if (!takesValue && value != nullptr) return Refuse(err, "option '%s' takes no value", name);
    if (std::strcmp(name, "--help") == 0) {
      std::fputs(kUsage, out);
      return 0;
    }
    if (std::strcmp(name, "--version") == 0) {
      std::fprintf(out, "corvane-altor %s\n", CORVANE_VERSION);
      return 0;
    }
    if (std::strcmp(name, "--windowed") == 0) {
      options.windowed = true;
    } else if (std::strcmp(name, "--fullscreen") == 0) {
      options.windowed = false;
    } else if (std::strcmp(name, "--mute") == 0) {
      options.mute = true;
    } else if (std::strcmp(name, "--print-controls") == 0) {
      options.printControls = true;
    } else if (std::strcmp(name, "--host") == 0) {
      // The port is optional: the next word is taken as one unless it is another option.
      if (value == nullptr && i + 1 < argc && argv[i + 1][0] != '-') value = argv[++i];
      if (value != nullptr && !ParsePort(value, &options.port))
        return Refuse(err, "invalid port '%s' (a number from 1 to 65535)", value);
      options.host = true;
    } else if (std::strcmp(name, "--join") == 0) {
      if (value == nullptr && i + 1 < argc) value = argv[++i];
      if (value == nullptr) return Refuse(err, "option '%s' needs a value (HOST[:PORT])", name);
      if (!ParseHostAndPort(value, &options))
        return Refuse(err, "invalid HOST[:PORT] '%s'", value);
      options.join = true;
    } else {
      return Refuse(err, "unrecognized option '%s'", arg);
    }
  }
  if (options.host && options.join)
    return Refuse(err, "'--host' and '%s' cannot be used together", "--join");
  gameOptions = options;
  return -1;
}
