// An online session between two machines: the greeting (versions, rules and screen sizes must
// agree), the host's settings, the start of a match, the pause in the menu, leaving, and the
// inputs of a match passed to the rollback engine. Driven by the caller's clock; never blocks.
#pragma once

#include <cstdint>

#include "net/packet.h"
#include "net/rollback.h"
#include "platform/net_transport.h"

namespace net {

enum SessionState : int32_t {
  SESSION_CLOSED = 0,      // nothing open, or it ended: `message` says why
  SESSION_WAITING = 1,     // hosting, no opponent yet
  SESSION_CONNECTING = 2,  // joining, no answer yet
  SESSION_GREETING = 3,    // connected, greetings not yet compared
  SESSION_READY = 4,       // both agree: the menus run, the host may start
  SESSION_PLAYING = 5,     // a match runs, its inputs go to the rollback engine
};

// Joining gives up after this long without an answer; an opponent silent this long has gone (ENet's
// own timeout is set to the same):
constexpr uint32_t kConnectTimeoutMs = 10000;
constexpr uint32_t kSilenceTimeoutMs = 5000;

struct Session {
  platform::NetHost* link;
  bool hosting;
  SessionState state;
  uint16_t port;
  char address[128];
  Hello hello;  // this machine's greeting
  uint32_t openedMs;
  uint32_t lastHeardMs;
  bool started;         // a START arrived (joining side) or was sent (host) and the match runs
  char message[256];    // why the session ended or was refused, for the player
  uint8_t leaveReason;  // the LeaveReason the opponent gave when it last left (0: none given)
  uint32_t badPackets[DECODE_RESULT_COUNT];
};

// A fingerprint of the rules: a short scripted match between two players run from a fixed start
// at the current screen size, with the game's own constants and floating point. Two machines that
// get the same value play the same game. The match's globals are left as they were.
uint64_t RulesChecksum();

// This machine's greeting.
Hello MakeHello();

// Compares the other's greeting with ours; false with a message for the player when they cannot
// play together.
bool CheckHello(const Hello& ours, const Hello& theirs, char* message, size_t messageLen);

// Hosts on `port`, or joins address:port. false with the reason in session->message.
bool SessionHost(Session* session, uint16_t port, uint32_t nowMs);
bool SessionJoin(Session* session, const char* address, uint16_t port, uint32_t nowMs);

// Handles everything that arrived: greetings, settings, the start (which sets the match state and
// starts rb), the pause, leaving, and a running match's inputs (into rb). Ends the session when the
// opponent leaves, goes silent or cannot play with us.
void SessionService(Session* session, Rollback* rb, uint32_t nowMs);

// The host's side: shows its settings to the joining player, and starts the match from the
// current match state on both machines (rb starts here too).
void SessionSendSettings(Session* session);
void SessionStartMatch(Session* session, Rollback* rb);
// Back to the menus once the match has ended on both sides (RollbackAdvance said FRAME_ENDED).
void SessionEndMatch(Session* session);
// The menu's pause, for the other menu.
void SessionSendPause(Session* session, int32_t pausedNow);
// A running match's inputs: called after every frame; and after the match, in the menu, until the
// next start, so that the other side hears the last acknowledgement even if packets are lost.
void SessionSendInputs(Session* session, const Rollback& rb);

// Leaves (Escape, "Quit", a closed window, a desync): the opponent is told why. Waits a moment
// (at most kLeaveLingerMs) for the message to be acknowledged, or the opponent would only notice
// after its silence timeout.
constexpr uint32_t kLeaveLingerMs = 300;
void SessionLeave(Session* session, LeaveReason reason);

// One line for the menu: "Waiting for a player on port N", "Connected to HOST - ping 42 ms";
// after a refusal or a departure, the reason first.
void SessionStatus(const Session& session, char* line, size_t lineLen);

}  // namespace net
