#include "game/match.h"

#include "game/state.h"

void MatchFrame() {}
void DriftClouds() {}
