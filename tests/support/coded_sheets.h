// Picture sheets for the drawing tests. Every pixel of a sheet has a value of its own, never black
// or white (the key colours), so the back buffer tells which sheet pixel landed where.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "platform/surface.h"
#include "tests/support/planes.h"

namespace coded {

// The surfaces and the message queue the fixture handles.
using namespace platform;

inline Surface** const kSheets[] = {&backgroundSurface, &menuTitleSurface, &rightPanelSurface,
                                    &buttonsSurface,    &blankSurface,     &bulletSurface,
                                    &planeSurface,      &fireSurface,      &cloudSurface,
                                    &towerSurface,      &lettersSurface,   &numbersSurface};

inline void Uninstall() {
  for (Surface** sheet : kSheets) FreeSurface(std::exchange(*sheet, nullptr));
  FreeSurface(std::exchange(backBuffer, nullptr));
}

// A match about to start at 640x480, one human against the computer, with scripted input, on
// coded sheets keyed as the game keys them (the tower on white, the other sprites on black) and
// an all-black back buffer.
class Test : public testplanes::Fresh {
 protected:
  void SetUp() override {
    Fresh::SetUp();
    cpuPlayers = 1;
    // clang-format off
    const int sizes[12][2] = {{640, 480}, {640, 480}, {80, 480}, {80, 64}, {32, 32}, {4, 8},
                              {384, 224}, {256, 32}, {64, 32}, {32, 64}, {752, 80}, {40, 80}};
    // clang-format on
    for (int i = 0; i < 12; ++i) {
      Surface* sheet = CreateSurface(sizes[i][0], sizes[i][1]);
      for (int p = 0; p < sheet->width * sheet->height; ++p)
        sheet->pixels[p] = static_cast<uint16_t>((p + 4999 * i) % 65534 + 1);
      if (i >= 5) SetColorKey(sheet, i == 9 ? 0xFFFF : 0);
      *kSheets[i] = sheet;
    }
    backBuffer = CreateSurface(640, 480);
  }
  void TearDown() override {
    Uninstall();
    Fresh::TearDown();
  }

  static uint16_t At(const Surface* s, int x, int y) { return s->pixels[y * s->width + x]; }

  // How many pixels of the back buffer are not black.
  static int Drawn() {
    return 640 * 480 - std::count(backBuffer->pixels, backBuffer->pixels + 640 * 480, 0);
  }

  // The back buffer's box {x, y, w, h} shows the sheet's box from (sx, sy), sw x sh (or w x h), at
  // any scale: the two boxes agree in their first and last pixels.
  static bool Shows(const Surface* sheet, int sx, int sy, int x, int y, int w, int h, int sw = 0,
                    int sh = 0) {
    return At(backBuffer, x, y) == At(sheet, sx, sy) &&
           At(backBuffer, x + w - 1, y + h - 1) ==
               At(sheet, sx + (sw ? sw : w) - 1, sy + (sh ? sh : h) - 1);
  }

  // text from (x, y) in colour band `band` at `size`: in every cell but a space's, the glyph of the
  // font sheet's 8-pixel cells ('!' first) or with `digits`, the digit of the numbers sheet's
  // 4-pixel cells, size - 1 pixels wide in a cell size wide.
  static bool Text(const char* text, int x, int y, int band, int size = 4, bool digits = false) {
    const int cell = digits ? size : 2 * size;
    for (int i = 0; text[i] != '\0'; ++i) {
      const int sx = digits ? (text[i] - '0') * 4 : (text[i] - 33) * 8;
      if (text[i] != ' ' && !Shows(digits ? numbersSurface : lettersSurface, sx, band * 8 - 8,
                                   x + i * cell, y, cell - digits, 2 * size, 8 - 4 * digits, 8))
        return false;
    }
    return true;
  }

  // A text or number expected in the back buffer.
  // clang-format off
  struct Label { const char* text; int x, y, band, size = 4; bool digits = false; };
  // clang-format on
  static void ExpectShown(std::initializer_list<Label> labels) {
    for (const Label& l : labels) {
      EXPECT_TRUE(Text(l.text, l.x, l.y, l.band, l.size, l.digits))
          << l.text << " at " << l.x << " " << l.y;
    }
  }
};

}  // namespace coded
