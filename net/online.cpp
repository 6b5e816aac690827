#include "net/online.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "game/input.h"
#include "game/state.h"
#include "graphics/match_screen.h"
#include "net/online_script.h"
#include "net/rollback.h"
#include "net/session.h"
#include "platform/keys.h"
#include "platform/net_transport.h"
#include "platform/system.h"
#include "shell/shell.h"

namespace {

using namespace net;

// At speed 5 a frame runs every millisecond; a packet for each would be a thousand a second for
// nothing, so one goes out at most this often, carrying every frame since the last.
constexpr uint32_t kFastSendGapMs = 3;
// After a match, its last acknowledgements go out this often, for this long.
constexpr uint32_t kLingerGapMs = 50;
constexpr uint32_t kLingerMs = 2000;
// A scripted joining player leaves this long after its match, once the host surely has the end.
constexpr uint32_t kScriptLeaveMs = 300;

Session session;
Rollback rollback;  // 2.4 MB: never on the stack
bool joining = false;
bool everConnected = false;
bool inMatch = false;
bool matchPlayed = false;
uint32_t matchEndMs = 0;
uint8_t pendingEvents = 0;  // P and "Main Menu" since the last frame that ran
uint32_t lastSendMs = 0;
MatchSettings sentSettings = {0, 0, 0};
char toldLine[320] = "";

bool Open() { return session.state != SESSION_CLOSED; }

void SendInputs(uint32_t nowMs) {
  lastSendMs = nowMs;
  SessionSendInputs(&session, rollback);
}

// The player who started the game from a terminal hears of every change: waiting, connected, who
// left and why (the ping is left out).
void Tell() {
  char line[320];
  SessionStatus(session, line, sizeof line);
  if (char* ping = std::strstr(line, " - ping ")) *ping = '\0';
  if (std::strcmp(line, toldLine) == 0) return;
  std::snprintf(toldLine, sizeof toldLine, "%s", line);
  if (line[0] != '\0') std::fprintf(stderr, "corvane-altor: %s\n", line);
}

// Sets the message the menu shows (long ones are cut).
void Say(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(session.message, sizeof session.message, format, args);
  va_end(args);
}

// Where a desync's record goes: $XDG_STATE_HOME/corvane-altor (~/.local/state/corvane-altor),
// made when missing; the current folder when that cannot be.
void RecordFolder(char* folder, size_t folderLen) {
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  if (state != nullptr && state[0] == '/') {
    std::snprintf(folder, folderLen, "%s/corvane-altor", state);
  } else if (home != nullptr && home[0] == '/') {
    std::snprintf(folder, folderLen, "%s/.local/state/corvane-altor", home);
  } else {
    std::snprintf(folder, folderLen, ".");
    return;
  }
  for (char* slash = std::strchr(folder + 1, '/');; slash = std::strchr(slash + 1, '/')) {
    if (slash != nullptr) *slash = '\0';
    const bool made = mkdir(folder, 0755) == 0 || errno == EEXIST;
    if (slash == nullptr) {
      if (!made) std::snprintf(folder, folderLen, ".");
      return;
    }
    *slash = '/';
  }
}

// The two machines' matches went apart: this side's inputs and fingerprints are kept as a
// recorded game, and the player is told where.
void WriteRecord() {
  char folder[160];
  RecordFolder(folder, sizeof folder);
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
  char prefix[sizeof folder + 64];
  std::snprintf(prefix, sizeof prefix, "%s/desync-%s-%s", folder, joining ? "join" : "host", stamp);
  char why[256];
  if (WriteDesyncRecord(rollback, prefix, why, sizeof why))
    Say("The two games went apart (desync) at frame %u; the record is in %s-*.txt",
        rollback.desyncFrame != kNoFrame ? rollback.desyncFrame : rollback.confirmed, prefix);
  else
    Say("The two games went apart (desync); no record: %s", why);
}

void MatchOver(uint32_t nowMs) {
  inMatch = false;
  matchPlayed = true;
  matchEndMs = nowMs;
  pendingEvents = 0;
  ScriptMatchEnded(rollback);
}

// The scripted player of a test in the menu: the host starts as soon as it has an opponent; after
// the match the joining player leaves, and the host once its opponent has gone.
void ScriptedMenu(uint32_t nowMs) {
  if (!ScriptActive() || inMatch || IsQuitting()) return;
  if (!matchPlayed) {
    if (!joining && session.state == SESSION_READY) {
      if (ScriptSpeed() != 0) gameSpeed = ScriptSpeed();
      OnlineStartMatch();
    }
    return;
  }
  const bool leave =
      joining ? nowMs - matchEndMs >= kScriptLeaveMs || !Open() : session.state != SESSION_READY;
  if (leave) platform::PostMessage({platform::MSG_KEYDOWN, platform::VK_ESCAPE});
}

}  // namespace

