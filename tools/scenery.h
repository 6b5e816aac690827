// The full-screen and panel pictures: the playfield background, the title picture behind the
// main menu, the right-hand panel and its two buttons.
#pragma once

#include "tools/raster.h"

namespace art {

// Heights on the 640x480 playfield that the pictures are built around.
constexpr int kHorizonY = 432;      // the ground line: a plane whose top passes it has crashed
constexpr int kRunwayFarY = 438;    // far edge of the runways
constexpr int kRunwayNearY = 451;   // near edge; a resting plane's wheels stand between the two
constexpr int kRunway1End = 244;    // player 1 must lift off before the tower
constexpr int kRunway2Start = 304;  // player 2 starts just right of the tower

Bitmap MakeBackground();  // bg.bmp, 640x480
Bitmap MakeTitle();       // camain.bmp, 640x480
Bitmap MakeRightPanel();  // right.bmp, 80x480
Bitmap MakeButtons();     // buttons.bmp, 80x64

}  // namespace art
