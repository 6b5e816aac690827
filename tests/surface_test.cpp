// Copies between pictures, and the colours on the way to the screen.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/screen_pixels.h"

// The module under test.
using namespace platform;

TEST(SurfaceTest, ScaledAndKeyedCopies) {
  // Source and copy sizes, whether the key (the source's second pixel) is left out, the copy.
  // clang-format off
  const struct { int sw, sh, dw, dh; bool keyed; std::vector<uint16_t> want; } cases[] = {
      {8, 1, 12, 1, false, {1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8}},
      {1, 8, 1, 12, false, {1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8}}, {4, 1, 3, 1, false, {1, 2, 4}},
      {4, 1, 4, 1, true, {1, 0, 3, 4}}, {4, 1, 8, 1, true, {1, 1, 0, 0, 3, 3, 4, 4}}};
  // clang-format on
  for (const auto& c : cases) {
    auto* src = CreateSurface(c.sw, c.sh);
    auto* dst = CreateSurface(c.dw, c.dh);
    for (int i = 0; i < c.sw * c.sh; ++i) src->pixels[i] = i + 1;
    SetColorKey(src, 2);
    // Whole surfaces: the boxes reach their right and bottom edges.
    EXPECT_TRUE(Blit(dst, {0, 0, c.dw, c.dh}, src, {0, 0, c.sw, c.sh}, c.keyed));
    EXPECT_EQ(std::vector<uint16_t>(dst->pixels, dst->pixels + c.dw * c.dh), c.want) << &c - cases;
    FreeSurface(src);
    FreeSurface(dst);
  }
}

TEST(SurfaceTest, ColoursAsA24BitScreenShowsThem) {
  // COLORREF (0xBBGGRR), its pixel, the COLORREF a screen shows for that pixel.
  // clang-format off
  const uint32_t cases[][3] = {{0x0000FF, 0xF800, 0x0000FF}, {0x00FF00, 0x07E0, 0x00FE00},
      {0xFF0000, 0x001F, 0xFF0000}, {0xFFFFFF, 0xFFFF, 0xFFFEFF}, {0x080408, 0x0821, 0x080408},
      {0x070307, 0x0000, 0x000000}};
  // clang-format on
  // Screen pixels, eight at a time and one by one: XBGR is the COLORREF's order.
  uint16_t pixels[11];
  uint32_t xrgb[12] = {};
  uint32_t xbgr[12] = {};
  for (int i = 0; i < 11; ++i) pixels[i] = cases[i % 6][1];
  WidenRgb565(pixels, xrgb, 11, ORDER_XRGB, 0);
  WidenRgb565(pixels, xbgr, 11, ORDER_XBGR, 0xFF000000u);
  for (int i = 0; i < 11; ++i) {
    const uint32_t* c = cases[i % 6];
    EXPECT_EQ(ColorToPixel(c[0]), c[1]) << i;
    EXPECT_EQ(PixelToColor(c[1]), c[2]) << i;
    EXPECT_EQ(xbgr[i], 0xFF000000u | c[2]) << i;
    EXPECT_EQ(xrgb[i], (c[2] & 0xFF) << 16 | (c[2] & 0xFF00) | c[2] >> 16) << i;
  }
  EXPECT_EQ(xrgb[11] | xbgr[11], 0u);
}
