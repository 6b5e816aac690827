#include "game/flight.h"

#include <cmath>

#include "game/state.h"
#include "sound/effects.h"

namespace {

// Radians per heading step and per degree. These are the game's own rounded factors, not pi/18
// and pi/180: the flight paths depend on them.
constexpr double kRadiansPerHeading = 0.1745;
constexpr double kRadiansPerDegree = 0.01745;

constexpr double kTopSpeed = 20.0;
constexpr double kLowestSpeed = -10.0;
constexpr int32_t kCrashFrames = 8;

double GroundLine() { return 0.9 * screenHeight; }

}  // namespace

void ApplyGravity(int32_t planeIndex) {
  Plane& plane = planes[planeIndex];
  if (plane.onGround == 1) return;

  // Slow planes drop faster: three times the pull below 3.0, twice below 6.0.
  plane.y += gravity;
  if (plane.speed < 3.0) {
    plane.y += 2 * gravity;
  } else if (plane.speed < 6.0) {
    plane.y += gravity;
  }

  // The nose's angle is taken one step (10 degrees) further round than the heading itself.
  const double s = std::sin(static_cast<double>(10 * plane.headingIndex + 10) * kRadiansPerDegree);
  if (plane.headingIndex >= 2 && plane.headingIndex <= 16) {
    plane.speed -= s * (0.5 * gravity);
  }
  if (plane.headingIndex >= 20 && plane.headingIndex <= 34) {
    // Diving: s is negative here, so taking the term away makes a long dive gain speed up to the
    // top speed rather than lose it.
    const double diveTerm = s * (0.5 * gravity) * 0.75;
    plane.speed -= diveTerm;
  }
}

void MovePlane(int32_t planeIndex) {
  Plane& plane = planes[planeIndex];
  if (plane.crashed == 1) return;
  if (plane.onGround == 1) {
    // Rolling along the runway: only x changes.
    plane.x += plane.speed;
    return;
  }
  const double a = plane.headingIndex * kRadiansPerHeading;
  plane.vx = std::cos(a) * plane.speed;
  plane.vy = -(std::sin(a) * plane.speed);
  if (plane.speed > 0.0) plane.x += plane.vx;
  // A stalled plane (negative speed) slides down whichever way its nose points.
  if (plane.speed < 0.0 && plane.vy < 0.0) plane.vy *= -1.0;
  plane.y += plane.vy;
}

int32_t HitsTower(int32_t planeIndex) {
  const Plane& plane = planes[planeIndex];
  const int32_t centre = playAreaWidth / 2;
  const double left = centre - spriteHeight;
  const double right = centre + spriteHeight / 2;
  const double top = GroundLine() - (3 * spriteHeight) / 2;
  return (plane.x > left && plane.x < right && plane.y > top) ? 1 : 0;
}

void UpdatePlanes() {
  for (int32_t i = 0; i < planeCount; ++i) {
    Plane& plane = planes[i];
    plane.screenX = static_cast<int32_t>(plane.x);
    plane.screenY = static_cast<int32_t>(plane.y);

    const bool hit = plane.y > GroundLine() || HitsTower(i) == 1;
    // A plane already down (crashed or shot down) is not counted again.
    if (hit && plane.crashed != 1) {
      plane.crashes += 1;
      plane.score -= 1;
      plane.crashTimer = kCrashFrames;
      plane.crashed = 1;
      PlaySoundEffect(3);
    }

    if (plane.crashed == 1 && plane.crashTimer <= 0) {
      plane.x =
          plane.playerNumber == 1 ? 10.0 : static_cast<double>(playAreaWidth / 2 + spriteWidth);
      plane.y = 0.875 * screenHeight;
      plane.headingIndex = 0;
      plane.onGround = 1;
      plane.speed = 0.0;
      plane.crashTimer = 0;
      plane.crashed = 0;
      plane.vx = 0.0;
      plane.vy = 0.0;
    }

    if (plane.x > playAreaWidth) plane.x = 0.0;
    if (plane.y < 0.0) plane.y = 0.0;
    if (plane.x < -spriteWidth) plane.x = playAreaWidth - spriteWidth;
    if (plane.speed > kTopSpeed) plane.speed = kTopSpeed;
    if (plane.speed < kLowestSpeed) plane.speed = kLowestSpeed;
  }
}
