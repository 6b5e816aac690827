// One complete frame of a match: playfield, right panel, scores and statistics, notices.
#pragma once

// Draws the match as the game state stands into the back buffer and shows it. Changes no state: the
// fire's countdown and the bullets' screen positions are the simulation's (SimulateMatchFrame).
void DrawMatchScreen();
