// The SDL implementation of the window, its messages, input, the timer and the message box.
#include <SDL.h>

#include <cmath>
#include <cstdio>

#include "platform/keys.h"
#include "platform/sdl_window.h"
#include "platform/system.h"

namespace platform {

Window* sdlMainWindow = nullptr;
bool startWindowed = false;

void DefaultWindowSize(int32_t usableWidth, int32_t usableHeight, int32_t width, int32_t height,
                       int32_t* windowWidth, int32_t* windowHeight) {
  // A title bar and a frame, whatever the window manager draws, fit in this much.
  constexpr int32_t kBorderRoom = 64;
  int32_t scale = 1;
  while ((scale + 1) * width <= usableWidth - kBorderRoom &&
         (scale + 1) * height <= usableHeight - kBorderRoom)
    ++scale;
  *windowWidth = scale * width;
  *windowHeight = scale * height;
}

namespace {

uint32_t lastPumpTick = 0;
bool pumpedOnce = false;

// A click quicker than the game's polling (the menu looks every 80 ms) would otherwise be missed:
// a press that came and went without any poll seeing the button down reads as down once.
uint32_t leftDownTime = 0;
uint32_t lastPollSawLeftDown = 0;
bool anyPollSawLeftDown = false;
bool leftClickLatched = false;
// A press held while the player switched away belongs to what they did elsewhere: it does not
// count until the button has been seen up.
bool leftHeldThroughLoss = false;

// SDL's drivers that show nothing on any screen.
bool IsInvisibleDriver(const char* name) {
  return name != nullptr &&
         (SDL_strcasecmp(name, "offscreen") == 0 || SDL_strcasecmp(name, "dummy") == 0);
}

bool EnsureVideo(char* why, size_t whyLen) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::snprintf(why, whyLen, "%s", SDL_GetError());
    return false;
  }
  // With no display to reach, SDL falls back to its offscreen driver, and the game would run
  // unseen, using a whole processor, until killed. An invisible driver only when asked for.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  if (IsInvisibleDriver(driver) && (asked == nullptr || SDL_strcasecmp(asked, driver) != 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    std::snprintf(why, whyLen, "no display to show the game on (is DISPLAY set?)");
    return false;
  }
  return true;
}

// Keeps the window's focus and whether the mouse is over it as SDL reads the events from the
// system, so that a wait that only pumps (the panel buttons' release wait) sees them as they come.
int WatchWindow(void* userdata, SDL_Event* event) {
  Window* window = static_cast<Window*>(userdata);
  if (event->type != SDL_WINDOWEVENT || event->window.windowID != SDL_GetWindowID(window->sdl))
    return 1;
  switch (event->window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
      window->focused = false;
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      window->focused = true;
      break;
    case SDL_WINDOWEVENT_LEAVE:
      window->pointerInside = false;
      break;
    case SDL_WINDOWEVENT_ENTER:
      window->pointerInside = true;
      break;
    default:
      break;
  }
  return 1;
}

SDL_Point WindowSizeFor(int display, int32_t width, int32_t height) {
  SDL_Rect usable{0, 0, width, height};
  SDL_GetDisplayUsableBounds(display, &usable);
  SDL_Point size{width, height};
  DefaultWindowSize(usable.w, usable.h, width, height, &size.x, &size.y);
  return size;
}

SDL_Window* OpenInWindow(const char* title, int32_t width, int32_t height) {
  const SDL_Point size = WindowSizeFor(0, width, height);
  return SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.x, size.y,
                          SDL_WINDOW_RESIZABLE);
}

