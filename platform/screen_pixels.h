// The back buffer's 16-bit pixels widened to the 32-bit pixels a screen texture holds, with the
// colours a 24-bit screen shows for them.
#pragma once

#include <cstdint>

namespace platform {

// Where red goes in a 32-bit screen pixel: bits 16-23 (XRGB, blue in 0-7) or bits 0-7 (XBGR).
enum PixelOrder : int32_t { ORDER_XRGB = 0, ORDER_XBGR = 1 };

// Widens count RGB565 pixels: red and blue become floor(v * 255 / 31) (0x1F -> 0xFF); green is
// widened in its two 3-bit halves, floor(hi * 8 * 255 / 63) + floor(lo * 255 / 63) (0x3F -> 0xFE),
// which is what the screen showed for a 16-bit texture. alphaBits (0 or 0xFF000000) fills the top
// byte. src and dst must not overlap.
void WidenRgb565(const uint16_t* src, uint32_t* dst, int32_t count, PixelOrder order,
                 uint32_t alphaBits);

}  // namespace platform
