// What the SDL side of the platform layer shares between its files. Included only by platform/.
#pragma once

#include <SDL.h>

#include "platform/surface.h"

namespace platform {

struct Window {
  SDL_Window* sdl = nullptr;
  SDL_Renderer* renderer = nullptr;
  int32_t width = 0;  // game pixels
  int32_t height = 0;
  Surface* screen = nullptr;  // the picture opened on this window, if any
  // As the window's events last said. Assumed at first: SDL's headless driver never reports them.
  bool focused = true;        // has the keyboard
  bool pointerInside = true;  // the mouse is over the window
  // The window's size when it last was one (0: never yet), for Alt+Enter to go back to.
  int windowedWidth = 0;
  int windowedHeight = 0;
};

// The window the game runs in; null before it exists.
extern Window* sdlMainWindow;

// Gives pads plugged in since the last look their places, and frees the places of pads pulled out.
void SeatChangedPads();
// Whether the event is the Start button of a pad that plays (pad 0 or 1).
bool IsPlayingPadStart(const SDL_ControllerButtonEvent& event);

}  // namespace platform
