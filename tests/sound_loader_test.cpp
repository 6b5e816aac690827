// Loading the WAV effects: every plain PCM layout converts to the device's format, and every
// broken file is refused with the step that failed, leaving no buffer and no open file.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "game/state.h"
#include "platform/audio.h"
#include "sound/effects.h"
#include "tests/sound_files.h"

namespace {

using namespace soundtest;

int OpenFileCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

class SoundLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    InitDirectSound();
    ASSERT_NE(directSound, nullptr);
    device_ = platform::GetAudioDeviceFormat(directSound);
    ASSERT_EQ(device_.channels, 2);
    EXPECT_TRUE(ErrorBoxes::texts().empty()) << "opening the device showed a message";
    boxes_.Clear();
  }
  void TearDown() override { ReleaseDirectSound(); }

  // Loads a file into fireSound and checks that the file was closed again.
  platform::SoundBuffer* Load(const Bytes& bytes) {
    const std::string path = dir_.Write("effect.wav", bytes);
    const int before = OpenFileCount();
    // The device holds only a few buffers; the previous file's is done with.
    platform::ReleaseSoundBuffer(fireSound);
    fireSound = nullptr;
    LoadDirectSound(&fireSound, path.c_str());
    EXPECT_EQ(OpenFileCount(), before) << "the file was left open";
    return fireSound;
  }

  // The one message a refused file must show, with no buffer left behind.
  void ExpectRefused(const Bytes& bytes, const std::string& message, const std::string& what) {
    boxes_.Clear();
    EXPECT_EQ(Load(bytes), nullptr) << what;
    ASSERT_EQ(ErrorBoxes::texts().size(), 1u) << what;
    EXPECT_EQ(ErrorBoxes::texts()[0], message) << what;
    EXPECT_EQ(ErrorBoxes::captions()[0], "Error") << what;
  }

  int16_t Sample(uint32_t frame, int channel) const {
    return platform::SoundBufferSamples(fireSound)[frame * device_.channels + channel];
  }

  ScopedEnv driver_{"SDL_AUDIODRIVER", "dummy"};
  ErrorBoxes boxes_;
  TempDir dir_;
  platform::AudioFormat device_;
};

// 100 ms of a steady level per channel, left and right different so a swap shows.
Bytes SteadyLevels(uint32_t channels, uint32_t rate, uint32_t bits) {
  Bytes data;
  for (uint32_t i = 0; i < rate / 10; ++i) {
    for (uint32_t c = 0; c < channels; ++c) {
      if (bits == 8) {
        data.push_back(c == 0 ? 0xC0 : 0x60);
      } else {
        PutU16(&data, static_cast<uint16_t>(c == 0 ? 12000 : -7000));
      }
    }
  }
  return data;
}

TEST_F(SoundLoaderTest, EveryPlainPcmLayoutLoadsAtItsOwnRate) {
  for (uint32_t bits : {8u, 16u}) {
    for (uint32_t channels : {1u, 2u}) {
      for (uint32_t rate : {11025u, 22050u, 44100u}) {
        const std::string what = std::to_string(bits) + " bits, " + std::to_string(channels) +
                                 " channels, " + std::to_string(rate) + " Hz";
        boxes_.Clear();
        ASSERT_NE(Load(Wav(channels, rate, bits, SteadyLevels(channels, rate, bits))), nullptr)
            << what;
        EXPECT_TRUE(ErrorBoxes::texts().empty()) << what;
        // The sound lasts as long at the device's rate as at its own.
        EXPECT_EQ(platform::SoundBufferFrames(fireSound),
                  rate / 10 * static_cast<uint32_t>(device_.samplesPerSecond) / rate)
            << what;
        const int32_t left = bits == 8 ? 16384 : 12000;
        const int32_t right = channels == 1 ? left : (bits == 8 ? -8192 : -7000);
        const uint32_t middle = platform::SoundBufferFrames(fireSound) / 2;
        EXPECT_NEAR(Sample(middle, 0), left, 200) << what;
        EXPECT_NEAR(Sample(middle, 1), right, 200) << what;
      }
    }
  }
}

