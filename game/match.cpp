#include "game/match.h"

#include "game/controls.h"
#include "game/flight.h"
#include "game/guns.h"
#include "game/pilot.h"
#include "game/state.h"
#include "graphics/match_screen.h"

void MatchFrame() {
  // Drawn first, so the picture shows the state the previous frame left.
  DrawMatchScreen();
  if (paused == 0) {
    UpdateBullets();
    UpdatePlanes();
    for (int32_t i = 0; i < planeCount; ++i) ApplyGravity(i);
    // Player 1's routine also serves the panel buttons, so it runs whoever flies plane 1.
    Player1Controls();
    if (cpuPlayers == 1) {
      ComputerPilot(1, 0);
    } else if (cpuPlayers == 2) {
      ComputerPilot(1, 0);
      ComputerPilot(0, 1);
    } else {
      Player2Controls();
    }
    DriftClouds();
  } else {
    ServePanelButtons();
  }
  // The win rule holds in every frame, paused or not; a finished match stays paused.
  if (planes[0].score >= scoreToWin || planes[1].score >= scoreToWin) {
    matchOver = 1;
    paused = 1;
  }
}

void DriftClouds() {
  static const int32_t kSteps[4] = {2, 2, 3, 1};
  for (int32_t i = 0; i < kCloudCount; ++i) {
    clouds[i].x += kSteps[i % 4];
    if (clouds[i].x > playAreaWidth) clouds[i].x = 0;
  }
}
