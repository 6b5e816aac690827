// The small sprite sheets: crash fire, cloud, control tower, bullets and the blank cell.
#pragma once

#include "tools/raster.h"

namespace art {

// fire.bmp: 8 frames of 32x32. Frames 0 and 1 are small flames drawn over the burning plane,
// 2 to 7 the fireball and its smoke, which thins out.
Bitmap MakeFire();
// cloud.bmp: 64x32.
Bitmap MakeCloud();
// tower.bmp: 32x64 on white (its colour key); it stands on the ground of the playfield.
Bitmap MakeTower();
// bullet.bmp: 4x8, player 1's 4x4 bullet above player 2's.
Bitmap MakeBullets();
// blank.bmp: 32x32.
Bitmap MakeBlank();

// Row of the tower picture on which it stands (its foot); rows below it are transparent.
constexpr int kTowerFootRow = 53;

}  // namespace art
