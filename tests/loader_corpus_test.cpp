// The fuzzers' seed files through the real loaders: every picture and every sound file either
// loads or is refused with a reason, and the good pictures show what they hold. Broken headers are
// refused by the picture loader itself before SDL's reader could allocate for them.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "game/state.h"
#include "platform/audio.h"
#include "platform/bitmap.h"
#include "platform/surface.h"
#include "sound/effects.h"
#include "tests/sound_files.h"

namespace {

using soundtest::Bytes;
using soundtest::ErrorBoxes;
using soundtest::PutU16;
using soundtest::PutU32;
using soundtest::ScopedEnv;
using soundtest::TempDir;

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

const std::string kBmpCorpus = std::string(CORVANE_SOURCE_DIR) + "/tests/fuzz/corpus_bmp";
const std::string kWavCorpus = std::string(CORVANE_SOURCE_DIR) + "/tests/fuzz/corpus_wav";

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// ---- Pictures ----

TEST(PictureCorpus, EveryFileLoadsAtTheAskedSizeOrIsRefusedWithAReason) {
  const std::vector<std::string> names = FilesIn(kBmpCorpus);
  ASSERT_GE(names.size(), 60u) << "the seed files are missing from " << kBmpCorpus;
  int32_t refused = 0;
  for (const std::string& name : names) {
    const std::string path = kBmpCorpus + "/" + name;
    const int32_t sizes[][2] = {{32, 32}, {7, 3}, {96, 64}};
    for (const auto& size : sizes) {
      char why[256] = "";
      platform::Surface* s =
          platform::LoadBitmapFile(path.c_str(), size[0], size[1], why, sizeof why);
      if (s == nullptr) {
        EXPECT_STRNE(why, "") << name;
        EXPECT_FALSE(StartsWith(name, "good_")) << name << " was refused: " << why;
        ++refused;
        continue;
      }
      EXPECT_EQ(s->width, size[0]) << name;
      EXPECT_EQ(s->height, size[1]) << name;
      platform::FreeSurface(s);
    }
  }
  EXPECT_GT(refused, 0);
}

// The picture's own size, from its headers.
bool HeaderSize(const std::string& path, int32_t* w, int32_t* h) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  uint8_t b[26] = {};
  const size_t got = std::fread(b, 1, sizeof b, f);
  std::fclose(f);
  if (got < sizeof b) return false;
  const uint32_t info = b[14] | b[15] << 8;
  if (info == 12) {
    *w = b[18] | b[19] << 8;
    *h = b[20] | b[21] << 8;
  } else {
    *w =
        static_cast<int32_t>(b[18] | b[19] << 8 | b[20] << 16 | static_cast<uint32_t>(b[21]) << 24);
    *h =
        static_cast<int32_t>(b[22] | b[23] << 8 | b[24] << 16 | static_cast<uint32_t>(b[25]) << 24);
  }
  if (*h < 0) *h = -*h;
  return true;
}

TEST(PictureCorpus, GoodFilesOfEveryLayoutShowTheirFourQuadrants) {
  const uint16_t kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F, kWhite = 0xFFFF;
  int32_t checked = 0;
  for (const std::string& name : FilesIn(kBmpCorpus)) {
    if (!StartsWith(name, "good_")) continue;
    const std::string path = kBmpCorpus + "/" + name;
    int32_t w = 0;
    int32_t h = 0;
    ASSERT_TRUE(HeaderSize(path, &w, &h)) << name;
    char why[256] = "";
    platform::Surface* s = platform::LoadBitmapFile(path.c_str(), w, h, why, sizeof why);
    ASSERT_NE(s, nullptr) << name << ": " << why;
    const bool twoColours = name.find("1bit") != std::string::npos;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        const int32_t quadrant = (2 * x >= w ? 1 : 0) + (2 * y >= h ? 2 : 0);
        const uint16_t four[] = {kRed, kGreen, kBlue, kWhite};
        const uint16_t want =
            twoColours ? (quadrant == 0 || quadrant == 3 ? kRed : kWhite) : four[quadrant];
        ASSERT_EQ(s->pixels[y * w + x], want) << name << " at (" << x << ", " << y << ")";
      }
    }
    platform::FreeSurface(s);
    ++checked;
  }
  EXPECT_GE(checked, 16);
}

// A 24-bit picture header claiming width x height, with `data` bytes of pixels after it.
Bytes Header24(int32_t width, int32_t height, uint32_t dataBytes, uint32_t offset = 54,
               uint32_t compression = 0, uint32_t bits = 24) {
  Bytes b = {'B', 'M'};
  PutU32(&b, 54 + dataBytes);
  PutU32(&b, 0);
  PutU32(&b, offset);
  PutU32(&b, 40);
  PutU32(&b, static_cast<uint32_t>(width));
  PutU32(&b, static_cast<uint32_t>(height));
  PutU16(&b, 1);
  PutU16(&b, bits);
  PutU32(&b, compression);
  for (int i = 0; i < 5; ++i) PutU32(&b, 0);
  b.resize(b.size() + dataBytes, 0x40);
  return b;
}

class PictureRefusalTest : public ::testing::Test {
 protected:
  std::string Refusal(const Bytes& bytes) {
    const std::string path = dir_.Write("picture.bmp", bytes);
    char why[256] = "";
    platform::Surface* s = platform::LoadBitmapFile(path.c_str(), 16, 16, why, sizeof why);
    if (s != nullptr) {
      platform::FreeSurface(s);
      return "loaded";
    }
    return why;
  }
  TempDir dir_;
};

