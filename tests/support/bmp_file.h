// The one 24-bit BMP reader and writer of the tests: the reader checks every header field a viewer
// relies on, the writer makes the plain bottom-up files the game's pictures are.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bmpfile {

inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}
inline uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// A decoded picture, top row first.
struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> px;
  Rgb At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Reads a file that must be an uncompressed 24-bit bottom-up BMP of the given size.
inline Image ReadBmp(const std::filesystem::path& path, int width, int height) {
  SCOPED_TRACE(path.string());
  Image img;
  const std::vector<uint8_t> d = ReadFile(path);
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  if (d.size() != 54 + rowBytes * height) {
    ADD_FAILURE() << "has " << d.size() << " bytes";
    return img;
  }
  const uint32_t want[][2] = {{2, static_cast<uint32_t>(d.size())},
                              {10, 54},
                              {14, 40},
                              {18, static_cast<uint32_t>(width)},
                              {22, static_cast<uint32_t>(height)},  // positive: bottom-up
                              {30, 0},
                              {34, rowBytes * height}};
  for (const auto& w : want) EXPECT_EQ(U32(d, w[0]), w[1]) << "header field at " << w[0];
  EXPECT_TRUE(d[0] == 'B' && d[1] == 'M' && U16(d, 26) == 1 && U16(d, 28) == 24);
  img.width = width;
  img.height = height;
  for (int y = 0; y < height; ++y) {
    const size_t row = 54 + static_cast<size_t>(height - 1 - y) * rowBytes;
    for (int x = 0; x < width; ++x)
      img.px.push_back(Rgb{d[row + x * 3 + 2], d[row + x * 3 + 1], d[row + x * 3]});
    for (uint32_t pad = width * 3; pad < rowBytes; ++pad) EXPECT_EQ(d[row + pad], 0);
  }
  return img;
}

// Writes a 24-bit bottom-up BMP; colours are COLORREFs (0x00BBGGRR) given row by row from the top.
inline void WriteBmp(const std::string& path, int32_t w, int32_t h,
                     const std::vector<uint32_t>& colors) {
  const int32_t rowBytes = (w * 3 + 3) & ~3;
  std::vector<uint8_t> file(54 + rowBytes * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  file[26] = 1;
  file[28] = 24;
  put32(34, rowBytes * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int i = 0; i < 3; ++i)
        file[54 + (h - 1 - y) * rowBytes + 3 * x + i] =
            static_cast<uint8_t>(colors[y * w + x] >> (16 - 8 * i));
  std::ofstream out(path, std::ios::binary);
  ASSERT_TRUE(out) << path;
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

}  // namespace bmpfile
