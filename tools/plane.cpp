#include "tools/plane.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace art {
namespace {

struct Scheme {
  Color body;  // fuselage and fin
  Color wing;  // wings and tailplane
  Color trim;  // cowling ring, fuselage band, rudder
};

constexpr Scheme kSchemes[kPlaneSchemes] = {
    {Rgb(214, 40, 32), Rgb(232, 62, 44), Rgb(250, 232, 180)},     // 0 red, cream trim
    {Rgb(36, 84, 214), Rgb(56, 118, 236), Rgb(252, 214, 48)},     // 1 blue, yellow trim
    {Rgb(58, 128, 48), Rgb(120, 150, 70), Rgb(240, 240, 226)},    // 2 green, khaki wings
    {Rgb(246, 200, 32), Rgb(255, 222, 80), Rgb(50, 44, 40)},      // 3 yellow, black trim
    {Rgb(132, 54, 176), Rgb(168, 92, 208), Rgb(255, 190, 60)},    // 4 purple, gold trim
    {Rgb(52, 52, 60), Rgb(76, 76, 88), Rgb(228, 44, 36)},         // 5 black, red trim
    {Rgb(226, 226, 218), Rgb(240, 238, 228), Rgb(232, 108, 24)},  // 6 silver, orange trim
};

const Color kMetal = Rgb(150, 152, 160);
const Color kDarkMetal = Rgb(70, 70, 78);
const Color kStrut = Rgb(60, 44, 32);
const Color kTyre = Rgb(34, 32, 36);
const Color kHub = Rgb(200, 200, 204);
const Color kHelmet = Rgb(120, 72, 36);
const Color kScarf = Rgb(250, 248, 240);
const Color kGlass = Rgb(170, 220, 240);
const Color kCockpit = Rgb(36, 28, 28);

// The model in sprite pixels, flying right, y downwards: about 27 long and 16 high, placed by
// the centre of its bounding box so that it turns about the middle of its cell.
const Vec2 kModelCenter{-0.8, 0.5};

std::vector<Shape> BuildModel(const Scheme& s) {
  std::vector<Shape> m;
  // Tailplane behind the fuselage.
  m.push_back(Polygon({{-14.5, -0.4}, {-9.0, -0.7}, {-8.4, 0.2}, {-14.3, 0.7}},
                      Lit(Shade(s.wing, -0.1), {-11, 0}, 1.0, 0.35)));
  // Interplane struts, seen between the upper wing and the fuselage.
  m.push_back(Capsule({-3.3, -6.4}, {-3.0, 1.0}, 0.42, Flat(kStrut)));
  m.push_back(Capsule({4.9, -6.4}, {5.2, 1.0}, 0.42, Flat(kStrut)));
  // Fin and rudder.
  m.push_back(Polygon({{-13.5, -0.8}, {-13.9, -4.9}, {-12.9, -6.0}, {-11.2, -5.6}, {-9.0, -1.4}},
                      Lit(s.body, {-11.5, -3.2}, 2.8, 0.35)));
  m.push_back(Polygon({{-13.5, -0.8}, {-13.9, -4.9}, {-12.9, -6.0}, {-12.2, -5.9}, {-12.1, -1.0}},
                      Flat(s.trim)));
  // Fuselage, tapering to the tail.
  m.push_back(Polygon({{8.2, -2.7},
                       {2.0, -3.0},
                       {-3.0, -3.0},
                       {-12.0, -1.5},
                       {-13.7, -1.0},
                       {-13.7, 0.4},
                       {-4.0, 1.9},
                       {3.0, 2.5},
                       {8.2, 2.5}},
                      Lit(s.body, {-2.0, -0.3}, 2.8, 0.5)));
  // Band round the fuselage.
  m.push_back(Polygon({{-6.8, -2.6}, {-5.3, -2.8}, {-5.3, 1.8}, {-6.8, 1.55}},
                      Lit(s.trim, {-6.0, -0.5}, 2.6, 0.3)));
  // Cockpit opening, pilot with helmet and scarf, windscreen.
  m.push_back(Ellipse({-1.6, -2.95}, 2.5, 0.5, Flat(kCockpit)));
  m.push_back(Capsule({-2.2, -4.0}, {-5.2, -3.5}, 0.42, Flat(kScarf)));
  m.push_back(Ellipse({-1.5, -4.1}, 1.2, 1.25, Lit(kHelmet, {-1.5, -4.1}, 1.25, 0.45)));
  m.push_back(Polygon({{0.4, -3.0}, {1.3, -4.8}, {1.9, -4.7}, {1.8, -3.0}}, Flat(kGlass)));
  // Engine cowling with a trim ring, and the spinner.
  m.push_back(
      Polygon({{7.2, -3.0}, {10.0, -2.5}, {10.9, -1.1}, {10.9, 0.9}, {10.0, 2.2}, {7.2, 2.7}},
              Lit(kMetal, {9.0, -0.15}, 2.8, 0.6)));
  m.push_back(Polygon({{7.2, -3.0}, {8.3, -2.9}, {8.3, 2.6}, {7.2, 2.7}}, Flat(s.trim)));
  m.push_back(Ellipse({11.2, -0.15}, 1.1, 1.2, Lit(kDarkMetal, {11.2, -0.15}, 1.2, 0.6)));
  // Upper wing.
  m.push_back(Polygon({{-5.8, -7.4}, {6.4, -7.9}, {8.0, -7.2}, {7.5, -6.0}, {-5.8, -5.9}},
                      Lit(s.wing, {1.0, -6.9}, 1.0, 0.5)));
  // Lower wing, in front of the fuselage's belly.
  m.push_back(Polygon({{-4.4, 1.5}, {6.3, 1.3}, {7.8, 2.0}, {7.2, 3.1}, {-4.4, 3.0}},
                      Lit(s.wing, {1.5, 2.2}, 1.0, 0.5)));
  // Undercarriage: V strut, wheel with hub, tail skid.
  m.push_back(Capsule({2.0, 2.9}, {4.0, 6.4}, 0.42, Flat(kDarkMetal)));
  m.push_back(Capsule({6.0, 2.9}, {4.0, 6.4}, 0.42, Flat(kDarkMetal)));
  m.push_back(Ellipse({4.0, 6.6}, 2.1, 2.1, Lit(kTyre, {4.0, 6.6}, 2.1, 0.5)));
  m.push_back(Ellipse({4.0, 6.6}, 0.8, 0.8, Flat(kHub)));
  m.push_back(Capsule({-11.8, 0.3}, {-13.0, 1.9}, 0.35, Flat(kDarkMetal)));
  // Propeller disc seen edge-on, in its marker colour.
  m.push_back(Ellipse({11.95, -0.15}, 0.85, 6.0,
                      Flat(Rgb(kPropellerRgb[0], kPropellerRgb[1], kPropellerRgb[2]))));
  return m;
}

// Gives the sprite in the cell {x0, y0, 32, 32} a dark rim just outside its edge, in a deep
// shade of the colour it borders, so that it stands out against sky and cloud alike.
void Outline(Canvas& c, int x0, int y0) {
  Canvas copy = c;
  for (int y = y0; y < y0 + 32; ++y)
    for (int x = x0; x < x0 + 32; ++x) {
      if (copy.GetA(x, y) >= 0.5) continue;
      Color sum;
      int n = 0;
      const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
      for (int k = 0; k < 4; ++k) {
        int nx = x + dx[k], ny = y + dy[k];
        if (nx < x0 || ny < y0 || nx >= x0 + 32 || ny >= y0 + 32) continue;
        if (copy.GetA(nx, ny) < 0.5) continue;
        Color v = copy.Get(nx, ny);
        sum.r += v.r;
        sum.g += v.g;
        sum.b += v.b;
        ++n;
      }
      if (n == 0) continue;
      c.At(x, y) = Shade(Scale(sum, 1.0 / n), -0.72);
      c.A(x, y) = 1.0;
    }
}

}  // namespace

