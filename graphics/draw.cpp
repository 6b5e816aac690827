#include "graphics/draw.h"

#include "game/state.h"

namespace {

// Rectangles are worked out in 64 bits so that no position, however far off the screen, can
// overflow; one that does not fit 32 bits lies outside every surface and is not drawn.
struct Box {
  int64_t left;
  int64_t top;
  int64_t right;
  int64_t bottom;
};

bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

bool ToRect(const Box& box, Rect* rect) {
  if (!FitsInt32(box.left) || !FitsInt32(box.top) || !FitsInt32(box.right) ||
      !FitsInt32(box.bottom))
    return false;
  *rect = Rect{static_cast<int32_t>(box.left), static_cast<int32_t>(box.top),
               static_cast<int32_t>(box.right), static_cast<int32_t>(box.bottom)};
  return true;
}

// One colour-keyed copy into the back buffer. Like every copy, it draws nothing unless both
// rectangles lie wholly inside their surfaces.
void KeyedBlit(const platform::Surface* sheet, const Box& dst, const Box& src) {
  Rect dstRect;
  Rect srcRect;
  if (!ToRect(dst, &dstRect) || !ToRect(src, &srcRect)) return;
  platform::Blit(backBuffer, dstRect, sheet, srcRect, true);
}

enum ClipState { CLIP_NONE, CLIP_RIGHT, CLIP_LEFT, CLIP_BOTTOM, CLIP_TOP };

// Cuts a sprite w pixels wide at the playfield's right and left edges and the screen's bottom and
// top, in that order. Each cut that applies sets the state, so the last one names it; *over is
// how far the sprite reached past the playfield's right edge.
ClipState ClipSprite(int64_t x, int64_t y, int64_t w, Box* dst, Box* src, int64_t* over) {
  const int64_t s = spriteHeight;
  ClipState state = CLIP_NONE;
  *over = 0;
  if (x + w > playAreaWidth) {
    *over = x + w - playAreaWidth;
    dst->right -= *over;
    src->right -= *over;
    state = CLIP_RIGHT;
  }
  if (x + w > 0 && x < 0) {
    dst->left = 0;
    dst->right = x + w;
    src->left -= x;
    state = CLIP_LEFT;
  }
  if (y + s > screenHeight) {
    const int64_t cut = y + s - screenHeight;
    dst->bottom -= cut;
    src->bottom -= cut;
    state = CLIP_BOTTOM;
  }
  if (y + s > 0 && y < 0) {
    dst->top = 0;
    dst->bottom = y + s;
    src->top -= y;
    state = CLIP_TOP;
  }
  return state;
}

void DrawCloud(int64_t x, int64_t y, int64_t widthCells) {
  const int64_t w = static_cast<int64_t>(spriteWidth) * widthCells;
  const int64_t s = spriteHeight;
  Box src{0, 0, w, s};
  Box dst{x, y, x + w, y + s};
  int64_t over = 0;
  const ClipState state = ClipSprite(x, y, w, &dst, &src, &over);
  KeyedBlit(cloudSurface, dst, src);
  // Clouds drift out on the right and come back in on the left.
  if (state == CLIP_RIGHT)
    KeyedBlit(cloudSurface, Box{0, dst.top, over, dst.bottom},
              Box{w - over, src.top, w, src.bottom});
}

void DrawTower(int64_t x, int64_t y, int64_t widthCells) {
  const int64_t w = static_cast<int64_t>(spriteWidth) * widthCells;
  const int64_t s = spriteHeight;
  Box src{0, 0, w, 2 * s};
  Box dst{x, y, x + w, y + 2 * s};
  int64_t over = 0;
  ClipSprite(x, y, w, &dst, &src, &over);
  // The tower stands on the ground: its foot is never cut.
  src.bottom = 2 * s;
  dst.bottom = y + 2 * s;
  KeyedBlit(towerSurface, dst, src);
}

void DrawBullet(int64_t x, int64_t y, int64_t variant) {
  const int64_t w = spriteWidth / 8;
  const int64_t h = spriteHeight / 8;
  KeyedBlit(bulletSurface, Box{x, y, x + w, y + h}, Box{0, h * variant, w, h * (variant + 1)});
}

}  // namespace

