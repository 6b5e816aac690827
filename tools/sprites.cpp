#include "tools/sprites.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {
namespace {

// Colour of burning gas by temperature, from dull red to white-hot.
Color FlameColor(double t) {
  static const Color kRamp[] = {Rgb(120, 24, 16),  Rgb(200, 40, 16),   Rgb(244, 100, 20),
                                Rgb(255, 170, 40), Rgb(255, 226, 110), Rgb(255, 250, 220)};
  t = Clamp01(t) * 5.0;
  int i = std::min(static_cast<int>(t), 4);
  return Mix(kRamp[i], kRamp[i + 1], t - i);
}

// One licking flame: a teardrop with its round base at (bx, by), rising `height` pixels,
// `width` wide at its belly, its tip swaying `sway` pixels sideways.
struct Tongue {
  double bx, by, height, width, sway;
};

// Temperature of the flame tongues at a point (0 outside).
double TongueHeat(const Tongue* tongues, int count, double x, double y) {
  double best = 0.0;
  for (int i = 0; i < count; ++i) {
    const Tongue& t = tongues[i];
    double v = (t.by - y) / t.height;  // 0 at the base, 1 at the tip
    if (v < -0.3 || v > 1.0) continue;
    // Round belly low down, drawn out to a point at the top.
    double u = (v + 0.3) / 1.3;
    double half = t.width * 0.5 * std::pow(std::sin(std::numbers::pi * std::pow(u, 0.6)), 0.8);
    double centre = t.bx + t.sway * v * v;
    double d = std::abs(x - centre) / std::max(half, 1e-6);
    if (d < 1.0) best = std::max(best, 1.05 - 0.55 * d * d - 0.6 * std::max(v, 0.0));
  }
  return best;
}

void DrawFlames(Canvas& sheet, int frame, const Tongue* tongues, int count, double smokeRadius) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      double px = x + 0.5, py = y + 0.5;
      double flicker = Fbm(px * 0.3, py * 0.3 + frame * 7.0, 3, 71u) - 0.5;
      double heat = TongueHeat(tongues, count, px + flicker * 3.0, py + flicker * 1.5);
      if (heat > 0.15) {
        sheet.Blend(frame * 32 + x, y, FlameColor(heat + flicker * 0.25), 1.0);
        continue;
      }
      if (smokeRadius > 0.0) {
        // A puff of dark smoke breaking away above the flames.
        double dx = px - 17.5, dy = py - 6.5;
        double d = std::sqrt(dx * dx * 0.55 + dy * dy) / smokeRadius + flicker * 1.2;
        if (d < 1.0) sheet.Blend(frame * 32 + x, y, Shade(Rgb(84, 76, 72), -0.35 * dy / 5.0), 1.0);
      }
    }
  // A few sparks.
  Rng rng(900u + static_cast<uint64_t>(frame));
  for (int i = 0; i < 3 + 2 * frame; ++i) {
    int sx = static_cast<int>(rng.Range(9, 24)), sy = static_cast<int>(rng.Range(5, 20));
    if (sheet.GetA(frame * 32 + sx, sy) < 0.5)
      sheet.Blend(frame * 32 + sx, sy, Rgb(255, 220, 120), 1.0);
  }
}

// The fireball and smoke frames 2..7.
struct Cloudburst {
  double cx, cy, radius, roughness, heat, smokeTone, cutoff;
};

void DrawBurst(Canvas& sheet, int frame, const Cloudburst& b) {
  const uint32_t seed = 300u + static_cast<uint32_t>(frame) * 17u;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      double px = x + 0.5 - b.cx, py = y + 0.5 - b.cy;
      double r = std::sqrt(px * px + py * py) / b.radius;
      double n = Fbm((x + 0.5) * 0.22, (y + 0.5) * 0.22 + frame * 3.1, 4, seed);
      double density = 1.0 - r + (n - 0.5) * b.roughness * 2.0;
      if (density <= 0.0) continue;
      // Thinning smoke: a checkerboard of pixels survives at the fringe, solid only inside.
      if (density <= b.cutoff && (density <= b.cutoff * 0.35 || ((x + y) & 1) != 0)) continue;
      double core = Clamp01((density - b.cutoff) / 0.6);
      double temp = b.heat * (core * 0.9 + (Fbm(x * 0.4, y * 0.4, 2, seed + 5u) - 0.5) * 0.5);
      // Hot gas rises: the fire sits low in the cloud, the smoke caps it.
      temp -= Clamp01(-py / b.radius) * 0.35 * (1.0 - b.heat * 0.5);
      Color c;
      if (temp > 0.18) {
        c = FlameColor(temp);
      } else {
        double tone = b.smokeTone * (0.8 + 0.45 * n) + 0.12 * Clamp01(-py / b.radius);
        c = Mix(Rgb(24, 20, 20), Rgb(236, 232, 226), Clamp01(tone));
        if (temp > 0.05) c = Mix(c, FlameColor(0.1), (temp - 0.05) / 0.13);
      }
      sheet.Blend(frame * 32 + x, y, c, 1.0);
    }
}

}  // namespace

