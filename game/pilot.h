// The computer pilot: rolls down the runway and lifts off, climbs out, patrols while the opponent
// stands on its runway, and attacks once the opponent is in the air.
#pragma once

#include <cstdint>

// The pilot's phase, kept in the flown plane's cpuPhase.
enum PilotPhase : int32_t {
  PHASE_NONE = 0,       // the pilot has not flown this plane yet
  PHASE_CLIMB_OUT = 1,  // on the runway, and after lift-off until it patrols or attacks
  PHASE_PATROL = 2,     // the opponent is on its runway: hold a height band and wander
  PHASE_ATTACK = 3,     // the opponent is in the air: aim at it and shoot
};

// One decision and one control step for plane flownIndex against plane opponentIndex.
void ComputerPilot(int32_t flownIndex, int32_t opponentIndex);

// The computer's control step: the same rules as a player's keys, with the keys replaced by the
// commands (gas 1 = on; turn TURN_NONE, TURN_NOSE_UP or TURN_NOSE_DOWN; fire 1 = fire).
void ComputerControls(int32_t gas, int32_t turn, int32_t fire, int32_t planeIndex);

// The heading the pilot of plane flownIndex aims for to point at plane opponentIndex, from their
// screen positions. Not wrapped into 0..35: 36 - theta for an opponent to the right and below.
int32_t TargetHeading(int32_t flownIndex, int32_t opponentIndex);
