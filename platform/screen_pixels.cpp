#include "platform/screen_pixels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {

// floor(v * 255 / 31) for v < 32 and the two halves of green, as 16-bit multiplies and a shift:
// the factors are 256 * 255 / 31, 256 * 8 * 255 / 63 and 256 * 255 / 63 rounded so that every
// input gives the exact floor (checked for all 65536 pixels by the tests).
constexpr uint32_t kFive = 2106;
constexpr uint32_t kGreenHigh = 8290;
constexpr uint32_t kGreenLow = 1037;

inline uint32_t Widen(uint16_t p, PixelOrder order, uint32_t alphaBits) {
  const uint32_t r = ((p >> 11) * kFive) >> 8;
  const uint32_t g = (((p >> 8) & 7u) * kGreenHigh >> 8) + (((p >> 5) & 7u) * kGreenLow >> 8);
  const uint32_t b = ((p & 31u) * kFive) >> 8;
  return order == ORDER_XRGB ? alphaBits | r << 16 | g << 8 | b : alphaBits | b << 16 | g << 8 | r;
}

}  // namespace

void WidenRgb565(const uint16_t* src, uint32_t* dst, int32_t count, PixelOrder order,
                 uint32_t alphaBits) {
  int32_t i = 0;
#if defined(__SSE2__)
  // Eight pixels at a time; a full screen is converted in a fraction of the time the table-based
  // conversion of the renderer took.
  const __m128i five = _mm_set1_epi16(31);
  const __m128i three = _mm_set1_epi16(7);
  const __m128i fiveFactor = _mm_set1_epi16(static_cast<int16_t>(kFive));
  const __m128i greenHighFactor = _mm_set1_epi16(static_cast<int16_t>(kGreenHigh));
  const __m128i greenLowFactor = _mm_set1_epi16(static_cast<int16_t>(kGreenLow));
  const __m128i alpha = _mm_set1_epi16(static_cast<int16_t>(alphaBits >> 16));
  for (; i + 8 <= count; i += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i r =
        _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(p, 11), five), fiveFactor), 8);
    const __m128i b = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(p, five), fiveFactor), 8);
    const __m128i gHigh = _mm_srli_epi16(
        _mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(p, 8), three), greenHighFactor), 8);
    const __m128i gLow = _mm_srli_epi16(
        _mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(p, 5), three), greenLowFactor), 8);
    const __m128i g = _mm_slli_epi16(_mm_add_epi16(gHigh, gLow), 8);
    // Low halves hold green and the low channel, high halves alpha and the high channel.
    const __m128i low = _mm_or_si128(g, order == ORDER_XRGB ? b : r);
    const __m128i high = _mm_or_si128(alpha, order == ORDER_XRGB ? r : b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi16(low, high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), _mm_unpackhi_epi16(low, high));
  }
#endif
  for (; i < count; ++i) dst[i] = Widen(src[i], order, alphaBits);
}

}  // namespace platform