TEST_F(SoundLoaderTest, SoundInTheDeviceFormatIsKeptSampleForSample) {
  ASSERT_EQ(device_.samplesPerSecond, 44100);
  std::vector<int16_t> ramp;
  for (int i = 0; i < 300; ++i) {
    ramp.push_back(static_cast<int16_t>(100 * i - 15000));
    ramp.push_back(static_cast<int16_t>(-7 * i));
  }
  ASSERT_NE(Load(Wav(2, 44100, 16, Samples16(ramp))), nullptr);
  ASSERT_EQ(platform::SoundBufferFrames(fireSound), 300u);
  for (uint32_t i = 0; i < 300; ++i) {
    ASSERT_EQ(Sample(i, 0), ramp[2 * i]) << i;
    ASSERT_EQ(Sample(i, 1), ramp[2 * i + 1]) << i;
  }
}

TEST_F(SoundLoaderTest, EightBitSamplesAreUnsignedAroundTheirMiddle) {
  ASSERT_EQ(device_.samplesPerSecond, 44100);
  const Bytes data = {0x80, 0x81, 0x7F, 0xC0, 0x40};
  ASSERT_NE(Load(Wav(1, 44100, 8, data)), nullptr);
  ASSERT_EQ(platform::SoundBufferFrames(fireSound), 5u);
  const int16_t expected[] = {0, 256, -256, 16384, -16384};
  for (uint32_t i = 0; i < 5; ++i) {
    // Within the rounding of SDL's conversion.
    EXPECT_NEAR(Sample(i, 0), expected[i], 1) << i;
    EXPECT_NEAR(Sample(i, 1), expected[i], 1) << i;  // mono plays on both sides
  }
}

TEST_F(SoundLoaderTest, OddSizedExtraChunksAreSkippedWithTheirPadByte) {
  Bytes data;
  for (int i = 0; i < 101; ++i) data.push_back(static_cast<uint8_t>(0x80 + i));
  const Bytes file = Riff(Cat({Chunk("LIST", {'I', 'N', 'F', 'O', 'x'}), Fmt(1, 1, 44100, 8),
                               Chunk("fact", {1, 2, 3}), Chunk("data", data)}));
  ASSERT_NE(Load(file), nullptr);
  EXPECT_TRUE(ErrorBoxes::texts().empty());
  ASSERT_EQ(platform::SoundBufferFrames(fireSound), 101u);
  EXPECT_EQ(Sample(0, 0), 0);
  EXPECT_NEAR(Sample(100, 0), 100 * 256, 1);
}

TEST_F(SoundLoaderTest, FormatChunksOfSixteenEighteenAndMoreBytesAllLoad) {
  const Bytes data = Samples16({1000, -1000, 2000, -2000});
  for (uint32_t size : {16u, 18u, 22u}) {
    boxes_.Clear();
    ASSERT_NE(Load(Riff(Cat({Fmt(1, 2, 44100, 16, size), Chunk("data", data)}))), nullptr) << size;
    EXPECT_TRUE(ErrorBoxes::texts().empty()) << size;
    ASSERT_EQ(platform::SoundBufferFrames(fireSound), 2u) << size;
    EXPECT_EQ(Sample(1, 0), 2000) << size;
  }
}

TEST_F(SoundLoaderTest, RiffSizeBeyondTheFileIsReadAsFarAsTheFileGoes) {
  // Recorders that stream to disk often leave the outer size unset.
  Bytes file = Wav(1, 44100, 16, Samples16({5, 6, 7}));
  file[4] = file[5] = file[6] = file[7] = 0xFF;
  ASSERT_NE(Load(file), nullptr);
  EXPECT_EQ(platform::SoundBufferFrames(fireSound), 3u);
}