TEST_F(PictureRefusalTest, SizesBeyondAnyScreenAreRefusedBeforeReading) {
  EXPECT_EQ(Refusal(Header24(0x7FFFFFFF, 1, 64)), "unusable picture size 2147483647 x 1");
  EXPECT_EQ(Refusal(Header24(1, INT32_MIN, 64)), "unusable picture size 1 x -2147483648");
  EXPECT_EQ(Refusal(Header24(-4, 4, 64)), "unusable picture size -4 x 4");
  EXPECT_EQ(Refusal(Header24(4, 0, 64)), "unusable picture size 4 x 0");
  // A file that ends inside its headers: SDL's reader reads the missing fields as zeros and would
  // still go by the sizes it found.
  Bytes cut = Header24(1, 0x7FFF6700, 0);
  cut.resize(53);
  EXPECT_EQ(Refusal(cut), "unusable picture size 1 x 2147444480");
  cut.resize(24);  // the height's upper half cut off
  EXPECT_EQ(Refusal(cut), "unusable picture size 1 x 26368");
  // The limits: 8192 on a side and 4096 x 4096 in all. An RLE picture of one row that ends at
  // once is all black, however wide.
  const Bytes endOfPicture = {0, 1};
  Bytes wide = Header24(8192, 1, 0, 54, 1, 8);
  wide.insert(wide.end(), endOfPicture.begin(), endOfPicture.end());
  EXPECT_NE(Refusal(wide), "unusable picture size 8192 x 1");
  Bytes wider = Header24(8193, 1, 0, 54, 1, 8);
  wider.insert(wider.end(), endOfPicture.begin(), endOfPicture.end());
  EXPECT_EQ(Refusal(wider), "unusable picture size 8193 x 1");
  EXPECT_EQ(Refusal(Header24(4097, -4096, 64, 54, 1, 8)), "unusable picture size 4097 x -4096");
  EXPECT_EQ(Refusal(Header24(4096, 4097, 64, 54, 1, 8)), "unusable picture size 4096 x 4097");
}

TEST_F(PictureRefusalTest, PixelsThatCannotBeInTheFileAreRefused) {
  // 3 x 2 at 24 bits: two rows of 9 bytes padded to 12.
  EXPECT_EQ(Refusal(Header24(3, 2, 24)), "loaded");
  EXPECT_EQ(Refusal(Header24(3, 2, 23)), "the file ends inside the picture data");
  // At 4 bits a row of 3 pixels takes 2 bytes padded to 4, and the last row needs no padding.
  EXPECT_EQ(Refusal(Header24(3, 2, 6, 54, 0, 4)), "loaded");
  EXPECT_EQ(Refusal(Header24(3, 2, 5, 54, 0, 4)), "the file ends inside the picture data");
  EXPECT_EQ(Refusal(Header24(3, 2, 24, 54 + 24)),
            "the picture data would start past the end of the file");
  EXPECT_EQ(Refusal(Header24(3, 2, 24, 0xFFFFFFF0u)),
            "the picture data would start past the end of the file");
  // Compressed pixels cannot be measured beforehand; SDL's reader finds the end of the file.
  const std::string rle = Refusal(Header24(3, 2, 2, 54, 1, 8));
  EXPECT_NE(rle, "loaded");
  EXPECT_NE(rle, "the file ends inside the picture data");
}

TEST_F(PictureRefusalTest, ADirectoryOrADeviceIsNotAPicture) {
  const std::string sub = dir_.Path("gfx.bmp");
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  char why[256] = "";
  EXPECT_EQ(platform::LoadBitmapFile(sub.c_str(), 8, 8, why, sizeof why), nullptr);
  EXPECT_STREQ(why, "a directory, not a picture file");
  EXPECT_EQ(platform::LoadBitmapFile("/dev/null", 8, 8, why, sizeof why), nullptr);
  EXPECT_STREQ(why, "not a regular file");
  EXPECT_EQ(platform::LoadBitmapFile(dir_.Path("none.bmp").c_str(), 8, 8, why, sizeof why),
            nullptr);
  EXPECT_STREQ(why, "not found");
}

// ---- Sounds ----

TEST(SoundCorpus, EveryFileLoadsOrIsRefusedWithOneMessage) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  ResetGameState();
  ErrorBoxes boxes;
  InitDirectSound();
  ASSERT_NE(directSound, nullptr);
  const std::vector<std::string> names = FilesIn(kWavCorpus);
  ASSERT_GE(names.size(), 20u) << "the seed files are missing from " << kWavCorpus;
  const std::vector<std::string> mustLoad = {
      "pcm8_mono.wav",  "pcm16_stereo.wav", "fmt18.wav",       "fmt22_extra.wav",
      "odd_chunks.wav", "rate_100.wav",     "rate_200000.wav", "many_tiny_chunks.wav"};
  int32_t loaded = 0;
  for (const std::string& name : names) {
    boxes.Clear();
    platform::SoundBuffer* buffer = nullptr;
    LoadDirectSound(&buffer, (kWavCorpus + "/" + name).c_str());
    if (buffer != nullptr) {
      EXPECT_GT(platform::SoundBufferFrames(buffer), 0u) << name;
      EXPECT_TRUE(ErrorBoxes::texts().empty()) << name;
      platform::PlaySoundBuffer(buffer);
      platform::ReleaseSoundBuffer(buffer);
      ++loaded;
      continue;
    }
    EXPECT_EQ(std::count(mustLoad.begin(), mustLoad.end(), name), 0) << name << " was refused";
    ASSERT_EQ(ErrorBoxes::texts().size(), 1u) << name;
    EXPECT_TRUE(StartsWith(ErrorBoxes::texts()[0], "LoadDirectSound ")) << name;
  }
  EXPECT_GE(loaded, static_cast<int32_t>(mustLoad.size()));
  ReleaseDirectSound();
}

}  // namespace
