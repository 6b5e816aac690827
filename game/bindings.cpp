#include "game/bindings.h"

#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "platform/keys.h"
#include "platform/pads.h"

namespace {

using namespace platform;  // the key codes and pad inputs

constexpr ActionBinding Bind(int32_t key, int32_t pad1, int32_t pad2) {
  return {key, 2, {pad1, pad2, 0, 0}};
}

constexpr Controls kDefaults = {{
    {Bind(VK_CONTROL, PAD_A, PAD_RIGHT_TRIGGER), Bind(VK_SHIFT, PAD_X, PAD_RIGHT_SHOULDER),
     Bind(VK_LEFT, PAD_DPAD_LEFT, PAD_LEFT_STICK_LEFT),
     Bind(VK_RIGHT, PAD_DPAD_RIGHT, PAD_LEFT_STICK_RIGHT)},
    {Bind(VK_MENU, PAD_A, PAD_RIGHT_TRIGGER), Bind(VK_KEY_Z, PAD_X, PAD_RIGHT_SHOULDER),
     Bind(VK_KEY_C, PAD_DPAD_LEFT, PAD_LEFT_STICK_LEFT),
     Bind(VK_KEY_V, PAD_DPAD_RIGHT, PAD_LEFT_STICK_RIGHT)},
}};

constexpr const char* kActionNames[kActionCount] = {"gas", "fire", "nose-up", "nose-down"};
constexpr int32_t kLineMax = 256;
constexpr int32_t kSettings = 2 * kActionCount;  // both players' actions, player 1's first

// Keys that are the game's own, and why.
constexpr const char* kOwnKeys[][2] = {{"P", "it pauses the game"},
                                       {"Escape", "it ends the game"},
                                       {"Return", "Alt+Return switches to a window and back"},
                                       {"Keypad Enter", "Alt+Enter switches to a window and back"}};

// One reading of a file: the controls as read so far, and where each came from (the line that
// set it; 0: the defaults).
struct Reader {
  const char* name;
  FILE* err;
  Controls read;
  int32_t keyLine[kSettings];
  int32_t padLine[kSettings];
};

ActionBinding& Setting(Reader& r, int32_t setting) {
  return r.read.players[setting / kActionCount][setting % kActionCount];
}

__attribute__((format(printf, 3, 4))) void Complain(const Reader& r, int32_t line,
                                                    const char* format, ...) {
  char text[2 * kLineMax];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (line > 0) {
    std::fprintf(r.err, "corvane-altor: %s:%d: %s\n", r.name, line, text);
  } else {
    std::fprintf(r.err, "corvane-altor: %s: %s\n", r.name, text);
  }
}

// One line without its end, at most kLineMax - 1 bytes of it (*tooLong: there was more); *binary
// when it holds bytes no text file has. False at the end of the file.
bool ReadLine(FILE* in, char* line, bool* tooLong, bool* binary) {
  int32_t n = 0;
  int c;
  *tooLong = false;
  *binary = false;
  while ((c = std::getc(in)) != EOF && c != '\n') {
    if (c < 0x20 && c != '\t' && c != '\r') *binary = true;
    if (n + 1 < kLineMax) {
      line[n++] = static_cast<char>(c);
    } else {
      *tooLong = true;
    }
  }
  if (c == EOF && n == 0) return false;
  if (n > 0 && line[n - 1] == '\r') --n;
  line[n] = '\0';
  return true;
}

char* Trim(char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  char* end = text + std::strlen(text);
  while (end > text && (end[-1] == ' ' || end[-1] == '\t')) --end;
  *end = '\0';
  return text;
}

// "player1.nose-up.key" into the setting's number and whether it is the pad's; false for others.
bool ParseName(const char* text, int32_t* setting, bool* pad) {
  if (strncasecmp(text, "player", 6) != 0 || (text[6] != '1' && text[6] != '2') || text[7] != '.')
    return false;
  const char* action = text + 8;
  const char* dot = std::strchr(action, '.');
  if (dot == nullptr) return false;
  if (strcasecmp(dot + 1, "key") == 0) {
    *pad = false;
  } else if (strcasecmp(dot + 1, "pad") == 0) {
    *pad = true;
  } else {
    return false;
  }
  const size_t length = static_cast<size_t>(dot - action);
  for (int32_t a = 0; a < kActionCount; ++a) {
    if (std::strlen(kActionNames[a]) == length &&
        strncasecmp(action, kActionNames[a], length) == 0) {
      *setting = (text[6] - '1') * kActionCount + a;
      return true;
    }
  }
  return false;
}

bool KeysOverlap(int32_t a, int32_t b) {
  return a != 0 && b != 0 && (a == b || KeyBothSides(a) == b || KeyBothSides(b) == a);
}

void ReadKey(Reader& r, int32_t line, int32_t setting, const char* value) {
  int32_t key = 0;
  if (*value != '\0' && !KeyFromName(value, &key)) {
    Complain(r, line, "unknown key '%s'", value);
    return;
  }
  for (const auto& own : kOwnKeys) {
    int32_t ownKey = 0;
    if (KeyFromName(own[0], &ownKey) && KeysOverlap(key, ownKey)) {
      Complain(r, line, "key '%s' is the game's own: %s", value, own[1]);
      return;
    }
  }
  Setting(r, setting).key = key;
  r.keyLine[setting] = line;
}

void ReadPad(Reader& r, int32_t line, int32_t setting, char* value) {
  ActionBinding read = Setting(r, setting);
  read.padCount = 0;
  for (char* word = std::strtok(value, " \t"); word != nullptr;
       word = std::strtok(nullptr, " \t")) {
    int32_t input = 0;
    const char* why = nullptr;
    if (read.padCount == kMaxPadInputs) {
      Complain(r, line, "more than %d pad buttons", kMaxPadInputs);
      return;
    }
    if (!PadInputFromName(word, &input, &why)) {
      Complain(r, line, "pad button '%s': %s", word, why);
      return;
    }
    if (input == PAD_START) {
      Complain(r, line, "pad button '%s' is the game's own: it pauses the game", word);
      return;
    }
    read.pad[read.padCount++] = input;
  }
  Setting(r, setting) = read;
  r.padLine[setting] = line;
}

void ReadSetting(Reader& r, int32_t line, char* text) {
  char* equals = std::strchr(text, '=');
  if (equals == nullptr) {
    Complain(r, line, "'%s' is not a setting (as 'player1.gas.key = Left Ctrl')", text);
    return;
  }
  *equals = '\0';
  const char* name = Trim(text);
  char* value = Trim(equals + 1);
  int32_t setting = 0;
  bool pad = false;
  if (!ParseName(name, &setting, &pad)) {
    Complain(r, line,
             "unknown setting '%s' (player1 or player2, gas, fire, nose-up or "
             "nose-down, key or pad, as 'player2.nose-up.key')",
             name);
    return;
  }
  const int32_t earlier = pad ? r.padLine[setting] : r.keyLine[setting];
  if (earlier != 0) {
    Complain(r, line, "'%s' is set already, on line %d", name, earlier);
    return;
  }
  if (pad) {
    ReadPad(r, line, setting, value);
  } else {
    ReadKey(r, line, setting, value);
  }
}

void SettingName(int32_t setting, bool pad, char* out, size_t outLen) {
  std::snprintf(out, outLen, "player%d.%s.%s", setting / kActionCount + 1,
                kActionNames[setting % kActionCount], pad ? "pad" : "key");
}

// The setting as a line of the file.
void SettingLine(const Controls& c, int32_t setting, bool pad, char* out, size_t outLen) {
  const ActionBinding& b = c.players[setting / kActionCount][setting % kActionCount];
  SettingName(setting, pad, out, outLen);
  size_t used = std::strlen(out);
  std::snprintf(out + used, outLen - used, " =");
  char name[64];
  for (int32_t i = 0; i < (pad ? b.padCount : 1); ++i) {
    if (pad) {
      PadInputName(b.pad[i], name, sizeof name);
    } else {
      KeyName(b.key, name, sizeof name);
    }
    used = std::strlen(out);
    if (*name != '\0') std::snprintf(out + used, outLen - used, " %s", name);
  }
}

// Of two settings that clash, the later line is left out and its setting goes back to the default.
bool Clash(Reader& r, int32_t a, int32_t b, bool pad, const char* what) {
  int32_t* lines = pad ? r.padLine : r.keyLine;
  if (lines[a] == 0 && lines[b] == 0) return false;
  const int32_t loser = lines[a] > lines[b] ? a : b;
  const int32_t winner = loser == a ? b : a;
  char kept[kLineMax];
  SettingLine(r.read, winner, pad, kept, sizeof kept);
  char on[32] = "";
  if (lines[winner] != 0) std::snprintf(on, sizeof on, " on line %d", lines[winner]);
  Complain(r, lines[loser], "%s is already used by '%s'%s", what, kept, on);
  ActionBinding& left = Setting(r, loser);
  const ActionBinding& byDefault = kDefaults.players[loser / kActionCount][loser % kActionCount];
  if (pad) {
    left.padCount = byDefault.padCount;
    std::memcpy(left.pad, byDefault.pad, sizeof left.pad);
  } else {
    left.key = byDefault.key;
  }
  lines[loser] = 0;
  return true;
}

// Whether settings a and b give one key to two actions, or one player's pad input to two of
// their actions; when they do, one of them is left out.
bool SettleOnePair(Reader& r, int32_t a, int32_t b) {
  char what[96];
  char name[64];
  if (KeysOverlap(Setting(r, a).key, Setting(r, b).key)) {
    const int32_t later = r.keyLine[a] > r.keyLine[b] ? a : b;
    KeyName(Setting(r, later).key, name, sizeof name);
    std::snprintf(what, sizeof what, "key '%s'", name);
    if (Clash(r, a, b, false, what)) return true;
  }
  if (a / kActionCount != b / kActionCount) return false;
  const ActionBinding& pa = Setting(r, a);
  const ActionBinding& pb = Setting(r, b);
  for (int32_t i = 0; i < pa.padCount; ++i) {
    for (int32_t j = 0; j < pb.padCount; ++j) {
      if (pa.pad[i] != pb.pad[j]) continue;
      PadInputName(pa.pad[i], name, sizeof name);
      std::snprintf(what, sizeof what, "pad button '%s'", name);
      return Clash(r, a, b, true, what);
    }
  }
  return false;
}

// Left-out settings go back to their defaults, which may clash in turn: settle until none do.
void SettleClashes(Reader& r) {
  bool clashed = true;
  while (clashed) {
    clashed = false;
    for (int32_t a = 0; a < kSettings && !clashed; ++a)
      for (int32_t b = a + 1; b < kSettings && !clashed; ++b) clashed = SettleOnePair(r, a, b);
  }
}

}  // namespace