TEST_F(SoundLoaderTest, FilesThatCannotBeOpenedAreReportedByTheOpenStep) {
  boxes_.Clear();
  LoadDirectSound(&fireSound, dir_.Path("missing.wav").c_str());
  LoadDirectSound(&boomSound, dir_.Path("").c_str());  // a directory
  EXPECT_EQ(fireSound, nullptr);
  EXPECT_EQ(boomSound, nullptr);
  EXPECT_EQ(ErrorBoxes::texts(),
            (std::vector<std::string>{"LoadDirectSound mmioOpen", "LoadDirectSound mmioOpen"}));
}

TEST_F(SoundLoaderTest, BrokenContainersAreRefusedAtTheChunkSearch) {
  const std::string descend = "LoadDirectSound mmioDescend";
  const Bytes fmt = Fmt(1, 1, 22050, 16);
  const Bytes data = Chunk("data", Samples16({1, 2, 3, 4}));
  const Bytes good = Riff(Cat({fmt, data}));

  std::mt19937 random(1234);
  Bytes noise(200);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
  Bytes rifx = good;
  rifx[3] = 'X';
  Bytes shortRiff = good;  // the RIFF chunk ends after "fmt ", leaving "data" outside it
  shortRiff[4] = static_cast<uint8_t>(4 + fmt.size());

  ExpectRefused({}, descend, "empty file");
  ExpectRefused(Bytes(good.begin(), good.begin() + 10), descend, "cut inside the RIFF header");
  ExpectRefused(noise, descend, "random bytes");
  ExpectRefused(rifx, descend, "RIFX instead of RIFF");
  ExpectRefused(Riff(Cat({fmt, data}), "AVI "), descend, "another RIFF form");
  ExpectRefused(Riff(data), descend, "no fmt chunk");
  ExpectRefused(Riff(Cat({fmt, Chunk("LIST", {'a', 'b'})})), descend, "no data chunk");
  ExpectRefused(Riff(Cat({data, fmt})), descend, "data before fmt");
  ExpectRefused(shortRiff, descend, "data outside the RIFF chunk");
  ExpectRefused(Riff(Cat({ChunkClaiming("LIST", 100000, {1, 2, 3, 4}), fmt, data})), descend,
                "a chunk claiming to run past the file hides the rest");
  Bytes longFmt = Cat({fmt, data});
  longFmt[4] = 0xE8;  // the format chunk claims 1000 bytes and so swallows "data"
  longFmt[5] = 0x03;
  ExpectRefused(Riff(longFmt), descend, "fmt chunk claiming to run past the file");
}

TEST_F(SoundLoaderTest, BadFormatContentIsRefusedAtTheRead) {
  const std::string read = "LoadDirectSound mmioRead";
  const Bytes data = Chunk("data", Samples16({1, 2, 3, 4}));
  const Bytes good = Riff(Cat({Fmt(1, 2, 22050, 16), data}));

  ExpectRefused(Bytes(good.begin(), good.begin() + 30), read, "file cut inside fmt");
  ExpectRefused(Bytes(good.begin(), good.end() - 3), read, "file cut inside data");
  ExpectRefused(Riff(Cat({Fmt(1, 2, 22050, 16), ChunkClaiming("data", 4000, {1, 2, 3, 4})})), read,
                "data chunk claiming to run past the file");
  Bytes fourteen = Fmt(1, 2, 22050, 16);
  fourteen.resize(8 + 14);
  fourteen[4] = 14;
  ExpectRefused(Riff(Cat({fourteen, data})), read, "fmt of 14 bytes");
  ExpectRefused(Riff(Cat({Fmt(1, 0, 22050, 16), data})), read, "zero channels");
  ExpectRefused(Riff(Cat({Fmt(1, 2, 0, 16), data})), read, "zero rate");
  for (uint32_t bits : {0u, 4u, 12u, 24u, 32u}) {
    ExpectRefused(Riff(Cat({Fmt(1, 1, 22050, bits), Chunk("data", Bytes(96))})), read,
                  std::to_string(bits) + " bits");
  }
  ExpectRefused(Riff(Cat({Fmt(1, 2, 22050, 16), Chunk("data", Bytes(6))})), read,
                "16-bit stereo data of 6 bytes");
  ExpectRefused(Riff(Cat({Fmt(1, 1, 22050, 16), Chunk("data", Bytes(3))})), read,
                "16-bit mono data of 3 bytes");
}

