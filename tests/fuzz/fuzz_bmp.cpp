// Feeds arbitrary files to the picture loader: whatever a .bmp file claims (sizes, offsets, bit
// depths, compression, palettes), loading must neither read nor write out of bounds nor allocate
// without limit, and must end with a surface of the size asked for or with a reason.
//
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON \
//         -DCORVANE_BENCH=OFF && ninja -C build-fuzz fuzz_bmp
//   cp -r tests/fuzz/corpus_bmp /tmp/bmp-corpus   # the fuzzer adds its finds to the first dir
//   build-fuzz/fuzz_bmp -max_total_time=60 -rss_limit_mb=2048 /tmp/bmp-corpus
//
// The seeds in corpus_bmp/ are small pictures named for what they hold: good_* must load, the rest
// are broken in the way their names say. The unit tests run every one of them once.
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/bitmap.h"
#include "platform/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/corvane-fuzz-" + std::to_string(getpid()) + ".bmp";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  // A sprite cell, an odd shrink and an enlargement: the picture's own size rarely matches.
  static const int32_t kSizes[][2] = {{32, 32}, {7, 3}, {96, 64}};
  for (const auto& [width, height] : kSizes) {
    char why[256] = "";
    platform::Surface* picture =
        platform::LoadBitmapFile(path.c_str(), width, height, why, sizeof why);
    // A refusal always says why; a picture always has the size asked for.
    const bool sized = picture != nullptr && picture->width == width && picture->height == height;
    if (picture == nullptr ? why[0] == '\0' : !sized) __builtin_trap();
    platform::FreeSurface(picture);
  }
  unlink(path.c_str());
  return 0;
}
