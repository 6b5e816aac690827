// One frame of a match and the clouds' drift.
#pragma once

// Draws the match, advances it unless paused, serves the panel buttons while paused and applies
// the win rule.
void MatchFrame();
// Moves the clouds one step to the right, wrapping at the playfield's right edge.
void DriftClouds();
