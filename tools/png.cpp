#include "tools/png.h"

#include <algorithm>
#include <cstdio>

namespace art {

uint32_t Crc32(const uint8_t* data, size_t size) {
  static const auto kTable = [] {
    std::vector<uint32_t> table(256);
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = kTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const uint8_t* data, size_t size) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521u;
    b = (b + a) % 65521u;
  }
  return b << 16 | a;
}

namespace {

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body) {
  PutBe32(out, static_cast<uint32_t>(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  // The CRC covers the type and the body, not the length.
  PutBe32(out, Crc32(&out[start], out.size() - start));
}

}  // namespace

std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& data) {
  // A stored block holds at most 65535 bytes; an empty input still needs one (final) block.
  constexpr size_t kBlock = 65535;
  std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32K window, no dictionary; 0x7801 % 31 == 0
  size_t at = 0;
  do {
    size_t n = std::min(kBlock, data.size() - at);
    bool last = at + n == data.size();
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00; the rest of the byte pads to a boundary
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
    out.push_back(static_cast<uint8_t>(~n));
    out.push_back(static_cast<uint8_t>(~n >> 8));
    out.insert(out.end(), data.begin() + at, data.begin() + at + n);
    at += n;
  } while (at < data.size());
  PutBe32(out, Adler32(data.data(), data.size()));
  return out;
}

std::vector<uint8_t> EncodePng(const RgbaBitmap& bitmap) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBe32(header, static_cast<uint32_t>(bitmap.width));
  PutBe32(header, static_cast<uint32_t>(bitmap.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive, no interlace
  PutChunk(out, "IHDR", header);
  // Every row starts with its filter type; 0 leaves the bytes as they are.
  size_t rowBytes = static_cast<size_t>(bitmap.width) * 4;
  std::vector<uint8_t> raw;
  raw.reserve((rowBytes + 1) * bitmap.height);
  for (int y = 0; y < bitmap.height; ++y) {
    raw.push_back(0);
    auto row = bitmap.rgba.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  PutChunk(out, "IDAT", ZlibStored(raw));
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePng(const std::string& path, const RgbaBitmap& bitmap) {
  std::vector<uint8_t> bytes = EncodePng(bitmap);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace art
