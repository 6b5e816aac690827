#include "tools/scenery.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/font.h"
#include "tools/plane.h"
#include "tools/sprites.h"

namespace art {
namespace {

struct Stop {
  double at;
  Color color;
};

template <size_t N>
Color Gradient(const Stop (&stops)[N], double v) {
  if (v <= stops[0].at) return stops[0].color;
  for (size_t i = 1; i < N; ++i)
    if (v <= stops[i].at)
      return Mix(stops[i - 1].color, stops[i].color,
                 (v - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
  return stops[N - 1].color;
}

void FillRect(Canvas& c, int x0, int y0, int x1, int y1, Color col, double a = 1.0) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) c.Blend(x, y, col, a);
}

// Distance from (x, y) to a rounded rectangle's edge; negative inside.
double RoundRectDistance(double x, double y, double x0, double y0, double x1, double y1,
                         double radius) {
  double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  double dx = std::abs(x - cx) - hx, dy = std::abs(y - cy) - hy;
  double outside = std::hypot(std::max(dx, 0.0), std::max(dy, 0.0));
  return outside + std::min(std::max(dx, dy), 0.0) - radius;
}

// A soft-edged darkening behind text: alpha `a` inside, fading out over `feather` pixels.
void ShadePanel(Canvas& c, double x0, double y0, double x1, double y1, double radius, Color col,
                double a, double feather) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      double d = RoundRectDistance(x + 0.5, y + 0.5, x0, y0, x1, y1, radius);
      if (d < feather) c.Blend(x, y, col, a * SmoothStep(feather, 0.0, d));
    }
}

// A 1-pixel outline of a rounded rectangle, anti-aliased.
void StrokeRoundRect(Canvas& c, double x0, double y0, double x1, double y1, double radius,
                     Color col, double a) {
  for (int y = static_cast<int>(y0) - 2; y < y1 + 2; ++y)
    for (int x = static_cast<int>(x0) - 2; x < x1 + 2; ++x) {
      double d = std::abs(RoundRectDistance(x + 0.5, y + 0.5, x0, y0, x1, y1, radius));
      if (d < 1.0) c.Blend(x, y, col, a * (1.0 - d));
    }
}

// ---------------------------------------------------------------- playfield background

void DrawDaySky(Canvas& c) {
  const Stop sky[] = {{0, Rgb(34, 70, 148)},
                      {140, Rgb(50, 102, 184)},
                      {300, Rgb(110, 164, 222)},
                      {390, Rgb(180, 210, 236)},
                      {432, Rgb(226, 228, 222)}};
  for (int y = 0; y < kHorizonY; ++y)
    for (int x = 0; x < c.width; ++x) {
      // A faint brightening towards the sun, high on the left.
      double sun = std::exp(-(std::pow((x - 90.0) / 260.0, 2) + std::pow((y - 60.0) / 200.0, 2)));
      c.Blend(x, y, Shade(Gradient(sky, y), 0.10 * sun), 1.0);
    }
}

// Height above the horizon of a range of hills at column x.
double Ridge(double x, double base, double amplitude, double period, uint32_t seed) {
  return base + amplitude * Fbm(x / period, 0.5, 4, seed);
}

void DrawHills(Canvas& c) {
  for (int x = 0; x < c.width; ++x) {
    // Far mountains, blue with haze at their feet.
    double far = kHorizonY - Ridge(x, 18.0, 64.0, 150.0, 21u);
    for (int y = static_cast<int>(far); y < kHorizonY; ++y) {
      double cover = y == static_cast<int>(far) ? 1.0 - (far - std::floor(far)) : 1.0;
      double haze = (y - far) / std::max(1.0, kHorizonY - far);
      Color rock = Mix(Rgb(118, 140, 180), Rgb(176, 196, 214), haze * 0.8);
      // Light catches the ridges' left flanks.
      double slope = Ridge(x + 1, 18.0, 64.0, 150.0, 21u) - Ridge(x - 1, 18.0, 64.0, 150.0, 21u);
      rock = Shade(rock, std::clamp(slope * 0.08, -0.06, 0.10) * (1.0 - haze));
      c.Blend(x, y, rock, cover);
    }
    // Nearer green hills.
    double near = kHorizonY - Ridge(x + 400, 4.0, 30.0, 90.0, 33u);
    for (int y = static_cast<int>(near); y < kHorizonY; ++y) {
      double cover = y == static_cast<int>(near) ? 1.0 - (near - std::floor(near)) : 1.0;
      double t = (y - near) / std::max(1.0, kHorizonY - near);
      Color grass = Mix(Rgb(104, 146, 110), Rgb(126, 158, 104), t);
      grass = Shade(grass, (Fbm(x * 0.15, y * 0.3, 3, 44u) - 0.5) * 0.16);
      c.Blend(x, y, grass, cover);
    }
  }
}

