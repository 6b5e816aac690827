// Off-screen pictures in the display's 16-bit RGB565 format and the copies between them.
// Plain memory: nothing here needs a window, so tests draw and read pixels directly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// {left, top, right, bottom}; right and bottom are exclusive.
struct Rect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct Surface {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t* pixels = nullptr;  // width * height RGB565 pixels, rows packed top to bottom
  bool hasColorKey = false;
  uint16_t colorKey = 0;  // raw pixel value left out by keyed copies
  bool lost = false;      // contents gone (display reset); copies into or out of it fail
  bool locked = false;    // handed out by LockSurface; copies into or out of it fail meanwhile
};

// A new surface of the given size, all black; null when the size is not positive.
Surface* CreateSurface(int32_t width, int32_t height);
void FreeSurface(Surface* surface);

// Copies srcRect of src onto dstRect of dst, scaling nearest-neighbour when the sizes differ.
// With useColorKey and a key on src, pixels equal to the key are left out. Draws nothing at all
// and returns false unless both rectangles are non-empty and lie wholly inside their surfaces,
// and neither surface is lost or locked.
bool Blit(Surface* dst, const Rect& dstRect, const Surface* src, const Rect& srcRect,
          bool useColorKey);

// A Windows COLORREF (red in the low byte, then green, then blue) in RGB565, truncating.
uint16_t ColorToPixel(uint32_t colorref);
// An RGB565 pixel as a COLORREF, as a 24-bit screen shows it (0x1F -> 0xFF).
uint32_t PixelToColor(uint16_t pixel);

// Single pixels by colour, converted like a device context converts them. Both fail (false,
// nothing read or written) when the surface is missing, lost or locked, or (x, y) is outside it.
bool GetPixelColor(const Surface* surface, int32_t x, int32_t y, uint32_t* colorref);
bool SetPixelColor(Surface* surface, int32_t x, int32_t y, uint32_t colorref);

// Direct access to the raw pixels until UnlockSurface. Null when the surface is missing, has no
// memory, is lost or is already locked.
uint16_t* LockSurface(Surface* surface);
void UnlockSurface(Surface* surface);

// Gives the surface a source colour key; a 16-bit surface compares only the low 16 bits of the
// value. False when there is no surface.
bool SetColorKey(Surface* surface, uint32_t rawValue);

// Makes a lost surface usable again; its contents are whatever was left in it. False when there
// is no surface.
bool RestoreSurface(Surface* surface);

}  // namespace platform
