// Puts planes where a test needs them.
#pragma once

#include <cstdint>

#include "game/state.h"

namespace testplanes {

// Plane `index` in the air at (x, y), its integer position to match, nose at `heading`.
inline Plane& PutInAir(int32_t index, double x, double y, int32_t heading, double speed) {
  Plane& plane = planes[index];
  plane.x = x;
  plane.y = y;
  plane.screenX = static_cast<int32_t>(x);
  plane.screenY = static_cast<int32_t>(y);
  plane.headingIndex = heading;
  plane.speed = speed;
  plane.onGround = 0;
  plane.crashed = 0;
  return plane;
}

}  // namespace testplanes
