// Playing the effects, heard through SDL's disk audio driver: it writes the mixed output, raw, in
// real time, to a file that is read back once the device is closed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

#include "game/state.h"
#include "platform/audio.h"
#include "sound/effects.h"
#include "tests/sound_files.h"

namespace {

using namespace soundtest;

using Frame = std::pair<int32_t, int32_t>;
using Pattern = std::function<Frame(uint32_t)>;

constexpr uint32_t kFireFrames = 8820;  // 200 ms at 44100 Hz
constexpr uint32_t kBoomFrames = 6615;  // 150 ms
// The output may lag what has been mixed by the driver's write buffer and a block or two.
constexpr uint32_t kLagFrames = 3072;

// Recognisable shapes: a rising ramp for the shot, a saw for the explosion.
Frame Shot(uint32_t i) { return {1000 + static_cast<int32_t>(i), -1000 - static_cast<int32_t>(i)}; }
Frame Boom(uint32_t i) {
  return {-500 - static_cast<int32_t>(i % 700), 300 + static_cast<int32_t>(i % 900)};
}

Bytes StereoWav(uint32_t frames, const Pattern& pattern) {
  std::vector<int16_t> samples;
  for (uint32_t i = 0; i < frames; ++i) {
    samples.push_back(static_cast<int16_t>(pattern(i).first));
    samples.push_back(static_cast<int16_t>(pattern(i).second));
  }
  return Wav(2, 44100, 16, Samples16(samples));
}

class SoundPlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    InitDirectSound();
    ASSERT_NE(directSound, nullptr);
    const platform::AudioFormat device = platform::GetAudioDeviceFormat(directSound);
    ASSERT_EQ(device.channels, 2);
    ASSERT_EQ(device.samplesPerSecond, 44100);
  }
  void TearDown() override { ReleaseDirectSound(); }

  void LoadEffects(const Pattern& fire, const Pattern& boom) {
    LoadDirectSound(&fireSound, dir_.Write("fire.wav", StereoWav(kFireFrames, fire)).c_str());
    LoadDirectSound(&boomSound, dir_.Write("boom.wav", StereoWav(kBoomFrames, boom)).c_str());
    ASSERT_NE(fireSound, nullptr);
    ASSERT_NE(boomSound, nullptr);
  }

  uint64_t OutputFrames() const {
    std::error_code error;
    const uintmax_t bytes = std::filesystem::file_size(output_, error);
    return error ? 0 : bytes / 4;
  }

  // Waits (at most two seconds) until the driver has written `frames` more frames.
  void WaitForMore(uint64_t frames) {
    const uint64_t target = OutputFrames() + frames;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (OutputFrames() < target && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GE(OutputFrames(), target) << "the disk driver stalled";
  }

  // Closes the device and returns everything it played.
  std::vector<Frame> Heard() {
    ReleaseDirectSound();
    std::ifstream in(output_, std::ios::binary);
    std::vector<Frame> frames;
    int16_t lr[2];
    while (in.read(reinterpret_cast<char*>(lr), sizeof lr)) frames.emplace_back(lr[0], lr[1]);
    return frames;
  }

  TempDir dir_;
  std::string output_ = dir_.Path("out.raw");
  ScopedEnv driver_{"SDL_AUDIODRIVER", "disk"};
  ScopedEnv file_{"SDL_DISKAUDIOFILE", output_};
  ErrorBoxes boxes_;
};

size_t FirstSound(const std::vector<Frame>& heard) {
  for (size_t i = 0; i < heard.size(); ++i) {
    if (heard[i] != Frame{0, 0}) return i;
  }
  return heard.size();
}

// The first frame from `from` on that differs from `expected` (silence once it is over).
size_t FirstMismatch(const std::vector<Frame>& heard, size_t from,
                     const std::function<Frame(size_t)>& expected) {
  for (size_t i = from; i < heard.size(); ++i) {
    if (heard[i] != expected(i)) return i;
  }
  return heard.size();
}

