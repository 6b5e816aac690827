// The display: screen set-up, the back buffer, the twelve picture surfaces, presenting a frame and
// recovering lost surfaces.
#pragma once

#include <cstdint>

#include "platform/surface.h"

// Why InitDirectDraw failed, for the start-up failure message.
extern char displayFailure[256];

// Sets up the screen at screenWidth x screenHeight and the back buffer; 1 when ready, else 0.
int32_t InitDirectDraw();
// Loads every picture of gfx/ into its surface, scaled to its size, with its colour key.
void LoadBitmaps();
// Brings every surface and picture back after a loss; sets surfacesValid.
void RestoreSurfaces();
// Shows the back buffer.
void PresentFrame();
// Gives the screen back and releases the screen and the back buffer.
void ReleaseDisplay();
