// The generated art and sound: file formats, determinism, colour keys, and whether the
// pictures still read the way the game draws them (scaled fonts, turned planes, text contrast).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "tools/plane.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = CORVANE_DATA_DIR;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// A decoded picture, top row first.
struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> px;
  Rgb At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Reads a file that must be an uncompressed 24-bit bottom-up BMP of the given size; every
// header field a viewer relies on is checked on the way.
Image ReadBmp(const fs::path& path, int width, int height) {
  Image img;
  std::vector<uint8_t> d = ReadFile(path);
  EXPECT_GE(d.size(), 54u) << path;
  if (d.size() < 54) return img;
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  EXPECT_EQ(d[0], 'B') << path;
  EXPECT_EQ(d[1], 'M') << path;
  EXPECT_EQ(U32(d, 2), d.size()) << path;
  EXPECT_EQ(U32(d, 10), 54u) << path;
  EXPECT_EQ(U32(d, 14), 40u) << path;
  EXPECT_EQ(static_cast<int32_t>(U32(d, 18)), width) << path;
  EXPECT_EQ(static_cast<int32_t>(U32(d, 22)), height) << path;  // positive: bottom-up
  EXPECT_EQ(U16(d, 26), 1) << path;
  EXPECT_EQ(U16(d, 28), 24) << path;
  EXPECT_EQ(U32(d, 30), 0u) << path;
  EXPECT_EQ(U32(d, 34), rowBytes * height) << path;
  if (d.size() != 54 + rowBytes * height) {
    ADD_FAILURE() << path << " has " << d.size() << " bytes";
    return img;
  }
  img.width = width;
  img.height = height;
  img.px.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    size_t row = 54 + static_cast<size_t>(height - 1 - y) * rowBytes;
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &d[row + x * 3];
      img.px[static_cast<size_t>(y) * width + x] = Rgb{p[2], p[1], p[0]};
    }
    for (uint32_t pad = width * 3; pad < rowBytes; ++pad) EXPECT_EQ(d[row + pad], 0) << path;
  }
  return img;
}

