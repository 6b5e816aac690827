#include "platform/surface.h"

#include <cstring>

namespace platform {

Surface* CreateSurface(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  Surface* surface = new Surface;
  surface->width = width;
  surface->height = height;
  surface->pixels = new uint16_t[static_cast<size_t>(width) * height]();
  return surface;
}

void FreeSurface(Surface* surface) {
  if (surface == nullptr) return;
  delete[] surface->pixels;
  delete surface;
}

namespace {

bool Usable(const Surface* surface) {
  return surface != nullptr && surface->pixels != nullptr && !surface->lost && !surface->locked;
}

// Non-empty and wholly inside; written so that no comparison can overflow.
bool Inside(const Rect& rect, const Surface& surface) {
  return rect.left >= 0 && rect.top >= 0 && rect.right <= surface.width &&
         rect.bottom <= surface.height && rect.left < rect.right && rect.top < rect.bottom;
}

void CopyRows(uint16_t* dst, size_t dstPitch, const uint16_t* src, size_t srcPitch, int32_t w,
              int32_t h) {
  const size_t bytes = static_cast<size_t>(w) * sizeof(uint16_t);
  for (int32_t j = 0; j < h; ++j) {
    // memmove: a surface may be copied onto itself.
    std::memmove(dst, src, bytes);
    dst += dstPitch;
    src += srcPitch;
  }
}

void CopyRowsKeyed(uint16_t* dst, size_t dstPitch, const uint16_t* src, size_t srcPitch, int32_t w,
                   int32_t h, uint16_t key) {
  for (int32_t j = 0; j < h; ++j) {
    for (int32_t i = 0; i < w; ++i) {
      const uint16_t v = src[i];
      if (v != key) dst[i] = v;
    }
    dst += dstPitch;
    src += srcPitch;
  }
}

// Nearest-neighbour in 16.16 fixed point, sampling the middle of each step, the way SDL's
// scaled blits do it so pictures look the same whichever path drew them.
void ScaleRows(uint16_t* dst, size_t dstPitch, int32_t dw, int32_t dh, const uint16_t* src,
               size_t srcPitch, int32_t sw, int32_t sh, bool keyed, uint16_t key) {
  const uint64_t incX = (static_cast<uint64_t>(sw) << 16) / static_cast<uint64_t>(dw);
  const uint64_t incY = (static_cast<uint64_t>(sh) << 16) / static_cast<uint64_t>(dh);
  uint64_t posY = incY / 2;
  for (int32_t j = 0; j < dh; ++j) {
    const uint16_t* srcRow = src + static_cast<size_t>(posY >> 16) * srcPitch;
    uint64_t posX = incX / 2;
    if (keyed) {
      for (int32_t i = 0; i < dw; ++i) {
        const uint16_t v = srcRow[posX >> 16];
        if (v != key) dst[i] = v;
        posX += incX;
      }
    } else {
      for (int32_t i = 0; i < dw; ++i) {
        dst[i] = srcRow[posX >> 16];
        posX += incX;
      }
    }
    dst += dstPitch;
    posY += incY;
  }
}

}  // namespace

bool Blit(Surface* dst, const Rect& dstRect, const Surface* src, const Rect& srcRect,
          bool useColorKey) {
  if (!Usable(dst) || !Usable(src)) return false;
  if (!Inside(dstRect, *dst) || !Inside(srcRect, *src)) return false;
  const int32_t dw = dstRect.right - dstRect.left;
  const int32_t dh = dstRect.bottom - dstRect.top;
  const int32_t sw = srcRect.right - srcRect.left;
  const int32_t sh = srcRect.bottom - srcRect.top;
  const size_t dstPitch = static_cast<size_t>(dst->width);
  const size_t srcPitch = static_cast<size_t>(src->width);
  uint16_t* to = dst->pixels + static_cast<size_t>(dstRect.top) * dstPitch + dstRect.left;
  const uint16_t* from = src->pixels + static_cast<size_t>(srcRect.top) * srcPitch + srcRect.left;
  const bool keyed = useColorKey && src->hasColorKey;
  if (dw == sw && dh == sh) {
    if (keyed) {
      CopyRowsKeyed(to, dstPitch, from, srcPitch, dw, dh, src->colorKey);
    } else {
      CopyRows(to, dstPitch, from, srcPitch, dw, dh);
    }
  } else {
    ScaleRows(to, dstPitch, dw, dh, from, srcPitch, sw, sh, keyed, src->colorKey);
  }
  return true;
}

uint16_t ColorToPixel(uint32_t colorref) {
  const uint32_t r = colorref & 0xFF;
  const uint32_t g = (colorref >> 8) & 0xFF;
  const uint32_t b = (colorref >> 16) & 0xFF;
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

uint32_t PixelToColor(uint16_t pixel) {
  const uint32_t r5 = (pixel >> 11) & 0x1F;
  const uint32_t g6 = (pixel >> 5) & 0x3F;
  const uint32_t b5 = pixel & 0x1F;
  const uint32_t r = r5 * 255 / 31;
  const uint32_t b = b5 * 255 / 31;
  // Green expands in two parts, as the screen's own conversion does (0x3F -> 0xFE).
  const uint32_t g = (g6 >> 3) * 8 * 255 / 63 + (g6 & 7) * 255 / 63;
  return r | (g << 8) | (b << 16);
}

namespace {

bool PixelInside(const Surface* surface, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < surface->width && y < surface->height;
}

}  // namespace

bool GetPixelColor(const Surface* surface, int32_t x, int32_t y, uint32_t* colorref) {
  if (!Usable(surface) || !PixelInside(surface, x, y) || colorref == nullptr) return false;
  *colorref = PixelToColor(surface->pixels[static_cast<size_t>(y) * surface->width + x]);
  return true;
}

bool SetPixelColor(Surface* surface, int32_t x, int32_t y, uint32_t colorref) {
  if (!Usable(surface) || !PixelInside(surface, x, y)) return false;
  surface->pixels[static_cast<size_t>(y) * surface->width + x] = ColorToPixel(colorref);
  return true;
}

uint16_t* LockSurface(Surface* surface) {
  if (!Usable(surface)) return nullptr;
  surface->locked = true;
  return surface->pixels;
}

void UnlockSurface(Surface* surface) {
  if (surface != nullptr) surface->locked = false;
}

bool SetColorKey(Surface* surface, uint32_t rawValue) {
  if (surface == nullptr) return false;
  surface->hasColorKey = true;
  surface->colorKey = static_cast<uint16_t>(rawValue & 0xFFFF);
  return true;
}

bool RestoreSurface(Surface* surface) {
  if (surface == nullptr) return false;
  surface->lost = false;
  return true;
}

}  // namespace platform
