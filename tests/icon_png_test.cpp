// The desktop icons in PNG form: read back with a decoder of our own (stored deflate blocks
// only, which is all the generator writes) so that every checksum and header field is checked,
// and compared with the BMP icon the generator draws from the same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/bmp_file.h"

namespace {

namespace fs = std::filesystem;
using bmpfile::ReadFile;

const fs::path kIcons = fs::path(CORVANE_DATA_DIR) / "icon";

uint32_t Be32(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<uint32_t>(d[at]) << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3];
}

// Bit by bit, straight from the definition, so that it shares nothing with a table-driven writer.
uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& d) {
  uint64_t a = 1, b = 0;
  for (uint8_t v : d) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  return static_cast<uint32_t>(b << 16 | a);
}

struct Rgba {
  int r = 0, g = 0, b = 0, a = 0;
};

struct Picture {
  int width = 0, height = 0;
  std::vector<Rgba> px;
  const Rgba& At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Inflates a zlib stream made only of stored blocks; anything else is a failure.
std::vector<uint8_t> InflateStored(const std::vector<uint8_t>& z, int* blocks) {
  std::vector<uint8_t> out;
  *blocks = 0;
  if (z.size() < 6) {
    ADD_FAILURE() << "zlib stream of " << z.size() << " bytes";
    return out;
  }
  // Deflate, a window of at most 32K, no preset dictionary, and the header's check bits.
  EXPECT_TRUE((z[0] & 0x0F) == 8 && z[0] >> 4 <= 7 && (z[1] & 0x20) == 0) << int(z[0]) << int(z[1]);
  EXPECT_EQ((z[0] << 8 | z[1]) % 31, 0) << "zlib header check bits";
  size_t at = 2;
  bool last = false;
  while (!last) {
    if (at + 5 > z.size()) {
      ADD_FAILURE() << "stream ends inside a block header";
      return out;
    }
    last = (z[at] & 1) != 0;
    if (((z[at] >> 1) & 3) != 0) {
      ADD_FAILURE() << "block " << *blocks << " is not stored";
      return out;
    }
    size_t len = z[at + 1] | z[at + 2] << 8;
    size_t nlen = z[at + 3] | z[at + 4] << 8;
    EXPECT_EQ(len ^ 0xFFFF, nlen) << "block " << *blocks << ": NLEN is not LEN's complement";
    at += 5;
    if (at + len > z.size()) {
      ADD_FAILURE() << "block " << *blocks << " runs past the stream";
      return out;
    }
    out.insert(out.end(), z.begin() + static_cast<std::ptrdiff_t>(at),
               z.begin() + static_cast<std::ptrdiff_t>(at + len));
    at += len;
    ++*blocks;
  }
  if (at + 4 != z.size()) {
    ADD_FAILURE() << "expected the Adler-32 and nothing else after the last block";
    return out;
  }
  EXPECT_EQ(Be32(z, at), Adler32(out)) << "Adler-32";
  return out;
}

// Reads a PNG that must be 8-bit RGBA, not interlaced, of the given size, with valid chunk CRCs
// and IHDR first, IEND last.
Picture ReadPng(const fs::path& path, int size, int* blocks) {
  SCOPED_TRACE(path.string());
  Picture pic;
  std::vector<uint8_t> d = ReadFile(path);
  const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (d.size() < 8 || !std::equal(kSignature, kSignature + 8, d.begin())) {
    ADD_FAILURE() << "no PNG signature";
    return pic;
  }
  std::vector<std::string> types;
  std::vector<uint8_t> idat;
  size_t at = 8;
  while (at + 12 <= d.size()) {
    uint32_t len = Be32(d, at);
    if (at + 12 + len > d.size()) break;
    std::string type(d.begin() + static_cast<std::ptrdiff_t>(at + 4),
                     d.begin() + static_cast<std::ptrdiff_t>(at + 8));
    EXPECT_EQ(Be32(d, at + 8 + len), Crc32(&d[at + 4], len + 4)) << "CRC of " << type;
    if (type == "IHDR") {
      // Width, height, 8-bit RGBA, no compression, filter or interlace method beyond the first.
      const uint8_t want[13] = {
          0, 0, uint8_t(size >> 8), uint8_t(size), 0, 0, uint8_t(size >> 8), uint8_t(size), 8, 6, 0,
          0, 0};
      EXPECT_TRUE(len == 13 && std::equal(want, want + 13, &d[at + 8])) << "IHDR";
    }
    if (type == "IDAT") idat.insert(idat.end(), &d[at + 8], &d[at + 8] + len);
    types.push_back(type);
    at += 12 + len;
  }
  EXPECT_EQ(at, d.size()) << "bytes after the last whole chunk";
  if (types.empty() || types.front() != "IHDR" || types.back() != "IEND") {
    ADD_FAILURE() << "IHDR must come first and IEND last";
    return pic;
  }
  std::vector<uint8_t> raw = InflateStored(idat, blocks);
  const size_t stride = static_cast<size_t>(size) * 4 + 1;
  if (raw.size() != stride * size) {
    ADD_FAILURE() << "decoded " << raw.size() << " bytes, expected " << stride * size;
    return pic;
  }
  pic.width = pic.height = size;
  for (int y = 0; y < size; ++y) {
    const uint8_t* row = &raw[y * stride];
    EXPECT_EQ(row[0], 0) << "row " << y << " uses a filter this reader does not undo";
    for (int x = 0; x < size; ++x) {
      const uint8_t* p = row + 1 + x * 4;
      pic.px.push_back(Rgba{p[0], p[1], p[2], p[3]});
    }
  }
  return pic;
}

Picture ReadPngIcon(int size) {
  int blocks = 0;
  return ReadPng(kIcons / ("corvane-altor-" + std::to_string(size) + ".png"), size, &blocks);
}

// The 64x64 BMP icon, opaque.
Picture ReadBmpIcon() {
  const bmpfile::Image img = bmpfile::ReadBmp(kIcons / "corvane-altor-64.bmp", 64, 64);
  Picture pic{img.width, img.height, {}};
  for (const bmpfile::Rgb& c : img.px) pic.px.push_back(Rgba{c.r, c.g, c.b, 255});
  return pic;
}

// ---------------------------------------------------------------- file format

TEST(IconPng, EverySizeIsAValidRgbaPngWithStoredBlocks) {
  for (int size : {32, 64, 128}) {
    int blocks = 0;
    Picture pic =
        ReadPng(kIcons / ("corvane-altor-" + std::to_string(size) + ".png"), size, &blocks);
    EXPECT_EQ(pic.width, size);
    // A stored block holds at most 65535 bytes: the 128-pixel icon (65664 bytes) needs two.
    const size_t raw = (static_cast<size_t>(size) * 4 + 1) * size;
    EXPECT_EQ(blocks, static_cast<int>((raw + 65534) / 65535)) << size;
  }
}

// ---------------------------------------------------------------- the picture

TEST(IconPng, OpaquePixelsAreTheBmpIconsAndTheCornersAreTransparent) {
  Picture png = ReadPngIcon(64), bmp = ReadBmpIcon();
  ASSERT_EQ(png.px.size(), 64u * 64u);
  ASSERT_EQ(bmp.px.size(), 64u * 64u);
  int opaque = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const Rgba& p = png.At(x, y);
      const Rgba& b = bmp.At(x, y);
      if (p.a == 255) {
        ++opaque;
        EXPECT_TRUE(p.r == b.r && p.g == b.g && p.b == b.b)
            << "(" << x << "," << y << ") png " << p.r << "," << p.g << "," << p.b << " bmp " << b.r
            << "," << b.g << "," << b.b;
      } else {
        // The BMP has no transparency: it shows the colour darkened by the coverage, up to a
        // display level (8) each for the two roundings.
        const int want[3] = {p.r * p.a / 255, p.g * p.a / 255, p.b * p.a / 255};
        const int got[3] = {b.r, b.g, b.b};
        for (int i = 0; i < 3; ++i)
          EXPECT_LE(std::abs(got[i] - want[i]), 16) << "(" << x << "," << y << ") channel " << i;
      }
    }
  // Rounded corners and a one-pixel margin are see-through, the rest is sky and plane.
  const int clear[][2] = {{0, 0}, {63, 0}, {0, 63}, {63, 63}, {1, 1}, {32, 0}, {0, 32}};
  for (const auto& c : clear)
    EXPECT_EQ(png.At(c[0], c[1]).a, 0) << "(" << c[0] << "," << c[1] << ")";
  EXPECT_GT(opaque, 62 * 62 - 4 * 40);
}

