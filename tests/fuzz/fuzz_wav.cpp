// Feeds arbitrary files to the WAV loader: whatever a file claims, loading must neither read nor
// write out of bounds, nor allocate without limit, and must end with or without a buffer.
//
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON \
//         -DCORVANE_BENCH=OFF && ninja -C build-fuzz fuzz_wav
//   cp -r tests/fuzz/corpus_wav /tmp/wav-corpus   # the fuzzer adds its finds to the first dir
//   build-fuzz/fuzz_wav -max_total_time=60 -rss_limit_mb=2048 /tmp/wav-corpus
//
// The seeds in corpus_wav/ are small WAV files named for what they hold; the unit tests run every
// one of them once.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "game/state.h"
#include "platform/audio.h"
#include "platform/system.h"
#include "sound/effects.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A real device with a mixer thread, so that conversion and buffer creation are exercised too.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  platform::backend.messageBox = [](platform::Window*, const char*, const char*) { return true; };
  InitDirectSound();
  if (directSound == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/corvane-fuzz-" + std::to_string(getpid()) + ".wav";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  platform::SoundBuffer* buffer = nullptr;
  LoadDirectSound(&buffer, path.c_str());
  // Whatever loaded is a whole number of device frames, every sample of them there to read.
  const uint32_t samples = 2 * platform::SoundBufferFrames(buffer);
  volatile int64_t sum = 0;
  for (uint32_t i = 0; i < samples; ++i) sum = sum + platform::SoundBufferSamples(buffer)[i];
  platform::PlaySoundBuffer(buffer);
  platform::ReleaseSoundBuffer(buffer);
  unlink(path.c_str());
  return 0;
}
