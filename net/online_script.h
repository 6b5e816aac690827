// Tests of two real games on one machine play each from a recorded input stream instead of its
// keyboard, and read back what each one confirmed. Both are asked for through the environment,
// so the command line stays the player's:
//
//   CORVANE_NET_SCRIPT=FILE  the local player's input: an optional line "speed N" (the host sets
//                            game speed N, then presses "Play!" as soon as a player is there), then
//                            lines "FRAME HEX", the InputBits of that match frame (others are 0).
//                            The keyboard and the mouse are not read in the match. After the
//                            match, the joining player leaves 0.3 s later; the host once
//                            its opponent has gone.
//   CORVANE_NET_LOG=PREFIX   PREFIX-frames.txt: "FRAME HASH" of every confirmed frame as it is
//                            confirmed; at the end of each match the recorded game of a desync
//                            (PREFIX-inputs.txt, -hashes.txt, -start.txt) and PREFIX-stats.txt.
#pragma once

#include <cstddef>
#include <cstdint>

namespace net {

struct Rollback;

// Reads the environment and the script. false, with the reason, for a script that cannot be read.
bool ScriptOpen(char* why, size_t whyLen);
bool ScriptActive();
// The game speed the host sets; 0 when the script leaves it.
int32_t ScriptSpeed();
// The local player's input in a match frame.
uint8_t ScriptInput(uint32_t frame);

// The log: every confirmed frame of the match rb runs, and its end.
void ScriptMatchStarted(Rollback* rb);
void ScriptMatchEnded(const Rollback& rb);

}  // namespace net
