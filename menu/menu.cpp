#include "menu/menu.h"

#include <cstdio>

#include "game/state.h"
#include "graphics/display.h"
#include "graphics/draw.h"
#include "net/online.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "shell/shell.h"

namespace {

constexpr int32_t kFontSize = 4;  // the fonts' own 8 x 8 size
constexpr int32_t kLabelBand = 2;
constexpr int32_t kValueBand = 1;
constexpr int32_t kHighlightBand = 6;

// The items that answer the mouse. A box holds the cursor when C < x < C + width and
// top <= y <= bottom. The click box of "Player(s)" is narrower than its label.
struct MenuItem {
  const char* label;
  int32_t top;
  int32_t bottom;
  int32_t highlightWidth;
  int32_t clickWidth;
  void (*action)();
};

void StartMatch() {
  // Online, the host's "Play!" starts both machines, once there is an opponent.
  if (OnlineActive()) {
    OnlineStartMatch();
    return;
  }
  gameMode = MODE_MATCH;
}

// The match's frame period for the game speed shown.
void SetMatchPeriod() { matchFramePeriod = (5 - gameSpeed) * 10; }

void StepGameSpeed() {
  gameSpeed += 1;
  if (gameSpeed > 5) gameSpeed = 1;
}

void StepPlayers() {
  // Online, both planes are flown by people.
  if (OnlineActive()) return;
  cpuPlayers += 1;
  if (cpuPlayers > 1) cpuPlayers = 0;
}

void Quit() { QuitGame(); }

const MenuItem kItems[] = {
    {"Play!", 150, 179, 40, 40, StartMatch},
    {"Game Speed:", 210, 239, 88, 88, StepGameSpeed},
    {"Player(s)", 270, 299, 72, 60, StepPlayers},
    {"Quit", 420, 449, 32, 32, Quit},
};

bool InBox(int32_t x, int32_t y, int32_t c, const MenuItem& item, int32_t width) {
  return c < x && x < c + width && item.top <= y && y <= item.bottom;
}

// The joining player's menu shows the host's settings: only "Quit" answers there.
bool Answers(const MenuItem& item) { return !OnlineMenuLocked() || item.action == Quit; }

// Online play's status, centred in the free space below the items, between the key legends,
// broken into lines between words.
void DrawStatusLine() {
  char text[320];
  OnlineStatusLine(text, sizeof text);
  constexpr int32_t kCell = 2 * kFontSize;
  constexpr int32_t kLegendWidth = 180;  // the legends: 10 pixels in, 21 cells wide, and a margin
  const int32_t room = (screenWidth - 2 * kLegendWidth) / kCell;
  const char* rest = text;
  for (int32_t y = 442; *rest != '\0' && y + kCell <= screenHeight && room > 0; y += 10) {
    int32_t length = 0;
    int32_t cut = 0;  // the longest run of whole words that fits
    while (rest[length] != '\0' && length < room) {
      ++length;
      if (rest[length] == ' ' || rest[length] == '\0') cut = length;
    }
    if (rest[length] == '\0') cut = length;
    if (cut == 0) cut = length;  // a word longer than the room is cut
    char line[sizeof text];
    std::snprintf(line, sizeof line, "%.*s", static_cast<int>(cut), rest);
    DrawString(line, (screenWidth - cut * kCell) / 2, y, kValueBand, kFontSize);
    rest += cut;
    while (*rest == ' ') ++rest;
  }
}

const char* LevelName(int32_t level) {
  if (level == 0) return "Easy";
  if (level == 1) return "Medium";
  return "Hard";
}

void DrawKeyLegends() {
  static const char* const kPlayer1[] = {"  Player 1 Controls  ", "---------------------",
                                         "Gas              CTRL", "Fire            SHIFT",
                                         "Nose up    LEFT ARROW", "Nose down RIGHT ARROW",
                                         "---------------------"};
  static const char* const kPlayer2[] = {"  Player 2 Controls  ", "---------------------",
                                         "Gas               ALT", "Fire                Z",
                                         "Nose up             C", "Nose down           V",
                                         "---------------------"};
  for (int32_t i = 0; i < 7; ++i)
    DrawString(kPlayer1[i], 10, screenHeight - 70 + 10 * i, kLabelBand, kFontSize);
  for (int32_t i = 0; i < 7; ++i)
    DrawString(kPlayer2[i], screenWidth - 168, screenHeight - 70 + 10 * i, kLabelBand, kFontSize);
}

void DrawLabels(int32_t c) {
  DrawString("Play!", c, 150, kLabelBand, kFontSize);
  DrawString("Video Resolution:", c, 180, kLabelBand, kFontSize);
  DrawString("Game Speed:", c, 210, kLabelBand, kFontSize);
  DrawString("Bullets", c, 240, kLabelBand, kFontSize);
  DrawString("Player(s)", c, 270, kLabelBand, kFontSize);
  if (cpuPlayers >= 1) DrawString("CPU Level", c, 300, kLabelBand, kFontSize);
  if (cpuPlayers >= 2) DrawString("CPU2 Level", c + 84, 300, kLabelBand, kFontSize);
  DrawString("Player 1 Color:", c, 330, kLabelBand, kFontSize);
  DrawString("Player 2 Color:", c, 360, kLabelBand, kFontSize);
  DrawString("Score to win:", c, 390, kLabelBand, kFontSize);
  DrawString("Quit", c, 420, kLabelBand, kFontSize);
}

// Values stand at fixed distances from the screen's left edge, whatever its width.
void DrawValues() {
  DrawString(resolutionLabel, 150, 180, kValueBand, kFontSize);
  DrawNumber(gameSpeed, 160, 210, kValueBand, kFontSize);
  DrawNumber(maxBullets, 160, 240, kValueBand, kFontSize);
  DrawNumber(2 - cpuPlayers, 160, 270, kValueBand, kFontSize);
  if (cpuPlayers >= 1) DrawString(LevelName(cpuLevel), 157, 300, kValueBand, kFontSize);
  if (cpuPlayers >= 2) DrawString(LevelName(cpu2Level), 220, 300, kValueBand, kFontSize);
  DrawPlaneSprite(SPRITE_PLANE, 150, 330 - spriteWidth / 4, planes[0].headingIndex,
                  planes[0].color);
  DrawPlaneSprite(SPRITE_PLANE, 150, 360 - spriteWidth / 4, planes[1].headingIndex,
                  planes[1].color);
  DrawNumber(scoreToWin, 160, 390, kValueBand, kFontSize);
}

}  // namespace