Bitmap MakeFire() {
  Canvas sheet(256, 32);
  const Tongue kSmall[] = {
      {13.0, 19.5, 8.0, 4.6, -1.0}, {18.0, 18.5, 10.0, 5.2, 1.5}, {21.5, 20.5, 5.0, 3.2, 0.5}};
  const Tongue kLarger[] = {{11.0, 21.0, 11.0, 5.4, -1.5},
                            {16.5, 20.0, 15.0, 6.6, 1.0},
                            {21.5, 21.0, 11.0, 5.0, 2.0},
                            {14.0, 22.0, 6.0, 4.0, 0.0}};
  DrawFlames(sheet, 0, kSmall, 3, 0.0);
  DrawFlames(sheet, 1, kLarger, 4, 3.2);
  const Cloudburst kBursts[] = {
      {16.0, 16.5, 12.0, 0.28, 1.15, 0.22, 0.0},  // 2 fireball
      {16.0, 16.0, 13.0, 0.32, 0.85, 0.24, 0.0},  // 3 it swells, smoke on top
      {16.0, 15.0, 14.0, 0.36, 0.55, 0.28, 0.04},
      {16.0, 14.0, 14.0, 0.40, 0.28, 0.36, 0.10},  // 5 black smoke with embers
      {16.0, 12.5, 13.0, 0.44, 0.08, 0.50, 0.30},
      {16.0, 10.5, 12.5, 0.48, 0.00, 0.64, 0.55},  // 7 last wisps
  };
  for (int f = 2; f < 8; ++f) DrawBurst(sheet, f, kBursts[f - 2]);
  return ToKeyed(sheet, Key::kBlack);
}

Bitmap MakeCloud() {
  struct Puff {
    double x, y, r;
  };
  static const Puff kPuffs[] = {{12.0, 21.0, 7.5}, {21.0, 16.0, 9.5}, {33.0, 12.5, 10.5},
                                {44.0, 15.0, 9.0}, {53.0, 20.5, 7.0}, {28.0, 21.0, 8.5},
                                {40.0, 21.5, 8.0}, {19.0, 22.5, 7.0}};
  Canvas cloud(64, 32);
  const double lx = -0.35, ly = -0.75, lz = 0.56;  // light from above, a little from the left
  const int n = 4;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      Color sum;
      int hits = 0;
      for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
          double px = x + (i + 0.5) / n, py = y + (j + 0.5) / n;
          if (py > 28.5 - 0.02 * (px - 32) * (px - 32) / 8.0) continue;  // flat, rounded base
          // Each puff is a dome; the cloud's surface is the front-most dome at each point,
          // which gives the crisp, rounded lobes of a fair-weather cumulus.
          double bestZ = -1.0, nx = 0, ny = 0, nz = 0;
          double wobble = (Fbm(px * 0.25, py * 0.25, 2, 11u) - 0.5) * 2.0;
          for (const Puff& p : kPuffs) {
            double dx = px - p.x, dy = py - p.y;
            double r = p.r + wobble;
            double d2 = dx * dx + dy * dy;
            if (d2 >= r * r) continue;
            double z = std::sqrt(r * r - d2);
            if (z > bestZ) {
              bestZ = z;
              nx = dx / r;
              ny = dy / r;
              nz = z / r;
            }
          }
          if (bestZ < 0.0) continue;
          double light = Clamp01(0.5 + 0.6 * (nx * lx + ny * ly + nz * lz));
          // Undersides pick up the blue of the sky.
          Color c = Mix(Rgb(160, 178, 210), Rgb(255, 255, 255), light);
          c = Mix(c, Rgb(186, 196, 222), SmoothStep(20.0, 28.0, py) * 0.5);
          sum.r += c.r;
          sum.g += c.g;
          sum.b += c.b;
          ++hits;
        }
      if (hits > 0) cloud.Blend(x, y, Scale(sum, 1.0 / hits), static_cast<double>(hits) / (n * n));
    }
  return ToKeyed(cloud, Key::kBlack);
}