void DrawTree(Canvas& c, double x, double baseY, double height, uint32_t seed) {
  double r = height * 0.42;
  double cy = baseY - height + r;
  FillRect(c, static_cast<int>(x), static_cast<int>(cy + r * 0.5), static_cast<int>(x) + 1,
           static_cast<int>(baseY), Rgb(70, 54, 40));
  for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
    for (int xx = static_cast<int>(x - r) - 1; xx <= static_cast<int>(x + r) + 1; ++xx) {
      double dx = (xx + 0.5 - x) / r, dy = (y + 0.5 - cy) / (r * 1.15);
      double d = std::sqrt(dx * dx + dy * dy) + (Hash2(xx, y, seed) - 0.5) * 0.25;
      if (d > 1.0) continue;
      double light = Clamp01(0.5 - 0.45 * dx - 0.55 * dy);
      c.Blend(xx, y, Mix(Rgb(34, 78, 40), Rgb(96, 150, 64), light), Clamp01((1.0 - d) * 4.0));
    }
}

void DrawHangar(Canvas& c, int x0, int x1, int baseY, int height) {
  double mid = (x0 + x1) / 2.0, half = (x1 - x0) / 2.0;
  for (int x = x0; x < x1; ++x) {
    double u = (x + 0.5 - mid) / half;
    double top = baseY - height * std::sqrt(std::max(0.0, 1.0 - u * u));
    for (int y = static_cast<int>(top); y < baseY; ++y) {
      bool rib = (x - x0) % 4 == 0;
      Color roof = Shade(Rgb(136, 146, 136), -0.35 * (u + 1.0) / 2.0 + (rib ? -0.08 : 0.0));
      c.Blend(x, y, roof, 1.0);
    }
  }
  // Open doors with a glimpse of the dark inside.
  int dw = (x1 - x0) / 2;
  FillRect(c, static_cast<int>(mid) - dw / 2, baseY - height / 2 - 1,
           static_cast<int>(mid) + dw / 2, baseY, Rgb(44, 40, 40));
  FillRect(c, static_cast<int>(mid) - dw / 2, baseY - height / 2 - 1,
           static_cast<int>(mid) + dw / 2, baseY - height / 2, Rgb(190, 190, 176));
}

void DrawGround(Canvas& c) {
  const Stop grass[] = {
      {kHorizonY, Rgb(124, 164, 76)}, {456, Rgb(84, 138, 56)}, {480, Rgb(52, 100, 40)}};
  for (int y = kHorizonY; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      Color g = Gradient(grass, y);
      // Mown stripes and tufts, finer near the horizon.
      double depth = (y - kHorizonY + 4.0) / 52.0;
      double n = Fbm(x * 0.09 / depth, y * 0.5, 3, 55u);
      g = Shade(
          g, (n - 0.5) * 0.22 + ((static_cast<int>(x / (40.0 * depth + 8.0)) & 1) ? 0.03 : -0.02));
      if (Hash2(x, y, 56u) < 0.05 * depth) g = Shade(g, -0.18);
      c.Blend(x, y, g, 1.0);
    }
}

