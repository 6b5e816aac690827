// Feeds arbitrary files to the picture loader: whatever a .bmp file claims (sizes, offsets, bit
// depths, compression, palettes), loading must neither read nor write out of bounds nor allocate
// without limit, and must end with a surface of the size asked for or with a reason.
//
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON \
//         -DCORVANE_BENCH=OFF && ninja -C build-fuzz fuzz_bmp
//   cp -r tests/fuzz/corpus_bmp /tmp/bmp-corpus   # the fuzzer adds its finds to the first dir
//   build-fuzz/fuzz_bmp -max_total_time=60 -rss_limit_mb=2048 /tmp/bmp-corpus
//
// The seeds in corpus_bmp/ come from make_corpus_bmp.py.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/bitmap.h"
#include "platform/surface.h"

namespace {

std::string bmpPath;

void RemoveBmp() { unlink(bmpPath.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  bmpPath = std::string(dir) + "/corvane-fuzz-" + std::to_string(getpid()) + ".bmp";
  std::atexit(RemoveBmp);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(bmpPath.c_str(), "wb");
  if (file == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);

  // A sprite cell, an odd shrink and an enlargement: the picture's own size rarely matches.
  static const int32_t kSizes[][2] = {{32, 32}, {7, 3}, {96, 64}};
  for (const auto& size : kSizes) {
    char why[256] = "";
    platform::Surface* surface =
        platform::LoadBitmapFile(bmpPath.c_str(), size[0], size[1], why, sizeof why);
    if (surface == nullptr) {
      // A refusal always says why.
      if (why[0] == '\0') __builtin_trap();
      continue;
    }
    if (surface->width != size[0] || surface->height != size[1] || surface->pixels == nullptr)
      __builtin_trap();
    volatile uint32_t sum = 0;
    for (int32_t i = 0; i < surface->width * surface->height; ++i) sum = sum + surface->pixels[i];
    platform::FreeSurface(surface);
  }
  return 0;
}