Image Gfx(const char* name, int width, int height) {
  return ReadBmp(kData / "gfx" / name, width, height);
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

double ContrastRatio(double a, double b) {
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The nearest-neighbour source index of the game's scaled blits for each destination pixel.
std::vector<int> ScaleIndex(int src, int dst) {
  std::vector<int> out(dst);
  int inc = (src << 16) / dst;
  for (int i = 0; i < dst; ++i) out[i] = (inc / 2 + i * inc) >> 16;
  return out;
}

using Mask = std::vector<bool>;

// The drawn pixels of a sheet cell scaled to w x h the way the game scales it; `ink` keeps only
// bright pixels (a letter's face, not its dark shadow).
Mask CellMask(const Image& img, int x0, int y0, int sw, int sh, int w, int h, bool ink) {
  Mask m(static_cast<size_t>(w) * h);
  std::vector<int> xs = ScaleIndex(sw, w), ys = ScaleIndex(sh, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Rgb c = img.At(x0 + xs[x], y0 + ys[y]);
      m[static_cast<size_t>(y) * w + x] = !IsBlackKey(c) && (!ink || Luminance(c) > 0.15);
    }
  return m;
}

int Count(const Mask& m) { return static_cast<int>(std::count(m.begin(), m.end(), true)); }

const char* const kBitmaps[] = {"bg.bmp",      "blank.bmp",  "camain.bmp",  "right.bmp",
                                "buttons.bmp", "bullet.bmp", "plane.bmp",   "fire.bmp",
                                "cloud.bmp",   "tower.bmp",  "letters.bmp", "numbers.bmp"};

// ---------------------------------------------------------------- files and formats

TEST(AssetFiles, EveryBitmapIsAnUncompressed24BitBmpOfItsSheetSize) {
  struct Size {
    const char* name;
    int w, h;
  };
  const Size sizes[] = {{"bg.bmp", 640, 480},    {"blank.bmp", 32, 32},    {"camain.bmp", 640, 480},
                        {"right.bmp", 80, 480},  {"buttons.bmp", 80, 64},  {"bullet.bmp", 4, 8},
                        {"plane.bmp", 384, 224}, {"fire.bmp", 256, 32},    {"cloud.bmp", 64, 32},
                        {"tower.bmp", 32, 64},   {"letters.bmp", 752, 80}, {"numbers.bmp", 40, 80}};
  for (const Size& s : sizes) {
    Image img = Gfx(s.name, s.w, s.h);
    EXPECT_EQ(img.width, s.w) << s.name;
  }
  Image icon = ReadBmp(kData / "icon" / "corvane-altor-64.bmp", 64, 64);
  EXPECT_EQ(icon.width, 64);
}

struct Wave {
  int rate = 0;
  std::vector<int16_t> samples;
};

Wave ReadWav(const fs::path& path) {
  Wave w;
  std::vector<uint8_t> d = ReadFile(path);
  if (d.size() < 44) {
    ADD_FAILURE() << path << " is too short";
    return w;
  }
  EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF");
  EXPECT_EQ(U32(d, 4), d.size() - 8);
  EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 12), "WAVE");
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= d.size();) {
    std::string id(d.begin() + at, d.begin() + at + 4);
    uint32_t size = U32(d, at + 4);
    if (at + 8 + size > d.size()) {
      ADD_FAILURE() << path << ": chunk " << id << " runs past the end";
      break;
    }
    if (id == "fmt ") {
      haveFormat = true;
      EXPECT_EQ(size, 16u);
      EXPECT_EQ(U16(d, at + 8), 1) << "PCM";
      EXPECT_EQ(U16(d, at + 10), 1) << "mono";
      w.rate = static_cast<int>(U32(d, at + 12));
      EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << w.rate;
      EXPECT_EQ(U32(d, at + 16), static_cast<uint32_t>(w.rate) * 2);
      EXPECT_EQ(U16(d, at + 20), 2);
      EXPECT_EQ(U16(d, at + 22), 16);
    } else if (id == "data") {
      EXPECT_TRUE(haveFormat) << "format chunk comes first";
      EXPECT_EQ(size % 2, 0u);
      for (uint32_t i = 0; i + 1 < size; i += 2)
        w.samples.push_back(static_cast<int16_t>(U16(d, at + 8 + i)));
    }
    at += 8 + size + (size & 1);
  }
  EXPECT_TRUE(haveFormat);
  EXPECT_FALSE(w.samples.empty());
  return w;
}

double Seconds(const Wave& w) { return w.rate > 0 ? double(w.samples.size()) / w.rate : 0.0; }

double Rms(const Wave& w, double from, double to) {
  size_t a = static_cast<size_t>(from * w.rate), b = static_cast<size_t>(to * w.rate);
  double sum = 0.0;
  for (size_t i = a; i < b && i < w.samples.size(); ++i) sum += double(w.samples[i]) * w.samples[i];
  return std::sqrt(sum / std::max<size_t>(1, b - a)) / 32768.0;
}

double ZeroCrossingsPerSecond(const Wave& w) {
  int n = 0;
  for (size_t i = 1; i < w.samples.size(); ++i)
    if ((w.samples[i - 1] < 0) != (w.samples[i] < 0)) ++n;
  return n / Seconds(w);
}