TEST_F(SoundLoaderTest, CompressedFormatsAreRefusedAtTheReadThoughItSucceeded) {
  const Bytes data = Chunk("data", Samples16({1, 2, 3, 4}));
  for (uint32_t tag : {3u, 0x55u, 2u, 0xFFFEu}) {
    ExpectRefused(Riff(Cat({Fmt(tag, 2, 44100, 16, 18), data})), "LoadDirectSound mmioRead",
                  "format tag " + std::to_string(tag));
  }
}

TEST_F(SoundLoaderTest, SoundsNoBufferCanHoldAreRefusedAtBufferCreation) {
  const std::string create = "LoadDirectSound CreateSoundBuffer";
  ExpectRefused(Wav(3, 22050, 16, Bytes(60)), create, "three channels");
  ExpectRefused(Wav(1, platform::kMinSoundRate - 1, 8, Bytes(10)), create, "rate below range");
  ExpectRefused(Wav(1, platform::kMaxSoundRate + 1, 8, Bytes(10)), create, "rate above range");
  ExpectRefused(Wav(1, 4000000000u, 8, Bytes(10)), create, "rate beyond 32-bit signed");
  ExpectRefused(Wav(1, 22050, 16, {}), create, "empty data chunk");
  // The edges of the range are still accepted.
  EXPECT_NE(Load(Wav(1, platform::kMinSoundRate, 8, Bytes(10, 0x90))), nullptr);
  EXPECT_NE(Load(Wav(1, platform::kMaxSoundRate, 8, Bytes(1000, 0x90))), nullptr);
}

TEST_F(SoundLoaderTest, ReleaseClosesTheDeviceAndForgetsBothEffects) {
  const Bytes wav = Wav(1, 22050, 16, Samples16({1, 2}));
  LoadDirectSound(&fireSound, dir_.Write("fire.wav", wav).c_str());
  LoadDirectSound(&boomSound, dir_.Write("boom.wav", wav).c_str());
  ASSERT_NE(fireSound, nullptr);
  ASSERT_NE(boomSound, nullptr);
  ReleaseDirectSound();
  EXPECT_EQ(directSound, nullptr);
  EXPECT_EQ(fireSound, nullptr);
  EXPECT_EQ(boomSound, nullptr);
  PlaySoundEffect(1);
  PlaySoundEffect(3);
  ReleaseDirectSound();
  EXPECT_TRUE(ErrorBoxes::texts().empty());
}

TEST(SoundWithoutDeviceTest, LaterCallsGoOnSilentlyAfterTheCreateMessage) {
  ResetGameState();
  ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  ErrorBoxes boxes;
  TempDir dir;
  InitDirectSound();
  EXPECT_EQ(directSound, nullptr);
  ASSERT_EQ(ErrorBoxes::texts(), std::vector<std::string>{"InitDirectSound DirectSoundCreate"});
  EXPECT_EQ(ErrorBoxes::captions()[0], "Error");

  boxes.Clear();
  const std::string path = dir.Write("fire.wav", Wav(1, 22050, 16, Samples16({1, 2})));
  LoadDirectSound(&fireSound, path.c_str());
  EXPECT_EQ(fireSound, nullptr);
  EXPECT_EQ(ErrorBoxes::texts(), std::vector<std::string>{"LoadDirectSound CreateSoundBuffer"});

  boxes.Clear();
  for (int32_t number : {1, 3, 0, 2}) PlaySoundEffect(number);
  ReleaseDirectSound();
  PlaySoundEffect(1);
  EXPECT_TRUE(ErrorBoxes::texts().empty());
}

}  // namespace
