// Online play as the shell and the menu see it: the session --host or --join opened, the match
// frames run through the rollback engine, the menu's status line, and leaving. Offline (no session
// open) every function here does nothing and the game is as it always was.
#pragma once

#include <cstddef>
#include <cstdint>

namespace net {
struct Session;
struct Rollback;
}  // namespace net

// Opens the session the command line asked for: hosting on port, or joining joinHost:port (port 0:
// the default port); neither when host is false and joinHost null. 0 when the game can go on;
// otherwise 1, with the reason on standard error (the port is in use, the host unknown).
int OnlineOpen(bool host, const char* joinHost, uint16_t port, uint32_t nowMs);

// Whether a session is open (waiting, connecting or connected): "Player(s)" stays at 2.
bool OnlineActive();
// Whether this machine joined a game: its menu shows the host's settings and cannot change them.
bool OnlineMenuLocked();
// Whether an online match is under way: its frames go through OnlineMatchFrame, and run while the
// window lacks the keyboard, because the other machine does not stop.
bool OnlineMatchRuns();

// Every pass of the main loop, menu or match: serves the network, follows the opponent's start,
// settings, pause and departure. A join that fails before it is connected ends the game with
// status 1 and the reason on standard error.
void OnlinePass(uint32_t nowMs);

// One frame of an online match: brings the match up to date with the other's inputs, draws it
// (when draw), runs the next frame with this machine's input and sends the inputs.
void OnlineMatchFrame(bool draw);

// P while the online match runs: the pause goes out with the next frame's input, to both machines.
void OnlineQueuePause();
// P in the menu (the pause already toggled): the other menu follows.
void OnlineMenuPaused();
// "Play!" on the host: starts the match on both machines at frame 0. Nothing without an opponent.
void OnlineStartMatch();
// Leaving the game (Escape, "Quit", a closed window): the opponent is told.
void OnlineLeave();

// The menu's status line ("Waiting for a player on port N", "Connected to HOST - ping 42 ms",
// "Your opponent left"); empty offline.
void OnlineStatusLine(char* line, size_t lineLen);

// The longest the main loop may sleep between passes: the network must be served promptly.
constexpr uint32_t kOnlineMaxSleepMs = 2;

// The session and the rollback engine (for tests).
net::Session& OnlineSession();
net::Rollback& OnlineRollback();
// Closes the session without a word and forgets everything (tests start over with it).
void OnlineReset();