TEST(AssetSounds, BothEffectsStartAndEndSilentWithoutOffsetOrClipping) {
  for (const char* name : {"fire.wav", "boom.wav"}) {
    Wave w = ReadWav(kData / "sounds" / name);
    if (w.samples.empty()) continue;
    double sum = 0.0;
    int peak = 0;
    for (int16_t s : w.samples) {
      sum += s;
      peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    EXPECT_LT(std::abs(sum / w.samples.size()), 0.005 * 32768) << name << " DC offset";
    EXPECT_LT(peak, 0.98 * 32768) << name << " clips";
    EXPECT_GT(peak, 0.5 * 32768) << name << " is too quiet";
    EXPECT_LT(std::abs(w.samples.front()), 0.01 * 32768) << name << " starts with a click";
    size_t tail = w.samples.size() / 100;
    for (size_t i = w.samples.size() - tail; i < w.samples.size(); ++i)
      ASSERT_LT(std::abs(w.samples[i]), 0.02 * 32768) << name << " ends with a click at " << i;
  }
}

TEST(AssetSounds, ShotIsShortAndSharpAndExplosionLongAndDeep) {
  Wave shot = ReadWav(kData / "sounds" / "fire.wav");
  Wave boom = ReadWav(kData / "sounds" / "boom.wav");
  ASSERT_FALSE(shot.samples.empty());
  ASSERT_FALSE(boom.samples.empty());
  EXPECT_GE(Seconds(shot), 0.05);
  EXPECT_LE(Seconds(shot), 0.2);
  EXPECT_GE(Seconds(boom), 0.7);
  EXPECT_LE(Seconds(boom), 1.6);
  // The shot hits at once: its loudest moment lies in its first 10 ms.
  EXPECT_GT(Rms(shot, 0.0, 0.01), 2.0 * Rms(shot, 0.03, 0.06));
  // The explosion rumbles on: half a second in it is still clearly audible.
  EXPECT_GT(Rms(boom, 0.45, 0.55), 0.15 * Rms(boom, 0.0, 0.1));
  // And it is much deeper than the shot.
  EXPECT_LT(ZeroCrossingsPerSecond(boom), 0.5 * ZeroCrossingsPerSecond(shot));
}

// ---------------------------------------------------------------- the generator itself

#ifdef CORVANE_ASSETS_EXE
int RunGenerator(const fs::path& out) {
  std::string cmd =
      std::string("\"") + CORVANE_ASSETS_EXE + "\" \"" + out.string() + "\" 2>/dev/null";
  return std::system(cmd.c_str());
}

TEST(AssetGenerator, WritesTheSameBytesOnEveryRun) {
  // Private folders: another test run may be generating at the same time.
  const std::string tag = std::to_string(getpid());
  fs::path a = fs::temp_directory_path() / ("corvane-assets-test-a-" + tag);
  fs::path b = fs::temp_directory_path() / ("corvane-assets-test-b-" + tag);
  fs::remove_all(a);
  fs::remove_all(b);
  ASSERT_EQ(RunGenerator(a), 0);
  ASSERT_EQ(RunGenerator(b), 0);
  std::vector<fs::path> files;
  for (const char* name : kBitmaps) files.push_back(fs::path("gfx") / name);
  files.push_back(fs::path("sounds") / "fire.wav");
  files.push_back(fs::path("sounds") / "boom.wav");
  files.push_back(fs::path("icon") / "corvane-altor-64.bmp");
  for (const char* size : {"32", "64", "128"})
    files.push_back(fs::path("icon") / (std::string("corvane-altor-") + size + ".png"));
  for (const fs::path& f : files) {
    std::vector<uint8_t> first = ReadFile(a / f);
    EXPECT_FALSE(first.empty()) << f;
    EXPECT_TRUE(first == ReadFile(b / f)) << f << " differs between runs";
    EXPECT_TRUE(first == ReadFile(kData / f)) << f << " differs from the build's data";
  }
  fs::remove_all(a);
  fs::remove_all(b);
}

TEST(AssetGenerator, ReportsFailureWhenItCannotWrite) {
  fs::path blocker =
      fs::temp_directory_path() / ("corvane-assets-test-file-" + std::to_string(getpid()));
  std::ofstream(blocker) << "not a directory";
  EXPECT_NE(RunGenerator(blocker / "out"), 0);
  fs::remove(blocker);
  std::string noArgs = std::string("\"") + CORVANE_ASSETS_EXE + "\" 2>/dev/null";
  EXPECT_NE(std::system(noArgs.c_str()), 0);
}
#endif

// ---------------------------------------------------------------- colour keys

TEST(AssetKeys, NoSpritePixelFallsOnItsSheetsKeyByAccident) {
  // A pixel is either exactly the key colour or clearly not the key after the 16-bit
  // conversion; anything else would punch a hole into a sprite.
  struct Sheet {
    const char* name;
    int w, h;
  };
  for (const Sheet& s :
       {Sheet{"bullet.bmp", 4, 8}, Sheet{"plane.bmp", 384, 224}, Sheet{"fire.bmp", 256, 32},
        Sheet{"cloud.bmp", 64, 32}, Sheet{"letters.bmp", 752, 80}, Sheet{"numbers.bmp", 40, 80}}) {
    Image img = Gfx(s.name, s.w, s.h);
    int bad = 0;
    for (Rgb c : img.px)
      if (IsBlackKey(c) && !(c == Rgb{0, 0, 0})) ++bad;
    EXPECT_EQ(bad, 0) << s.name;
  }
  Image tower = Gfx("tower.bmp", 32, 64);
  int bad = 0;
  for (Rgb c : tower.px)
    if (IsWhiteKey(c) && !(c == Rgb{255, 255, 255})) ++bad;
  EXPECT_EQ(bad, 0);
}

// Corners of a cell are background; a good part of the cell is drawn.
void ExpectSprite(const Image& img, int x0, int y0, int w, int h, bool whiteKey, int minDrawn,
                  const std::string& what) {
  auto key = [&](int x, int y) {
    Rgb c = img.At(x0 + x, y0 + y);
    return whiteKey ? IsWhiteKey(c) : IsBlackKey(c);
  };
  EXPECT_TRUE(key(0, 0) && key(w - 1, 0) && key(0, h - 1) && key(w - 1, h - 1)) << what;
  int drawn = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) drawn += !key(x, y);
  EXPECT_GE(drawn, minDrawn) << what;
}