// Alt+Enter. Without a window manager a window keeps the size and place it is given, so each way
// is given both before the mode changes.
void SwitchWindowMode(Window* window) {
  SDL_Window* sdl = window->sdl;
  const int display = SDL_max(SDL_GetWindowDisplayIndex(sdl), 0);
  if ((SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0) {
    SDL_Point size{window->windowedWidth, window->windowedHeight};
    if (size.x <= 0 || size.y <= 0) size = WindowSizeFor(display, window->width, window->height);
    SDL_SetWindowFullscreen(sdl, 0);
    SDL_SetWindowBordered(sdl, SDL_TRUE);
    SDL_SetWindowResizable(sdl, SDL_TRUE);
    SDL_SetWindowSize(sdl, size.x, size.y);
    SDL_SetWindowPosition(sdl, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
  } else {
    SDL_GetWindowSize(sdl, &window->windowedWidth, &window->windowedHeight);
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(display, &bounds) != 0) return;
    SDL_SetWindowResizable(sdl, SDL_FALSE);
    SDL_SetWindowBordered(sdl, SDL_FALSE);
    SDL_SetWindowPosition(sdl, bounds.x, bounds.y);
    SDL_SetWindowSize(sdl, bounds.w, bounds.h);
    SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
}

bool IsAltEnter(const SDL_KeyboardEvent& key) {
  return key.repeat == 0 && (key.keysym.mod & KMOD_ALT) != 0 &&
         (key.keysym.sym == SDLK_RETURN || key.keysym.sym == SDLK_KP_ENTER);
}

Window* SdlCreateWindow(const char* title, int32_t width, int32_t height, char* why,
                        size_t whyLen) {
  if (!EnsureVideo(why, whyLen)) return nullptr;
  // Without a window manager a full-screen window keeps the size it was created with, so it is
  // created at the desktop's size and the picture is scaled into it.
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
    std::snprintf(why, whyLen, "%s", SDL_GetError());
    return nullptr;
  }
  SDL_Window* sdl = startWindowed
                        ? OpenInWindow(title, width, height)
                        : SDL_CreateWindow(title, 0, 0, desktop.w, desktop.h,
                                           SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
  if (sdl == nullptr) {
    std::snprintf(why, whyLen, "%s", SDL_GetError());
    return nullptr;
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  SDL_Renderer* renderer = SDL_CreateRenderer(sdl, -1, 0);
  if (renderer == nullptr) {
    std::snprintf(why, whyLen, "%s", SDL_GetError());
    SDL_DestroyWindow(sdl);
    return nullptr;
  }
  SDL_RenderSetLogicalSize(renderer, width, height);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_RenderPresent(renderer);
  SDL_ShowCursor(SDL_ENABLE);
  SDL_StopTextInput();
  SDL_RaiseWindow(sdl);

  Window* window = new Window;
  window->sdl = sdl;
  window->renderer = renderer;
  window->width = width;
  window->height = height;
  sdlMainWindow = window;
  leftHeldThroughLoss = false;
  SDL_AddEventWatch(WatchWindow, window);
  return window;
}

void SdlDestroyWindow(Window* window) {
  if (window == nullptr) return;
  SDL_DelEventWatch(WatchWindow, window);
  if (window->renderer != nullptr) SDL_DestroyRenderer(window->renderer);
  if (window->sdl != nullptr) SDL_DestroyWindow(window->sdl);
  if (sdlMainWindow == window) sdlMainWindow = nullptr;
  delete window;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void MarkScreenLost() {
  if (sdlMainWindow != nullptr && sdlMainWindow->screen != nullptr)
    sdlMainWindow->screen->lost = true;
}

int32_t VirtualKeyOf(const SDL_Keysym& key) {
  switch (key.scancode) {
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return VK_CONTROL;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return VK_SHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return VK_MENU;
    case SDL_SCANCODE_ESCAPE:
      return VK_ESCAPE;
    case SDL_SCANCODE_LEFT:
      return VK_LEFT;
    case SDL_SCANCODE_RIGHT:
      return VK_RIGHT;
    case SDL_SCANCODE_UP:
      return VK_UP;
    case SDL_SCANCODE_DOWN:
      return VK_DOWN;
    default:
      break;
  }
  // Letters and digits follow the keyboard layout, as the key caps read.
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return 'A' + (key.sym - SDLK_a);
  if (key.sym >= SDLK_0 && key.sym <= SDLK_9) return '0' + (key.sym - SDLK_0);
  return 0;
}

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      if (IsAltEnter(event.key) && sdlMainWindow != nullptr) {
        SwitchWindowMode(sdlMainWindow);
        break;
      }
      const int32_t vk = VirtualKeyOf(event.key.keysym);
      if (vk != 0) PostMessage({MSG_KEYDOWN, vk});
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) leftDownTime = event.button.timestamp;
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT &&
          (!anyPollSawLeftDown || lastPollSawLeftDown < leftDownTime))
        leftClickLatched = true;
      break;
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
      // A pad is ready as soon as it is plugged in: its Start works in the menu too.
      SeatChangedPads();
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      // A press made while the player is in another window is not the game's.
      if (IsPlayingPadStart(event.cbutton) && (sdlMainWindow == nullptr || sdlMainWindow->focused))
        PostMessage({MSG_KEYDOWN, VK_PAD_START});
      break;
    case SDL_QUIT:
      PostMessage({MSG_DESTROY, 0});
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
        PostMessage({MSG_PAINT, 0});
      } else if (event.window.event == SDL_WINDOWEVENT_MINIMIZED) {
        // A minimised full-screen game has given the display away.
        MarkScreenLost();
      } else if (event.window.event == SDL_WINDOWEVENT_RESTORED && sdlMainWindow != nullptr) {
        // Brought back, the game takes the keyboard again, as when its window first appeared:
        // without a window manager nobody else gives it, and without it no frame would run.
        SDL_RaiseWindow(sdlMainWindow->sdl);
        SDL_SetWindowInputFocus(sdlMainWindow->sdl);
      } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST && sdlMainWindow != nullptr &&
                 !sdlMainWindow->focused) {
        // Keys let go elsewhere never reach the game: nothing held before counts any more.
        SDL_ResetKeyboard();
        leftClickLatched = false;
        leftHeldThroughLoss = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
      }
      break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      MarkScreenLost();
      break;
    default:
      break;
  }
}

void SdlPumpMessages() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_PumpEvents();
  lastPumpTick = SDL_GetTicks();
  pumpedOnce = true;
  SDL_Event events[16];
  int n;
  while ((n = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
    for (int i = 0; i < n; ++i) Translate(events[i]);
  }
}

