// The generated art and sound: file formats, determinism, colour keys, and whether the
// pictures still read the way the game draws them (scaled fonts, turned planes).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "tests/support/bmp_file.h"
#include "tools/plane.h"

namespace {

namespace fs = std::filesystem;
using bmpfile::Image;
using bmpfile::ReadFile;
using bmpfile::Rgb;
using bmpfile::U16;
using bmpfile::U32;

const fs::path kData = CORVANE_DATA_DIR;

struct Sheet {
  const char* name;
  int w, h;
};
const Sheet kSheets[] = {
    {"bg.bmp", 640, 480},    {"blank.bmp", 32, 32},    {"camain.bmp", 640, 480},
    {"right.bmp", 80, 480},  {"buttons.bmp", 80, 64},  {"bullet.bmp", 4, 8},
    {"plane.bmp", 384, 224}, {"fire.bmp", 256, 32},    {"cloud.bmp", 64, 32},
    {"tower.bmp", 32, 64},   {"letters.bmp", 752, 80}, {"numbers.bmp", 40, 80}};

Image Gfx(const char* name) {
  for (const Sheet& s : kSheets)
    if (std::string(s.name) == name) return bmpfile::ReadBmp(kData / "gfx" / name, s.w, s.h);
  ADD_FAILURE() << name;
  return {};
}

// The display keeps 5/6/5 bits; these are the pixels the colour keys leave out.
bool IsBlackKey(Rgb c) { return (c.r >> 3) == 0 && (c.g >> 2) == 0 && (c.b >> 3) == 0; }
bool IsWhiteKey(Rgb c) { return (c.r >> 3) == 31 && (c.g >> 2) == 63 && (c.b >> 3) == 31; }

double Luminance(Rgb c) {
  auto lin = [](int v) {
    double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

using Mask = std::vector<bool>;

// The drawn pixels of a sheet cell scaled to w x h the way the game scales it (middle of each
// 16.16 step); `ink` keeps only bright pixels (a letter's face, not its dark shadow).
Mask CellMask(const Image& img, int x0, int y0, int sw, int sh, int w, int h, bool ink) {
  Mask m;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int sx = (((sw << 16) / w) / 2 + x * ((sw << 16) / w)) >> 16;
      const int sy = (((sh << 16) / h) / 2 + y * ((sh << 16) / h)) >> 16;
      const Rgb c = img.At(x0 + sx, y0 + sy);
      m.push_back(!IsBlackKey(c) && (!ink || Luminance(c) > 0.15));
    }
  return m;
}

TEST(AssetFiles, EveryBitmapIsAnUncompressed24BitBmpOfItsSheetSize) {
  for (const Sheet& s : kSheets) EXPECT_EQ(Gfx(s.name).width, s.w) << s.name;
  EXPECT_EQ(bmpfile::ReadBmp(kData / "icon" / "corvane-altor-64.bmp", 64, 64).width, 64);
}

// Reads a WAV that must be 16-bit mono PCM at 22050 or 44100 Hz.
std::vector<int16_t> ReadWav(const fs::path& path, int* rate) {
  SCOPED_TRACE(path.string());
  std::vector<int16_t> samples;
  const std::vector<uint8_t> d = ReadFile(path);
  if (d.size() < 44) {
    ADD_FAILURE() << "too short";
    return samples;
  }
  EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF");
  EXPECT_EQ(U32(d, 4), d.size() - 8);
  EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 12), "WAVE");
  *rate = 0;
  for (size_t at = 12; at + 8 <= d.size();) {
    const std::string id(d.begin() + at, d.begin() + at + 4);
    const uint32_t size = U32(d, at + 4);
    if (at + 8 + size > d.size()) {
      ADD_FAILURE() << "chunk " << id << " runs past the end";
      break;
    }
    if (id == "fmt ") {
      *rate = static_cast<int>(U32(d, at + 12));
      EXPECT_TRUE(*rate == 22050 || *rate == 44100) << *rate;
      EXPECT_EQ(size, 16u);
      // PCM, mono, bytes per second, block align, bits.
      EXPECT_EQ(U16(d, at + 8), 1);
      EXPECT_EQ(U16(d, at + 10), 1);
      EXPECT_EQ(U32(d, at + 16), static_cast<uint32_t>(*rate) * 2);
      EXPECT_EQ(U16(d, at + 20), 2);
      EXPECT_EQ(U16(d, at + 22), 16);
    } else if (id == "data") {
      EXPECT_NE(*rate, 0) << "format chunk comes first";
      EXPECT_EQ(size % 2, 0u);
      for (uint32_t i = 0; i + 1 < size; i += 2)
        samples.push_back(static_cast<int16_t>(U16(d, at + 8 + i)));
    }
    at += 8 + size + (size & 1);
  }
  EXPECT_FALSE(samples.empty());
  return samples;
}

