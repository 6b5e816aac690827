// Presenting: the back buffer's 16-bit pixels widened to the screen's 32 bits with the colours a
// 24-bit screen shows, scaled nearest-neighbour onto the whole window, with black bars where the
// picture does not fill it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "game/state.h"
#include "graphics_test_support.h"
#include "platform/display.h"
#include "platform/screen_pixels.h"
#include "platform/sdl_window.h"
#include "platform/surface.h"
#include "platform/system.h"

namespace {

uint32_t Channel(uint32_t colorref, int shift) { return (colorref >> shift) & 0xFF; }

// ---- Widening ----

TEST(WidenRgb565, EveryPixelGetsTheColourTheScreenShows) {
  std::vector<uint16_t> all(65536);
  for (uint32_t p = 0; p < 65536; ++p) all[p] = static_cast<uint16_t>(p);
  std::vector<uint32_t> xrgb(65536);
  std::vector<uint32_t> xbgr(65536);
  platform::WidenRgb565(all.data(), xrgb.data(), 65536, platform::ORDER_XRGB, 0);
  platform::WidenRgb565(all.data(), xbgr.data(), 65536, platform::ORDER_XBGR, 0xFF000000u);
  for (uint32_t p = 0; p < 65536; ++p) {
    // PixelToColor is a COLORREF: red in the low byte.
    const uint32_t c = platform::PixelToColor(static_cast<uint16_t>(p));
    ASSERT_EQ(xrgb[p], Channel(c, 0) << 16 | Channel(c, 8) << 8 | Channel(c, 16)) << p;
    ASSERT_EQ(xbgr[p], 0xFF000000u | Channel(c, 16) << 16 | Channel(c, 8) << 8 | Channel(c, 0))
        << p;
  }
  // The ends of each channel, spelled out.
  const uint32_t ends[][2] = {{0xFFFF, 0xFFFEFF},
                              {0xF800, 0xFF0000},
                              {0x07E0, 0x00FE00},
                              {0x001F, 0x0000FF},
                              {0x0821, 0x080408}};
  for (const auto& e : ends) EXPECT_EQ(xrgb[e[0]], e[1]) << std::hex << e[0];
}

TEST(WidenRgb565, AnyLengthAndAlignmentAndNothingPastTheEnd) {
  std::vector<uint16_t> src(64);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(0x1234 + 977 * i);
  for (int32_t start = 0; start < 3; ++start) {
    for (int32_t count = 0; count <= 21; ++count) {
      std::vector<uint32_t> dst(40, 0xDEADBEEFu);
      platform::WidenRgb565(src.data() + start, dst.data() + 1, count, platform::ORDER_XRGB, 0);
      EXPECT_EQ(dst[0], 0xDEADBEEFu);
      for (int32_t i = 0; i < count; ++i) {
        uint32_t one = 0;
        platform::WidenRgb565(&src[start + i], &one, 1, platform::ORDER_XRGB, 0);
        ASSERT_EQ(dst[1 + i], one) << "start " << start << " count " << count << " i " << i;
      }
      EXPECT_EQ(dst[1 + count], 0xDEADBEEFu) << "count " << count;
    }
  }
}

// ---- The window on the dummy video driver ----

class PresentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ResetGameState();
    platform::backend = platform::sdlBackend;
    char why[256] = "";
    window_ = platform::sdlBackend.createWindow(windowTitle, 640, 480, why, sizeof why);
    ASSERT_NE(window_, nullptr) << why;
    SDL_GetRendererOutputSize(window_->renderer, &outW_, &outH_);
  }
  void TearDown() override {
    platform::CloseScreen(screen_);
    platform::FreeSurface(picture_);
    platform::sdlBackend.destroyWindow(window_);
  }
  void Open(int32_t w, int32_t h) {
    platform::CloseScreen(screen_);
    platform::FreeSurface(picture_);
    char why[256] = "";
    screen_ = platform::OpenScreen(window_, w, h, why, sizeof why);
    ASSERT_NE(screen_, nullptr) << why;
    picture_ = platform::CreateSurface(w, h);
  }
  bool Present() {
    return platform::PresentToScreen(screen_, *picture_,
                                     Rect{0, 0, picture_->width, picture_->height});
  }
  // Everything the window shows, as 0xRRGGBB, row by row.
  std::vector<uint32_t> Shown() {
    std::vector<uint32_t> shown(static_cast<size_t>(outW_) * outH_);
    // Read in window pixels, whatever the picture's logical size.
    SDL_RenderSetLogicalSize(window_->renderer, 0, 0);
    SDL_RenderSetViewport(window_->renderer, nullptr);
    EXPECT_EQ(SDL_RenderReadPixels(window_->renderer, nullptr, SDL_PIXELFORMAT_RGB888, shown.data(),
                                   outW_ * 4),
              0);
    SDL_RenderSetLogicalSize(window_->renderer, picture_->width, picture_->height);
    for (uint32_t& p : shown) p &= 0xFFFFFF;
    return shown;
  }
  static uint32_t Rgb(uint16_t pixel) {
    const uint32_t c = platform::PixelToColor(pixel);
    return Channel(c, 0) << 16 | Channel(c, 8) << 8 | Channel(c, 16);
  }

  platform::Window* window_ = nullptr;
  platform::Surface* screen_ = nullptr;
  platform::Surface* picture_ = nullptr;
  int outW_ = 0;
  int outH_ = 0;
};

