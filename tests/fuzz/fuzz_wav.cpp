// Feeds arbitrary files to the WAV loader: whatever a file claims, loading must neither read nor
// write out of bounds, nor allocate without limit, and must end with or without a buffer.
//
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON \
//         -DCORVANE_BENCH=OFF && ninja -C build-fuzz fuzz_wav
//   cp -r tests/fuzz/corpus_wav /tmp/wav-corpus   # the fuzzer adds its finds to the first dir
//   build-fuzz/fuzz_wav -max_total_time=60 -rss_limit_mb=2048 /tmp/wav-corpus
//
// The seeds in corpus_wav/ come from make_corpus_wav.py.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/state.h"
#include "platform/audio.h"
#include "platform/system.h"
#include "sound/effects.h"

namespace {

std::string wavPath;

bool SwallowMessage(platform::Window*, const char*, const char*) { return true; }

void RemoveWav() { unlink(wavPath.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A real device with a mixer thread, so that conversion and buffer creation are exercised too.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  platform::backend.messageBox = SwallowMessage;
  InitDirectSound();
  if (directSound == nullptr) {
    std::fprintf(stderr, "fuzz_wav: no audio device\n");
    std::abort();
  }
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  wavPath = std::string(dir) + "/corvane-fuzz-" + std::to_string(getpid()) + ".wav";
  std::atexit(RemoveWav);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(wavPath.c_str(), "wb");
  if (file == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);

  platform::SoundBuffer* buffer = nullptr;
  LoadDirectSound(&buffer, wavPath.c_str());
  if (buffer != nullptr) {
    // Whatever loaded must be a whole number of device frames and playable.
    const platform::AudioFormat device = platform::GetAudioDeviceFormat(directSound);
    const uint32_t frames = platform::SoundBufferFrames(buffer);
    const int16_t* samples = platform::SoundBufferSamples(buffer);
    volatile int64_t sum = 0;
    for (uint32_t i = 0; i < frames * static_cast<uint32_t>(device.channels); ++i) {
      sum = sum + samples[i];
    }
    platform::PlaySoundBuffer(buffer);
    platform::ReleaseSoundBuffer(buffer);
  }
  return 0;
}
