// The application shell: start-up, the paced main loop, the window's messages, shutdown and the
// error box.
#pragma once

#include <cstdint>

#include "platform/system.h"

// Creates the full-screen window at the current screenWidth x screenHeight; 1 on success, else 0.
int32_t CreateMainWindow();

// Handles one message from the window's queue (Escape, P, the window's destruction).
void WindowProc(const platform::Message& message);

// Shuts the game down: tells an online opponent, gives the display back, releases the screen, the
// back buffer and the sound device, and posts the quit message (the process's exit status). Only
// the first call does anything.
void QuitGame(int32_t exitCode = 0);
// True once QuitGame has run.
bool IsQuitting();

// A modal box captioned "Error" with one OK button; returns when it is closed.
void ShowError(const char* text);

// For problems the game cannot run without (its pictures missing): shows text in the error box,
// gives the display back and ends the process with status 1.
[[noreturn]] void ExitWithError(const char* text);

// Start-up, up to the main loop: 0 when the game is ready to run, else the exit status (the
// failure has been reported on standard error).
int StartUp();

// Runs start-up and the main loop; returns the process's exit status.
int GameMain();

// One pass of the main loop: a waiting message is handled first, otherwise the frame clock is
// advanced and a due frame runs. Returns false once the quit message has been taken; its exit code
// is then in *exitCode.
bool MainLoopPass(int32_t* exitCode);

// The frame clock of an idle pass: adds the time since the last pass and says whether a frame is
// due (the accumulator is then restarted from this pass's elapsed time).
bool AdvanceFrameClock(uint32_t now);

// How many milliseconds after now the next frame can be due (0: the next pass may run it, or a
// message is waiting, or the game is quitting). Passes before then would only add up time.
uint32_t MsUntilFrameDue(uint32_t now);

// Between two passes of the main loop: sleeps until the last millisecond before the next frame
// is due, or until the system has a message; the frame rule itself is left to the passes.
void WaitForNextPass();

// Places the nine clouds at random x positions, multiples of 5 from 0 to 600.
void PlaceClouds();

// Forgets that QuitGame has run (tests start over with it).
void ResetShell();