void DrawRunway(Canvas& c, int x0, int x1) {
  for (int y = kRunwayFarY; y <= kRunwayNearY; ++y)
    for (int x = x0; x < x1; ++x) {
      double t = (y - kRunwayFarY) / static_cast<double>(kRunwayNearY - kRunwayFarY);
      Color tar = Mix(Rgb(118, 118, 120), Rgb(88, 88, 94), t);
      tar = Shade(tar,
                  (Hash2(x, y, 61u) - 0.5) * 0.10 + (Fbm(x * 0.05, y * 0.4, 2, 62u) - 0.5) * 0.12);
      if (y == kRunwayFarY || y == kRunwayNearY) tar = Rgb(208, 206, 192);
      // Centre line.
      if ((y == 444 || y == 445) && ((x - x0) % 20) < 10 && x > x0 + 16 && x < x1 - 16)
        tar = Rgb(236, 234, 220);
      // Threshold bars at both ends.
      bool endZone = x - x0 < 10 || x1 - x <= 10;
      if (endZone && y > kRunwayFarY + 1 && y < kRunwayNearY - 1 && ((y - kRunwayFarY) % 3) != 0)
        tar = Rgb(230, 228, 214);
      c.Blend(x, y, tar, 1.0);
    }
}

// ---------------------------------------------------------------- title picture

// The title's letterforms: the bold text font's glyphs traced smoothly at a large size (the
// 8x8 mask is interpolated and cut at half height, which rounds the corners).
double TitleField(const char* text, double gx, double gy) {
  int len = 0;
  while (text[len] != '\0') ++len;
  auto ink = [&](int cx, int cy) -> double {
    if (cx < 0 || cy < 0 || cy > 7) return 0.0;
    int ch = cx / 8;
    if (ch >= len) return 0.0;
    return GlyphInk(static_cast<unsigned char>(text[ch]), cx % 8, cy) ? 1.0 : 0.0;
  };
  double fx = gx - 0.5, fy = gy - 0.5;
  int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  double tx = fx - ix, ty = fy - iy;
  double a = ink(ix, iy), b = ink(ix + 1, iy), cc = ink(ix, iy + 1), d = ink(ix + 1, iy + 1);
  return (a * (1 - tx) + b * tx) * (1 - ty) + (cc * (1 - tx) + d * tx) * ty;
}

void DrawTitleLine(Canvas& c, const char* text, double left, double top, double cell,
                   double slant) {
  int len = 0;
  while (text[len] != '\0') ++len;
  const double width = len * 8 * cell, height = 8 * cell;
  const int n = 4;
  // A warm glow around the letters lifts them off the night sky.
  for (int y = static_cast<int>(top) - 16; y < top + height + 16; ++y)
    for (int x = static_cast<int>(left) - 32; x < left + width + 32; ++x) {
      double glow = 0.0;
      for (int k = 0; k < 12; ++k) {
        double ang = k * std::numbers::pi / 6.0;
        double gy = (y + 0.5 + 2.2 * cell * std::sin(ang) - top) / cell;
        double gx =
            (x + 0.5 + 2.2 * cell * std::cos(ang) - left + slant * (y + 0.5 - top - height * 0.5)) /
            cell;
        glow += TitleField(text, gx, gy);
      }
      c.Blend(x, y, Rgb(255, 120, 40), 0.05 * std::min(glow, 6.0));
    }
  // Shadow first, then the dark outline, then the letters.
  for (int pass = 0; pass < 3; ++pass) {
    double ox = pass == 0 ? 6.0 : 0.0, oy = pass == 0 ? 6.0 : 0.0;
    double cut = pass == 2 ? 0.5 : 0.14;
    for (int y = static_cast<int>(top) - 8; y < top + height + 12; ++y)
      for (int x = static_cast<int>(left) - 24; x < left + width + 24; ++x) {
        Color sum;
        int hits = 0;
        for (int j = 0; j < n; ++j)
          for (int i = 0; i < n; ++i) {
            double py = y + (j + 0.5) / n - oy, px = x + (i + 0.5) / n - ox;
            double gy = (py - top) / cell;
            double gx = (px - left + slant * (py - top - height * 0.5)) / cell;
            double f = TitleField(text, gx, gy);
            if (f < cut) continue;
            ++hits;
            if (pass < 2) continue;
            // Metal: bright at the top of each letter, a hot orange band, darker below; the
            // field's slope lights the bevel from the upper left.
            double v = Clamp01(gy / 7.0);
            const Stop metal[] = {{0.0, Rgb(255, 252, 214)},
                                  {0.35, Rgb(255, 214, 80)},
                                  {0.55, Rgb(246, 140, 30)},
                                  {1.0, Rgb(150, 44, 22)}};
            Color col = Gradient(metal, v);
            double e = 0.04;
            double dfx = TitleField(text, gx + e, gy) - TitleField(text, gx - e, gy);
            double dfy = TitleField(text, gx, gy + e) - TitleField(text, gx, gy - e);
            double bevel = Clamp01((0.9 - f) / 0.4);  // only near the edges
            double light = (dfx * 0.6 + dfy * 0.8) / (2 * e);
            col = Shade(col, std::clamp(light * 0.35, -0.45, 0.5) * bevel);
            sum.r += col.r;
            sum.g += col.g;
            sum.b += col.b;
          }
        if (hits == 0) continue;
        double cover = static_cast<double>(hits) / (n * n);
        if (pass == 0) c.Blend(x, y, Rgb(8, 6, 20), 0.55 * cover);
        if (pass == 1) c.Blend(x, y, Rgb(40, 14, 20), cover);
        if (pass == 2) c.Blend(x, y, Scale(sum, 1.0 / hits), cover);
      }
  }
}