// Key state is refreshed at most once a millisecond: a frame polls many keys, and a loop that
// waits for a button's release still sees the release within a millisecond. Pumping leaves the
// events queued for the message loop.
void RefreshInputState() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  const uint32_t now = SDL_GetTicks();
  if (!pumpedOnce || now != lastPumpTick) {
    SDL_PumpEvents();
    lastPumpTick = now;
    pumpedOnce = true;
  }
}

bool ScancodeDown(const Uint8* keys, SDL_Scancode a, SDL_Scancode b = SDL_SCANCODE_UNKNOWN) {
  return keys[a] != 0 || (b != SDL_SCANCODE_UNKNOWN && keys[b] != 0);
}

bool SdlIsKeyDown(int32_t virtualKey) {
  RefreshInputState();
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  if (virtualKey == VK_LBUTTON) {
    bool down = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
    if (!down) leftHeldThroughLoss = false;
    if (leftHeldThroughLoss) down = false;
    if (down) {
      anyPollSawLeftDown = true;
      lastPollSawLeftDown = SDL_GetTicks();
    }
    const bool clicked = leftClickLatched;
    leftClickLatched = false;
    return down || clicked;
  }
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  switch (virtualKey) {
    case VK_CONTROL:
      return ScancodeDown(keys, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL);
    case VK_SHIFT:
      return ScancodeDown(keys, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT);
    case VK_MENU:
      return ScancodeDown(keys, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT);
    case VK_ESCAPE:
      return ScancodeDown(keys, SDL_SCANCODE_ESCAPE);
    case VK_LEFT:
      return ScancodeDown(keys, SDL_SCANCODE_LEFT);
    case VK_RIGHT:
      return ScancodeDown(keys, SDL_SCANCODE_RIGHT);
    case VK_UP:
      return ScancodeDown(keys, SDL_SCANCODE_UP);
    case VK_DOWN:
      return ScancodeDown(keys, SDL_SCANCODE_DOWN);
    default:
      break;
  }
  // A key named in the controls file: the key that bears that name in the keyboard's layout.
  if ((virtualKey & kNamedKey) != 0) {
    const SDL_Scancode named = SDL_GetScancodeFromKey(virtualKey & ~kNamedKey);
    return named != SDL_SCANCODE_UNKNOWN && keys[named] != 0;
  }
  SDL_Keycode sym = SDLK_UNKNOWN;
  if (virtualKey >= 'A' && virtualKey <= 'Z') sym = SDLK_a + (virtualKey - 'A');
  if (virtualKey >= '0' && virtualKey <= '9') sym = SDLK_0 + (virtualKey - '0');
  if (sym == SDLK_UNKNOWN) return false;
  const SDL_Scancode code = SDL_GetScancodeFromKey(sym);
  return code != SDL_SCANCODE_UNKNOWN && keys[code] != 0;
}

void SdlCursorPos(int32_t* x, int32_t* y) {
  *x = -1;
  *y = -1;
  if (sdlMainWindow == nullptr) return;
  RefreshInputState();
  if (!sdlMainWindow->pointerInside) return;
  int wx = 0;
  int wy = 0;
  SDL_GetMouseState(&wx, &wy);
  // Window pixels back through the scaling and the black bars, into game pixels.
  float lx = 0.0f;
  float ly = 0.0f;
  SDL_RenderWindowToLogical(sdlMainWindow->renderer, wx, wy, &lx, &ly);
  const int32_t gx = static_cast<int32_t>(std::floor(lx));
  const int32_t gy = static_cast<int32_t>(std::floor(ly));
  // Not brought to the nearest edge: the bars beside the picture are not part of the game, and
  // the edge of the right panel holds its buttons.
  if (gx < 0 || gy < 0 || gx >= sdlMainWindow->width || gy >= sdlMainWindow->height) return;
  *x = gx;
  *y = gy;
}

bool SdlIsMinimised(Window* window) {
  if (window == nullptr || window->sdl == nullptr) return false;
  return (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

uint32_t SdlTimeMs() { return SDL_GetTicks(); }

bool SdlHasFocus(Window* window) { return window == nullptr || window->focused; }

bool SdlCloseRequested() { return SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_HasEvent(SDL_QUIT); }

void SdlWaitForMessages(uint32_t ms) {
  if (ms == 0) return;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    SDL_Delay(ms);
    return;
  }
  // Without an event to fill in, SDL leaves whatever woke it in its queue for the next pump.
  SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
}

bool SdlMessageBox(Window* owner, const char* caption, const char* text) {
  SDL_Window* parent = owner != nullptr ? owner->sdl : nullptr;
  return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent) == 0;
}

constexpr Backend kSdlBackend = {
    SdlCreateWindow, SdlDestroyWindow,  SdlPumpMessages,    SdlIsKeyDown,
    SdlCursorPos,    SdlIsMinimised,    SdlTimeMs,          SdlMessageBox,
    SdlHasFocus,     SdlCloseRequested, SdlWaitForMessages,
};

}  // namespace

const Backend sdlBackend = kSdlBackend;
Backend backend = kSdlBackend;

}  // namespace platform