void DrawObjectSprite(int32_t kind, int32_t x, int32_t y, int32_t widthCells, int32_t variant) {
  switch (kind) {
    case SPRITE_CLOUD:
      DrawCloud(x, y, widthCells);
      break;
    case SPRITE_TOWER:
      DrawTower(x, y, widthCells);
      break;
    case SPRITE_BULLET:
      DrawBullet(x, y, variant);
      break;
    default:
      break;
  }
}

void DrawPlaneSprite(int32_t kind, int32_t x, int32_t y, int32_t frame, int32_t colorRow) {
  if (kind != SPRITE_PLANE && kind != SPRITE_FIRE) return;
  int64_t column = frame;
  if (kind == SPRITE_PLANE) {
    // Twelve pictures, 30 degrees apart, turning clockwise from flying right.
    column = 12 - (static_cast<int64_t>(frame) + 1) / 3;
    if (column == 12) column = 0;
  }
  const int64_t w = spriteWidth;
  const int64_t s = spriteHeight;
  Box src{w * column, 0, w * column + w, s};
  Box dst{x, y, static_cast<int64_t>(x) + w, static_cast<int64_t>(y) + s};
  int64_t over = 0;
  const ClipState state = ClipSprite(x, y, w, &dst, &src, &over);
  if (kind == SPRITE_FIRE) {
    KeyedBlit(fireSurface, dst, src);
    return;
  }
  src.top += s * colorRow;
  src.bottom += s * colorRow;
  KeyedBlit(planeSurface, dst, src);
  // A plane leaving the playfield on one side shows its cut-off part on the other.
  const int64_t playArea = playAreaWidth;
  if (state == CLIP_RIGHT) {
    KeyedBlit(planeSurface, Box{0, dst.top, over, dst.bottom},
              Box{w * (column + 1) - over, src.top, w * (column + 1), src.bottom});
  } else if (state == CLIP_LEFT) {
    KeyedBlit(planeSurface, Box{playArea + x, dst.top, playArea, dst.bottom},
              Box{w * column, src.top, w * column - x, src.bottom});
  }
}

void DrawString(const char* text, int32_t x, int32_t y, int32_t row, int32_t size) {
  if (text == nullptr) return;
  const int64_t cell = 2 * static_cast<int64_t>(size);
  for (int64_t i = 0; text[i] != '\0'; ++i) {
    const int64_t code = static_cast<signed char>(text[i]);
    // The font has pictures for '!' to '~' only; anything else leaves its cell empty.
    if (code < 33 || code > 126) continue;
    const int64_t column = (code - 33) * 8;
    KeyedBlit(lettersSurface, Box{x + i * cell, y, x + (i + 1) * cell, y + cell},
              Box{column, (static_cast<int64_t>(row) - 1) * 8, column + 8,
                  static_cast<int64_t>(row) * 8});
  }
}

void DrawNumber(int32_t value, int32_t x, int32_t y, int32_t row, int32_t size) {
  // No sign: callers draw the magnitude and a minus of their own.
  if (value < 0) return;
  int64_t power = 1;
  while (power * 10 <= value) power *= 10;
  int64_t rest = value;
  for (int64_t j = 0; power > 0; ++j, power /= 10) {
    const int64_t digit = rest / power;
    rest -= digit * power;
    const int64_t left = x + j * size;
    // One empty pixel column separates neighbouring digits.
    KeyedBlit(numbersSurface, Box{left, y, left + size - 1, y + 2 * static_cast<int64_t>(size)},
              Box{digit * 4, (static_cast<int64_t>(row) - 1) * 8, digit * 4 + 4,
                  static_cast<int64_t>(row) * 8});
  }
}