Color PlaneBodyColor(int scheme) { return kSchemes[scheme].body; }

void DrawPlane(Canvas& canvas, int scheme, double cx, double cy, double angleDegrees, double scale,
               bool mirror) {
  Placement place;
  place.cx = cx;
  place.cy = cy;
  place.origin = kModelCenter;
  place.angleDegrees = angleDegrees;
  place.scale = scale;
  place.mirror = mirror;
  int reach = static_cast<int>(std::ceil(16.0 * scale)) + 1;
  int x0 = static_cast<int>(std::floor(cx)) - reach, y0 = static_cast<int>(std::floor(cy)) - reach;
  RenderShapes(canvas, BuildModel(kSchemes[scheme]), place, x0, y0, 2 * reach, 2 * reach,
               scale > 1.5 ? 4 : 6);
}

Bitmap MakePlanes() {
  Canvas sheet(kPlaneAngles * 32, kPlaneSchemes * 32);
  for (int row = 0; row < kPlaneSchemes; ++row) {
    std::vector<Shape> model = BuildModel(kSchemes[row]);
    for (int col = 0; col < kPlaneAngles; ++col) {
      Placement place;
      place.cx = col * 32 + 16.0;
      place.cy = row * 32 + 16.0;
      place.origin = kModelCenter;
      place.angleDegrees = 30.0 * col;
      RenderShapes(sheet, model, place, col * 32, row * 32, 32, 32, 6);
      Outline(sheet, col * 32, row * 32);
    }
  }
  return ToKeyed(sheet, Key::kBlack);
}

Canvas DrawIcon(int size) {
  // Drawn for 64 pixels and scaled, so that every size shows the same picture.
  const double k = size / 64.0;
  Canvas icon(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      // Rounded square of evening sky.
      double dx = std::max(std::abs(x + 0.5 - 32.0 * k) - 24.0 * k, 0.0);
      double dy = std::max(std::abs(y + 0.5 - 32.0 * k) - 24.0 * k, 0.0);
      double inside = Clamp01(7.5 * k - std::sqrt(dx * dx + dy * dy));
      Color sky = Mix(Rgb(40, 80, 170), Rgb(250, 190, 120), y / (size - 1.0));
      icon.Blend(x, y, sky, inside);
    }
  DrawPlane(icon, 0, 32.0 * k, 31.0 * k, -25.0, 1.85 * k);
  return icon;
}

Bitmap MakeIcon() { return ToOpaque(DrawIcon(64)); }

RgbaBitmap MakeIconPng(int size) { return ToTransparent(DrawIcon(size)); }

}  // namespace art