const Controls kDefaultControls = kDefaults;
Controls controls = kDefaults;

void ReadControls(FILE* in, const char* name, FILE* err) {
  Reader r{name, err, kDefaults, {}, {}};
  char text[kLineMax];
  bool tooLong = false;
  bool binary = false;
  for (int32_t line = 1; ReadLine(in, text, &tooLong, &binary); ++line) {
    char* trimmed = Trim(text);
    if (binary) {
      Complain(r, line, "unreadable: not text");
    } else if (tooLong) {
      Complain(r, line, "longer than %d characters", kLineMax - 1);
    } else if (*trimmed != '\0' && *trimmed != '#') {
      ReadSetting(r, line, trimmed);
    }
  }
  if (std::ferror(in)) Complain(r, 0, "cannot be read: %s", std::strerror(errno));
  SettleClashes(r);
  controls = r.read;
}

bool ControlsFilePath(char* out, size_t outLen) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  int written = 0;
  // A relative XDG_CONFIG_HOME is to be ignored, as unset.
  if (config != nullptr && config[0] == '/') {
    written = std::snprintf(out, outLen, "%s/corvane-altor/controls.conf", config);
  } else if (home != nullptr && home[0] != '\0') {
    written = std::snprintf(out, outLen, "%s/.config/corvane-altor/controls.conf", home);
  } else {
    return false;
  }
  return written > 0 && static_cast<size_t>(written) < outLen;
}