void MenuFrame() {
  // One cursor reading serves both the highlight and the click of this frame.
  int32_t x = 0;
  int32_t y = 0;
  platform::GetCursorPos(&x, &y);
  const int32_t c = screenWidth / 2;

  if (backBuffer != nullptr && menuTitleSurface != nullptr)
    platform::Blit(backBuffer, screenRect, menuTitleSurface, screenRect, false);
  DrawKeyLegends();
  DrawLabels(c);
  DrawValues();
  DrawStatusLine();

  // Set in every menu frame before the click, so a match starts with the period shown.
  SetMatchPeriod();

  if (x > c) {
    for (const MenuItem& item : kItems) {
      if (Answers(item) && InBox(x, y, c, item, item.highlightWidth))
        DrawString(item.label, c, item.top, kHighlightBand, kFontSize);
    }
  }
  PresentFrame();

  // No wait for the release: a held button steps a value once in every menu frame.
  if (platform::IsKeyDown(platform::VK_LBUTTON) && c < x && x < screenWidth) {
    for (const MenuItem& item : kItems) {
      if (Answers(item) && InBox(x, y, c, item, item.clickWidth)) {
        item.action();
        break;
      }
    }
  }
}

void PlayFromMenu() {
  // The joining player's menu answers nothing but "Quit".
  if (OnlineMenuLocked()) return;
  SetMatchPeriod();
  StartMatch();
}
