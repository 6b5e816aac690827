// The SDL implementation of the screen: a streaming texture the back buffer is copied into,
// drawn scaled onto the window.
//
// The texture is made in a 32-bit format the renderer takes as it is (the window's own where
// possible), and the back buffer is widened into it here. A 16-bit texture would leave the
// widening to the renderer, and the software renderer does that, when it also scales, one pixel
// at a time through its slowest path: ten times the cost of the whole frame.
#include <SDL.h>

#include <cstdio>

#include "platform/display.h"
#include "platform/screen_pixels.h"
#include "platform/sdl_window.h"

namespace platform {

namespace {

SDL_Texture* screenTexture = nullptr;

// How the back buffer goes into the texture.
struct TextureFormat {
  Uint32 format = SDL_PIXELFORMAT_RGB565;
  bool widened = false;  // 32-bit, filled through WidenRgb565; else 16-bit, copied as it is
  PixelOrder order = ORDER_XRGB;
  uint32_t alphaBits = 0;
};
TextureFormat textureFormat;

bool Takes(const SDL_RendererInfo& info, Uint32 format) {
  for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
    if (info.texture_formats[i] == format) return true;
  }
  return false;
}

TextureFormat ChooseTextureFormat(Window* window) {
  static const TextureFormat kWide[] = {
      {SDL_PIXELFORMAT_RGB888, true, ORDER_XRGB, 0},
      {SDL_PIXELFORMAT_ARGB8888, true, ORDER_XRGB, 0xFF000000u},
      {SDL_PIXELFORMAT_BGR888, true, ORDER_XBGR, 0},
      {SDL_PIXELFORMAT_ABGR8888, true, ORDER_XBGR, 0xFF000000u},
  };
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(window->renderer, &info) != 0) return TextureFormat{};
  // The window's own format first: the copy onto the window then needs no conversion at all.
  const Uint32 windowFormat = SDL_GetWindowPixelFormat(window->sdl);
  for (const TextureFormat& wide : kWide) {
    if (wide.format == windowFormat && Takes(info, wide.format)) return wide;
  }
  for (const TextureFormat& wide : kWide) {
    if (Takes(info, wide.format)) return wide;
  }
  return TextureFormat{};
}

bool CreateTexture(Window* window, char* why, size_t whyLen) {
  textureFormat = ChooseTextureFormat(window);
  screenTexture = SDL_CreateTexture(window->renderer, textureFormat.format,
                                    SDL_TEXTUREACCESS_STREAMING, window->width, window->height);
  if (screenTexture == nullptr) {
    if (why != nullptr) std::snprintf(why, whyLen, "%s", SDL_GetError());
    return false;
  }
  // The picture is opaque; a format with alpha must not make the copy blend.
  SDL_SetTextureBlendMode(screenTexture, SDL_BLENDMODE_NONE);
  return true;
}

bool FillTexture(const uint16_t* first, int32_t pitchPixels, int32_t width, int32_t height) {
  if (!textureFormat.widened) {
    return SDL_UpdateTexture(screenTexture, nullptr, first,
                             pitchPixels * static_cast<int>(sizeof(uint16_t))) == 0;
  }
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(screenTexture, nullptr, &pixels, &pitch) != 0) return false;
  uint8_t* row = static_cast<uint8_t*>(pixels);
  for (int32_t y = 0; y < height; ++y) {
    WidenRgb565(first + static_cast<size_t>(y) * pitchPixels, reinterpret_cast<uint32_t*>(row),
                width, textureFormat.order, textureFormat.alphaBits);
    row += pitch;
  }
  SDL_UnlockTexture(screenTexture);
  return true;
}

// Whether the scaled picture covers every pixel of the window, leaving no black bars to clear.
bool PictureFillsWindow(SDL_Renderer* renderer) {
  int outW = 0;
  int outH = 0;
  if (SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0) return false;
  SDL_Rect viewport;
  SDL_RenderGetViewport(renderer, &viewport);
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  SDL_RenderGetScale(renderer, &scaleX, &scaleY);
  return viewport.x == 0 && viewport.y == 0 &&
         static_cast<int>(static_cast<float>(viewport.w) * scaleX) >= outW &&
         static_cast<int>(static_cast<float>(viewport.h) * scaleY) >= outH;
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
  if (!FillTexture(first, backBuffer.width, screen->width, screen->height)) return false;
  SDL_Renderer* renderer = sdlMainWindow->renderer;
  if (!PictureFillsWindow(renderer)) SDL_RenderClear(renderer);
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
