// Colour keys, picture files, loading and restoring the twelve sheets, and the screen itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/state.h"
#include "graphics/display.h"
#include "platform/display.h"
#include "platform/sdl_window.h"
#include "platform/system.h"
#include "tests/graphics_test_support.h"
#include "tests/support/bmp_file.h"

namespace {

using platform::Surface;

TEST(ColorKey, MatchGivesTheRawPixelValueAndKeyingLeavesPixelZeroAsItWas) {
  Surface* s = platform::CreateSurface(1, 1);
  s->pixels[0] = 0xABCD;
  const uint32_t cases[][2] = {
      {0x000000, 0x0000}, {0xFFFFFF, 0xFFFF}, {0x0000FF, 0xF800}, {0x804020, 0x2210}};
  for (const auto& c : cases) {
    EXPECT_EQ(MatchSurfaceColor(s, c[0]), c[1]) << std::hex << c[0];
    EXPECT_TRUE(SetSurfaceColorKey(s, c[0]));
    EXPECT_TRUE(s->hasColorKey);
    EXPECT_EQ(s->colorKey, c[1]) << std::hex << c[0];
    EXPECT_EQ(s->pixels[0], 0xABCD);
  }
  // A surface that cannot be locked gives all ones, and is keyed with them.
  s->lost = true;
  EXPECT_EQ(MatchSurfaceColor(s, 0x000000), 0xFFFFFFFFu);
  EXPECT_TRUE(SetSurfaceColorKey(s, 0x000000));
  EXPECT_EQ(s->colorKey, 0xFFFF);
  EXPECT_EQ(s->pixels[0], 0xABCD);
  EXPECT_EQ(MatchSurfaceColor(nullptr, 0x000000), 0xFFFFFFFFu);
  EXPECT_FALSE(SetSurfaceColorKey(nullptr, 0x000000));
  platform::FreeSurface(s);
}

using bmpfile::WriteBmp;

const char* const kPictureFiles[12] = {"gfx/bg.bmp",    "gfx/blank.bmp",   "gfx/camain.bmp",
                                       "gfx/right.bmp", "gfx/buttons.bmp", "gfx/bullet.bmp",
                                       "gfx/plane.bmp", "gfx/fire.bmp",    "gfx/cloud.bmp",
                                       "gfx/tower.bmp", "gfx/letters.bmp", "gfx/numbers.bmp"};

// Colour of file i: red i * 16, so every picture looks different.
uint32_t PictureColor(int32_t i) { return 0x204000u | static_cast<uint32_t>(i * 16); }
uint16_t PicturePixel(int32_t i) { return static_cast<uint16_t>(((2 * i) << 11) | (16 << 5) | 4); }

// Runs in a fresh temporary directory holding an empty gfx/.
class PictureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ASSERT_NE(getcwd(oldDir_, sizeof oldDir_), nullptr);
    char pattern[] = "/tmp/corvane_gfx_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    std::filesystem::create_directory("gfx");
  }
  void TearDown() override {
    gfxtest::FreeAllSheets();
    EXPECT_EQ(chdir(oldDir_), 0);
    std::filesystem::remove_all(dir_);
  }
  void WriteAllPictures() {
    for (int32_t i = 0; i < 12; ++i) WriteBmp(kPictureFiles[i], 1, 1, {PictureColor(i)});
  }

  char oldDir_[PATH_MAX];
  std::string dir_;
};

bool AllPixelsAre(const Surface* s, uint16_t value) {
  for (int32_t i = 0; i < s->width * s->height; ++i)
    if (s->pixels[i] != value) return false;
  return true;
}

TEST_F(PictureFileTest, OnePixelBackgroundFillsTheWholeScreen) {
  WriteBmp("gfx/bg.bmp", 1, 1, {0x3060C0});
  Surface* s = LoadBitmapSurface(directDraw, "gfx/bg.bmp", 640, 480);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->width, 640);
  EXPECT_EQ(s->height, 480);
  EXPECT_TRUE(AllPixelsAre(s, 0xC306));
  EXPECT_FALSE(s->hasColorKey);
  platform::FreeSurface(s);
}