TEST(AssetSounds, ShotIsShortAndExplosionLongBothWithoutClicksOrClipping) {
  const struct {
    const char* name;
    double minSeconds, maxSeconds;
  } sounds[] = {{"fire.wav", 0.05, 0.2}, {"boom.wav", 0.7, 1.6}};
  for (const auto& s : sounds) {
    SCOPED_TRACE(s.name);
    int rate = 0;
    const std::vector<int16_t> w = ReadWav(kData / "sounds" / s.name, &rate);
    if (w.empty() || rate == 0) continue;
    EXPECT_GE(double(w.size()) / rate, s.minSeconds);
    EXPECT_LE(double(w.size()) / rate, s.maxSeconds);
    double sum = 0.0;
    int peak = 0;
    for (int16_t v : w) {
      sum += v;
      peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    EXPECT_LT(std::abs(sum / w.size()), 0.005 * 32768) << "DC offset";
    EXPECT_LT(peak, 0.98 * 32768) << "clips";
    EXPECT_GT(peak, 0.5 * 32768) << "too quiet";
    EXPECT_LT(std::abs(w.front()), 0.01 * 32768) << "starts with a click";
    for (size_t i = w.size() - w.size() / 100; i < w.size(); ++i)
      ASSERT_LT(std::abs(w[i]), 0.02 * 32768) << "ends with a click at " << i;
  }
}

#ifdef CORVANE_ASSETS_EXE
int RunGenerator(const std::string& args) {
  return std::system(
      ("\"" + std::string(CORVANE_ASSETS_EXE) + "\" " + args + " 2>/dev/null").c_str());
}

TEST(AssetGenerator, WritesTheSameBytesOnEveryRun) {
  // Private folders: another test run may be generating at the same time.
  const std::string tag = std::to_string(getpid());
  const fs::path a = fs::temp_directory_path() / ("corvane-assets-test-a-" + tag);
  const fs::path b = fs::temp_directory_path() / ("corvane-assets-test-b-" + tag);
  ASSERT_EQ(RunGenerator("\"" + a.string() + "\""), 0);
  ASSERT_EQ(RunGenerator("\"" + b.string() + "\""), 0);
  std::vector<fs::path> files = {"sounds/fire.wav",           "sounds/boom.wav",
                                 "icon/corvane-altor-64.bmp", "icon/corvane-altor-32.png",
                                 "icon/corvane-altor-64.png", "icon/corvane-altor-128.png"};
  for (const Sheet& s : kSheets) files.push_back(fs::path("gfx") / s.name);
  for (const fs::path& f : files) {
    const std::vector<uint8_t> first = ReadFile(a / f);
    EXPECT_FALSE(first.empty()) << f;
    EXPECT_TRUE(first == ReadFile(b / f)) << f << " differs between runs";
    EXPECT_TRUE(first == ReadFile(kData / f)) << f << " differs from the build's data";
  }
  fs::remove_all(a);
  fs::remove_all(b);
}

TEST(AssetGenerator, ReportsFailureWhenItCannotWrite) {
  const fs::path blocker =
      fs::temp_directory_path() / ("corvane-assets-test-file-" + std::to_string(getpid()));
  std::ofstream(blocker) << "not a directory";
  EXPECT_NE(RunGenerator("\"" + (blocker / "out").string() + "\""), 0);
  fs::remove(blocker);
  EXPECT_NE(RunGenerator(""), 0);
}
#endif

TEST(AssetKeys, SpritesSitOnTransparentBackgroundsWithNoAccidentalKeyPixels) {
  // {sheet, cell x, y, w, h, least drawn pixels}; the tower is keyed white, the rest black.
  struct Cell {
    const char* sheet;
    int x, y, w, h, minDrawn;
  };
  std::vector<Cell> cells = {{"cloud.bmp", 0, 0, 64, 32, 900},  {"tower.bmp", 0, 0, 32, 64, 500},
                             {"bullet.bmp", 0, 0, 4, 4, 8},     {"bullet.bmp", 0, 4, 4, 4, 8},
                             {"letters.bmp", 0, 0, 752, 80, 1}, {"numbers.bmp", 0, 0, 40, 80, 1}};
  for (int f = 0; f < 8; ++f) cells.push_back({"fire.bmp", f * 32, 0, 32, 32, 20});
  for (int i = 0; i < 84; ++i)
    cells.push_back({"plane.bmp", i % 12 * 32, i / 12 * 32, 32, 32, 150});
  for (const Cell& c : cells) {
    SCOPED_TRACE(std::string(c.sheet) + " at " + std::to_string(c.x) + "," + std::to_string(c.y));
    const Image img = Gfx(c.sheet);
    ASSERT_FALSE(img.px.empty());
    const bool white = std::string(c.sheet) == "tower.bmp";
    const Rgb exactKey = white ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
    int drawn = 0, nearKey = 0;
    for (int y = c.y; y < c.y + c.h; ++y)
      for (int x = c.x; x < c.x + c.w; ++x) {
        const Rgb p = img.At(x, y);
        const bool key = white ? IsWhiteKey(p) : IsBlackKey(p);
        drawn += !key;
        // A pixel is exactly the key or clearly not it after the 16-bit conversion.
        nearKey += key && !(p == exactKey);
      }
    EXPECT_EQ(nearKey, 0);
    EXPECT_GE(drawn, c.minDrawn);
    // Whole font sheets aside, the corners of a cell are background.
    if (c.minDrawn == 1) continue;
    for (const auto& [x, y] : {std::pair{0, 0}, {c.w - 1, 0}, {0, c.h - 1}, {c.w - 1, c.h - 1}}) {
      const Rgb p = img.At(c.x + x, c.y + y);
      EXPECT_TRUE(white ? IsWhiteKey(p) : IsBlackKey(p)) << "corner " << x << "," << y;
    }
  }
}

TEST(AssetFonts, EveryGlyphAndDigitIsDrawnAndDistinctAtTheDrawnSizes) {
  // Text is drawn 8x8 and 12x12; digits 3x8 (statistics) and 5x12 (scores), in two bands.
  const struct {
    const char* sheet;
    int count, cellW, w, h, band;
    bool ink;
  } fonts[] = {{"letters.bmp", 94, 8, 8, 8, 2, true},  {"letters.bmp", 94, 8, 12, 12, 2, true},
               {"numbers.bmp", 10, 4, 3, 8, 1, false}, {"numbers.bmp", 10, 4, 5, 12, 1, false},
               {"numbers.bmp", 10, 4, 3, 8, 3, false}, {"numbers.bmp", 10, 4, 5, 12, 3, false}};
  for (const auto& f : fonts) {
    SCOPED_TRACE(std::string(f.sheet) + " at " + std::to_string(f.w) + "x" + std::to_string(f.h) +
                 " band " + std::to_string(f.band));
    const Image img = Gfx(f.sheet);
    ASSERT_FALSE(img.px.empty());
    std::vector<Mask> masks;
    for (int g = 0; g < f.count; ++g) {
      masks.push_back(CellMask(img, g * f.cellW, (f.band - 1) * 8, f.cellW, 8, f.w, f.h, f.ink));
      EXPECT_GT(std::count(masks.back().begin(), masks.back().end(), true), 0) << "cell " << g;
      if (f.count == 10) {
        // Squeezed into three columns a digit needs all of them, and its top row, to stay
        // readable.
        for (int x : {0, f.w - 1}) {
          bool any = false;
          for (int y = 0; y < f.h; ++y) any = any || masks.back()[y * f.w + x];
          EXPECT_TRUE(any) << "digit " << g << " leaves column " << x << " empty";
        }
        EXPECT_TRUE(
            std::any_of(masks.back().begin(), masks.back().begin() + f.w, [](bool b) { return b; }))
            << "digit " << g;
      }
    }
    for (int a = 0; a < f.count; ++a)
      for (int b = a + 1; b < f.count; ++b)
        EXPECT_NE(masks[a], masks[b]) << "cell " << a << " looks like cell " << b;
  }
}

TEST(AssetPlanes, EachColumnPointsItsNoseThirtyDegreesFurtherClockwise) {
  const Image planes = Gfx("plane.bmp");
  ASSERT_EQ(planes.width, 384);
  const Rgb propeller{art::kPropellerRgb[0], art::kPropellerRgb[1], art::kPropellerRgb[2]};
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 12; ++col) {
      double sx = 0, sy = 0;
      int n = 0;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
          if (planes.At(col * 32 + x, row * 32 + y) == propeller) {
            sx += x + 0.5 - 16.0;
            sy += y + 0.5 - 16.0;
            ++n;
          }
      ASSERT_GT(n, 3) << "no propeller in plane " << row << "," << col;
      // Screen y grows downwards, so clockwise is a growing atan2(y, x).
      const double angle = std::atan2(sy / n, sx / n) * 180.0 / std::numbers::pi;
      EXPECT_LT(std::abs(std::remainder(angle - 30.0 * col, 360.0)), 15.0)
          << "plane " << row << "," << col << " points at " << angle;
      EXPECT_GT(std::hypot(sx / n, sy / n), 8.0) << "propeller not at the nose";
    }
}

}  // namespace
