// The SDL implementation of the screen: a streaming RGB565 texture the back buffer is copied into,
// drawn scaled onto the window.
#include <SDL.h>

#include <cstdio>

#include "platform/display.h"
#include "platform/sdl_window.h"

namespace platform {

namespace {

SDL_Texture* screenTexture = nullptr;

bool CreateTexture(Window* window, char* why, size_t whyLen) {
  screenTexture = SDL_CreateTexture(window->renderer, SDL_PIXELFORMAT_RGB565,
                                    SDL_TEXTUREACCESS_STREAMING, window->width, window->height);
  if (screenTexture == nullptr) {
    if (why != nullptr) std::snprintf(why, whyLen, "%s", SDL_GetError());
    return false;
  }
  return true;
}

}  // namespace

Surface* OpenScreen(Window* window, int32_t width, int32_t height, char* why, size_t whyLen) {
  if (window == nullptr || window->renderer == nullptr) {
    std::snprintf(why, whyLen, "there is no window to draw in");
    return nullptr;
  }
  if (width != window->width || height != window->height) {
    window->width = width;
    window->height = height;
    SDL_RenderSetLogicalSize(window->renderer, width, height);
  }
  if (screenTexture != nullptr) SDL_DestroyTexture(screenTexture);
  if (!CreateTexture(window, why, whyLen)) return nullptr;
  // The screen has no memory of its own: it is the window's picture.
  Surface* screen = new Surface;
  screen->width = width;
  screen->height = height;
  window->screen = screen;
  return screen;
}

void CloseScreen(Surface* screen) {
  if (screen == nullptr) return;
  if (sdlMainWindow != nullptr && sdlMainWindow->screen == screen) sdlMainWindow->screen = nullptr;
  if (screenTexture != nullptr) {
    SDL_DestroyTexture(screenTexture);
    screenTexture = nullptr;
  }
  delete screen;
}

bool PresentToScreen(Surface* screen, const Surface& backBuffer, const Rect& srcRect) {
  if (screen == nullptr || screen->lost || screenTexture == nullptr || sdlMainWindow == nullptr)
    return false;
  if (backBuffer.pixels == nullptr || backBuffer.lost || backBuffer.locked || srcRect.left < 0 ||
      srcRect.top < 0 || srcRect.right > backBuffer.width || srcRect.bottom > backBuffer.height ||
      srcRect.right - srcRect.left != screen->width ||
      srcRect.bottom - srcRect.top != screen->height)
    return false;
  const uint16_t* first =
      backBuffer.pixels + static_cast<size_t>(srcRect.top) * backBuffer.width + srcRect.left;
  if (SDL_UpdateTexture(screenTexture, nullptr, first,
                        backBuffer.width * static_cast<int>(sizeof(uint16_t))) != 0)
    return false;
  SDL_Renderer* renderer = sdlMainWindow->renderer;
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, screenTexture, nullptr, nullptr);
  SDL_RenderPresent(renderer);
  return true;
}

bool IsScreenLost(const Surface* screen) { return screen != nullptr && screen->lost; }

bool RestoreScreen(Surface* screen) {
  if (screen == nullptr || sdlMainWindow == nullptr) return false;
  if ((SDL_GetWindowFlags(sdlMainWindow->sdl) & SDL_WINDOW_MINIMIZED) != 0) return false;
  // After a device reset the old texture is gone; make a new one either way.
  if (screenTexture != nullptr) SDL_DestroyTexture(screenTexture);
  screenTexture = nullptr;
  if (!CreateTexture(sdlMainWindow, nullptr, 0)) return false;
  screen->lost = false;
  return true;
}

}  // namespace platform