TEST_F(PictureFileTest, PictureKeepsItsOrientationAndScalesNearestNeighbour) {
  WriteBmp("gfx/four.bmp", 2, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF});
  Surface* s = LoadBitmapSurface(directDraw, "gfx/four.bmp", 4, 4);
  ASSERT_NE(s, nullptr);
  const uint16_t want[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(s->pixels[y * 4 + x], want[(y / 2) * 2 + x / 2]) << x << "," << y;
  platform::FreeSurface(s);

  WriteBmp("gfx/three.bmp", 3, 1, {0x000008, 0x000010, 0x000018});
  s = LoadBitmapSurface(directDraw, "gfx/three.bmp", 5, 1);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(std::vector<uint16_t>(s->pixels, s->pixels + 5),
            (std::vector<uint16_t>{1 << 11, 1 << 11, 2 << 11, 3 << 11, 3 << 11}));
  platform::FreeSurface(s);
}

TEST_F(PictureFileTest, UnreadableFilesSayWhy) {
  char why[256] = "";
  EXPECT_EQ(LoadBitmapSurface(directDraw, "gfx/plane.bmp", 32, 32, why, sizeof why), nullptr);
  EXPECT_STREQ(why, "not found");
  std::FILE* f = std::fopen("gfx/plane.bmp", "wb");
  std::fputs("not a picture", f);
  std::fclose(f);
  why[0] = '\0';
  EXPECT_EQ(LoadBitmapSurface(directDraw, "gfx/plane.bmp", 32, 32, why, sizeof why), nullptr);
  EXPECT_STRNE(why, "");
  EXPECT_STRNE(why, "not found");
}

TEST(BitmapFailure, MessageNamesFileDirectoryAndHowToStart) {
  char text[512];
  FormatBitmapFailure(text, sizeof text, "gfx/plane.bmp", "not found", "/home/me");
  EXPECT_STREQ(text,
               "Cannot load gfx/plane.bmp (not found) from /home/me. Start the game with 'make "
               "run' or the installed 'corvane-altor' launcher, which run it from its data "
               "directory.");
}

TEST_F(PictureFileTest, MissingPictureEndsTheGameWithItsMessage) {
  // Forked, so the child reports the directory this test made.
  GTEST_FLAG_SET(death_test_style, "fast");
  WriteBmp("gfx/bg.bmp", 1, 1, {0});
  const std::string expected = "Cannot load gfx/blank\\.bmp \\(not found\\) from " + dir_;
  EXPECT_EXIT(
      {
        // No box to click away: the text goes to standard error.
        platform::backend.messageBox = [](platform::Window*, const char*, const char*) {
          return false;
        };
        LoadBitmaps();
      },
      ::testing::ExitedWithCode(1), expected);
}

struct SheetExpectation {
  Surface** global;
  int32_t width;
  int32_t height;
  bool keyed;
  uint16_t key;
};

void ExpectSheets(int32_t w, int32_t h) {
  const SheetExpectation sheets[12] = {
      {&backgroundSurface, w, h, false, 0}, {&blankSurface, 32, 32, false, 0},
      {&menuTitleSurface, w, h, false, 0},  {&rightPanelSurface, 80, h, false, 0},
      {&buttonsSurface, 80, 64, false, 0},  {&bulletSurface, 4, 8, true, 0},
      {&planeSurface, 384, 224, true, 0},   {&fireSurface, 256, 32, true, 0},
      {&cloudSurface, 64, 32, true, 0},     {&towerSurface, 32, 64, true, 0xFFFF},
      {&lettersSurface, 752, 80, true, 0},  {&numbersSurface, 40, 80, true, 0}};
  for (int32_t i = 0; i < 12; ++i) {
    const Surface* s = *sheets[i].global;
    ASSERT_NE(s, nullptr) << kPictureFiles[i];
    EXPECT_EQ(s->width, sheets[i].width) << kPictureFiles[i];
    EXPECT_EQ(s->height, sheets[i].height) << kPictureFiles[i];
    EXPECT_EQ(s->hasColorKey, sheets[i].keyed) << kPictureFiles[i];
    if (sheets[i].keyed) {
      EXPECT_EQ(s->colorKey, sheets[i].key) << kPictureFiles[i];
    }
    EXPECT_FALSE(s->lost) << kPictureFiles[i];
    EXPECT_TRUE(AllPixelsAre(s, PicturePixel(i))) << kPictureFiles[i];
  }
}