TEST(AssetKeys, SpritesSitOnTransparentBackgrounds) {
  Image planes = Gfx("plane.bmp", 384, 224);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 12; ++col)
      ExpectSprite(planes, col * 32, row * 32, 32, 32, false, 150,
                   "plane " + std::to_string(row) + "," + std::to_string(col));
  Image fire = Gfx("fire.bmp", 256, 32);
  for (int f = 0; f < 8; ++f)
    ExpectSprite(fire, f * 32, 0, 32, 32, false, 20, "fire " + std::to_string(f));
  ExpectSprite(Gfx("cloud.bmp", 64, 32), 0, 0, 64, 32, false, 900, "cloud");
  ExpectSprite(Gfx("tower.bmp", 32, 64), 0, 0, 32, 64, true, 500, "tower");
  Image bullets = Gfx("bullet.bmp", 4, 8);
  ExpectSprite(bullets, 0, 0, 4, 4, false, 8, "player 1's bullet");
  ExpectSprite(bullets, 0, 4, 4, 4, false, 8, "player 2's bullet");
}

// ---------------------------------------------------------------- fonts

constexpr int kGlyphs = 94;

TEST(AssetFonts, EveryGlyphIsDrawnAndDistinctAtBothTextSizes) {
  Image letters = Gfx("letters.bmp", 752, 80);
  ASSERT_EQ(letters.width, 752);
  for (int size : {8, 12}) {
    std::vector<Mask> masks;
    for (int g = 0; g < kGlyphs; ++g) {
      masks.push_back(CellMask(letters, g * 8, 8, 8, 8, size, size, true));  // band 2
      EXPECT_GT(Count(masks.back()), 0) << "glyph " << char(33 + g) << " at " << size;
    }
    for (int a = 0; a < kGlyphs; ++a)
      for (int b = a + 1; b < kGlyphs; ++b)
        EXPECT_NE(masks[a], masks[b])
            << char(33 + a) << " looks like " << char(33 + b) << " at " << size << "x" << size;
  }
}

