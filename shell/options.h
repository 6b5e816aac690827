// The command line: what the player asked for when starting the game.
#pragma once

#include <cstdint>
#include <cstdio>

struct GameOptions {
  bool windowed;       // --windowed; --fullscreen puts it back (the last one given wins)
  bool mute;           // --mute: no sound device is opened
  bool printControls;  // --print-controls: print the controls in use and exit
  bool host;           // --host [PORT]: wait for an opponent over the network
  bool join;           // --join HOST[:PORT]: join a game hosted elsewhere
  uint16_t port;       // PORT of --host or --join; 0 when not given (the default port)
  char joinHost[256];  // HOST of --join
};

// As parsed from the command line; all off before parsing (no options: the game as it always was).
extern GameOptions gameOptions;

// Reads argv into gameOptions. Returns -1 when the game is to start; otherwise the exit status:
// 0 after --help or --version (their text went to out), 2 after a bad command line (one line
// naming the fault and a hint went to err).
int ParseCommandLine(int argc, const char* const* argv, FILE* out, FILE* err);
