// Keys by SDL's names, for the controls file.
#include <SDL.h>

#include <cstdio>

#include "platform/keys.h"

namespace platform {

namespace {

// The game's own codes for keys that have one; each names one SDL key, or none for either side.
struct OwnCode {
  int32_t code;
  SDL_Keycode sym;
  const char* name;  // the either-side names, which SDL has not
};
constexpr OwnCode kOwnCodes[] = {
    {VK_CONTROL, SDLK_UNKNOWN, "Ctrl"}, {VK_SHIFT, SDLK_UNKNOWN, "Shift"},
    {VK_MENU, SDLK_UNKNOWN, "Alt"},     {VK_ESCAPE, SDLK_ESCAPE, nullptr},
    {VK_LEFT, SDLK_LEFT, nullptr},      {VK_RIGHT, SDLK_RIGHT, nullptr},
    {VK_UP, SDLK_UP, nullptr},          {VK_DOWN, SDLK_DOWN, nullptr},
};

SDL_Keycode SymOf(int32_t key) {
  if ((key & kNamedKey) != 0) return key & ~kNamedKey;
  if (key >= 'A' && key <= 'Z') return SDLK_a + (key - 'A');
  if (key >= '0' && key <= '9') return SDLK_0 + (key - '0');
  for (const OwnCode& own : kOwnCodes)
    if (own.code == key) return own.sym;
  return SDLK_UNKNOWN;
}

}  // namespace

bool KeyFromName(const char* name, int32_t* key) {
  for (const OwnCode& own : kOwnCodes) {
    if (own.name != nullptr && SDL_strcasecmp(name, own.name) == 0) {
      *key = own.code;
      return true;
    }
  }
  const SDL_Keycode sym = SDL_GetKeyFromName(name);
  if (sym == SDLK_UNKNOWN) return false;
  // A key the game has a code for is read through that code, as the default keys are.
  if (sym >= SDLK_a && sym <= SDLK_z) {
    *key = 'A' + (sym - SDLK_a);
  } else if (sym >= SDLK_0 && sym <= SDLK_9) {
    *key = '0' + (sym - SDLK_0);
  } else {
    *key = kNamedKey | sym;
    for (const OwnCode& own : kOwnCodes)
      if (own.sym == sym) *key = own.code;
  }
  return true;
}

void KeyName(int32_t key, char* out, size_t outLen) {
  for (const OwnCode& own : kOwnCodes) {
    if (own.code == key && own.name != nullptr) {
      std::snprintf(out, outLen, "%s", own.name);
      return;
    }
  }
  const SDL_Keycode sym = SymOf(key);
  std::snprintf(out, outLen, "%s", sym == SDLK_UNKNOWN ? "" : SDL_GetKeyName(sym));
}

int32_t KeyBothSides(int32_t key) {
  switch (SymOf(key)) {
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return VK_CONTROL;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VK_SHIFT;
    case SDLK_LALT:
    case SDLK_RALT:
      return VK_MENU;
    default:
      return key;
  }
}

}  // namespace platform
