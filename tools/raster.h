// Drawing toolkit of the asset generator: a floating-point RGBA canvas, supersampled vector
// shapes that can be placed rotated and scaled, deterministic noise, and the conversion to the
// 24-bit bitmaps the game loads (quantised the way a 16-bit RGB565 display shows them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Color {
  double r = 0.0, g = 0.0, b = 0.0;
};

constexpr Color Rgb(int r, int g, int b) { return Color{r / 255.0, g / 255.0, b / 255.0}; }
Color Mix(Color a, Color b, double t);
Color Scale(Color c, double k);
// k > 0 moves towards white, k < 0 towards black.
Color Shade(Color c, double k);
double Clamp01(double v);
double SmoothStep(double e0, double e1, double v);
// Relative luminance (sRGB, linearised) of a colour, as used for contrast ratios.
double Luminance(Color c);

struct Vec2 {
  double x = 0.0, y = 0.0;
};

// Straight (not premultiplied) RGBA picture.
struct Canvas {
  Canvas(int w, int h);
  int width;
  int height;
  std::vector<Color> rgb;
  std::vector<double> alpha;
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Color& At(int x, int y) { return rgb[static_cast<size_t>(y) * width + x]; }
  Color Get(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
  double& A(int x, int y) { return alpha[static_cast<size_t>(y) * width + x]; }
  double GetA(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
  // Source-over compositing of one pixel.
  void Blend(int x, int y, Color c, double a);
  void Fill(Color c);
  // Draws another canvas over this one at (x, y).
  void Draw(const Canvas& src, int x, int y);
};

// What a paint function learns about a sample: its position in the shape's own (model)
// coordinates and which way the screen's "up" points in those coordinates, so that shading can
// follow the light from above whatever way the model is turned.
struct ShadeInput {
  Vec2 model;
  Vec2 up;
};
using Paint = std::function<Color(const ShadeInput&)>;

struct Shape {
  enum class Kind { kPolygon, kEllipse, kCapsule };
  Kind kind = Kind::kPolygon;
  std::vector<Vec2> points;  // polygon corners, or the two ends of a capsule
  Vec2 center;
  double rx = 0.0, ry = 0.0, radius = 0.0;
  double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;  // bounding box
  Paint paint;
};

Shape Polygon(std::vector<Vec2> points, Paint paint);
Shape Ellipse(Vec2 center, double rx, double ry, Paint paint);
Shape Capsule(Vec2 a, Vec2 b, double radius, Paint paint);
bool Contains(const Shape& shape, Vec2 p);
Paint Flat(Color c);
// Flat colour lit from the screen's top: the side of the shape facing up (relative to `center`,
// measured in units of `reach`) is lightened, the side facing down darkened.
Paint Lit(Color c, Vec2 center, double reach, double strength);

// Where a model lands on the canvas: model point m goes to c + scale * R(angle) * (m - origin),
// with
// the angle turning clockwise on screen (y grows downwards).
struct Placement {
  double cx = 0.0, cy = 0.0;
  Vec2 origin;  // the model point that lands on (cx, cy)
  double angleDegrees = 0.0;
  double scale = 1.0;
  bool mirror = false;  // model x reversed before turning (a plane flying left, upright)
};

// Renders shapes (later ones in front) with samples x samples points per pixel into the canvas
// rectangle {x0, y0, x0 + w, y0 + h}, compositing over what is there.
void RenderShapes(Canvas& canvas, const std::vector<Shape>& shapes, const Placement& place, int x0,
                  int y0, int w, int h, int samples);

// Deterministic random numbers (splitmix64), independent of the standard library's engines.
struct Rng {
  explicit Rng(uint64_t seed) : state(seed) {}
  uint64_t Next();
  double Uniform();  // [0, 1)
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  uint64_t state;
};

double Hash2(int x, int y, uint32_t seed);  // [0, 1)
double ValueNoise(double x, double y, uint32_t seed);
// Sum of octaves of value noise, normalised to [0, 1].
double Fbm(double x, double y, int octaves, uint32_t seed);

// 8-bit RGB picture in top-down order, as written to a 24-bit BMP file.
struct Bitmap {
  Bitmap(int w, int h);
  int width;
  int height;
  std::vector<uint8_t> rgb;
  void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b);
  uint8_t* Pixel(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

bool WriteBmp(const std::string& path, const Bitmap& bitmap);

// 8-bit RGBA picture in top-down order, alpha not premultiplied (for PNG files).
struct RgbaBitmap {
  RgbaBitmap(int w, int h);
  int width;
  int height;
  std::vector<uint8_t> rgba;
  uint8_t* Pixel(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Converts a colour to the 8-bit value whose RGB565 truncation is the rounded (or, with
// `threshold` in [0, 1), ordered-dithered) 5/6/5-bit level.
void Quantize565(Color c, double threshold, uint8_t out[3]);
// 4x4 Bayer matrix threshold in [0, 1) for a pixel position.
double Bayer4(int x, int y);

// An opaque picture, dithered to the 16-bit display's levels so gradients do not band.
Bitmap ToOpaque(const Canvas& canvas);
// The same picture with its transparency kept: where the canvas is opaque the colours equal
// ToOpaque's, elsewhere they are the undarkened colours with the coverage as alpha.
RgbaBitmap ToTransparent(const Canvas& canvas);
enum class Key { kBlack, kWhite };
// A sprite sheet: pixels with alpha >= 0.5 keep their colour (never the key's 16-bit value);
// all others become the key colour.
Bitmap ToKeyed(const Canvas& canvas, Key key);

}  // namespace art
