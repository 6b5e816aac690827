#include "net/session.h"

#include <cstdio>
#include <cstring>

#include "game/input.h"
#include "game/match.h"
#include "game/match_state.h"
#include "sound/effects.h"

namespace net {

namespace {

constexpr int32_t kChecksumFrames = 900;

// A pilot who takes off, climbs, then turns, fires and dives by turns.
uint8_t ScriptedInput(int32_t frame) {
  if (frame < 16) return INPUT_GAS;
  if (frame < 20) return INPUT_GAS | INPUT_NOSE_UP;
  static const uint8_t kCycle[4] = {INPUT_GAS | INPUT_FIRE, INPUT_NOSE_UP | INPUT_FIRE, INPUT_GAS,
                                    INPUT_NOSE_DOWN | INPUT_FIRE};
  return kCycle[(frame / 20) % 4];
}

void Fail(Session* session, const char* text) {
  if (text != session->message)
    std::snprintf(session->message, sizeof session->message, "%s", text);
  platform::NetClose(session->link);
  session->link = nullptr;
  session->state = SESSION_CLOSED;
  session->started = false;
}

void SendSession(Session* session, const uint8_t* data, size_t size) {
  if (session->link != nullptr)
    platform::NetSend(session->link, platform::NET_CHANNEL_SESSION, data, size);
}

const char* LeaveText(uint32_t reason) {
  switch (reason) {
    case LEAVE_MISMATCH:
      return "Your opponent's game cannot play with this one";
    case LEAVE_DESYNC:
      return "The two games went apart (desync); the match was stopped";
    case LEAVE_BUSY:
      return "That game already has two players";
    default:
      return "Your opponent left";
  }
}

// The opponent is gone: a host waits for the next one, a joining player's session ends.
void OpponentGone(Session* session, const char* text, uint32_t nowMs) {
  if (text != session->message)
    std::snprintf(session->message, sizeof session->message, "%s", text);
  session->started = false;
  if (session->hosting) {
    // Free the opponent's place at once, or the next player would find it taken until ENet's own
    // timeout.
    platform::NetDisconnect(session->link, LEAVE_QUIT);
    session->state = SESSION_WAITING;
    session->lastHeardMs = nowMs;
    return;
  }
  platform::NetClose(session->link);
  session->link = nullptr;
  session->state = SESSION_CLOSED;
}

void ApplySettings(const MatchSettings& s) {
  gameSpeed = s.gameSpeed;
  scoreToWin = s.scoreToWin;
  maxBullets = s.maxBullets;
  cpuPlayers = 0;
  matchFramePeriod = (5 - gameSpeed) * 10;
}

MatchSettings CurrentSettings() { return MatchSettings{gameSpeed, scoreToWin, maxBullets}; }

void HandleSession(Session* session, Rollback* rb, const Message& m, uint32_t nowMs) {
  // Nothing counts from a machine whose greeting has not been found good.
  if (session->state < SESSION_READY && m.type != PACKET_HELLO && m.type != PACKET_LEAVE) return;
  switch (m.type) {
    case PACKET_HELLO: {
      char why[256];
      if (!CheckHello(session->hello, m.hello, why, sizeof why)) {
        uint8_t out[2];
        SendSession(session, out, EncodeByte(PACKET_LEAVE, LEAVE_MISMATCH, out));
        platform::NetFlush(session->link);
        if (session->hosting) platform::NetDisconnect(session->link, LEAVE_MISMATCH);
        OpponentGone(session, why, nowMs);
        return;
      }
      session->state = SESSION_READY;
      if (session->hosting) SessionSendSettings(session);
      return;
    }
    // Settings and the menu's pause change nothing once a match runs: they would change it on
    // one machine only.
    case PACKET_SETTINGS:
      if (!session->hosting && session->state != SESSION_PLAYING) ApplySettings(m.settings);
      return;
    case PACKET_START:
      if (session->hosting || rb == nullptr) return;
      ApplySettings(m.settings);
      RestoreMatchState(m.state);
      RollbackStart(rb, 1, gameSpeed);
      session->state = SESSION_PLAYING;
      session->started = true;
      return;
    case PACKET_PAUSE:
      if (session->state != SESSION_PLAYING) paused = m.value;
      return;
    case PACKET_LEAVE:
      if (session->state < SESSION_GREETING) return;  // gone already, with our own reason
      session->leaveReason = m.value;
      OpponentGone(session, LeaveText(m.value), nowMs);
      return;
    default:
      return;
  }
}

}  // namespace

uint64_t RulesChecksum() {
  MatchState saved;
  SaveMatchState(&saved);
  const GameSettings savedSettings = settings;
  const bool savedMute = soundEffectsMuted;
  soundEffectsMuted = true;

  std::memset(planes, 0, sizeof planes);
  for (int32_t i = 0; i < kCloudCount; ++i) clouds[i].x = 60 * i;
  ReturnToMenu();
  gameMode = MODE_MATCH;
  cpuPlayers = 0;
  scoreToWin = kMaxScoreToWin;
  maxBullets = 6;
  uint64_t checksum = 0;
  for (int32_t f = 0; f < kChecksumFrames; ++f) {
    FrameInput input = {{ScriptedInput(f), ScriptedInput(f + 37)}};
    SetFrameInput(&input);
    SimulateMatchFrame();
    SetFrameInput(nullptr);
    if (f % 100 == 99) checksum = checksum * 31 + HashCurrentMatch();
  }

  settings = savedSettings;
  RestoreMatchState(saved);
  soundEffectsMuted = savedMute;
  return checksum;
}

Hello MakeHello() {
  return Hello{kProtocolVersion, kGameVersion, static_cast<uint16_t>(screenWidth),
               static_cast<uint16_t>(screenHeight), RulesChecksum()};
}

bool CheckHello(const Hello& ours, const Hello& theirs, char* message, size_t messageLen) {
  if (ours.protocol != theirs.protocol || ours.gameVersion != theirs.gameVersion) {
    std::snprintf(message, messageLen,
                  "Versions differ: this game is %u.%u (online %u), the other %u.%u (online %u)",
                  ours.gameVersion >> 8, ours.gameVersion & 0xFF, ours.protocol,
                  theirs.gameVersion >> 8, theirs.gameVersion & 0xFF, theirs.protocol);
    return false;
  }
  if (ours.screenWidth != theirs.screenWidth || ours.screenHeight != theirs.screenHeight) {
    std::snprintf(message, messageLen, "Screen sizes differ: %ux%u here, %ux%u there",
                  ours.screenWidth, ours.screenHeight, theirs.screenWidth, theirs.screenHeight);
    return false;
  }
  if (ours.rulesChecksum != theirs.rulesChecksum) {
    std::snprintf(message, messageLen,
                  "The two games play by different rules (checksum %016llx here, %016llx there)",
                  static_cast<unsigned long long>(ours.rulesChecksum),
                  static_cast<unsigned long long>(theirs.rulesChecksum));
    return false;
  }
  return true;
}

bool SessionHost(Session* session, uint16_t port, uint32_t nowMs) {
  *session = Session{};
  session->hosting = true;
  session->port = port;
  session->hello = MakeHello();
  session->link = platform::NetListen(port, LEAVE_BUSY, session->message, sizeof session->message);
  session->state = session->link != nullptr ? SESSION_WAITING : SESSION_CLOSED;
  session->openedMs = session->lastHeardMs = nowMs;
  return session->link != nullptr;
}

bool SessionJoin(Session* session, const char* address, uint16_t port, uint32_t nowMs) {
  *session = Session{};
  session->port = port;
  std::snprintf(session->address, sizeof session->address, "%s", address);
  session->hello = MakeHello();
  session->link = platform::NetConnect(address, port, session->message, sizeof session->message);
  session->state = session->link != nullptr ? SESSION_CONNECTING : SESSION_CLOSED;
  session->openedMs = session->lastHeardMs = nowMs;
  return session->link != nullptr;
}

void SessionService(Session* session, Rollback* rb, uint32_t nowMs) {
  platform::NetEvent event;
  while (session->link != nullptr && platform::NetService(session->link, &event)) {
    session->lastHeardMs = nowMs;
    if (event.type == platform::NET_EVENT_CONNECTED) {
      session->message[0] = '\0';
      session->leaveReason = 0;
      session->state = SESSION_GREETING;
      uint8_t out[kMaxPacketBytes];
      SendSession(session, out, EncodeHello(session->hello, out));
    } else if (event.type == platform::NET_EVENT_DISCONNECTED) {
      char text[256];
      if (session->state == SESSION_CONNECTING && event.code == 0)
        std::snprintf(text, sizeof text, "No game answered at %s:%u", session->address,
                      session->port);
      else
        std::snprintf(text, sizeof text, "%s",
                      session->message[0] != '\0' ? session->message : LeaveText(event.code));
      OpponentGone(session, text, nowMs);
    } else if (event.type == platform::NET_EVENT_RECEIVED) {
      static Message message;
      const FrameWindow window = rb != nullptr ? RollbackWindow(*rb) : FrameWindow{0, 0};
      DecodeResult result = DecodePacket(event.data, event.size, window, &message);
      const bool isInput = result == DECODE_OK && message.type == PACKET_INPUT;
      if (result == DECODE_OK && isInput != (event.channel == platform::NET_CHANNEL_INPUTS))
        result = DECODE_UNKNOWN_TYPE;  // a packet on the wrong channel
      if (result != DECODE_OK) {
        ++session->badPackets[result];
      } else if (isInput) {
        if (session->state == SESSION_PLAYING && rb != nullptr)
          RollbackTakeInput(rb, message.input);
      } else {
        HandleSession(session, rb, message, nowMs);
      }
    }
  }
  if (session->state == SESSION_CONNECTING && nowMs - session->openedMs > kConnectTimeoutMs) {
    char text[256];
    std::snprintf(text, sizeof text, "No game answered at %s:%u within %u s", session->address,
                  session->port, kConnectTimeoutMs / 1000);
    Fail(session, text);
  } else if (session->state == SESSION_PLAYING &&
             nowMs - session->lastHeardMs > kSilenceTimeoutMs) {
    // A match sends every frame; outside one, ENet's pings and its 5 s timeout do the same.
    OpponentGone(session, LeaveText(LEAVE_QUIT), nowMs);
  }
}

void SessionSendSettings(Session* session) {
  uint8_t out[kMaxPacketBytes];
  SendSession(session, out, EncodeSettings(CurrentSettings(), out));
}

void SessionStartMatch(Session* session, Rollback* rb) {
  cpuPlayers = 0;
  MatchState state;
  SaveMatchState(&state);
  state.gameMode = MODE_MATCH;
  RestoreMatchState(state);
  uint8_t out[kMaxPacketBytes];
  SendSession(session, out, EncodeStart(CurrentSettings(), state, out));
  platform::NetFlush(session->link);
  RollbackStart(rb, 0, gameSpeed);
  session->state = SESSION_PLAYING;
  session->started = true;
}

void SessionEndMatch(Session* session) {
  if (session->state == SESSION_PLAYING) session->state = SESSION_READY;
  session->started = false;
}

void SessionSendPause(Session* session, int32_t pausedNow) {
  uint8_t out[2];
  SendSession(session, out, EncodeByte(PACKET_PAUSE, pausedNow != 0 ? 1 : 0, out));
}

void SessionSendInputs(Session* session, const Rollback& rb) {
  if (session->link == nullptr) return;
  if (session->state != SESSION_PLAYING && session->state != SESSION_READY) return;
  uint8_t out[kMaxPacketBytes];
  platform::NetSend(session->link, platform::NET_CHANNEL_INPUTS, out, RollbackOutgoing(rb, out));
  platform::NetFlush(session->link);
}

void SessionLeave(Session* session, LeaveReason reason) {
  if (session->link != nullptr) {
    uint8_t out[2];
    SendSession(session, out, EncodeByte(PACKET_LEAVE, reason, out));
    platform::NetDisconnect(session->link, reason);
    platform::NetLinger(session->link, kLeaveLingerMs);
  }
  platform::NetClose(session->link);
  session->link = nullptr;
  session->state = SESSION_CLOSED;
  session->started = false;
}

void SessionStatus(const Session& session, char* line, size_t lineLen) {
  char peer[sizeof session.address] = "a player";
  if (!session.hosting) std::snprintf(peer, sizeof peer, "%s", session.address);
  if (session.hosting && session.link != nullptr)
    platform::NetPeerAddress(session.link, peer, sizeof peer);
  switch (session.state) {
    case SESSION_WAITING:
      // Why the last opponent went, then what happens now.
      std::snprintf(line, lineLen, "%s%sWaiting for a player on port %u", session.message,
                    session.message[0] != '\0' ? ". " : "", session.port);
      return;
    case SESSION_CONNECTING:
    case SESSION_GREETING:
      std::snprintf(line, lineLen, "Connecting to %s...", peer);
      return;
    case SESSION_READY:
    case SESSION_PLAYING:
      std::snprintf(line, lineLen, "Connected to %s - ping %u ms", peer,
                    platform::NetRoundTripMs(session.link));
      return;
    default:
      std::snprintf(line, lineLen, "%s", session.message);
      return;
  }
}

}  // namespace net
