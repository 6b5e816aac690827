#include "platform/surface.h"

namespace platform {

Surface* CreateSurface(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  Surface* surface = new Surface;
  surface->width = width;
  surface->height = height;
  surface->pixels = new uint16_t[static_cast<size_t>(width) * height]();
  return surface;
}

void FreeSurface(Surface* surface) {
  if (surface == nullptr) return;
  delete[] surface->pixels;
  delete surface;
}

}  // namespace platform