TEST_F(PictureFileTest, LoadBitmapsFillsEverySheetAtItsSizeWithItsKey) {
  WriteAllPictures();
  LoadBitmaps();
  ExpectSheets(640, 480);
  SetScreenSize(1024, 768);
  LoadBitmaps();
  ExpectSheets(1024, 768);
}

TEST_F(PictureFileTest, RestoreSurfacesBringsEveryPictureBack) {
  WriteAllPictures();
  LoadBitmaps();
  backBuffer = platform::CreateSurface(640, 480);
  backBuffer->lost = true;
  for (Surface* s : {backgroundSurface, blankSurface, menuTitleSurface, rightPanelSurface,
                     buttonsSurface, bulletSurface, planeSurface, fireSurface, cloudSurface,
                     towerSurface, lettersSurface, numbersSurface}) {
    s->pixels[0] = 0x0F0F;
    s->hasColorKey = false;
    s->lost = true;
  }
  surfacesValid = 0;
  RestoreSurfaces();
  EXPECT_EQ(surfacesValid, 1);
  EXPECT_FALSE(backBuffer->lost);
  ExpectSheets(640, 480);
}

// The real SDL window on the dummy video driver: no display needed.
class ScreenTest : public PictureFileTest {
 protected:
  void SetUp() override {
    PictureFileTest::SetUp();
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    char why[256] = "";
    mainWindow = platform::sdlBackend.createWindow(windowTitle, 640, 480, why, sizeof why);
    ASSERT_NE(mainWindow, nullptr) << why;
  }
  void TearDown() override {
    ReleaseDisplay();
    platform::sdlBackend.destroyWindow(mainWindow);
    mainWindow = nullptr;
    PictureFileTest::TearDown();
  }
};

TEST_F(ScreenTest, InitDirectDrawOpensTheScreenAndPresentFrameShowsTheBackBuffer) {
  ASSERT_EQ(InitDirectDraw(), 1) << displayFailure;
  ASSERT_NE(directDraw, nullptr);
  ASSERT_NE(primarySurface, nullptr);
  ASSERT_NE(backBuffer, nullptr);
  EXPECT_EQ(backBuffer->width, 640);
  EXPECT_EQ(backBuffer->height, 480);
  for (int32_t i = 0; i < 640 * 480; ++i) backBuffer->pixels[i] = 0xF800;
  PresentFrame();
  // Read back the middle of what the renderer now shows.
  SDL_Renderer* renderer = platform::sdlMainWindow->renderer;
  uint32_t shown = 0;
  SDL_Rect middle{320, 240, 1, 1};
  ASSERT_EQ(SDL_RenderReadPixels(renderer, &middle, SDL_PIXELFORMAT_RGB888, &shown, 4), 0);
  EXPECT_EQ(shown & 0xFFFFFF, 0xFF0000u);

  ReleaseDisplay();
  EXPECT_EQ(primarySurface, nullptr);
  EXPECT_EQ(backBuffer, nullptr);
  EXPECT_EQ(directDraw, nullptr);
}

TEST_F(ScreenTest, LostScreenIsRestoredWithThePictures) {
  WriteAllPictures();
  ASSERT_EQ(InitDirectDraw(), 1) << displayFailure;
  LoadBitmaps();
  primarySurface->lost = true;
  surfacesValid = 0;
  RestoreSurfaces();
  EXPECT_FALSE(platform::IsScreenLost(primarySurface));
  EXPECT_EQ(surfacesValid, 1);
  ExpectSheets(640, 480);
}

TEST(DisplaySetUp, NoWindowMeansNoDisplay) {
  ResetGameState();
  EXPECT_EQ(InitDirectDraw(), 0);
  EXPECT_STRNE(displayFailure, "");
  EXPECT_EQ(directDraw, nullptr);
  PresentFrame();  // nothing to show on, and no harm done
  ReleaseDisplay();
}

}  // namespace
