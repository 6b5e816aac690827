// The game's pictures loaded and brought back after a loss, and the screen set-up.
#include <unistd.h>

#include <string>

#include "graphics/display.h"
#include "platform/display.h"
#include "support/bmp_file.h"
#include "support/coded_sheets.h"

// The surfaces and windows the display is made of.
using namespace platform;

// The files of coded::kSheets, in its order.
const char* const kFiles[] = {"bg",    "camain", "right", "buttons", "blank",   "bullet",
                              "plane", "fire",   "cloud", "tower",   "letters", "numbers"};

// The game's own pictures, from the data directory.
class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ASSERT_EQ(chdir(CORVANE_DATA_DIR), 0);
  }
  void TearDown() override {
    ReleaseDisplay();
    if (mainWindow != nullptr) sdlBackend.destroyWindow(mainWindow);
    coded::Uninstall();
  }
  // Every sheet holds its file unscaled; keying it left its first pixel as it was.
  static void ExpectPictures() {
    for (int i = 0; i < 12; ++i) {
      Surface* s = *coded::kSheets[i];
      const std::string file = std::string("gfx/") + kFiles[i] + ".bmp";
      const auto picture = bmpfile::ReadBmp(file, s->width, s->height);
      ASSERT_FALSE(picture.empty()) << file;
      const bmpfile::Rgb c = picture[0];
      EXPECT_EQ(s->pixels[0], ColorToPixel(c.r | c.g << 8 | c.b << 16)) << file;
    }
  }
};

TEST_F(DisplayTest, PicturesLoadUnscaledAndKeyed) {
  LoadBitmaps();
  ExpectPictures();
  // The tower stands on white, the other sprites and the fonts on black.
  EXPECT_EQ(towerSurface->colorKey, 0xFFFF);
  for (Surface* s : {bulletSurface, planeSurface, fireSurface, cloudSurface, lettersSurface})
    EXPECT_TRUE(s->hasColorKey && s->colorKey == 0);
}

TEST_F(DisplayTest, RestoreAfterALoss) {
  // No window yet.
  EXPECT_EQ(InitDirectDraw(), 0);
  EXPECT_STRNE(displayFailure, "");
  mainWindow = sdlBackend.createWindow(windowTitle, 640, 480, nullptr, 0);
  ASSERT_EQ(InitDirectDraw(), 1) << displayFailure;
  LoadBitmaps();
  for (Surface** sheet : coded::kSheets) {
    (*sheet)->pixels[0] ^= 0x0F0F;
    (*sheet)->lost = true;
  }
  primarySurface->lost = true;
  surfacesValid = 0;
  RestoreSurfaces();
  EXPECT_EQ(surfacesValid, 1);
  EXPECT_FALSE(IsScreenLost(primarySurface));
  ExpectPictures();
}

TEST_F(DisplayTest, MissingPictureEndsTheGame) {
  // Inside gfx/ there is no gfx/ to load from.
  ASSERT_EQ(chdir("gfx"), 0);
  // No box to click away: the message goes to standard error.
  backend.messageBox = [](Window*, const char*, const char*) { return false; };
  EXPECT_EXIT(LoadBitmaps(), ::testing::ExitedWithCode(1),
              "Cannot load gfx/bg\\.bmp \\(not found\\) from " CORVANE_DATA_DIR
              "/gfx\\. Start the game with 'make run'");
  backend = sdlBackend;
}
