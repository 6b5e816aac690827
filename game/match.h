// One frame of a match and the clouds' drift.
#pragma once

// One match frame as the player sees it: draws the match, then simulates it.
void MatchFrame();

// Everything a match frame changes, without drawing: the fire's countdown and the bullets' screen
// positions (which the picture just drawn showed), then, unless paused, the bullets, the planes,
// the pilots and the clouds, or while paused the panel's buttons; last the win rule. Its commands
// come from the keys, or from the frame's inputs when SetFrameInput has handed them over (then a
// pause bit toggles the pause first). A frame simulated without drawing leaves the same state as
// a drawn one.
void SimulateMatchFrame();

// P: pauses a running match or resumes a paused one; a finished match stays paused.
void TogglePause();

// Moves the clouds one step to the right, wrapping at the playfield's right edge.
void DriftClouds();
