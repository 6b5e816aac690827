// Every shared global of the game, with its fixed initial value. The game's code reads and writes
// these directly; nothing here is allocated at run time.
#pragma once

#include <cstdint>

#include "platform/surface.h"

namespace platform {
struct Window;
struct Display;
struct AudioDevice;
struct SoundBuffer;
}  // namespace platform

using platform::Rect;

// ---- Game mode ----
enum GameMode : int32_t { MODE_MENU = 1, MODE_MATCH = 2 };
extern int32_t gameMode;

// ---- Settings ----
struct GameSettings {
  int32_t gameSpeed;   // 1..5; match frame period is (5 - gameSpeed) * 10 ms
  int32_t cpuPlayers;  // 0: two humans, 1: computer flies plane 2, 2: computer flies both
  int32_t cpuLevel;    // skill of the pilot flying plane 2: 0 Easy, 1 Medium, other Hard
  int32_t cpu2Level;   // skill of the pilot flying plane 1 when cpuPlayers is 2
  int32_t scoreToWin;
  int32_t maxBullets;  // at most kBulletSlots
  char resolutionLabel[256];
};
extern int32_t& gameSpeed;
extern int32_t& cpuPlayers;
extern int32_t& cpuLevel;
extern int32_t& cpu2Level;
extern int32_t& scoreToWin;
extern int32_t& maxBullets;
extern char (&resolutionLabel)[256];
extern GameSettings settings;

// ---- Screen geometry ----
extern int32_t screenWidth;
extern int32_t screenHeight;
extern int32_t screenBpp;
extern int32_t playAreaWidth;  // screenWidth - 80: the right panel runs from here to screenWidth
extern Rect screenRect;
extern int32_t spriteWidth;
extern int32_t spriteHeight;

constexpr int32_t kRightPanelWidth = 80;

// Sets screenWidth/Height and everything derived from them (play area, screen rectangle,
// resolution label) once the display size is final.
void SetScreenSize(int32_t width, int32_t height);

// ---- Flight constants ----
extern const double gravity;       // downward pull per frame
extern const double acceleration;  // speed gained per frame of gas

// ---- Match flags ----
extern int32_t paused;
extern int32_t matchOver;
extern int32_t surfacesValid;

// ---- Planes, bullets, clouds ----
constexpr int32_t kBulletSlots = 25;
constexpr int32_t kCloudCount = 9;

struct Bullet {
  int32_t screenX;
  int32_t screenY;
  double x;
  double y;
  double vx;
  double vy;
  int32_t life;
};

struct Plane {
  int32_t playerNumber;
  double x;
  double y;
  double speed;
  int32_t screenX;
  int32_t screenY;
  int32_t headingIndex;
  double vx;
  double vy;
  int32_t onGround;
  int32_t crashed;
  int32_t crashTimer;
  Bullet bullets[kBulletSlots];
  int32_t bulletCount;
  int32_t color;
  int32_t score;
  int32_t kills;
  int32_t crashes;
  int32_t fired;
  int32_t cpuPhase;
  int32_t cpuClimbFrames;
};

struct Cloud {
  int32_t x;
  int32_t y;
};

extern const int32_t planeCount;
extern Plane planes[2];
extern Cloud clouds[kCloudCount];

// Ends a match and puts the match state back to its start-of-match form.
void ReturnToMenu();

// ---- Main loop timing ----
extern int32_t menuFramePeriod;
extern int32_t matchFramePeriod;
extern uint32_t frameTimeAccumulator;
extern uint32_t lastTime;

// ---- Platform objects (null until created) ----
extern const char windowTitle[];
extern platform::Window* mainWindow;
extern platform::Display* directDraw;
extern platform::Surface* primarySurface;
extern platform::Surface* backBuffer;
extern platform::Surface* backgroundSurface;
extern platform::Surface* menuTitleSurface;
extern platform::Surface* rightPanelSurface;
extern platform::Surface* buttonsSurface;
extern platform::Surface* blankSurface;
extern platform::Surface* planeSurface;
extern platform::Surface* fireSurface;
extern platform::Surface* bulletSurface;
extern platform::Surface* cloudSurface;
extern platform::Surface* towerSurface;
extern platform::Surface* lettersSurface;
extern platform::Surface* numbersSurface;
extern platform::AudioDevice* directSound;
extern platform::SoundBuffer* fireSound;
extern platform::SoundBuffer* boomSound;

// Cuts a position toward zero into a pixel; positions far outside the screen (or not numbers at
// all) become a position that is still off the screen instead of an undefined conversion.
int32_t TruncToPixel(double v);

// ---- Random numbers ----
// The C library's rand() brought to 0..32767, the range the game's random rules are written for,
// whatever RAND_MAX the library has (glibc's reaches 2^31 - 1). Seeded with srand as usual.
int32_t RandomNumber();

// Puts every global above back to its initial value (planes, clouds, settings, flags, timing and
// platform pointers). The program starts in this state; tests use it to start from a clean slate.
void ResetGameState();
