// The sound effects: the WAV loader (and the RIFF reader under it) on every seed file of the WAV
// fuzzer, the mixer run directly with SDL's own audio thread held off, and no sound device.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "game/state.h"
#include "platform/audio.h"
#include "platform/system.h"
#include "sound/effects.h"

namespace {

using namespace platform;
using Samples = std::vector<int16_t>;

std::string shown;  // the error boxes' texts, one a line

class Sound : public testing::Test {
 protected:
  void SetUp() override {
    backend.messageBox = [](Window*, const char*, const char* text) {
      shown = shown + text + "\n";
      return true;
    };
    shown.clear();
    InitDirectSound();
    ASSERT_NE(directSound, nullptr);
    // Only the tests mix: SDL's thread, paused, writes silence of its own.
    for (SDL_AudioDeviceID id = 1; id < 16; ++id) SDL_PauseAudioDevice(id, 1);
  }
  void TearDown() override {
    ReleaseDirectSound();
    EXPECT_TRUE(fireSound == nullptr && boomSound == nullptr);
    backend = sdlBackend;
  }
};

// A buffer of sound at 44100 Hz filled with `bytes` of `data`.
SoundBuffer* Buffer(int32_t channels, int32_t bits, const void* data, uint32_t bytes) {
  SoundBuffer* buffer = CreateSoundBuffer(directSound, {channels, 44100, bits}, bytes);
  std::memcpy(LockSoundBuffer(buffer, &bytes), data, bytes);
  EXPECT_TRUE(UnlockSoundBuffer(buffer));
  return buffer;
}
SoundBuffer* Buffer(const Samples& stereo) {
  return Buffer(2, 16, stereo.data(), 2 * stereo.size());
}

// Interleaved left and right: a ramp, and its complement on the right.
Samples Ramps(int32_t frames, int32_t first, int32_t step) {
  Samples samples;
  for (int32_t v = first; samples.size() < 2u * frames; v += step) {
    samples.insert(samples.end(), {static_cast<int16_t>(v), static_cast<int16_t>(~v)});
  }
  return samples;
}

// The next `frames` frames of output; the mixer works in blocks of 512.
Samples Mix(int32_t frames) {
  Samples out(2 * frames, 7);
  MixVoices(directSound, reinterpret_cast<uint8_t*>(out.data()), 4 * frames);
  return out;
}

const std::pair<const char*, std::vector<std::string>> kOutcomes[] = {
    {"",
     {"pcm8_mono", "pcm16_stereo", "fmt17_odd", "fmt18", "fmt22_extra", "odd_chunks",
      "riff_size_unset", "many_tiny_chunks", "rate_100", "rate_200000"}},
    {"mmioOpen", {".", "missing"}},
    {"mmioDescend",
     {"empty", "header_only", "wrong_form", "data_first", "data_after_form", "fmt_claims_huge",
      "list_claims_huge"}},
    {"mmioRead",
     {"truncated_fmt", "truncated_data", "data_claims_huge", "fmt14", "float_tag3", "mp3_tag55",
      "zero_channels", "zero_rate", "bits24", "half_frame"}},
    {"CreateSoundBuffer", {"three_channels", "rate_huge", "empty_data"}},
};

TEST_F(Sound, SeedFilesLoadOrAreRefusedAtTheirStepAndAreClosed) {
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const auto filesBefore = openFiles();
  for (const auto& [step, names] : kOutcomes) {
    for (const std::string& name : names) {
      shown.clear();
      SoundBuffer* buffer = nullptr;
      LoadDirectSound(&buffer, (CORVANE_SOURCE_DIR "/tests/fuzz/corpus_wav/" + name +
                                (name == "." ? "" : ".wav"))
                                   .c_str());
      EXPECT_EQ(shown, *step ? "LoadDirectSound " + std::string(step) + "\n" : "") << name;
      EXPECT_EQ(SoundBufferFrames(buffer) > 0, !*step) << name;
      ReleaseSoundBuffer(buffer);
    }
  }
  EXPECT_EQ(openFiles(), filesBefore);
}

TEST_F(Sound, EightBitIsUnsignedAndMonoPlaysOnBothSides) {
  const int16_t* s = SoundBufferSamples(Buffer(1, 8, "\x80\xC0\x40", 3));
  const int16_t want[] = {0, 0, 16384, 16384, -16384, -16384};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(s[i], want[i], 1) << i;
}

TEST_F(Sound, EffectsRestartAddUpAndClipAndOtherNumbersPlayNothing) {
  Samples sum = Ramps(1300, 100, 3);
  const Samples boom = Ramps(700, 2000, 1);
  fireSound = Buffer(sum);
  boomSound = Buffer(boom);
  for (int32_t number : {2, 4, 13}) PlaySoundEffect(number);
  EXPECT_EQ(Mix(600), Samples(1200, 0));
  PlaySoundEffect(1);
  EXPECT_EQ(Mix(512), Samples(sum.begin(), sum.begin() + 1024));
  // The shot again, now with the explosion: it starts over, and the two add up.
  PlaySoundEffect(1);
  PlaySoundEffect(3);
  for (size_t i = 0; i < boom.size(); ++i) sum[i] = static_cast<int16_t>(sum[i] + boom[i]);
  sum.resize(2 * 1600);  // then silence
  EXPECT_EQ(Mix(1600), sum);
  // A loud shot in place of the first: each side clipped at its own limit, not wrapped.
  ReleaseSoundBuffer(fireSound);
  fireSound = Buffer(Ramps(700, 31000, 0));
  PlaySoundEffect(1);
  PlaySoundEffect(3);
  EXPECT_EQ(Mix(700), Ramps(700, 32767, 0));
}

TEST_F(Sound, NoDeviceIsReportedAndTheEffectsAreSilent) {
  ReleaseDirectSound();
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  InitDirectSound();
  LoadDirectSound(&fireSound, CORVANE_DATA_DIR "/sounds/fire.wav");
  EXPECT_EQ(shown, "InitDirectSound DirectSoundCreate\nLoadDirectSound CreateSoundBuffer\n");
  PlaySoundEffect(1);
  EXPECT_EQ(fireSound, nullptr);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
