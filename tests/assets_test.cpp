// The desktop icons as PNG files, read back with a decoder of our own (stored deflate blocks only,
// which is all the generator writes) and compared with the BMP icon drawn from the same picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/bmp_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// The rows of a PNG icon, each a filter byte and RGBA pixels, from a file that must hold 8-bit
// RGBA in stored deflate blocks with every checksum right.
Bytes ReadPng(const char* name, size_t rowBytes, size_t rows) {
  const Bytes file = bmpfile::ReadFile(std::string(CORVANE_DATA_DIR "/icon/") + name);
  Bytes z;  // the zlib stream of the IDAT chunks
  for (const uint8_t* chunk = &file[8]; chunk < &file.back(); chunk += 12 + Be32(chunk)) {
    uint32_t crc = ~0u;  // over type and data, bit by bit unlike the generator's table
    for (const uint8_t* p = chunk + 4; p < chunk + 8 + Be32(chunk); ++p) {
      crc ^= *p;
      for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    EXPECT_EQ(Be32(chunk + 8 + Be32(chunk)), ~crc) << name;
    // IHDR: 8 bits a channel, RGBA, not interlaced.
    EXPECT_TRUE(chunk[5] != 'H' || (Bytes(chunk + 16, chunk + 21) == Bytes{8, 6, 0, 0, 0}));
    if (chunk[5] == 'D') z.insert(z.end(), chunk + 8, chunk + 8 + Be32(chunk));
  }
  Bytes raw;
  const uint8_t* const end = z.data() + z.size();
  const uint8_t* block = z.data() + 2;
  for (bool last = false; !last && block + 5 <= end; block += 5 + (block[1] | block[2] << 8)) {
    last = block[0] == 1;
    EXPECT_EQ((block[1] | block[2] << 8) ^ 0xFFFF, block[3] | block[4] << 8) << name;
    raw.insert(raw.end(), block + 5, std::min(block + 5 + (block[1] | block[2] << 8), end));
  }
  uint32_t a = 1, b = 0;  // Adler-32
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_TRUE(block + 4 == end && Be32(block) == (b << 16 | a)) << name;
  EXPECT_EQ(raw.size(), rowBytes * rows) << name;
  raw.resize(rowBytes * rows);
  for (size_t row = 0; row < raw.size(); row += rowBytes) EXPECT_EQ(raw[row], 0) << "unfiltered";
  return raw;
}

// Opaque pixels are the BMP icon's and the corners see-through, at every size.
TEST(Assets, PngIconsAreTheBmpIconWithTransparentCorners) {
  const auto bmp = bmpfile::ReadBmp(CORVANE_DATA_DIR "/icon/corvane-altor-64.bmp", 64, 64);
  const Bytes png = ReadPng("corvane-altor-64.png", 257, 64);
  for (int i = 0; i < 64 * 64; ++i) {
    const uint8_t* p = &png[i / 64 + 1 + 4 * i];
    EXPECT_TRUE(p[3] < 255 || (bmpfile::Rgb{p[0], p[1], p[2]} == bmp[i])) << "pixel " << i;
  }
  EXPECT_EQ(png[4], 0);
  EXPECT_EQ(ReadPng("corvane-altor-128.png", 513, 128)[4], 0);
  EXPECT_EQ(ReadPng("corvane-altor-32.png", 129, 32)[4], 0);
}

// Every picture and sound as recorded: the generator draws from fixed seeds, so a changed drawing,
// sound or file layout shows here. After a change made on purpose, record the value printed.
TEST(Assets, GeneratedFilesAreTheRecordedOnes) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(CORVANE_DATA_DIR))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the files in name order
  for (const auto& file : files)
    for (uint8_t byte : bmpfile::ReadFile(file.string())) hash = (hash ^ byte) * 1099511628211ull;
  EXPECT_EQ(files.size(), 18u);
  EXPECT_EQ(hash, 0x337c57ee023ae2b7ull) << std::hex << "the generated data are now 0x" << hash;
}

}  // namespace