Bitmap MakeTower() {
  Canvas t(32, 64);
  auto rect = [&](int x0, int y0, int x1, int y1, Color c) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) t.Blend(x, y, c, 1.0);
  };
  // Lit from the left: each wall darkens towards its right edge.
  auto wall = [&](int x0, int y0, int x1, int y1, Color c) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        double u = (x - x0) / std::max(1.0, static_cast<double>(x1 - x0));
        double grain = (Hash2(x, y, 5u) - 0.5) * 0.05;
        t.Blend(x, y, Shade(c, 0.12 - 0.32 * u + grain), 1.0);
      }
  };
  const Color concrete = Rgb(214, 204, 186);
  const Color frame = Rgb(228, 226, 220);
  const Color slate = Rgb(72, 76, 92);
  // Beacon and mast.
  rect(15, 3, 16, 8, Rgb(60, 60, 68));
  rect(13, 5, 18, 5, Rgb(60, 60, 68));
  rect(15, 0, 16, 2, Rgb(255, 60, 40));
  t.Blend(15, 0, Rgb(255, 190, 150), 1.0);
  // Windsock on a pole at the roof's edge.
  rect(27, 3, 27, 9, Rgb(90, 90, 96));
  const Color sock[2] = {Rgb(250, 110, 30), Rgb(236, 232, 224)};
  for (int x = 28; x <= 31; ++x) rect(x, 3 + (x - 28) / 3, x, 5 + (x == 28), sock[(x - 28) / 2]);
  // Roof with its overhang.
  rect(5, 9, 26, 9, Shade(slate, 0.35));
  rect(4, 10, 27, 11, slate);
  rect(6, 12, 25, 12, Shade(slate, -0.4));
  // Glass cab, a little wider at the top, with its frames.
  for (int y = 13; y <= 19; ++y) {
    int inset = (y - 13) / 3;
    for (int x = 6 + inset; x <= 25 - inset; ++x) {
      bool mullion = x == 6 + inset || x == 25 - inset || x == 11 || x == 16 || x == 20;
      double v = (y - 13) / 6.0;
      Color glass = Mix(Rgb(150, 200, 226), Rgb(40, 78, 110), v);
      if ((x + y) % 7 == 0 && y < 17) glass = Shade(glass, 0.45);  // reflections
      t.Blend(x, y, mullion ? Shade(frame, -0.15 * (x > 16)) : glass, 1.0);
    }
  }
  // Walkway with a rail.
  rect(4, 20, 27, 20, frame);
  rect(5, 21, 26, 21, Shade(concrete, -0.35));
  // Shaft with small windows.
  wall(11, 22, 20, 40, concrete);
  rect(14, 26, 16, 28, Rgb(50, 70, 96));
  rect(14, 33, 16, 35, Rgb(50, 70, 96));
  // The building at its foot: flat roof, walls, windows and a door.
  rect(2, 41, 29, 41, Rgb(170, 72, 52));
  rect(2, 42, 29, 42, Rgb(130, 52, 40));
  wall(3, 43, 28, kTowerFootRow - 1, Rgb(226, 214, 190));
  for (int wx : {5, 22}) {
    rect(wx, 45, wx + 4, 49, Rgb(60, 84, 112));
    rect(wx, 45, wx + 4, 45, Rgb(150, 190, 214));
    rect(wx + 2, 45, wx + 2, 49, frame);
  }
  rect(13, 46, 18, kTowerFootRow - 1, Rgb(96, 60, 36));
  rect(14, 47, 17, kTowerFootRow - 1, Rgb(120, 78, 46));
  rect(2, kTowerFootRow, 29, kTowerFootRow, Rgb(96, 90, 80));
  // Everything the tower does not cover shows the playfield: white is its colour key.
  Bitmap out = ToKeyed(t, Key::kWhite);
  return out;
}

Bitmap MakeBullets() {
  Canvas b(4, 8);
  const Color rims[2] = {Rgb(255, 84, 40), Rgb(60, 150, 255)};
  const Color cores[2] = {Rgb(255, 244, 170), Rgb(214, 246, 255)};
  static const char* kShape[4] = {".##.", "#@@#", "#@@#", ".##."};
  for (int player = 0; player < 2; ++player)
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        char c = kShape[y][x];
        if (c != '.') b.Blend(x, player * 4 + y, c == '@' ? cores[player] : rims[player], 1.0);
      }
  return ToKeyed(b, Key::kBlack);
}

Bitmap MakeBlank() {
  Canvas c(32, 32);
  c.Fill(Rgb(96, 150, 214));
  return ToOpaque(c);
}

}  // namespace art
