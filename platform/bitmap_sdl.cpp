// .bmp files through SDL's reader; the scaling is the surfaces' own, so a loaded picture matches
// what a scaled copy of it would show.
#include <SDL.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/bitmap.h"

namespace platform {

namespace {

void SetReason(char* why, size_t whyLen, const char* text) {
  if (why != nullptr && whyLen > 0) std::snprintf(why, whyLen, "%s", text);
}

// Pictures far beyond any screen are refused before SDL's reader sees them: it allocates and
// clears the whole picture first, and its row arithmetic is in int.
constexpr int64_t kMaxPictureSide = 8192;
constexpr int64_t kMaxPicturePixels = 4096 * 4096;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Checks what the file's headers claim against what it can hold. Anything this does not refuse
// goes to SDL's reader, which refuses what it cannot read in its own words.
//
// h holds the file's first bytes and zeros after them: a field cut off by the end of the file
// reads the way SDL's reader reads it, with the bytes that are there and zeros for the rest.
bool CheckHeaders(const uint8_t* h, size_t got, uint64_t fileSize, char* why, size_t whyLen) {
  if (got < 2 || h[0] != 'B' || h[1] != 'M') return true;
  const uint32_t offset = U32(h + 10);
  const uint32_t infoSize = U32(h + 14);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bits = 0;
  uint32_t compression = kUncompressed;
  if (infoSize == 12) {  // the old core header: 16-bit sizes
    width = U16(h + 18);
    height = U16(h + 20);
    bits = U16(h + 24);
  } else if (infoSize >= 40) {
    width = static_cast<int32_t>(U32(h + 18));
    height = static_cast<int32_t>(U32(h + 22));
    bits = U16(h + 28);
    compression = U32(h + 30);
  } else {
    return true;
  }
  // A negative height is a picture stored top row first.
  const int64_t rows = height < 0 ? -height : height;
  if (width <= 0 || rows == 0 || width > kMaxPictureSide || rows > kMaxPictureSide ||
      width * rows > kMaxPicturePixels) {
    if (why != nullptr && whyLen > 0)
      std::snprintf(why, whyLen, "unusable picture size %lld x %lld", static_cast<long long>(width),
                    static_cast<long long>(height));
    return false;
  }
  if (offset >= fileSize) {
    SetReason(why, whyLen, "the picture data would start past the end of the file");
    return false;
  }
  const bool known = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 15 || bits == 16 ||
                     bits == 24 || bits == 32;
  if (known && (compression == kUncompressed || compression == kBitFields)) {
    // Rows are padded to four bytes. SDL's reader reads whole rows of 8 bits a pixel and more,
    // but only the pixels' bytes of the last row of a smaller depth.
    const uint64_t rowBits = static_cast<uint64_t>(width) * (bits == 15 ? 16 : bits);
    const uint64_t rowBytes = (rowBits + 31) / 32 * 4;
    const uint64_t lastRow = bits >= 8 ? rowBytes : (rowBits + 7) / 8;
    const uint64_t needed = rowBytes * static_cast<uint64_t>(rows - 1) + lastRow;
    if (offset + needed > fileSize) {
      SetReason(why, whyLen, "the file ends inside the picture data");
      return false;
    }
  }
  return true;
}

// SDL's reader says nothing useful when the file cannot be opened, so that is checked first,
// along with the headers.
bool CheckFile(const char* path, char* why, size_t whyLen) {
  struct stat info;
  if (stat(path, &info) != 0) {
    SetReason(why, whyLen, errno == ENOENT ? "not found" : std::strerror(errno));
    return false;
  }
  // Opening anything else could block (a pipe) or read nonsense (a directory).
  if (S_ISDIR(info.st_mode)) {
    SetReason(why, whyLen, "a directory, not a picture file");
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    SetReason(why, whyLen, "not a regular file");
    return false;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    SetReason(why, whyLen, errno == ENOENT ? "not found" : std::strerror(errno));
    return false;
  }
  uint8_t headers[54] = {};
  const size_t got = std::fread(headers, 1, sizeof headers, file);
  std::fclose(file);
  return CheckHeaders(headers, got, static_cast<uint64_t>(info.st_size), why, whyLen);
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
  if (!CheckFile(path, why, whyLen)) return nullptr;
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