TEST(AssetFonts, AllTenBandsHoldTheSameLettersInTheirOwnColours) {
  Image letters = Gfx("letters.bmp", 752, 80);
  ASSERT_EQ(letters.width, 752);
  std::array<Rgb, 10> mean{};
  for (int band = 0; band < 10; ++band) {
    long r = 0, g = 0, b = 0, n = 0;
    for (int glyph = 0; glyph < kGlyphs; ++glyph) {
      Mask here = CellMask(letters, glyph * 8, band * 8, 8, 8, 8, 8, false);
      EXPECT_EQ(here, CellMask(letters, glyph * 8, 0, 8, 8, 8, 8, false))
          << "glyph " << char(33 + glyph) << " band " << band + 1;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          Rgb c = letters.At(glyph * 8 + x, band * 8 + y);
          if (IsBlackKey(c) || Luminance(c) < 0.15) continue;
          r += c.r;
          g += c.g;
          b += c.b;
          ++n;
        }
    }
    ASSERT_GT(n, 0);
    mean[band] = Rgb{int(r / n), int(g / n), int(b / n)};
  }
  for (int a = 0; a < 10; ++a)
    for (int b = a + 1; b < 10; ++b) {
      int d = std::abs(mean[a].r - mean[b].r) + std::abs(mean[a].g - mean[b].g) +
              std::abs(mean[a].b - mean[b].b);
      EXPECT_GT(d, 40) << "bands " << a + 1 << " and " << b + 1 << " look alike";
    }
}

TEST(AssetFonts, LettersNeverTouchTheirNeighbours) {
  // Characters sit 8 pixels apart: a letter's face must stay off its cell's last column, or it
  // would run into the next letter.
  Image letters = Gfx("letters.bmp", 752, 80);
  ASSERT_EQ(letters.width, 752);
  for (int g = 0; g < kGlyphs; ++g) {
    Mask m = CellMask(letters, g * 8, 0, 8, 8, 8, 8, true);
    for (int y = 0; y < 8; ++y) EXPECT_FALSE(m[y * 8 + 7]) << "glyph " << char(33 + g);
  }
}

TEST(AssetFonts, DigitsStayDistinctAndFullWidthAtBothNumberSizes) {
  Image numbers = Gfx("numbers.bmp", 40, 80);
  ASSERT_EQ(numbers.width, 40);
  // Statistics draw digits 3x8 (size 4), scores 5x12 (size 6).
  for (int band : {1, 3})
    for (auto [w, h] : {std::pair{3, 8}, std::pair{5, 12}}) {
      std::vector<Mask> masks;
      for (int d = 0; d < 10; ++d) {
        masks.push_back(CellMask(numbers, d * 4, (band - 1) * 8, 4, 8, w, h, false));
        const Mask& m = masks.back();
        int left = w, right = -1, top = h, bottom = -1;
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if (m[y * w + x]) {
              left = std::min(left, x);
              right = std::max(right, x);
              top = std::min(top, y);
              bottom = std::max(bottom, y);
            }
        // Squeezed into three columns a digit needs all of them to stay readable.
        EXPECT_EQ(left, 0) << "digit " << d << " at " << w << "x" << h;
        EXPECT_EQ(right, w - 1) << "digit " << d << " at " << w << "x" << h;
        EXPECT_EQ(top, 0) << "digit " << d;
        EXPECT_GE(bottom, h * 3 / 4) << "digit " << d;
      }
      for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b)
          EXPECT_NE(masks[a], masks[b]) << a << " looks like " << b << " at " << w << "x" << h;
    }
}

// ---------------------------------------------------------------- planes and effects

bool IsPropeller(Rgb c) {
  return c == Rgb{art::kPropellerRgb[0], art::kPropellerRgb[1], art::kPropellerRgb[2]};
}

TEST(AssetPlanes, EachColumnPointsItsNoseThirtyDegreesFurtherClockwise) {
  Image planes = Gfx("plane.bmp", 384, 224);
  ASSERT_EQ(planes.width, 384);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 12; ++col) {
      double sx = 0, sy = 0;
      int n = 0;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
          if (IsPropeller(planes.At(col * 32 + x, row * 32 + y))) {
            sx += x + 0.5 - 16.0;
            sy += y + 0.5 - 16.0;
            ++n;
          }
      ASSERT_GT(n, 3) << "no propeller in plane " << row << "," << col;
      // Screen y grows downwards, so clockwise is a growing atan2(y, x).
      double angle = std::atan2(sy / n, sx / n) * 180.0 / std::numbers::pi;
      double off = std::remainder(angle - 30.0 * col, 360.0);
      EXPECT_LT(std::abs(off), 15.0) << "plane " << row << "," << col << " points at " << angle;
      EXPECT_GT(std::hypot(sx / n, sy / n), 8.0) << "propeller not at the nose";
    }
}