void DrawNightSky(Canvas& c) {
  const Stop sky[] = {{0, Rgb(8, 10, 34)},     {150, Rgb(20, 24, 66)},  {280, Rgb(40, 34, 90)},
                      {360, Rgb(84, 48, 100)}, {396, Rgb(150, 74, 86)}, {410, Rgb(190, 100, 70)}};
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) c.Blend(x, y, Gradient(sky, y), 1.0);
  // Stars, fewer towards the glow of the horizon.
  Rng rng(4242);
  for (int i = 0; i < 420; ++i) {
    int x = static_cast<int>(rng.Range(0, 640)), y = static_cast<int>(rng.Range(0, 380));
    double b = rng.Uniform();
    if (rng.Uniform() * 380 < y * 0.8) continue;
    Color s = Mix(Rgb(150, 160, 220), Rgb(255, 250, 230), b);
    c.Blend(x, y, s, 0.35 + 0.6 * b);
    if (b > 0.93)
      for (int k = -1; k <= 1; k += 2) {
        c.Blend(x + k, y, s, 0.4);
        c.Blend(x, y + k, s, 0.4);
      }
  }
}

void DrawMoon(Canvas& c, double mx, double my, double r) {
  for (int y = static_cast<int>(my - r * 3); y < my + r * 3; ++y)
    for (int x = static_cast<int>(mx - r * 3); x < mx + r * 3; ++x) {
      double d = std::hypot(x + 0.5 - mx, y + 0.5 - my);
      if (d > r) {
        c.Blend(x, y, Rgb(200, 200, 240), 0.22 * std::exp(-(d - r) / (r * 0.6)));
        continue;
      }
      double crater = Fbm(x * 0.12, y * 0.12, 3, 77u);
      Color moon = Shade(Rgb(248, 240, 206), (crater - 0.5) * 0.35 - 0.25 * (x + 0.5 - mx) / r);
      c.Blend(x, y, moon, Clamp01(r - d));
    }
}

// A searchlight beam from (x0, y0) pointing at `angle` (degrees, 0 = up, positive = right).
void DrawBeam(Canvas& c, double x0, double y0, double angle, double spread, double strength) {
  double rad = angle * std::numbers::pi / 180.0;
  double dx = std::sin(rad), dy = -std::cos(rad);
  for (int y = 0; y < static_cast<int>(y0); ++y)
    for (int x = 0; x < c.width; ++x) {
      double vx = x + 0.5 - x0, vy = y + 0.5 - y0;
      double along = vx * dx + vy * dy;
      if (along <= 0) continue;
      double across = std::abs(vx * dy - vy * dx);
      double half = 3.0 + along * spread;
      if (across > half) continue;
      double a = strength * (1.0 - across / half) * std::exp(-along / 420.0);
      c.Blend(x, y, Rgb(210, 220, 255), a);
    }
}

