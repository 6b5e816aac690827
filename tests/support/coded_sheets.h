// Picture sheets whose every cell is one solid colour that encodes what it is, so that a test can
// read back from the back buffer which character, digit or sprite landed on a pixel.
#pragma once

#include <cstdint>
#include <string>

#include "game/state.h"
#include "platform/surface.h"

namespace coded {

// Raw pixel values. Black (0) is the colour key of the keyed sheets, so no code is 0.
constexpr uint16_t kBackground = 0x7001;
constexpr uint16_t kTitle = 0x7002;
constexpr uint16_t kPanel = 0x7003;
constexpr uint16_t kButtons = 0x7004;
constexpr uint16_t kCloud = 0x7005;
constexpr uint16_t kTower = 0x7006;
inline uint16_t Letter(int32_t code, int32_t band) {
  return static_cast<uint16_t>(0x1000 + (band - 1) * 128 + (code - 33));
}
inline uint16_t Digit(int32_t digit, int32_t band) {
  return static_cast<uint16_t>(0x4000 + (band - 1) * 16 + digit);
}
inline uint16_t PlaneCell(int32_t column, int32_t row) {
  return static_cast<uint16_t>(0x5000 + row * 16 + column);
}
inline uint16_t FireFrame(int32_t frame) { return static_cast<uint16_t>(0x6000 + frame); }
inline uint16_t BulletOf(int32_t row) { return static_cast<uint16_t>(0x6100 + row); }

inline platform::Surface* Solid(int32_t w, int32_t h, uint16_t value) {
  platform::Surface* s = platform::CreateSurface(w, h);
  for (int32_t i = 0; i < w * h; ++i) s->pixels[i] = value;
  return s;
}

inline void Key(platform::Surface* s, uint16_t key) {
  s->hasColorKey = true;
  s->colorKey = key;
}

// Fills every sheet the game draws from, at the sizes of the current screen.
inline void Install() {
  const int32_t S = spriteWidth;
  backBuffer = Solid(screenWidth, screenHeight, 0);
  backgroundSurface = Solid(screenWidth, screenHeight, kBackground);
  menuTitleSurface = Solid(screenWidth, screenHeight, kTitle);
  rightPanelSurface = Solid(80, screenHeight, kPanel);
  buttonsSurface = Solid(80, 2 * S, kButtons);
  blankSurface = Solid(S, S, kBackground);
  cloudSurface = Solid(2 * S, S, kCloud);
  Key(cloudSurface, 0);
  towerSurface = Solid(S, 2 * S, kTower);
  Key(towerSurface, 0xFFFF);
  planeSurface = Solid(12 * S, 7 * S, 0);
  for (int32_t y = 0; y < 7 * S; ++y)
    for (int32_t x = 0; x < 12 * S; ++x)
      planeSurface->pixels[y * 12 * S + x] = PlaneCell(x / S, y / S);
  Key(planeSurface, 0);
  fireSurface = Solid(8 * S, S, 0);
  for (int32_t y = 0; y < S; ++y)
    for (int32_t x = 0; x < 8 * S; ++x) fireSurface->pixels[y * 8 * S + x] = FireFrame(x / S);
  Key(fireSurface, 0);
  bulletSurface = Solid(S / 8, S / 4, 0);
  for (int32_t y = 0; y < S / 4; ++y)
    for (int32_t x = 0; x < S / 8; ++x)
      bulletSurface->pixels[y * (S / 8) + x] = BulletOf(y / (S / 8));
  Key(bulletSurface, 0);
  lettersSurface = Solid(752, 80, 0);
  for (int32_t y = 0; y < 80; ++y)
    for (int32_t x = 0; x < 752; ++x)
      lettersSurface->pixels[y * 752 + x] = Letter(33 + x / 8, 1 + y / 8);
  Key(lettersSurface, 0);
  numbersSurface = Solid(40, 80, 0);
  for (int32_t y = 0; y < 80; ++y)
    for (int32_t x = 0; x < 40; ++x) numbersSurface->pixels[y * 40 + x] = Digit(x / 4, 1 + y / 8);
  Key(numbersSurface, 0);
}

inline void Uninstall() {
  platform::Surface** all[] = {
      &backBuffer,    &backgroundSurface, &menuTitleSurface, &rightPanelSurface, &buttonsSurface,
      &blankSurface,  &cloudSurface,      &towerSurface,     &planeSurface,      &fireSurface,
      &bulletSurface, &lettersSurface,    &numbersSurface};
  for (platform::Surface** s : all) {
    platform::FreeSurface(*s);
    *s = nullptr;
  }
}

inline uint16_t At(int32_t x, int32_t y) { return backBuffer->pixels[y * backBuffer->width + x]; }

// The text drawn at size 4 from (x, y): one character per 8-pixel cell, read from the cell's
// top-left pixel; '?' for a cell of another band, ' ' for a cell with no character.
inline std::string TextAt(int32_t x, int32_t y, int32_t length, int32_t band) {
  std::string text;
  for (int32_t i = 0; i < length; ++i) {
    const uint16_t v = At(x + 8 * i, y);
    char c = ' ';
    for (int32_t code = 33; code <= 126; ++code) {
      if (v == Letter(code, band)) c = static_cast<char>(code);
    }
    if (c == ' ' && v >= 0x1000 && v < 0x1000 + 10 * 128) c = '?';
    text += c;
  }
  return text;
}

// The digits drawn at size `size` from (x, y): one per `size`-pixel cell; '?' for another band.
inline std::string DigitsAt(int32_t x, int32_t y, int32_t count, int32_t band, int32_t size) {
  std::string digits;
  for (int32_t i = 0; i < count; ++i) {
    const uint16_t v = At(x + size * i, y);
    char c = ' ';
    for (int32_t d = 0; d <= 9; ++d) {
      if (v == Digit(d, band)) c = static_cast<char>('0' + d);
    }
    if (c == ' ' && v >= 0x4000 && v < 0x4000 + 160) c = '?';
    digits += c;
  }
  return digits;
}

}  // namespace coded
