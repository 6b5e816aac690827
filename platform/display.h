// The screen: the window's picture, made from the game's back buffer scaled to the desktop with
// nearest-neighbour filtering and black bars, without waiting for the vertical blank.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/surface.h"

namespace platform {

struct Window;

// What the game draws through: the window and the screen opened on it.
struct Display {
  Window* window = nullptr;
  Surface* screen = nullptr;
};

// Takes the window's picture over at width x height game pixels. Returns null, with the reason in
// why, when it cannot.
Surface* OpenScreen(Window* window, int32_t width, int32_t height, char* why, size_t whyLen);
// Gives the picture back; the screen surface is freed.
void CloseScreen(Surface* screen);
// Shows srcRect of backBuffer as the whole picture. False when nothing could be shown.
bool PresentToScreen(Surface* screen, const Surface& backBuffer, const Rect& srcRect);
// True once the system has taken the picture away (render device reset, full-screen window
// minimised) and until RestoreScreen succeeds.
bool IsScreenLost(const Surface* screen);
// Recreates what the system took away; false while that is still impossible.
bool RestoreScreen(Surface* screen);

}  // namespace platform
