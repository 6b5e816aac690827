// The tests' one 24-bit BMP reader: it checks every header field a viewer relies on.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace bmpfile {

inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Little-endian fields.
inline uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}

// clang-format off
struct Rgb { int r = 0, g = 0, b = 0; bool operator==(const Rgb&) const = default; };
// clang-format on

// The pixels, top row first, of a file that must be an uncompressed 24-bit bottom-up BMP of the
// given size.
inline std::vector<Rgb> ReadBmp(const std::filesystem::path& path, uint32_t width,
                                uint32_t height) {
  SCOPED_TRACE(path.string());
  const std::vector<uint8_t> d = ReadFile(path);
  const uint32_t rowBytes = (width * 3 + 3) & ~3u;
  const uint32_t size = 54 + rowBytes * height;
  if (d.size() != size) {
    ADD_FAILURE() << "has " << d.size() << " bytes";
    return {};
  }
  // Offsets and values; a positive height means rows bottom-up; at 26, one plane of 24 bits.
  // clang-format off
  const uint32_t want[][2] = {{2, size}, {10, 54}, {14, 40}, {18, width}, {22, height},
                              {26, 1 | 24 << 16}, {30, 0}, {34, size - 54}};
  // clang-format on
  for (const auto& w : want) EXPECT_EQ(U32(d, w[0]), w[1]) << "header field at " << w[0];
  EXPECT_TRUE(d[0] == 'B' && d[1] == 'M');
  std::vector<Rgb> px;
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t row = 54 + (height - 1 - y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x)
      px.push_back(Rgb{d[row + x * 3 + 2], d[row + x * 3 + 1], d[row + x * 3]});
    for (uint32_t pad = width * 3; pad < rowBytes; ++pad) EXPECT_EQ(d[row + pad], 0);
  }
  return px;
}

}  // namespace bmpfile
