// The display: screen set-up, the back buffer, the twelve picture surfaces, presenting a frame and
// recovering lost surfaces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/surface.h"

namespace platform {
struct Display;
}

// Why InitDirectDraw failed, for the start-up failure message.
extern char displayFailure[256];

// Sets up the screen at screenWidth x screenHeight and the back buffer; 1 when ready, else 0
// (the reason then in displayFailure).
int32_t InitDirectDraw();

// A new surface holding the picture of the .bmp file at path scaled to width x height, or null.
// The reason for a failure goes into why when one is given.
platform::Surface* LoadBitmapSurface(platform::Display* display, const char* path, int32_t width,
                                     int32_t height, char* why = nullptr, size_t whyLen = 0);

// The raw pixel value that the COLORREF rgb has in surface's format, found by letting the surface
// convert it through pixel (0, 0), which is put back afterwards. All ones when the surface cannot
// be locked.
uint32_t MatchSurfaceColor(platform::Surface* surface, uint32_t rgb);

// Keys surface on the colour rgb: keyed copies from it leave that colour out. Returns whether the
// key could be set.
bool SetSurfaceColorKey(platform::Surface* surface, uint32_t rgb);

// Loads every picture of gfx/ into its surface, scaled to its size, with its colour key, replacing
// (and freeing) what the globals held. A picture that cannot be loaded ends the game with a
// message saying where it was looked for.
void LoadBitmaps();

// The message shown when path could not be loaded (reason why) from the directory dir.
void FormatBitmapFailure(char* out, size_t outLen, const char* path, const char* why,
                         const char* dir);

// Brings every surface and picture back after a loss; sets surfacesValid.
void RestoreSurfaces();
// Shows the back buffer.
void PresentFrame();
// Gives the screen back and releases the screen and the back buffer.
void ReleaseDisplay();
