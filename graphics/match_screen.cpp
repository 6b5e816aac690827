#include "graphics/match_screen.h"

#include "game/state.h"
#include "graphics/display.h"
#include "graphics/draw.h"

namespace {

// The bullets where the simulation's next step will put their screen positions, the plane, and a
// crashed plane's fire at the frame its timer stands at.
void DrawPlaneAndBullets(int32_t index) {
  const Plane& plane = planes[index];
  for (int32_t i = 0; i < plane.bulletCount && i < kBulletSlots; ++i) {
    const Bullet& bullet = plane.bullets[i];
    DrawObjectSprite(SPRITE_BULLET, TruncToPixel(bullet.x), TruncToPixel(bullet.y), 1, index);
  }
  if (plane.crashed == 0) {
    DrawPlaneSprite(SPRITE_PLANE, plane.screenX, plane.screenY, plane.headingIndex, plane.color);
    return;
  }
  // Two frames of the plane in flames, then the fire alone; frame 8 lies outside the sheet.
  if (plane.crashTimer > 6)
    DrawPlaneSprite(SPRITE_PLANE, plane.screenX, plane.screenY, plane.headingIndex, plane.color);
  DrawPlaneSprite(SPRITE_FIRE, plane.screenX, plane.screenY, 8 - plane.crashTimer, 0);
}

// The panel's score: its magnitude, with a minus sign of its own in front when negative.
void DrawScore(int32_t score, int32_t y) {
  const int32_t p = playAreaWidth;
  if (score < 0) {
    const int32_t magnitude = score == INT32_MIN ? INT32_MAX : -score;
    DrawNumber(magnitude, p + 30, y, 1, 6);
    DrawString("-", p + 18, y, 1, 6);
  } else {
    DrawNumber(score, p + 30, y, 1, 6);
  }
}

int32_t HitPercent(const Plane& plane) {
  // Kills without shots cannot happen in play; they must not divide by zero either.
  if (plane.kills <= 0 || plane.fired <= 0) return 0;
  return static_cast<int32_t>(static_cast<int64_t>(plane.kills) * 100 / plane.fired);
}

void DrawStatistics(const Plane& plane, const char* name, int32_t column) {
  const int32_t s = spriteWidth;
  DrawString(name, column - 2 * s + 2, 0, 2, 4);
  DrawString("Kills:", column - 2 * s, 10, 2, 4);
  DrawNumber(plane.kills, column, 10, 3, 4);
  DrawString("Crashes:", column - 2 * s, 20, 2, 4);
  DrawNumber(plane.crashes, column, 20, 3, 4);
  DrawString("Fired:", column - 2 * s, 30, 2, 4);
  DrawNumber(plane.fired, column, 30, 3, 4);
  DrawString("Hit %:", column - 2 * s, 40, 2, 4);
  DrawNumber(HitPercent(plane), column, 40, 3, 4);
}

}  // namespace

void DrawMatchScreen() {
  const int32_t w = screenWidth;
  const int32_t h = screenHeight;
  const int32_t p = playAreaWidth;
  const int32_t s = spriteHeight;

  platform::Blit(backBuffer, screenRect, backgroundSurface, screenRect, false);
  platform::Blit(backBuffer, Rect{p, 0, w, h}, rightPanelSurface, Rect{0, 0, kRightPanelWidth, h},
                 false);
  platform::Blit(backBuffer, Rect{p, h - 2 * s, w, h}, buttonsSurface,
                 Rect{0, 0, kRightPanelWidth, 2 * s}, false);

  for (int32_t i = 0; i < planeCount; ++i) DrawPlaneAndBullets(i);

  for (const Cloud& cloud : clouds) DrawObjectSprite(SPRITE_CLOUD, cloud.x, cloud.y, 2, 0);

  DrawObjectSprite(SPRITE_TOWER, p / 2 - spriteWidth / 2, TruncToPixel(0.9 * h) - s, 1, 0);

  DrawString(resolutionLabel, 5, h - 15, 2, 4);

  DrawString("Player 1", p + 8, 100, 2, 4);
  DrawScore(planes[0].score, 115);
  DrawString("Player 2", p + 8, 200, 2, 4);
  DrawScore(planes[1].score, 215);

  DrawStatistics(planes[0], "Player 1", p / 3);
  DrawStatistics(planes[1], "Player 2", (2 * p) / 3);

  DrawString("Corvane", p + 12, 5, 6, 4);
  DrawString("Altor", p + 20, 15, 6, 4);

  DrawString("To win:", p + 16, h - 3 * s - 4, 2, 4);
  DrawNumber(scoreToWin, p + 32, h - 3 * s + s / 4 + 2, 1, 6);

  DrawString("Main Menu", p + 4, h - (2 * s + 4) + s / 2, 1, 4);
  DrawString("Quit", p + 24, h + s / 2 - s - 4, 1, 4);

  if (paused == 1 && matchOver == 0) DrawString("PAUSED", w / 2 - 48, h / 2 - 2 * s, 2, 4);

  if (planes[0].score >= scoreToWin && planes[1].score >= scoreToWin &&
      planes[0].score == planes[1].score)
    DrawString("Its a tie!", w / 2 - 80, h / 2 - 2 * s, 2, 4);

  PresentFrame();
}