int OnlineOpen(bool host, const char* joinHost, uint16_t port, uint32_t nowMs) {
  if (!host && joinHost == nullptr) return 0;
  const uint16_t p = port != 0 ? port : kDefaultPort;
  joining = !host;
  const bool opened =
      host ? SessionHost(&session, p, nowMs) : SessionJoin(&session, joinHost, p, nowMs);
  if (!opened) {
    std::fprintf(stderr, "corvane-altor: %s\n", session.message);
    return 1;
  }
  char why[256];
  if (!ScriptOpen(why, sizeof why)) {
    std::fprintf(stderr, "corvane-altor: %s\n", why);
    OnlineReset();
    return 1;
  }
  // The computer pilot's random numbers are not shared: online, two people fly.
  cpuPlayers = 0;
  Tell();
  return 0;
}

bool OnlineActive() { return Open(); }

bool OnlineMenuLocked() { return joining && Open(); }

bool OnlineMatchRuns() { return inMatch; }

void OnlinePass(uint32_t nowMs) {
  if (!Open()) return;
  SessionService(&session, &rollback, nowMs);
  if (session.state >= SESSION_READY) everConnected = true;
  if (joining && !everConnected && !Open()) {
    // Nobody answered, or the host refused us: nothing to play.
    std::fprintf(stderr, "corvane-altor: %s\n", session.message);
    QuitGame(1);
    return;
  }
  if (!inMatch && session.started) {
    // The host's start arrived: the match state and the settings are the host's now.
    inMatch = true;
    pendingEvents = 0;
    ScriptMatchStarted(&rollback);
  } else if (inMatch && !session.started) {
    // The opponent left or went silent: back to the menu, which says so.
    if (rollback.desynced || session.leaveReason == LEAVE_DESYNC) WriteRecord();
    MatchOver(nowMs);
    ReturnToMenu();
  }
  if (session.state == SESSION_READY && !inMatch) {
    if (!joining) {
      const MatchSettings now = {gameSpeed, scoreToWin, maxBullets};
      if (std::memcmp(&now, &sentSettings, sizeof now) != 0) {
        SessionSendSettings(&session);
        sentSettings = now;
      }
    }
    if (matchPlayed && nowMs - matchEndMs < kLingerMs && nowMs - lastSendMs >= kLingerGapMs)
      SendInputs(nowMs);
  }
  if (session.state != SESSION_READY) sentSettings = MatchSettings{0, 0, 0};
  Tell();
  ScriptedMenu(nowMs);
}

void OnlineMatchFrame(bool draw) {
  RollbackCorrect(&rollback);
  if (draw && gameMode == MODE_MATCH) DrawMatchScreen();
  uint8_t input = 0;
  if (ScriptActive()) {
    input = ScriptInput(rollback.frame);
  } else {
    input = ReadFlyingKeys(1);
    const PanelClick click = PollPanelClick();
    if (click == PANEL_QUIT) {
      QuitGame();
      return;
    }
    if (click == PANEL_MAIN_MENU) pendingEvents |= INPUT_MAIN_MENU;
  }
  const FrameResult result = RollbackAdvance(&rollback, input | pendingEvents);
  if (result == FRAME_SIMULATED) pendingEvents = 0;
  const uint32_t now = platform::TimeMs();
  if (gameSpeed < 5 || now - lastSendMs >= kFastSendGapMs) SendInputs(now);
  if (result == FRAME_ENDED) {
    SessionEndMatch(&session);
    MatchOver(now);
  } else if (result == FRAME_DESYNC) {
    WriteRecord();
    char message[sizeof session.message];
    std::memcpy(message, session.message, sizeof message);
    SessionLeave(&session, LEAVE_DESYNC);
    std::memcpy(session.message, message, sizeof message);
    MatchOver(now);
    ReturnToMenu();
    Tell();
  }
}

void OnlineQueuePause() { pendingEvents ^= INPUT_PAUSE; }

void OnlineMenuPaused() {
  if (Open()) SessionSendPause(&session, paused);
}

void OnlineStartMatch() {
  if (joining || session.state != SESSION_READY || inMatch) return;
  matchFramePeriod = (5 - gameSpeed) * 10;  // as the joining side sets it from the start message
  SessionStartMatch(&session, &rollback);
  // The silence that counts as leaving is measured in the match: in the menu only ENet's own
  // pings go back and forth, and they are no news.
  session.lastHeardMs = platform::TimeMs();
  inMatch = true;
  pendingEvents = 0;
  ScriptMatchStarted(&rollback);
}

void OnlineLeave() {
  if (Open()) SessionLeave(&session, LEAVE_QUIT);
  inMatch = false;
}

void OnlineStatusLine(char* line, size_t lineLen) {
  if (lineLen == 0) return;
  line[0] = '\0';
  if (Open() || session.message[0] != '\0') SessionStatus(session, line, lineLen);
}

Session& OnlineSession() { return session; }

Rollback& OnlineRollback() { return rollback; }

void OnlineReset() {
  if (session.link != nullptr) platform::NetClose(session.link);
  session = Session{};
  joining = everConnected = inMatch = matchPlayed = false;
  matchEndMs = lastSendMs = 0;
  pendingEvents = 0;
  sentSettings = MatchSettings{0, 0, 0};
  toldLine[0] = '\0';
}