Frame Played(const Pattern& pattern, uint32_t length, size_t start, size_t i) {
  if (i < start || i - start >= length) return {0, 0};
  return pattern(static_cast<uint32_t>(i - start));
}

TEST_F(SoundPlaybackTest, TheShotPlaysOnceFromItsBeginning) {
  LoadEffects(Shot, Boom);
  PlaySoundEffect(1);
  WaitForMore(kFireFrames + kLagFrames);
  const std::vector<Frame> heard = Heard();
  const size_t start = FirstSound(heard);
  ASSERT_LT(start + kFireFrames, heard.size());
  EXPECT_EQ(heard[start], Shot(0));
  EXPECT_EQ(
      FirstMismatch(heard, start, [&](size_t i) { return Played(Shot, kFireFrames, start, i); }),
      heard.size());
}

TEST_F(SoundPlaybackTest, ASecondShotCutsTheFirstAndStartsOver) {
  LoadEffects(Shot, Boom);
  PlaySoundEffect(1);
  WaitForMore(kLagFrames);
  PlaySoundEffect(1);
  WaitForMore(kFireFrames + kLagFrames);
  const std::vector<Frame> heard = Heard();
  const size_t first = FirstSound(heard);
  const size_t second =
      FirstMismatch(heard, first, [&](size_t i) { return Played(Shot, kFireFrames, first, i); });
  ASSERT_GT(second, first);
  ASSERT_LT(second, first + kFireFrames) << "the first shot was not cut";
  EXPECT_EQ(heard[second], Shot(0));
  EXPECT_EQ(
      FirstMismatch(heard, second, [&](size_t i) { return Played(Shot, kFireFrames, second, i); }),
      heard.size());
  EXPECT_GE(heard.size(), second + kFireFrames);
}

TEST_F(SoundPlaybackTest, ShotAndExplosionSoundTogetherAsTheirSum) {
  LoadEffects(Shot, Boom);
  PlaySoundEffect(1);
  PlaySoundEffect(3);
  WaitForMore(kFireFrames + kLagFrames);
  const std::vector<Frame> heard = Heard();
  const size_t shot = FirstSound(heard);
  const size_t boom =
      FirstMismatch(heard, shot, [&](size_t i) { return Played(Shot, kFireFrames, shot, i); });
  // Asked for in the same frame, they start in the same block or the next.
  ASSERT_LE(boom, shot + 512);
  EXPECT_EQ(FirstMismatch(heard, shot,
                          [&](size_t i) {
                            const Frame a = Played(Shot, kFireFrames, shot, i);
                            const Frame b = Played(Boom, kBoomFrames, boom, i);
                            return Frame{a.first + b.first, a.second + b.second};
                          }),
            heard.size());
  EXPECT_GE(heard.size(), shot + kFireFrames);
}

TEST_F(SoundPlaybackTest, LoudSoundsTogetherAreClippedNotWrapped) {
  LoadEffects(
      [](uint32_t) {
        return Frame{30000, -30000};
      },
      [](uint32_t) {
        return Frame{10000, -10000};
      });
  PlaySoundEffect(3);
  PlaySoundEffect(1);
  WaitForMore(kFireFrames + kLagFrames);
  size_t clipped = 0;
  for (const Frame& f : Heard()) {
    if (f == Frame{32767, -32768}) {
      ++clipped;
    } else {
      ASSERT_TRUE(f == Frame(0, 0) || f == Frame(30000, -30000) || f == Frame(10000, -10000))
          << f.first << " " << f.second;
    }
  }
  EXPECT_GE(clipped, kBoomFrames - 512);
}

TEST_F(SoundPlaybackTest, NumbersWithoutAnEffectPlayNothing) {
  LoadEffects(Shot, Boom);
  for (int32_t number : {0, 2, 4, -1, 13}) PlaySoundEffect(number);
  WaitForMore(kLagFrames + 1024);
  const std::vector<Frame> heard = Heard();
  EXPECT_GT(heard.size(), 0u);
  EXPECT_EQ(FirstSound(heard), heard.size());
  EXPECT_TRUE(ErrorBoxes::texts().empty());
}

}  // namespace