void DrawTrail(Canvas& c, double x0, double y0, double x1, double y1, double bend, double width) {
  for (int i = 0; i <= 200; ++i) {
    double t = i / 200.0;
    // A curve that spreads out and fades away behind the plane at (x1, y1).
    double mx = (x0 + x1) / 2 + bend, my = (y0 + y1) / 2 + bend * 0.5;
    double px = (1 - t) * (1 - t) * x0 + 2 * (1 - t) * t * mx + t * t * x1;
    double py = (1 - t) * (1 - t) * y0 + 2 * (1 - t) * t * my + t * t * y1;
    double r = width * (0.5 + 1.2 * (1.0 - t));
    for (int y = static_cast<int>(py - r) - 1; y <= py + r + 1; ++y)
      for (int x = static_cast<int>(px - r) - 1; x <= px + r + 1; ++x) {
        double d = std::hypot(x + 0.5 - px, y + 0.5 - py) / r;
        if (d < 1.0) c.Blend(x, y, Rgb(230, 230, 240), 0.035 * t * (1.0 - d));
      }
  }
}

void DrawNightGround(Canvas& c) {
  for (int x = 0; x < c.width; ++x) {
    double far = 404 - Ridge(x, 6.0, 40.0, 120.0, 91u);
    double near = 418 - Ridge(x + 700, 2.0, 16.0, 70.0, 92u);
    for (int y = static_cast<int>(far); y < c.height; ++y) {
      Color col = y < near ? Rgb(46, 34, 72) : Rgb(20, 18, 36);
      double cover = y == static_cast<int>(far) ? 1.0 - (far - std::floor(far)) : 1.0;
      if (y >= near) {
        cover = y == static_cast<int>(near) ? 1.0 - (near - std::floor(near)) : 1.0;
        col = Mix(Rgb(26, 22, 44), Rgb(12, 12, 24), Clamp01((y - near) / 50.0));
      }
      c.Blend(x, y, col, cover);
    }
  }
  // A runway running away from us, edged with lights, between the two key legends.
  const double vanishX = 320.0, vanishY = 424.0;
  for (int y = 432; y < c.height; ++y) {
    double t = (y - vanishY) / (c.height - vanishY);
    double half = 8.0 + 92.0 * t;
    for (int x = static_cast<int>(vanishX - half); x <= vanishX + half; ++x)
      c.Blend(x, y, Rgb(34, 32, 48), 0.8 * Clamp01(t * 3.0));
  }
  for (int side = -1; side <= 1; side += 2)
    for (int i = 0; i < 9; ++i) {
      double t = std::pow((i + 1) / 9.0, 1.6);  // lights spread out as they come closer
      double y = vanishY + t * (c.height - 4 - vanishY) + 2.0;
      if (y < 434) continue;
      double x = vanishX + side * (10.0 + 96.0 * t);
      double r = 0.7 + 1.6 * t;
      for (int py = static_cast<int>(y - r * 3); py <= y + r * 3; ++py)
        for (int px = static_cast<int>(x - r * 3); px <= x + r * 3; ++px) {
          double d = std::hypot(px + 0.5 - x, py + 0.5 - y) / r;
          c.Blend(px, py, Rgb(255, 206, 120), Clamp01(1.3 - d) + 0.3 * std::exp(-d));
        }
    }
}

// ---------------------------------------------------------------- panel pieces

// Brushed steel with a faint horizontal grain.
Color Steel(int x, int y, int height) {
  Color base = Mix(Rgb(58, 68, 88), Rgb(36, 42, 58), y / static_cast<double>(height));
  double grain =
      (ValueNoise(x * 0.08, y * 1.7, 81u) - 0.5) * 0.10 + (Hash2(x, y, 82u) - 0.5) * 0.04;
  return Shade(base, grain);
}

// A recessed dark window with a shadowed top-left and a lit bottom-right rim.
void Inset(Canvas& c, int x0, int y0, int x1, int y1, Color face) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      Color col = Mix(face, Shade(face, -0.35), (y - y0) / static_cast<double>(y1 - y0) * 0.6);
      if (x == x0 || y == y0)
        col = Rgb(12, 14, 22);
      else if (x == x1 - 1 || y == y1 - 1)
        col = Rgb(110, 124, 150);
      else if (x == x0 + 1 || y == y0 + 1)
        col = Shade(face, -0.5);
      c.Blend(x, y, col, 1.0);
    }
}

