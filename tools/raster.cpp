#include "tools/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace art {

Color Mix(Color a, Color b, double t) {
  return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Color Scale(Color c, double k) { return Color{c.r * k, c.g * k, c.b * k}; }

Color Shade(Color c, double k) {
  if (k >= 0.0) return Mix(c, Color{1.0, 1.0, 1.0}, std::min(k, 1.0));
  return Scale(c, std::max(0.0, 1.0 + k));
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double SmoothStep(double e0, double e1, double v) {
  double t = Clamp01((v - e0) / (e1 - e0));
  return t * t * (3.0 - 2.0 * t);
}

namespace {
double Linear(double v) {
  v = Clamp01(v);
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
}  // namespace

double Luminance(Color c) {
  return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

Canvas::Canvas(int w, int h)
    : width(w), height(h), rgb(static_cast<size_t>(w) * h), alpha(static_cast<size_t>(w) * h) {}

void Canvas::Blend(int x, int y, Color c, double a) {
  if (!Inside(x, y) || a <= 0.0) return;
  a = std::min(a, 1.0);
  double& da = A(x, y);
  Color& dc = At(x, y);
  double outA = a + da * (1.0 - a);
  double wd = da * (1.0 - a) / outA;
  double ws = a / outA;
  dc = Color{c.r * ws + dc.r * wd, c.g * ws + dc.g * wd, c.b * ws + dc.b * wd};
  da = outA;
}

void Canvas::Fill(Color c) {
  std::fill(rgb.begin(), rgb.end(), c);
  std::fill(alpha.begin(), alpha.end(), 1.0);
}

void Canvas::Draw(const Canvas& src, int x, int y) {
  for (int sy = 0; sy < src.height; ++sy)
    for (int sx = 0; sx < src.width; ++sx) Blend(x + sx, y + sy, src.Get(sx, sy), src.GetA(sx, sy));
}

namespace {
Shape WithBounds(Shape s) {
  if (s.kind == Shape::Kind::kPolygon) {
    s.minX = s.maxX = s.points[0].x;
    s.minY = s.maxY = s.points[0].y;
    for (const Vec2& p : s.points) {
      s.minX = std::min(s.minX, p.x);
      s.maxX = std::max(s.maxX, p.x);
      s.minY = std::min(s.minY, p.y);
      s.maxY = std::max(s.maxY, p.y);
    }
  } else if (s.kind == Shape::Kind::kEllipse) {
    s.minX = s.center.x - s.rx;
    s.maxX = s.center.x + s.rx;
    s.minY = s.center.y - s.ry;
    s.maxY = s.center.y + s.ry;
  } else {
    s.minX = std::min(s.points[0].x, s.points[1].x) - s.radius;
    s.maxX = std::max(s.points[0].x, s.points[1].x) + s.radius;
    s.minY = std::min(s.points[0].y, s.points[1].y) - s.radius;
    s.maxY = std::max(s.points[0].y, s.points[1].y) + s.radius;
  }
  return s;
}
}  // namespace

Shape Polygon(std::vector<Vec2> points, Paint paint) {
  Shape s;
  s.kind = Shape::Kind::kPolygon;
  s.points = std::move(points);
  s.paint = std::move(paint);
  return WithBounds(std::move(s));
}

Shape Ellipse(Vec2 center, double rx, double ry, Paint paint) {
  Shape s;
  s.kind = Shape::Kind::kEllipse;
  s.center = center;
  s.rx = rx;
  s.ry = ry;
  s.paint = std::move(paint);
  return WithBounds(std::move(s));
}

Shape Capsule(Vec2 a, Vec2 b, double radius, Paint paint) {
  Shape s;
  s.kind = Shape::Kind::kCapsule;
  s.points = {a, b};
  s.radius = radius;
  s.paint = std::move(paint);
  return WithBounds(std::move(s));
}

bool Contains(const Shape& s, Vec2 p) {
  if (p.x < s.minX || p.x > s.maxX || p.y < s.minY || p.y > s.maxY) return false;
  switch (s.kind) {
    case Shape::Kind::kPolygon: {
      // Even-odd rule.
      bool inside = false;
      size_t n = s.points.size();
      for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec2& a = s.points[i];
        const Vec2& b = s.points[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
          inside = !inside;
      }
      return inside;
    }
    case Shape::Kind::kEllipse: {
      double dx = (p.x - s.center.x) / s.rx;
      double dy = (p.y - s.center.y) / s.ry;
      return dx * dx + dy * dy <= 1.0;
    }
    case Shape::Kind::kCapsule: {
      Vec2 a = s.points[0], b = s.points[1];
      double vx = b.x - a.x, vy = b.y - a.y;
      double len2 = vx * vx + vy * vy;
      double t =
          len2 > 0.0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / len2, 0.0, 1.0) : 0.0;
      double dx = p.x - (a.x + t * vx), dy = p.y - (a.y + t * vy);
      return dx * dx + dy * dy <= s.radius * s.radius;
    }
  }
  return false;
}

Paint Flat(Color c) {
  return [c](const ShadeInput&) { return c; };
}

Paint Lit(Color c, Vec2 center, double reach, double strength) {
  return [=](const ShadeInput& in) {
    double d = ((in.model.x - center.x) * in.up.x + (in.model.y - center.y) * in.up.y) / reach;
    d = std::clamp(d, -1.0, 1.0);
    // Highlights stay gentle so the colour survives on the lit side.
    return Shade(c, strength * (d > 0.0 ? 0.45 * d : d));
  };
}

void RenderShapes(Canvas& canvas, const std::vector<Shape>& shapes, const Placement& place, int x0,
                  int y0, int w, int h, int samples) {
  double rad = place.angleDegrees * std::numbers::pi / 180.0;
  double c = std::cos(rad), s = std::sin(rad);
  // Inverse of the placement: undo the translation, the rotation and the scale.
  auto toModel = [&](double sx, double sy) {
    double dx = (sx - place.cx) / place.scale, dy = (sy - place.cy) / place.scale;
    double mx = c * dx + s * dy, my = -s * dx + c * dy;
    return Vec2{(place.mirror ? -mx : mx) + place.origin.x, my + place.origin.y};
  };
  Vec2 up{place.mirror ? s : -s, -c};  // screen (0, -1) seen in model coordinates
  for (int py = y0; py < y0 + h; ++py) {
    for (int px = x0; px < x0 + w; ++px) {
      Color sum;
      int hits = 0;
      for (int j = 0; j < samples; ++j) {
        for (int i = 0; i < samples; ++i) {
          Vec2 m = toModel(px + (i + 0.5) / samples, py + (j + 0.5) / samples);
          for (size_t k = shapes.size(); k-- > 0;) {
            if (Contains(shapes[k], m)) {
              Color col = shapes[k].paint(ShadeInput{m, up});
              sum.r += col.r;
              sum.g += col.g;
              sum.b += col.b;
              ++hits;
              break;
            }
          }
        }
      }
      if (hits > 0)
        canvas.Blend(px, py, Scale(sum, 1.0 / hits),
                     static_cast<double>(hits) / (samples * samples));
    }
  }
}

uint64_t Rng::Next() {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Rng::Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

double Hash2(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
               seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<double>(h) / 4294967296.0;
}

double ValueNoise(double x, double y, uint32_t seed) {
  int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  double fx = x - ix, fy = y - iy;
  double ux = fx * fx * (3.0 - 2.0 * fx), uy = fy * fy * (3.0 - 2.0 * fy);
  double a = Hash2(ix, iy, seed), b = Hash2(ix + 1, iy, seed);
  double c = Hash2(ix, iy + 1, seed), d = Hash2(ix + 1, iy + 1, seed);
  return (a + (b - a) * ux) + ((c + (d - c) * ux) - (a + (b - a) * ux)) * uy;
}

double Fbm(double x, double y, int octaves, uint32_t seed) {
  double sum = 0.0, amp = 1.0, norm = 0.0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * ValueNoise(x, y, seed + static_cast<uint32_t>(o) * 101u);
    norm += amp;
    amp *= 0.5;
    x *= 2.03;
    y *= 2.03;
  }
  return sum / norm;
}

Bitmap::Bitmap(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}

void Bitmap::Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = Pixel(x, y);
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
}  // namespace

bool WriteBmp(const std::string& path, const Bitmap& bitmap) {
  uint32_t rowBytes = (static_cast<uint32_t>(bitmap.width) * 3 + 3) & ~3u;
  uint32_t imageBytes = rowBytes * static_cast<uint32_t>(bitmap.height);
  std::vector<uint8_t> out;
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + imageBytes);  // file size
  Put32(out, 0);                // reserved
  Put32(out, 54);               // offset of the pixels
  Put32(out, 40);               // BITMAPINFOHEADER
  Put32(out, static_cast<uint32_t>(bitmap.width));
  Put32(out, static_cast<uint32_t>(bitmap.height));  // positive: bottom-up rows
  Put16(out, 1);                                     // planes
  Put16(out, 24);                                    // bits per pixel
  Put32(out, 0);                                     // BI_RGB, uncompressed
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const uint8_t* row = &bitmap.rgb[static_cast<size_t>(y) * bitmap.width * 3];
    for (int x = 0; x < bitmap.width; ++x) {
      out.push_back(row[x * 3 + 2]);  // BMP stores blue, green, red
      out.push_back(row[x * 3 + 1]);
      out.push_back(row[x * 3 + 0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(bitmap.width) * 3; pad < rowBytes; ++pad)
      out.push_back(0);
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

RgbaBitmap::RgbaBitmap(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4) {}

double Bayer4(int x, int y) {
  static const int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

void Quantize565(Color c, double threshold, uint8_t out[3]) {
  const double channel[3] = {c.r, c.g, c.b};
  for (int i = 0; i < 3; ++i) {
    int bits = i == 1 ? 6 : 5;
    int levels = (1 << bits) - 1;
    int q = static_cast<int>(std::floor(Clamp01(channel[i]) * levels + threshold));
    q = std::clamp(q, 0, levels);
    // Expanded so that the display's truncation (v >> 3, v >> 2) gives back exactly q.
    out[i] = static_cast<uint8_t>(bits == 5 ? (q << 3) | (q >> 2) : (q << 2) | (q >> 4));
  }
}

Bitmap ToOpaque(const Canvas& canvas) {
  Bitmap out(canvas.width, canvas.height);
  for (int y = 0; y < canvas.height; ++y)
    for (int x = 0; x < canvas.width; ++x) {
      Color c = Scale(canvas.Get(x, y), canvas.GetA(x, y));
      Quantize565(c, Bayer4(x, y), out.Pixel(x, y));
    }
  return out;
}

RgbaBitmap ToTransparent(const Canvas& canvas) {
  RgbaBitmap out(canvas.width, canvas.height);
  for (int y = 0; y < canvas.height; ++y)
    for (int x = 0; x < canvas.width; ++x) {
      uint8_t* p = out.Pixel(x, y);
      Quantize565(canvas.Get(x, y), Bayer4(x, y), p);
      p[3] = static_cast<uint8_t>(std::lround(Clamp01(canvas.GetA(x, y)) * 255.0));
    }
  return out;
}

Bitmap ToKeyed(const Canvas& canvas, Key key) {
  Bitmap out(canvas.width, canvas.height);
  for (int y = 0; y < canvas.height; ++y)
    for (int x = 0; x < canvas.width; ++x) {
      uint8_t* p = out.Pixel(x, y);
      if (canvas.GetA(x, y) < 0.5) {
        uint8_t v = key == Key::kBlack ? 0 : 255;
        p[0] = p[1] = p[2] = v;
        continue;
      }
      Quantize565(canvas.Get(x, y), 0.5, p);
      // A sprite pixel must never fall on the key's 16-bit value, or it would turn into a hole.
      if (key == Key::kBlack && (p[0] >> 3) == 0 && (p[1] >> 2) == 0 && (p[2] >> 3) == 0)
        p[0] = p[1] = p[2] = 8;
      if (key == Key::kWhite && (p[0] >> 3) == 31 && (p[1] >> 2) == 63 && (p[2] >> 3) == 31)
        p[0] = p[1] = p[2] = 239;
    }
  return out;
}

}  // namespace art