void LoadControls(FILE* err) {
  static char path[PATH_MAX];
  if (!ControlsFilePath(path, sizeof path)) return;
  FILE* in = std::fopen(path, "r");
  if (in == nullptr) {
    if (errno != ENOENT) std::fprintf(err, "corvane-altor: %s: %s\n", path, std::strerror(errno));
    return;
  }
  ReadControls(in, path, err);
  std::fclose(in);
}

void PrintControls(FILE* out) {
  static char path[PATH_MAX];
  if (!ControlsFilePath(path, sizeof path))
    std::snprintf(path, sizeof path, "~/.config/corvane-altor/controls.conf");
  std::fprintf(
      out,
      "# Corvane Altor's controls. Saved as\n"
      "#   %s\n"
      "# this file is read at every start; a setting left out keeps its default.\n"
      "#\n"
      "# PLAYER.ACTION.key = one key, by SDL's name: Z, Left, Space, Keypad 0, Left Ctrl,\n"
      "#   Right Alt...; Ctrl, Shift and Alt stand for either of the two. Nothing: no key.\n"
      "# PLAYER.ACTION.pad = pad buttons by SDL's names, separated by spaces: a b x y,\n"
      "#   leftshoulder rightshoulder lefttrigger righttrigger dpup dpdown dpleft dpright\n"
      "#   leftstick rightstick, and the sticks pushed one way: -leftx +leftx -lefty +lefty\n"
      "#   -rightx +rightx -righty +righty. Player 1 has the first pad plugged in, player 2\n"
      "#   the second.\n"
      "# P, Escape, Alt+Return and the pads' start button are the game's own.\n",
      path);
  char line[kLineMax];
  for (int32_t setting = 0; setting < kSettings; ++setting) {
    if (setting % kActionCount == 0) std::fputs("\n", out);
    for (int32_t pad = 0; pad < 2; ++pad) {
      SettingLine(controls, setting, pad == 1, line, sizeof line);
      std::fprintf(out, "%s\n", line);
    }
  }
}