void Rivet(Canvas& c, int x, int y) {
  c.Blend(x, y, Rgb(170, 180, 200), 1.0);
  c.Blend(x + 1, y, Rgb(110, 120, 140), 1.0);
  c.Blend(x, y + 1, Rgb(110, 120, 140), 1.0);
  c.Blend(x + 1, y + 1, Rgb(24, 28, 40), 1.0);
}

// A round instrument: brass bezel, black face, ticks and a needle.
void Gauge(Canvas& c, double cx, double cy, double r, double needleDeg, Color needle, int ticks) {
  const int n = 4;
  for (int y = static_cast<int>(cy - r) - 2; y <= cy + r + 2; ++y)
    for (int x = static_cast<int>(cx - r) - 2; x <= cx + r + 2; ++x) {
      Color sum;
      int hits = 0;
      for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
          double px = x + (i + 0.5) / n - cx, py = y + (j + 0.5) / n - cy;
          double d = std::hypot(px, py);
          if (d > r) continue;
          Color col;
          if (d > r - 3.0) {
            // Bezel lit from the upper left.
            double l = (-px - py) / (d + 1e-9);
            col = Shade(Rgb(176, 140, 70), 0.3 * l);
          } else {
            col = Mix(Rgb(30, 32, 40), Rgb(12, 12, 18), d / r);
            double ang = std::atan2(px, -py) * 180.0 / std::numbers::pi;
            double step = 360.0 / ticks;
            double off = std::abs(std::remainder(ang, step));
            if (d > r - 8.0 && d < r - 4.0 && off * d * std::numbers::pi / 180.0 < 0.7)
              col = Rgb(226, 226, 210);
            // Needle.
            double nr = needleDeg * std::numbers::pi / 180.0;
            double nx = std::sin(nr), ny = -std::cos(nr);
            double along = px * nx + py * ny, across = std::abs(px * ny - py * nx);
            if (along > -3.0 && along < r - 6.0 && across < 0.9 - along * 0.03) col = needle;
            if (d < 1.8) col = Rgb(180, 180, 170);
            // Glass glint.
            double gx = px + r * 0.35, gy = py + r * 0.4;
            if (std::hypot(gx, gy) < r * 0.5 && std::hypot(gx - 2, gy - 3) > r * 0.45)
              col = Shade(col, 0.25);
          }
          sum.r += col.r;
          sum.g += col.g;
          sum.b += col.b;
          ++hits;
        }
      if (hits > 0) c.Blend(x, y, Scale(sum, 1.0 / hits), static_cast<double>(hits) / (n * n));
    }
}

// An artificial horizon: a tilted line between sky and earth behind a fixed aircraft symbol.
void Horizon(Canvas& c, int x0, int y0, int x1, int y1, double tiltDeg) {
  double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0;
  double t = std::tan(tiltDeg * std::numbers::pi / 180.0);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      double horizon = cy + 2.0 + (x + 0.5 - cx) * t;
      double d = y + 0.5 - horizon;
      Color col = d < 0 ? Mix(Rgb(40, 96, 170), Rgb(120, 170, 220), Clamp01(1.0 + d / 14.0))
                        : Mix(Rgb(140, 92, 48), Rgb(84, 52, 30), Clamp01(d / 12.0));
      if (std::abs(d) < 0.6) col = Rgb(236, 236, 226);
      // Pitch marks above and below the horizon.
      for (int k : {-8, 8})
        if (std::abs(d - k) < 0.5 && std::abs(x + 0.5 - cx) < 6.0) col = Rgb(220, 220, 210);
      // The fixed aircraft symbol.
      double ax = x + 0.5 - cx, ay = y + 0.5 - cy;
      if ((std::abs(ay) < 1.0 && std::abs(ax) > 5.0 && std::abs(ax) < 15.0) ||
          (std::abs(ax) < 1.5 && std::abs(ay) < 1.5))
        col = Rgb(255, 150, 40);
      c.Blend(x, y, col, 1.0);
    }
}

