#include "game/match.h"

#include "game/controls.h"
#include "game/flight.h"
#include "game/guns.h"
#include "game/input.h"
#include "game/pilot.h"
#include "game/state.h"
#include "graphics/match_screen.h"

namespace {

// What showing a frame moves on: the original game did this while drawing, so it happens at the
// start of every frame, paused or not, before anything else is simulated.
void AdvanceShownState() {
  for (int32_t i = 0; i < planeCount; ++i) {
    Plane& plane = planes[i];
    for (int32_t b = 0; b < plane.bulletCount && b < kBulletSlots; ++b) {
      Bullet& bullet = plane.bullets[b];
      bullet.screenX = TruncToPixel(bullet.x);
      bullet.screenY = TruncToPixel(bullet.y);
    }
    if (plane.crashed == 1) {
      plane.crashTimer -= 1;
      if (plane.crashTimer < 0) plane.crashTimer = 0;
    }
  }
}

}  // namespace

void MatchFrame() {
  // Drawn first, so the picture shows the state the previous frame left.
  DrawMatchScreen();
  SimulateMatchFrame();
}

void SimulateMatchFrame() {
  // Offline, P is served between frames as it is pressed; online it arrives with the frame.
  if ((SessionCommands() & INPUT_PAUSE) != 0) TogglePause();
  AdvanceShownState();
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

void TogglePause() {
  if (paused == 1) {
    if (matchOver == 0) paused = 0;
  } else {
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
