#include "graphics/display.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

#include "game/state.h"
#include "platform/bitmap.h"
#include "platform/display.h"
#include "shell/shell.h"

char displayFailure[256] = "";

namespace {

// The one display object; directDraw points at it while the screen is open.
platform::Display display;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

}  // namespace

int32_t InitDirectDraw() {
  // A second set-up replaces the first instead of leaking it.
  if (primarySurface != nullptr || backBuffer != nullptr) ReleaseDisplay();
  displayFailure[0] = '\0';
  primarySurface = platform::OpenScreen(mainWindow, screenWidth, screenHeight, displayFailure,
                                        sizeof displayFailure);
  if (primarySurface == nullptr) return 0;
  display.window = mainWindow;
  display.screen = primarySurface;
  directDraw = &display;
  backBuffer = platform::CreateSurface(screenWidth, screenHeight);
  if (backBuffer == nullptr) {
    std::snprintf(displayFailure, sizeof displayFailure, "cannot make a %dx%d back buffer",
                  screenWidth, screenHeight);
    return 0;
  }
  return 1;
}

// Off-screen surfaces are plain memory in the screen's format, so the display object is not
// needed to make one.
platform::Surface* LoadBitmapSurface(platform::Display* /*display*/, const char* path,
                                     int32_t width, int32_t height, char* why, size_t whyLen) {
  char reason[256];
  platform::Surface* surface = platform::LoadBitmapFile(path, width, height, reason, sizeof reason);
  if (surface == nullptr && why != nullptr && whyLen > 0) std::snprintf(why, whyLen, "%s", reason);
  return surface;
}

uint32_t MatchSurfaceColor(platform::Surface* surface, uint32_t rgb) {
  // The surface converts the colour itself: write it into pixel (0, 0) and read the raw value.
  uint32_t remembered = 0;
  const bool haveColor = platform::GetPixelColor(surface, 0, 0, &remembered);
  if (haveColor) platform::SetPixelColor(surface, 0, 0, rgb);

  uint32_t value = 0xFFFFFFFFu;
  if (const uint16_t* pixels = platform::LockSurface(surface)) {
    // Only the pixel's own bits: a 32-bit read could run past a one-pixel surface.
    const uint32_t mask = screenBpp >= 32 ? 0xFFFFFFFFu : (1u << screenBpp) - 1u;
    value = static_cast<uint32_t>(pixels[0]) & mask;
    platform::UnlockSurface(surface);
  }

  if (haveColor) platform::SetPixelColor(surface, 0, 0, remembered);
  return value;
}

bool SetSurfaceColorKey(platform::Surface* surface, uint32_t rgb) {
  const uint32_t value = MatchSurfaceColor(surface, rgb);
  return platform::SetColorKey(surface, value);
}

void FormatBitmapFailure(char* out, size_t outLen, const char* path, const char* why,
                         const char* dir) {
  std::snprintf(out, outLen,
                "Cannot load %s (%s) from %s. Start the game with 'make run' or the installed "
                "'corvane-altor' launcher, which run it from its data directory.",
                path, why, dir);
}

namespace {

[[noreturn]] void FailToLoad(const char* path, const char* why) {
  static char dir[PATH_MAX];
  if (getcwd(dir, sizeof dir) == nullptr) std::snprintf(dir, sizeof dir, "an unknown directory");
  static char message[PATH_MAX + 512];
  FormatBitmapFailure(message, sizeof message, path, why, dir);
  ExitWithError(message);
}

}  // namespace

void LoadBitmaps() {
  struct Row {
    const char* path;
    platform::Surface** global;
    int32_t width;
    int32_t height;
    bool keyed;
    uint32_t key;
  };
  const int32_t w = screenWidth;
  const int32_t h = screenHeight;
  const int32_t sw = spriteWidth;
  const int32_t sh = spriteHeight;
  const Row rows[] = {
      {"gfx/bg.bmp", &backgroundSurface, w, h, false, 0},
      {"gfx/blank.bmp", &blankSurface, sw, sh, false, 0},
      {"gfx/camain.bmp", &menuTitleSurface, w, h, false, 0},
      {"gfx/right.bmp", &rightPanelSurface, kRightPanelWidth, h, false, 0},
      {"gfx/buttons.bmp", &buttonsSurface, kRightPanelWidth, 2 * sh, false, 0},
      {"gfx/bullet.bmp", &bulletSurface, sw / 8, sh / 4, true, kBlack},
      {"gfx/plane.bmp", &planeSurface, 12 * sw, 7 * sh, true, kBlack},
      {"gfx/fire.bmp", &fireSurface, 8 * sw, sh, true, kBlack},
      {"gfx/cloud.bmp", &cloudSurface, 2 * sw, sh, true, kBlack},
      {"gfx/tower.bmp", &towerSurface, sw, 2 * sh, true, kWhite},
      {"gfx/letters.bmp", &lettersSurface, 752, 80, true, kBlack},
      {"gfx/numbers.bmp", &numbersSurface, 40, 80, true, kBlack},
  };
  for (const Row& row : rows) {
    char why[256];
    platform::Surface* surface =
        LoadBitmapSurface(directDraw, row.path, row.width, row.height, why, sizeof why);
    if (surface == nullptr) FailToLoad(row.path, why);
    // What a reload replaces is not used again.
    platform::FreeSurface(*row.global);
    *row.global = surface;
    if (row.keyed) SetSurfaceColorKey(surface, row.key);
  }
}

void RestoreSurfaces() {
  surfacesValid = 1;
  platform::RestoreSurface(backBuffer);
  platform::RestoreScreen(primarySurface);
  platform::Surface* const pictures[] = {
      lettersSurface, numbersSurface, blankSurface, backgroundSurface, bulletSurface,
      planeSurface,   fireSurface,    cloudSurface, towerSurface,      menuTitleSurface};
  for (platform::Surface* surface : pictures) platform::RestoreSurface(surface);
  LoadBitmaps();
}

void PresentFrame() {
  if (primarySurface != nullptr && backBuffer != nullptr)
    platform::PresentToScreen(primarySurface, *backBuffer, screenRect);
}

void ReleaseDisplay() {
  platform::CloseScreen(primarySurface);
  primarySurface = nullptr;
  platform::FreeSurface(backBuffer);
  backBuffer = nullptr;
  display = platform::Display{};
  directDraw = nullptr;
}
