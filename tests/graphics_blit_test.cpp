// The surface copies and colour conversions every picture of the game goes through.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/surface.h"
#include "tests/graphics_test_support.h"

namespace {

using platform::Blit;
using platform::Rect;
using platform::Surface;

// A surface whose pixels are 1, 2, 3, ... in reading order.
Surface* Numbered(int32_t w, int32_t h) {
  Surface* s = platform::CreateSurface(w, h);
  for (int32_t i = 0; i < w * h; ++i) s->pixels[i] = static_cast<uint16_t>(i + 1);
  return s;
}

std::vector<uint16_t> Row(const Surface* s, int32_t y) {
  return std::vector<uint16_t>(s->pixels + y * s->width, s->pixels + (y + 1) * s->width);
}

TEST(BlitScaling, EachPixelTakesTheMiddleOfItsStepInRowsAndColumns) {
  const struct {
    int32_t sw, sh, dw, dh;
    std::vector<uint16_t> want;
  } cases[] = {{8, 1, 12, 1, {1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8}},
               {1, 8, 1, 12, {1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8}},
               {4, 1, 5, 1, {1, 2, 2, 3, 4}},
               // Shrinking skips the third pixel, not the fourth.
               {4, 1, 3, 1, {1, 2, 4}}};
  for (const auto& c : cases) {
    Surface* src = Numbered(c.sw, c.sh);
    Surface* dst = platform::CreateSurface(c.dw, c.dh);
    ASSERT_TRUE(Blit(dst, Rect{0, 0, c.dw, c.dh}, src, Rect{0, 0, c.sw, c.sh}, false));
    EXPECT_EQ(std::vector<uint16_t>(dst->pixels, dst->pixels + c.dw * c.dh), c.want)
        << c.sw << "x" << c.sh << " to " << c.dw << "x" << c.dh;
    platform::FreeSurface(src);
    platform::FreeSurface(dst);
  }
}

TEST(BlitScaling, MatchesSdlScaledBlitWithKey) {
  // The same keyed 7x5 -> 13x9 copy through SDL and through our own blit.
  Surface* src = Numbered(7, 5);
  src->pixels[0] = 0x0000;  // keyed pixels at the corner and inside
  src->pixels[3] = 0x0000;
  src->pixels[17] = 0x0000;
  platform::SetColorKey(src, 0x0000);
  Surface* dst = platform::CreateSurface(20, 12);
  for (int32_t i = 0; i < 240; ++i) dst->pixels[i] = 0x5555;
  ASSERT_TRUE(Blit(dst, Rect{3, 2, 16, 11}, src, Rect{0, 0, 7, 5}, true));

  SDL_Surface* sdlSrc =
      SDL_CreateRGBSurfaceWithFormatFrom(src->pixels, 7, 5, 16, 14, SDL_PIXELFORMAT_RGB565);
  SDL_Surface* sdlDst = SDL_CreateRGBSurfaceWithFormat(0, 20, 12, 16, SDL_PIXELFORMAT_RGB565);
  SDL_FillRect(sdlDst, nullptr, 0x5555);
  SDL_SetColorKey(sdlSrc, SDL_TRUE, 0x0000);
  SDL_Rect to{3, 2, 13, 9};
  ASSERT_EQ(SDL_BlitScaled(sdlSrc, nullptr, sdlDst, &to), 0);
  for (int32_t y = 0; y < 12; ++y) {
    const uint16_t* sdlRow = reinterpret_cast<const uint16_t*>(
        static_cast<const uint8_t*>(sdlDst->pixels) + y * sdlDst->pitch);
    EXPECT_EQ(Row(dst, y), std::vector<uint16_t>(sdlRow, sdlRow + 20)) << "row " << y;
  }
  SDL_FreeSurface(sdlSrc);
  SDL_FreeSurface(sdlDst);
  platform::FreeSurface(src);
  platform::FreeSurface(dst);
}

TEST(BlitCopy, OneToOneCopiesOnlyTheRectangle) {
  Surface* src = Numbered(5, 4);
  Surface* dst = platform::CreateSurface(6, 5);
  ASSERT_TRUE(Blit(dst, Rect{2, 1, 5, 3}, src, Rect{1, 2, 4, 4}, false));
  EXPECT_EQ(gfxtest::CountNonZero(dst), 6);
  EXPECT_EQ(Row(dst, 1), (std::vector<uint16_t>{0, 0, 12, 13, 14, 0}));
  EXPECT_EQ(Row(dst, 2), (std::vector<uint16_t>{0, 0, 17, 18, 19, 0}));
  platform::FreeSurface(src);
  platform::FreeSurface(dst);
}

TEST(BlitCopy, KeyedPixelsAreLeftOutOnlyWhenAsked) {
  Surface* src = Numbered(4, 1);
  src->pixels[1] = 0x1234;
  platform::SetColorKey(src, 0x1234);
  Surface* dst = platform::CreateSurface(4, 2);
  for (int32_t i = 0; i < 8; ++i) dst->pixels[i] = 0x5555;
  ASSERT_TRUE(Blit(dst, Rect{0, 0, 4, 1}, src, Rect{0, 0, 4, 1}, true));
  ASSERT_TRUE(Blit(dst, Rect{0, 1, 4, 2}, src, Rect{0, 0, 4, 1}, false));
  EXPECT_EQ(Row(dst, 0), (std::vector<uint16_t>{1, 0x5555, 3, 4}));
  EXPECT_EQ(Row(dst, 1), (std::vector<uint16_t>{1, 0x1234, 3, 4}));
  // Scaled copies leave the key out too.
  Surface* wide = platform::CreateSurface(8, 1);
  ASSERT_TRUE(Blit(wide, Rect{0, 0, 8, 1}, src, Rect{0, 0, 4, 1}, true));
  EXPECT_EQ(Row(wide, 0), (std::vector<uint16_t>{1, 1, 0, 0, 3, 3, 4, 4}));
  platform::FreeSurface(src);
  platform::FreeSurface(dst);
  platform::FreeSurface(wide);
}

TEST(BlitRefusals, RectanglesNotWhollyInsideDrawNothing) {
  Surface* src = Numbered(4, 4);
  Surface* dst = platform::CreateSurface(8, 8);
  const Rect full{0, 0, 4, 4};
  const Rect badDst[] = {{-1, 0, 3, 4}, {5, 0, 9, 4}, {0, -1, 4, 3}, {0, 5, 4, 9},
                         {2, 2, 2, 6},  {2, 2, 6, 2}, {6, 2, 2, 6}};
  for (const Rect& r : badDst) EXPECT_FALSE(Blit(dst, r, src, full, false));
  const Rect badSrc[] = {{-1, 0, 3, 4}, {1, 0, 5, 4}, {0, -1, 4, 3}, {0, 1, 4, 5}, {1, 1, 1, 3}};
  for (const Rect& r : badSrc) EXPECT_FALSE(Blit(dst, Rect{0, 0, 4, 4}, src, r, false));
  EXPECT_EQ(gfxtest::CountNonZero(dst), 0);
  platform::FreeSurface(src);
  platform::FreeSurface(dst);
}

TEST(BlitRefusals, LostLockedOrMissingSurfacesDrawNothing) {
  Surface* src = Numbered(2, 2);
  Surface* dst = platform::CreateSurface(2, 2);
  const Rect r{0, 0, 2, 2};
  src->lost = true;
  EXPECT_FALSE(Blit(dst, r, src, r, false));
  src->lost = false;
  dst->lost = true;
  EXPECT_FALSE(Blit(dst, r, src, r, false));
  EXPECT_TRUE(platform::RestoreSurface(dst));
  ASSERT_NE(platform::LockSurface(dst), nullptr);
  EXPECT_FALSE(Blit(dst, r, src, r, false));
  EXPECT_EQ(platform::LockSurface(dst), nullptr);  // one lock at a time
  platform::UnlockSurface(dst);
  EXPECT_FALSE(Blit(nullptr, r, src, r, false));
  EXPECT_FALSE(Blit(dst, r, nullptr, r, false));
  EXPECT_EQ(gfxtest::CountNonZero(dst), 0);
  EXPECT_TRUE(Blit(dst, r, src, r, false));
  EXPECT_EQ(gfxtest::CountNonZero(dst), 4);
  platform::FreeSurface(src);
  platform::FreeSurface(dst);
}

TEST(ColorConversion, ColorrefToPixelTruncatesEachChannel) {
  const uint32_t cases[][2] = {{0x0000FF, 0xF800},  // red is the low byte
                               {0x00FF00, 0x07E0},   {0xFF0000, 0x001F},
                               {0x070307, 0x0000},   {0xFBFBFB, (31 << 11) | (62 << 5) | 31},
                               {0xFF000000u, 0x0000}};
  for (const auto& c : cases) EXPECT_EQ(platform::ColorToPixel(c[0]), c[1]) << std::hex << c[0];
}

TEST(ColorConversion, PixelToColorrefShowsWhatTheScreenShows) {
  EXPECT_EQ(platform::PixelToColor(0xFFFF), 0xFFFEFFu);
  EXPECT_EQ(platform::PixelToColor(0xF800), 0x0000FFu);
  EXPECT_EQ(platform::PixelToColor(0x0001), 0x080000u);
  EXPECT_EQ(platform::PixelToColor(1 << 5), 0x000400u);
  // SDL's own conversion to 24 bits is the reference, and converting back gives the pixel again.
  for (uint32_t p = 0; p <= 0xFFFF; ++p) {
    const uint16_t pixel = static_cast<uint16_t>(p);
    uint8_t rgb[4];
    SDL_ConvertPixels(1, 1, SDL_PIXELFORMAT_RGB565, &pixel, 2, SDL_PIXELFORMAT_RGB888, rgb, 4);
    const uint32_t sdlColor = rgb[2] | (rgb[1] << 8) | (rgb[0] << 16);
    ASSERT_EQ(platform::PixelToColor(pixel), sdlColor) << p;
    ASSERT_EQ(platform::ColorToPixel(platform::PixelToColor(pixel)), pixel) << p;
  }
}

TEST(PixelAccess, ReadsAndWritesByColourAndRefusesLostSurfaces) {
  Surface* s = platform::CreateSurface(3, 2);
  ASSERT_TRUE(platform::SetPixelColor(s, 2, 1, 0x0000FF));
  EXPECT_EQ(s->pixels[5], 0xF800);
  uint32_t color = 0;
  ASSERT_TRUE(platform::GetPixelColor(s, 2, 1, &color));
  EXPECT_EQ(color, 0x0000FFu);
  EXPECT_FALSE(platform::SetPixelColor(s, 3, 0, 0xFFFFFF));
  EXPECT_FALSE(platform::GetPixelColor(s, 0, -1, &color));
  s->lost = true;
  EXPECT_FALSE(platform::SetPixelColor(s, 0, 0, 0xFFFFFF));
  EXPECT_FALSE(platform::GetPixelColor(s, 0, 0, &color));
  EXPECT_EQ(platform::LockSurface(s), nullptr);
  EXPECT_EQ(s->pixels[0], 0);
  platform::FreeSurface(s);
}

}  // namespace
