// .bmp files through SDL's reader; the scaling is the surfaces' own, so a loaded picture matches
// what a scaled copy of it would show.
#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/bitmap.h"

namespace platform {

namespace {

void SetReason(char* why, size_t whyLen, const char* text) {
  if (why != nullptr && whyLen > 0) std::snprintf(why, whyLen, "%s", text);
}

// SDL's reader says nothing useful when the file cannot be opened, so that is checked first.
bool CanOpen(const char* path, char* why, size_t whyLen) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    SetReason(why, whyLen, errno == ENOENT ? "not found" : std::strerror(errno));
    return false;
  }
  std::fclose(file);
  return true;
}

// The picture as a packed RGB565 surface of its own size.
Surface* ReadPicture(const char* path, char* why, size_t whyLen) {
  SDL_Surface* loaded = SDL_LoadBMP(path);
  if (loaded == nullptr) {
    SetReason(why, whyLen, SDL_GetError());
    return nullptr;
  }
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0);
  SDL_FreeSurface(loaded);
  if (converted == nullptr) {
    SetReason(why, whyLen, SDL_GetError());
    return nullptr;
  }
  Surface* picture = CreateSurface(converted->w, converted->h);
  if (picture == nullptr) {
    SetReason(why, whyLen, "the picture is empty");
  } else if (SDL_LockSurface(converted) != 0) {
    SetReason(why, whyLen, SDL_GetError());
    FreeSurface(picture);
    picture = nullptr;
  } else {
    const size_t rowBytes = static_cast<size_t>(picture->width) * sizeof(uint16_t);
    const uint8_t* row = static_cast<const uint8_t*>(converted->pixels);
    for (int32_t y = 0; y < picture->height; ++y) {
      std::memcpy(picture->pixels + static_cast<size_t>(y) * picture->width, row, rowBytes);
      row += converted->pitch;
    }
    SDL_UnlockSurface(converted);
  }
  SDL_FreeSurface(converted);
  return picture;
}

}  // namespace

Surface* LoadBitmapFile(const char* path, int32_t width, int32_t height, char* why, size_t whyLen) {
  if (path == nullptr || width <= 0 || height <= 0) {
    SetReason(why, whyLen, "no file or no size asked for");
    return nullptr;
  }
  if (!CanOpen(path, why, whyLen)) return nullptr;
  Surface* picture = ReadPicture(path, why, whyLen);
  if (picture == nullptr) return nullptr;
  if (picture->width == width && picture->height == height) return picture;
  Surface* scaled = CreateSurface(width, height);
  Blit(scaled, Rect{0, 0, width, height}, picture, Rect{0, 0, picture->width, picture->height},
       false);
  FreeSurface(picture);
  return scaled;
}

}  // namespace platform