// A winged emblem with a roundel, for the panel between the title and the scores.
void Wings(Canvas& c, double cx, double cy) {
  const int n = 4;
  for (int y = static_cast<int>(cy) - 16; y <= cy + 16; ++y)
    for (int x = static_cast<int>(cx) - 38; x <= cx + 38; ++x) {
      Color sum;
      int hits = 0;
      for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
          double px = x + (i + 0.5) / n - cx, py = y + (j + 0.5) / n - cy;
          double d = std::hypot(px, py);
          Color col;
          bool hit = false;
          if (d < 9.0) {
            hit = true;
            col = d < 3.5 ? Rgb(214, 40, 32) : d < 6.5 ? Rgb(240, 236, 220) : Rgb(36, 84, 214);
            if (d > 8.0) col = Rgb(176, 140, 70);
          } else {
            // Feathers: stacked tapering bands sweeping out and up.
            double ax = std::abs(px);
            if (ax > 9.0 && ax < 36.0) {
              double u = (ax - 9.0) / 27.0;
              double topEdge = -7.0 - 6.0 * u;
              double bottomEdge = 5.0 - 10.0 * u * u;
              if (py > topEdge && py < bottomEdge) {
                hit = true;
                double band = (py - topEdge) / (bottomEdge - topEdge);
                int feather = static_cast<int>(band * 4.0);
                double lift = (band * 4.0 - feather);
                col = Shade(Rgb(200, 164, 84), 0.25 - 0.15 * feather - 0.25 * lift);
              }
            }
          }
          if (!hit) continue;
          sum.r += col.r;
          sum.g += col.g;
          sum.b += col.b;
          ++hits;
        }
      if (hits > 0) c.Blend(x, y, Scale(sum, 1.0 / hits), static_cast<double>(hits) / (n * n));
    }
}

void Button(Canvas& c, int y0, Color face) {
  for (int y = y0; y < y0 + 32; ++y)
    for (int x = 0; x < 80; ++x) {
      int ly = y - y0;
      Color col = Mix(Shade(face, 0.18), Shade(face, -0.3), ly / 31.0);
      if (ly == 15 || ly == 16) col = Shade(col, 0.04);
      if (x == 0 || ly == 0 || x == 79 || ly == 31)
        col = Rgb(12, 14, 20);
      else if (x <= 2 || ly <= 2)
        col = Shade(face, 0.45 - 0.1 * std::min(x, ly));
      else if (x >= 77 || ly >= 29)
        col = Shade(face, -0.55 + 0.1 * std::min(79 - x, 31 - ly));
      c.Blend(x, y, col, 1.0);
    }
  for (int rx : {5, 73})
    for (int ry : {y0 + 5, y0 + 25}) Rivet(c, rx, ry);
}

}  // namespace

Bitmap MakeBackground() {
  Canvas c(640, 480);
  DrawDaySky(c);
  DrawHills(c);
  // A hangar behind player 1's runway and trees along the edge of the field.
  DrawHangar(c, 168, 226, kHorizonY + 2, 22);
  Rng rng(1234);
  for (int i = 0; i < 40; ++i) {
    double x = rng.Range(0, 640);
    double h = rng.Range(6.0, 13.0);
    if ((x > 160 && x < 234) || (x > 258 && x < 306)) continue;
    DrawTree(c, x, kHorizonY + 1.0, h, static_cast<uint32_t>(i));
  }
  DrawGround(c);
  DrawRunway(c, 0, kRunway1End);
  DrawRunway(c, kRunway2Start, 640);
  // Apron under the tower and its shadow, falling to the right.
  for (int y = 447; y <= 456; ++y)
    for (int x = 254; x < 306; ++x) {
      double edge = std::min({x - 254.0, 305.0 - x, y - 447.0, 456.0 - y});
      c.Blend(x, y, Rgb(170, 166, 150), Clamp01(edge + 0.6) * 0.9);
    }
  for (int y = 448; y <= 455; ++y)
    for (int x = 292; x < 312; ++x) c.Blend(x, y, Rgb(20, 30, 20), 0.28 * (1.0 - (x - 292) / 20.0));
  return ToOpaque(c);
}

