#include "game/guns.h"

#include <cmath>

#include "game/state.h"
#include "sound/effects.h"

namespace {

constexpr double kRadiansPerHeading = 0.1745;
constexpr double kMuzzleSpeed = 20.0;
constexpr int32_t kBulletLife = 26;
// In its last moves a bullet drops: it sinks one extra pull per move while its life is below this.
constexpr int32_t kSinkingLife = 4;
// Only the inner part of the target's sprite cell counts: the plane's picture does not fill it.
constexpr int32_t kHitInset = 8;
// The bullet's picture reaches this far right of and below its corner.
constexpr double kBulletExtent = 3.0;

// The menu may show more than the slots hold; never let the limit run past the array.
int32_t BulletLimit() { return maxBullets < kBulletSlots ? maxBullets : kBulletSlots; }

bool Hits(const Bullet& bullet, const Plane& target) {
  if (target.crashed == 1 || target.onGround == 1) return false;
  return bullet.x + kBulletExtent > static_cast<double>(target.screenX + kHitInset) &&
         bullet.x < static_cast<double>(target.screenX + spriteWidth - kHitInset) &&
         bullet.y + kBulletExtent > static_cast<double>(target.screenY + kHitInset) &&
         bullet.y < static_cast<double>(target.screenY + spriteHeight - kHitInset);
}

// Tests one bullet against every other plane; on a hit downs the target, scores for the shooter,
// removes the bullet and returns true.
bool ShootsDown(int32_t slot, int32_t shooterIndex) {
  Plane& shooter = planes[shooterIndex];
  for (int32_t t = 0; t < planeCount; ++t) {
    if (t == shooterIndex) continue;
    Plane& target = planes[t];
    if (!Hits(shooter.bullets[slot], target)) continue;
    target.crashTimer = 8;
    target.crashed = 1;
    RemoveBullet(slot, shooterIndex);
    shooter.kills += 1;
    shooter.score += 2;
    PlaySoundEffect(3);
    return true;
  }
  return false;
}

// Moves one bullet and wraps it at the side edges; returns true when it is to be removed.
bool MoveBullet(Bullet& bullet) {
  bullet.x += bullet.vx;
  bullet.y += bullet.vy;
  bullet.life -= 1;
  if (bullet.life < kSinkingLife) bullet.y += gravity;

  if (bullet.x > playAreaWidth) bullet.x -= playAreaWidth;
  if (bullet.x < 0.0) bullet.x += playAreaWidth;

  return bullet.y < 0.0 || bullet.y > 0.95 * screenHeight || bullet.life <= 0;
}

}  // namespace

void FireBullet(int32_t planeIndex) {
  Plane& plane = planes[planeIndex];
  if (plane.bulletCount > BulletLimit() - 1) return;
  if (plane.crashed == 1) return;

  plane.fired += 1;
  PlaySoundEffect(1);

  // The muzzle sits one sprite length ahead of the sprite cell's centre, along the heading.
  const double a = plane.headingIndex * kRadiansPerHeading;
  Bullet& bullet = plane.bullets[plane.bulletCount];
  bullet.x = (plane.screenX + spriteWidth / 2) + spriteWidth * std::cos(a);
  bullet.y = (plane.screenY + spriteHeight / 2) - spriteHeight * std::sin(a);
  bullet.vx = kMuzzleSpeed * std::cos(a);
  bullet.vy = -kMuzzleSpeed * std::sin(a);
  bullet.life = kBulletLife;
  plane.bulletCount += 1;
}

void RemoveBullet(int32_t slot, int32_t planeIndex) {
  Plane& plane = planes[planeIndex];
  const int32_t count = plane.bulletCount < kBulletSlots ? plane.bulletCount : kBulletSlots;
  if (slot < 0 || slot >= count) return;
  for (int32_t i = slot; i < count - 1; ++i) plane.bullets[i] = plane.bullets[i + 1];
  plane.bulletCount = count - 1;
}

void UpdateBullets() {
  for (int32_t p = 0; p < planeCount; ++p) {
    Plane& plane = planes[p];
    // A removed bullet's place is taken by the next younger one, which has not been handled
    // yet: the slot index only advances past a bullet that stays.
    int32_t slot = 0;
    while (slot < plane.bulletCount && slot < kBulletSlots) {
      if (ShootsDown(slot, p)) continue;
      if (MoveBullet(plane.bullets[slot])) {
        RemoveBullet(slot, p);
        continue;
      }
      ++slot;
    }
  }
}