TEST(IconPng, SmallAndLargeIconsShowTheSamePicture) {
  // Averaging 2x2 blocks of the larger icon gives the smaller one, up to antialiasing and
  // dithering; a plane drawn at the wrong size or place would differ by far more.
  auto meanDifference = [](const Picture& large, const Picture& small) {
    double sum = 0.0;
    for (int y = 0; y < small.height; ++y)
      for (int x = 0; x < small.width; ++x) {
        double c[4] = {0, 0, 0, 0};
        for (int j = 0; j < 2; ++j)
          for (int i = 0; i < 2; ++i) {
            const Rgba& p = large.At(2 * x + i, 2 * y + j);
            c[0] += p.r * p.a / 255.0 / 4.0;
            c[1] += p.g * p.a / 255.0 / 4.0;
            c[2] += p.b * p.a / 255.0 / 4.0;
            c[3] += p.a / 4.0;
          }
        const Rgba& s = small.At(x, y);
        sum += std::abs(c[0] - s.r * s.a / 255.0) + std::abs(c[1] - s.g * s.a / 255.0) +
               std::abs(c[2] - s.b * s.a / 255.0) + std::abs(c[3] - s.a);
      }
    return sum / (4.0 * small.width * small.height);
  };
  Picture i32 = ReadPngIcon(32), i64 = ReadPngIcon(64), i128 = ReadPngIcon(128);
  ASSERT_EQ(i32.px.size(), 32u * 32u);
  ASSERT_EQ(i64.px.size(), 64u * 64u);
  ASSERT_EQ(i128.px.size(), 128u * 128u);
  EXPECT_LT(meanDifference(i128, i64), 9.0);
  EXPECT_LT(meanDifference(i64, i32), 9.0);
  // The measure does see a different picture: the icon against itself moved two pixels right.
  Picture shifted = i64;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) shifted.px[y * 64 + x] = i64.At(std::max(x - 2, 0), y);
  EXPECT_GT(meanDifference(i128, shifted), 9.0);
}

}  // namespace