Mask PlaneMask(const Image& planes, int row, int col) {
  return CellMask(planes, col * 32, row * 32, 32, 32, 32, 32, false);
}

double Overlap(const Mask& a, const Mask& b) {
  int both = 0, either = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    both += a[i] && b[i];
    either += a[i] || b[i];
  }
  return either ? double(both) / either : 0.0;
}

TEST(AssetPlanes, QuarterTurnsAreTheSamePlaneTurnedNotMirrored) {
  Image planes = Gfx("plane.bmp", 384, 224);
  ASSERT_EQ(planes.width, 384);
  Mask flying = PlaneMask(planes, 0, 0);
  Mask down(1024), looped(1024), up(1024), mirrored(1024);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      bool v = flying[y * 32 + x];
      down[x * 32 + (31 - y)] = v;           // a quarter turn clockwise: nose down
      looped[(31 - y) * 32 + (31 - x)] = v;  // half a loop: flying left, upside down
      up[(31 - x) * 32 + y] = v;             // three quarters: nose up
      mirrored[y * 32 + (31 - x)] = v;
    }
  EXPECT_GT(Overlap(PlaneMask(planes, 0, 3), down), 0.9);
  EXPECT_GT(Overlap(PlaneMask(planes, 0, 6), looped), 0.9);
  EXPECT_GT(Overlap(PlaneMask(planes, 0, 9), up), 0.9);
  // Upside down is not the same as turned round: the wheels are on top.
  EXPECT_LT(Overlap(PlaneMask(planes, 0, 6), mirrored), 0.75);
}

TEST(AssetPlanes, EveryPlaneIsCentredAndFillsItsCell) {
  Image planes = Gfx("plane.bmp", 384, 224);
  ASSERT_EQ(planes.width, 384);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 12; ++col) {
      Mask m = PlaneMask(planes, row, col);
      double sx = 0, sy = 0;
      int n = 0, left = 32, right = -1, top = 32, bottom = -1;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
          if (m[y * 32 + x]) {
            sx += x;
            sy += y;
            ++n;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
          }
      ASSERT_GT(n, 0);
      // Both the drawn area and its weight sit in the middle of the cell.
      EXPECT_NEAR(sx / n + 0.5, 16.0, 3.0) << row << "," << col;
      EXPECT_NEAR(sy / n + 0.5, 16.0, 3.0) << row << "," << col;
      EXPECT_NEAR((left + right + 1) / 2.0, 16.0, 2.5) << row << "," << col;
      EXPECT_NEAR((top + bottom + 1) / 2.0, 16.0, 2.5) << row << "," << col;
      EXPECT_GE(std::max(right - left, bottom - top) + 1, 24) << row << "," << col;
    }
}

// Mean of the drawn pixels; with `vivid`, only the clearly coloured ones (paint, not outline,
// metal or tyres), which is the colour a player sees the sprite in.
Rgb MeanColour(const Image& img, int x0, int y0, int w, int h, bool vivid = false) {
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      Rgb c = img.At(x, y);
      if (IsBlackKey(c)) continue;
      if (vivid && std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) < 60) continue;
      r += c.r;
      g += c.g;
      b += c.b;
      ++n;
    }
  return n ? Rgb{int(r / n), int(g / n), int(b / n)} : Rgb{};
}

