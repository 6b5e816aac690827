#include "graphics/display.h"

#include "game/state.h"
#include "platform/display.h"

char displayFailure[256] = "";

// Only the screen and the back buffer for now; the pictures come with the drawing code.
int32_t InitDirectDraw() {
  primarySurface = platform::OpenScreen(mainWindow, screenWidth, screenHeight, displayFailure,
                                        sizeof displayFailure);
  if (primarySurface == nullptr) return 0;
  backBuffer = platform::CreateSurface(screenWidth, screenHeight);
  return backBuffer != nullptr ? 1 : 0;
}

void LoadBitmaps() {}

void RestoreSurfaces() {
  surfacesValid = 1;
  platform::RestoreScreen(primarySurface);
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
}
