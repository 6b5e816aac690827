// One complete frame of a match: playfield, right panel, scores and statistics, notices.
#pragma once

// Draws the match as the game state stands into the back buffer and shows it. Also counts a
// crashed plane's crashTimer down (the fire animation), paused or not.
void DrawMatchScreen();