TEST(AssetPlanes, PlayersPlanesAreRedAndBlueAndAllSchemesDiffer) {
  Image planes = Gfx("plane.bmp", 384, 224);
  ASSERT_EQ(planes.width, 384);
  Rgb red = MeanColour(planes, 0, 0, 384, 32, true),
      blue = MeanColour(planes, 0, 32, 384, 32, true);
  EXPECT_GT(red.r, red.b + 80);
  EXPECT_GT(blue.b, blue.r + 80);
  std::array<Rgb, 7> mean;
  for (int row = 0; row < 7; ++row) mean[row] = MeanColour(planes, 0, row * 32, 384, 32);
  for (int a = 0; a < 7; ++a)
    for (int b = a + 1; b < 7; ++b) {
      int d = std::abs(mean[a].r - mean[b].r) + std::abs(mean[a].g - mean[b].g) +
              std::abs(mean[a].b - mean[b].b);
      EXPECT_GT(d, 40) << "schemes " << a << " and " << b;
    }
  // Bullets carry their player's colour.
  Image bullets = Gfx("bullet.bmp", 4, 8);
  Rgb one = MeanColour(bullets, 0, 0, 4, 4), two = MeanColour(bullets, 0, 4, 4, 4);
  EXPECT_GT(one.r, one.b + 50);
  EXPECT_GT(two.b, two.r + 50);
}

TEST(AssetFire, FlamesOverThePlaneAreSmallAndTheSmokeThinsOut) {
  Image fire = Gfx("fire.bmp", 256, 32);
  ASSERT_EQ(fire.width, 256);
  std::array<int, 8> drawn{};
  for (int f = 0; f < 8; ++f) drawn[f] = Count(CellMask(fire, f * 32, 0, 32, 32, 32, 32, false));
  // Frames 0 and 1 are drawn over the burning plane, which must still show through.
  EXPECT_LT(drawn[0], 1024 / 5);
  EXPECT_LT(drawn[1], 1024 / 3);
  EXPECT_GT(drawn[2] * 2, drawn[1] * 3);
  EXPECT_LT(drawn[7], drawn[6]);
  EXPECT_LT(drawn[6], drawn[5]);
  // The fireball glows, the last puff is grey smoke.
  Rgb ball = MeanColour(fire, 64, 0, 32, 32), smoke = MeanColour(fire, 224, 0, 32, 32);
  EXPECT_GT(ball.r - ball.b, 100);
  EXPECT_LT(std::abs(smoke.r - smoke.b), 30);
}

// ---------------------------------------------------------------- the scene around the planes

TEST(AssetScene, PlanesStandOnTheirRunwaysAndTheTowerOnTheGround) {
  Image bg = Gfx("bg.bmp", 640, 480);
  Image planes = Gfx("plane.bmp", 384, 224);
  Image tower = Gfx("tower.bmp", 32, 64);
  ASSERT_EQ(bg.width, 640);
  ASSERT_EQ(planes.width, 384);
  ASSERT_EQ(tower.width, 32);
  // The lowest drawn row of a plane facing right is its wheels.
  int wheels = 0;
  Mask resting = PlaneMask(planes, 0, 0);
  for (int i = 0; i < 1024; ++i)
    if (resting[i]) wheels = i / 32;
  auto asphalt = [](Rgb c) {
    int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
    return hi - lo < 24 && hi > 40;  // grey, not grass
  };
  for (int startX : {10, 312}) {
    int onRunway = 0;
    for (int x = startX; x < startX + 32; ++x) onRunway += asphalt(bg.At(x, 420 + wheels));
    EXPECT_GT(onRunway, 24) << "wheels of the plane at " << startX << " are not on a runway";
    int bodyOnRunway = 0;
    for (int x = startX; x < startX + 32; ++x) bodyOnRunway += asphalt(bg.At(x, 420 + 12));
    EXPECT_LT(bodyOnRunway, 8) << "the plane at " << startX << " stands inside the runway";
  }
  // The tower's top is at the top of its picture (y 400) and its foot on the ground (y 432 on).
  int top = 64, foot = -1;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 32; ++x)
      if (!IsWhiteKey(tower.At(x, y))) {
        top = std::min(top, y);
        foot = std::max(foot, y);
      }
  EXPECT_LE(top, 2);
  EXPECT_GE(400 + foot, 432);
  EXPECT_LE(400 + foot, 463);
}

// Ink colour of a font band: the mean of its glyphs' bright pixels.
double BandLuminance(const Image& sheet, int cellW, int cells, int band) {
  double sum = 0.0;
  int n = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < cellW * cells; ++x) {
      Rgb c = sheet.At(x, (band - 1) * 8 + y);
      if (IsBlackKey(c) || Luminance(c) < 0.15) continue;
      sum += Luminance(c);
      ++n;
    }
  return n ? sum / n : 0.0;
}

