// The whole state a match frame reads and writes, as one fixed record: saved and restored for
// online play's re-simulation, and fingerprinted to compare two machines' matches.
#pragma once

#include <cstdint>

#include "game/state.h"

struct MatchState {
  int32_t gameMode;
  int32_t paused;
  int32_t matchOver;
  Plane planes[2];
  Cloud clouds[kCloudCount];
};

// Copies the match's globals into *state, and back. Nothing is allocated.
void SaveMatchState(MatchState* state);
void RestoreMatchState(const MatchState& state);

// A fingerprint of the state field by field (never padding, only the bullets in flight), together
// with the settings the rules read (score to win, bullet limit, computer players and levels).
uint64_t HashMatchState(const MatchState& state);

// The same of the match as it stands.
uint64_t HashCurrentMatch();
