// Reading .bmp picture files into surfaces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/surface.h"

namespace platform {

// A new width x height surface holding the picture of the .bmp file at path, converted to
// RGB565 and scaled nearest-neighbour to that size, whatever the file's own size. Null when it
// cannot be read, with the reason in why: "not found" when there is no such file.
Surface* LoadBitmapFile(const char* path, int32_t width, int32_t height, char* why, size_t whyLen);

}  // namespace platform