TEST_F(PresentTest, ThePictureFillsTheWindowScaledNearestNeighbour) {
  Open(640, 480);
  ASSERT_EQ(outW_ * 480, outH_ * 640) << "the dummy desktop is expected to be 4:3";
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x)
      picture_->pixels[y * 640 + x] = gfxtest::PatternValue(x, y, 640, 77);
  ASSERT_TRUE(Present());
  const std::vector<uint32_t> shown = Shown();
  for (int32_t y = 0; y < outH_; ++y) {
    const int32_t sy = gfxtest::SourceIndex(y, 480, outH_);
    for (int32_t x = 0; x < outW_; ++x) {
      const int32_t sx = gfxtest::SourceIndex(x, 640, outW_);
      ASSERT_EQ(shown[static_cast<size_t>(y) * outW_ + x], Rgb(picture_->pixels[sy * 640 + sx]))
          << "window pixel (" << x << ", " << y << ")";
    }
  }
}

TEST_F(PresentTest, BarsAroundAPictureOfAnotherShapeAreBlackWhateverWasShownBefore) {
  // First a white picture over the whole window.
  Open(640, 480);
  for (int32_t i = 0; i < 640 * 480; ++i) picture_->pixels[i] = 0xFFFF;
  ASSERT_TRUE(Present());
  // Then a wider picture: it fills the window's width, with bars above and below.
  Open(640, 240);
  for (int32_t i = 0; i < 640 * 240; ++i) picture_->pixels[i] = 0xF800;
  ASSERT_TRUE(Present());
  const std::vector<uint32_t> shown = Shown();
  const int32_t pictureH = outW_ * 240 / 640;
  const int32_t top = (outH_ - pictureH) / 2;
  ASSERT_GT(top, 0);
  for (int32_t y = 0; y < outH_; ++y) {
    const uint32_t want = y >= top && y < top + pictureH ? 0xFF0000u : 0x000000u;
    for (int32_t x = 0; x < outW_; x += 17)
      ASSERT_EQ(shown[static_cast<size_t>(y) * outW_ + x], want) << "(" << x << ", " << y << ")";
  }
}

TEST_F(PresentTest, AShiftedSourceRectangleAndRefusals) {
  Open(320, 240);
  platform::Surface* big = platform::CreateSurface(400, 300);
  for (int32_t y = 0; y < 300; ++y)
    for (int32_t x = 0; x < 400; ++x) big->pixels[y * 400 + x] = (x >= 50 && y >= 30) ? 0x001F : 0;
  EXPECT_TRUE(platform::PresentToScreen(screen_, *big, Rect{50, 30, 370, 270}));
  const std::vector<uint32_t> shown = Shown();
  EXPECT_EQ(shown[0], 0x0000FFu);  // the rectangle's corner, not the buffer's
  // Rectangles of the wrong size or out of the buffer, and a lost screen, show nothing.
  EXPECT_FALSE(platform::PresentToScreen(screen_, *big, Rect{0, 0, 321, 240}));
  EXPECT_FALSE(platform::PresentToScreen(screen_, *big, Rect{100, 100, 420, 340}));
  EXPECT_FALSE(platform::PresentToScreen(screen_, *big, Rect{-1, 0, 319, 240}));
  screen_->lost = true;
  EXPECT_FALSE(platform::PresentToScreen(screen_, *big, Rect{0, 0, 320, 240}));
  platform::FreeSurface(big);
}

}  // namespace
