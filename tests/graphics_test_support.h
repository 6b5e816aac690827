// Pictures for the drawing tests: every pixel of a test sheet has its own value (never black and
// never white, the two key colours), so comparing a region of the back buffer with a region of a
// sheet tells exactly which sheet pixel landed where.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "game/state.h"
#include "platform/surface.h"

namespace gfxtest {

inline uint16_t PatternValue(int32_t x, int32_t y, int32_t width, int32_t salt) {
  return static_cast<uint16_t>(
      (static_cast<int64_t>(x) + static_cast<int64_t>(y) * width + salt) % 65534 + 1);
}

inline platform::Surface* MakePatternSheet(int32_t width, int32_t height, int32_t salt) {
  platform::Surface* sheet = platform::CreateSurface(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      sheet->pixels[y * width + x] = PatternValue(x, y, width, salt);
  return sheet;
}

inline uint16_t PixelAt(const platform::Surface* surface, int32_t x, int32_t y) {
  return surface->pixels[y * surface->width + x];
}

// Which source pixel a scaled copy takes for destination pixel i: the middle of each step, in
// 16.16 fixed point (the blit tests pin this down with literal tables).
inline int32_t SourceIndex(int32_t i, int32_t srcLen, int32_t dstLen) {
  const int64_t inc = (static_cast<int64_t>(srcLen) << 16) / dstLen;
  return static_cast<int32_t>((inc / 2 + i * inc) >> 16);
}

// The region {dx, dy, dw, dh} of dst shows the region {sx, sy, sw, sh} of src, scaled to fit.
inline ::testing::AssertionResult RegionShows(const platform::Surface* dst, int32_t dx, int32_t dy,
                                              int32_t dw, int32_t dh, const platform::Surface* src,
                                              int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  for (int32_t j = 0; j < dh; ++j) {
    for (int32_t i = 0; i < dw; ++i) {
      const uint16_t want = PixelAt(src, sx + SourceIndex(i, sw, dw), sy + SourceIndex(j, sh, dh));
      const uint16_t got = PixelAt(dst, dx + i, dy + j);
      if (src->hasColorKey && want == src->colorKey) continue;
      if (got != want)
        return ::testing::AssertionFailure()
               << "pixel (" << dx + i << ", " << dy + j << ") is " << got << ", expected " << want
               << " from (" << sx + SourceIndex(i, sw, dw) << ", " << sy + SourceIndex(j, sh, dh)
               << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

inline int32_t CountNonZero(const platform::Surface* surface) {
  int32_t n = 0;
  for (int32_t i = 0; i < surface->width * surface->height; ++i) n += surface->pixels[i] != 0;
  return n;
}

// A glyph of the letters sheet (character c, colour band, size) at (x, y) of the back buffer.
inline ::testing::AssertionResult GlyphAt(int32_t x, int32_t y, char c, int32_t band,
                                          int32_t size) {
  return RegionShows(backBuffer, x, y, 2 * size, 2 * size, lettersSurface, (c - 33) * 8,
                     (band - 1) * 8, 8, 8);
}

// Every visible character of text at its cell.
inline ::testing::AssertionResult StringAt(const char* text, int32_t x, int32_t y, int32_t band,
                                           int32_t size) {
  for (int32_t i = 0; text[i] != '\0'; ++i) {
    if (text[i] == ' ') continue;
    ::testing::AssertionResult r = GlyphAt(x + i * 2 * size, y, text[i], band, size);
    if (!r) return r << " (character " << i << " of \"" << text << "\")";
  }
  return ::testing::AssertionSuccess();
}

// A digit of the numbers sheet at (x, y): size - 1 wide, 2 * size high.
inline ::testing::AssertionResult DigitAt(int32_t x, int32_t y, int32_t digit, int32_t band,
                                          int32_t size) {
  return RegionShows(backBuffer, x, y, size - 1, 2 * size, numbersSurface, digit * 4,
                     (band - 1) * 8, 4, 8);
}

// The twelve picture sheets at their sizes for the current screen, pattern-filled, keyed as the
// game keys them (black, or white for the tower), and an all-black back buffer.
inline void MakeAllSheets() {
  const int32_t w = screenWidth, h = screenHeight, s = spriteWidth;
  backBuffer = platform::CreateSurface(w, h);
  backgroundSurface = MakePatternSheet(w, h, 101);
  blankSurface = MakePatternSheet(s, s, 202);
  menuTitleSurface = MakePatternSheet(w, h, 303);
  rightPanelSurface = MakePatternSheet(80, h, 404);
  buttonsSurface = MakePatternSheet(80, 2 * s, 505);
  bulletSurface = MakePatternSheet(s / 8, s / 4, 606);
  planeSurface = MakePatternSheet(12 * s, 7 * s, 707);
  fireSurface = MakePatternSheet(8 * s, s, 808);
  cloudSurface = MakePatternSheet(2 * s, s, 909);
  towerSurface = MakePatternSheet(s, 2 * s, 1010);
  lettersSurface = MakePatternSheet(752, 80, 1111);
  numbersSurface = MakePatternSheet(40, 80, 1212);
  for (platform::Surface* keyed :
       {bulletSurface, planeSurface, fireSurface, cloudSurface, lettersSurface, numbersSurface})
    platform::SetColorKey(keyed, 0x0000);
  platform::SetColorKey(towerSurface, 0xFFFF);
}

inline void FreeAllSheets() {
  for (platform::Surface** s :
       {&backBuffer, &backgroundSurface, &blankSurface, &menuTitleSurface, &rightPanelSurface,
        &buttonsSurface, &bulletSurface, &planeSurface, &fireSurface, &cloudSurface, &towerSurface,
        &lettersSurface, &numbersSurface}) {
    platform::FreeSurface(*s);
    *s = nullptr;
  }
}

}  // namespace gfxtest