Bitmap MakeTitle() {
  Canvas c(640, 480);
  DrawNightSky(c);
  DrawMoon(c, 574, 64, 22);
  DrawBeam(c, 66, 404, -14.0, 0.09, 0.16);
  DrawBeam(c, 590, 406, 12.0, 0.08, 0.14);
  DrawNightGround(c);
  // The two rivals caught in the searchlights, leaving trails.
  DrawTrail(c, -20, 380, 62, 250, -30, 6.0);
  DrawPlane(c, 0, 68, 244, -38.0, 2.7);
  DrawTrail(c, 680, 330, 580, 240, 20, 6.0);
  DrawPlane(c, 1, 572, 236, -24.0, 2.7, true);
  // Calm, darker ground behind the menu and the key legends.
  ShadePanel(c, 138, 140, 502, 442, 10, Rgb(6, 6, 20), 0.55, 10);
  ShadePanel(c, 4, 404, 184, 478, 6, Rgb(6, 6, 20), 0.5, 6);
  ShadePanel(c, 466, 404, 636, 478, 6, Rgb(6, 6, 20), 0.5, 6);
  StrokeRoundRect(c, 138, 140, 502, 442, 10, Rgb(200, 160, 90), 0.35);
  // Glyph cells are 8 wide but letters only 6, so each line is centred on 8n - 2 cells.
  const double cell = 7.4;
  DrawTitleLine(c, "Corvane", 320 - (7 * 8 - 2) * cell / 2, 6, cell, 0.22);
  DrawTitleLine(c, "Altor", 320 - (5 * 8 - 2) * cell / 2 + 36, 70, cell, 0.22);
  return ToOpaque(c);
}

Bitmap MakeRightPanel() {
  Canvas c(80, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 80; ++x) c.Blend(x, y, Steel(x, y, 480), 1.0);
  // Seam against the playfield and the panel's own bevel.
  FillRect(c, 0, 0, 1, 480, Rgb(10, 12, 18));
  FillRect(c, 1, 0, 2, 480, Rgb(120, 134, 160));
  FillRect(c, 79, 0, 80, 480, Rgb(16, 18, 26));
  // Title plate: "Corvane" at (12, 5), "Altor" at (20, 15).
  Inset(c, 5, 1, 76, 27, Rgb(26, 20, 40));
  Wings(c, 40, 58);
  // Score plates: "Player 1" at (8, 100) over a red band, its score at (30, 115); player 2 in blue.
  const Color bands[2] = {Rgb(120, 26, 24), Rgb(26, 46, 128)};
  for (int p = 0; p < 2; ++p) {
    int top = 94 + p * 100;
    Inset(c, 4, top, 76, top + 42, Rgb(20, 24, 36));
    FillRect(c, 6, top + 2, 75, top + 17, bands[p]);
    FillRect(c, 6, top + 2, 75, top + 3, Shade(bands[p], 0.3));
    FillRect(c, 6, top + 16, 75, top + 17, Shade(bands[p], -0.5));
    for (int rx : {7, 72}) Rivet(c, rx, top + 37);
  }
  // Instruments: an artificial horizon between the score plates, two dials below them.
  Inset(c, 10, 144, 70, 186, Rgb(20, 24, 36));
  Horizon(c, 12, 146, 68, 184, -12.0);
  Gauge(c, 40, 276, 24, 130.0, Rgb(255, 120, 40), 12);
  Gauge(c, 40, 338, 20, -60.0, Rgb(230, 230, 210), 8);
  // "To win:" at (16, 380) with its number at (32, 394).
  Inset(c, 8, 375, 72, 410, Rgb(22, 26, 38));
  for (int ry : {31, 88, 188, 238, 366})
    for (int rx : {4, 74}) Rivet(c, rx, ry);
  return ToOpaque(c);
}

Bitmap MakeButtons() {
  Canvas c(80, 64);
  Button(c, 0, Rgb(58, 86, 140));   // "Main Menu"
  Button(c, 32, Rgb(150, 42, 36));  // "Quit"
  return ToOpaque(c);
}

}  // namespace art
