#include "game/state.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t gameMode = MODE_MENU;

GameSettings settings = {2, 1, 0, 0, 5, 6, "640x480x16"};
int32_t& gameSpeed = settings.gameSpeed;
int32_t& cpuPlayers = settings.cpuPlayers;
int32_t& cpuLevel = settings.cpuLevel;
int32_t& cpu2Level = settings.cpu2Level;
int32_t& scoreToWin = settings.scoreToWin;
int32_t& maxBullets = settings.maxBullets;
char (&resolutionLabel)[256] = settings.resolutionLabel;

int32_t screenWidth = 640;
int32_t screenHeight = 480;
int32_t screenBpp = 16;
int32_t playAreaWidth = 640 - kRightPanelWidth;
Rect screenRect = {0, 0, 640, 480};
int32_t spriteWidth = 32;
int32_t spriteHeight = 32;

const double gravity = 1.0;
const double acceleration = 0.65;

int32_t paused = 0;
int32_t matchOver = 0;
int32_t surfacesValid = 1;

const int32_t planeCount = 2;
Plane planes[2] = {};
Cloud clouds[kCloudCount] = {{0, 10}, {0, 26},  {0, 50},  {0, 62}, {0, 78},
                             {0, 98}, {0, 144}, {0, 150}, {0, 171}};

int32_t menuFramePeriod = 80;
int32_t matchFramePeriod = 0;
uint32_t frameTimeAccumulator = 0;
uint32_t lastTime = 0;

const char windowTitle[] = "Corvane Altor v1.2";
platform::Window* mainWindow = nullptr;
platform::Display* directDraw = nullptr;
platform::Surface* primarySurface = nullptr;
platform::Surface* backBuffer = nullptr;
platform::Surface* backgroundSurface = nullptr;
platform::Surface* menuTitleSurface = nullptr;
platform::Surface* rightPanelSurface = nullptr;
platform::Surface* buttonsSurface = nullptr;
platform::Surface* blankSurface = nullptr;
platform::Surface* planeSurface = nullptr;
platform::Surface* fireSurface = nullptr;
platform::Surface* bulletSurface = nullptr;
platform::Surface* cloudSurface = nullptr;
platform::Surface* towerSurface = nullptr;
platform::Surface* lettersSurface = nullptr;
platform::Surface* numbersSurface = nullptr;
platform::AudioDevice* directSound = nullptr;
platform::SoundBuffer* fireSound = nullptr;
platform::SoundBuffer* boomSound = nullptr;

static_assert((RAND_MAX + 1ull) % 32768ull == 0, "rand() must cover a whole multiple of 0..32767");

int32_t RandomNumber() {
  // The high bits: the better ones of an additive generator such as glibc's.
  return static_cast<int32_t>(static_cast<unsigned>(std::rand()) /
                              static_cast<unsigned>((RAND_MAX + 1ull) / 32768ull));
}

int32_t TruncToPixel(double v) {
  if (std::isnan(v)) return INT32_MIN;
  if (v <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  if (v >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(v);
}

void SetScreenSize(int32_t width, int32_t height) {
  screenWidth = width;
  screenHeight = height;
  playAreaWidth = screenWidth - kRightPanelWidth;
  screenRect = {0, 0, screenWidth, screenHeight};
  // The label names the resolution in use, fallbacks included.
  std::snprintf(resolutionLabel, sizeof resolutionLabel, "%dx%dx%d", screenWidth, screenHeight,
                screenBpp);
}

namespace {

// A plane standing on its runway at the start of a match. Only the fields a new match resets are
// written; the computer pilot's memory, the crash timer, the last motion and the bullet slots
// keep what the previous match left.
void PlaceOnRunway(Plane& plane, int32_t playerNumber, double x, int32_t color) {
  plane.playerNumber = playerNumber;
  plane.x = x;
  plane.y = screenHeight * 0.875;
  plane.speed = 0.0;
  plane.headingIndex = 0;
  plane.onGround = 1;
  plane.crashed = 0;
  plane.bulletCount = 0;
  plane.color = color;
  plane.score = 0;
  plane.kills = 0;
  plane.crashes = 0;
  plane.fired = 0;
  // The first frame of a match draws the planes before anything moves them: show them where
  // they stand, not where the last match left them.
  plane.screenX = static_cast<int32_t>(plane.x);
  plane.screenY = static_cast<int32_t>(plane.y);
}

}  // namespace

void ReturnToMenu() {
  PlaceOnRunway(planes[0], 1, 10.0, 0);
  PlaceOnRunway(planes[1], 2, static_cast<double>(playAreaWidth / 2 + spriteWidth), 1);
  gameMode = MODE_MENU;
  matchOver = 0;
  paused = 0;
}

void ResetGameState() {
  gameMode = MODE_MENU;
  settings = GameSettings{2, 1, 0, 0, 5, 6, "640x480x16"};
  screenBpp = 16;
  spriteWidth = 32;
  spriteHeight = 32;
  SetScreenSize(640, 480);
  paused = 0;
  matchOver = 0;
  surfacesValid = 1;
  std::memset(planes, 0, sizeof planes);
  static const int32_t cloudY[kCloudCount] = {10, 26, 50, 62, 78, 98, 144, 150, 171};
  for (int32_t i = 0; i < kCloudCount; ++i) clouds[i] = {0, cloudY[i]};
  menuFramePeriod = 80;
  matchFramePeriod = 0;
  frameTimeAccumulator = 0;
  lastTime = 0;
  mainWindow = nullptr;
  directDraw = nullptr;
  primarySurface = nullptr;
  backBuffer = nullptr;
  backgroundSurface = menuTitleSurface = rightPanelSurface = buttonsSurface = nullptr;
  blankSurface = planeSurface = fireSurface = bulletSurface = nullptr;
  cloudSurface = towerSurface = lettersSurface = numbersSurface = nullptr;
  directSound = nullptr;
  fireSound = nullptr;
  boomSound = nullptr;
}