// Every text cell of a row of text must stand out from the picture under it.
void ExpectReadable(const Image& picture, double ink, int x, int y, int chars, int cellW, int cellH,
                    const std::string& what) {
  for (int i = 0; i < chars; ++i) {
    double sum = 0.0;
    for (int yy = y; yy < y + cellH; ++yy)
      for (int xx = x + i * cellW; xx < x + (i + 1) * cellW; ++xx)
        sum += Luminance(picture.At(xx, yy));
    double under = sum / (cellW * cellH);
    EXPECT_GT(ContrastRatio(ink, under), 3.0) << what << ", character " << i;
  }
}

TEST(AssetScene, TextStandsOutWhereverTheGameWritesIt) {
  Image letters = Gfx("letters.bmp", 752, 80);
  Image numbers = Gfx("numbers.bmp", 40, 80);
  Image bg = Gfx("bg.bmp", 640, 480);
  Image menu = Gfx("camain.bmp", 640, 480);
  Image panel = Gfx("right.bmp", 80, 480);
  Image buttons = Gfx("buttons.bmp", 80, 64);
  ASSERT_EQ(letters.width, 752);
  ASSERT_EQ(numbers.width, 40);
  const double text1 = BandLuminance(letters, 8, kGlyphs, 1);
  const double text2 = BandLuminance(letters, 8, kGlyphs, 2);
  const double text6 = BandLuminance(letters, 8, kGlyphs, 6);
  const double digits1 = BandLuminance(numbers, 4, 10, 1);
  const double digits3 = BandLuminance(numbers, 4, 10, 3);
  // Statistics at the top of the playfield: names, labels and their values.
  for (int column : {560 / 3, 2 * 560 / 3}) {
    ExpectReadable(bg, text2, column - 62, 0, 8, 8, 8, "player name");
    for (int line = 0; line < 4; ++line) {
      ExpectReadable(bg, text2, column - 64, 10 + 10 * line, 8, 8, 8, "statistics label");
      ExpectReadable(bg, digits3, column, 10 + 10 * line, 4, 4, 8, "statistics value");
    }
  }
  ExpectReadable(bg, text2, 5, 465, 10, 8, 8, "resolution label");
  ExpectReadable(bg, text2, 240, 176, 10, 8, 8, "pause and tie notices");
  // The menu: labels (and their highlight), values, key legends.
  // Labels run from x 320 to the end of "CPU2 Level" at 484.
  for (int y = 150; y <= 420; y += 30) {
    ExpectReadable(menu, text2, 320, y, 21, 8, 8, "menu label");
    ExpectReadable(menu, text6, 320, y, 21, 8, 8, "highlighted menu label");
  }
  for (int y = 180; y <= 390; y += 30) ExpectReadable(menu, text1, 150, y, 15, 8, 8, "menu value");
  for (int y = 410; y <= 470; y += 10) {
    ExpectReadable(menu, text2, 10, y, 21, 8, 8, "player 1's keys");
    ExpectReadable(menu, text2, 472, y, 21, 8, 8, "player 2's keys");
  }
  // The right panel and its buttons.
  ExpectReadable(panel, text6, 12, 5, 7, 8, 8, "title");
  ExpectReadable(panel, text6, 20, 15, 5, 8, 8, "title");
  for (int y : {100, 200}) {
    ExpectReadable(panel, text2, 8, y, 8, 8, 8, "player name");
    ExpectReadable(panel, digits1, 18, y + 15, 5, 6, 12, "score");
  }
  ExpectReadable(panel, text2, 16, 380, 7, 8, 8, "To win:");
  ExpectReadable(panel, digits1, 32, 394, 2, 6, 12, "score to win");
  ExpectReadable(buttons, text1, 4, 12, 9, 8, 8, "Main Menu");
  ExpectReadable(buttons, text1, 24, 44, 4, 8, 8, "Quit");
}

}  // namespace
