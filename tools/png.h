// PNG output for the desktop icons. The zlib stream holds stored (uncompressed) deflate blocks,
// so no compression library is needed; an icon is only a few kilobytes either way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/raster.h"

namespace art {

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320, reflected, inverted in and out).
uint32_t Crc32(const uint8_t* data, size_t size);
// Adler-32, the zlib stream's checksum of the uncompressed bytes.
uint32_t Adler32(const uint8_t* data, size_t size);
// A zlib stream (RFC 1950) of stored deflate blocks (RFC 1951) holding `data` unchanged.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& data);
// A complete PNG file: IHDR (8-bit RGBA, not interlaced), one IDAT, IEND.
std::vector<uint8_t> EncodePng(const RgbaBitmap& bitmap);
bool WritePng(const std::string& path, const RgbaBitmap& bitmap);

}  // namespace art
