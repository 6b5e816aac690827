#include <cstdio>

#include "game/bindings.h"
#include "platform/pads.h"
#include "platform/system.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "sound/effects.h"

int main(int argc, char** argv) {
  const int status = ParseCommandLine(argc, argv, stdout, stderr);
  if (status >= 0) return status;
  // The controls file's faults are told on standard error, and the game starts all the same.
  LoadControls(stderr);
  if (gameOptions.printControls) {
    PrintControls(stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::perror("corvane-altor: cannot write the controls");
    return 1;
  }
  platform::startWindowed = gameOptions.windowed;
  noSoundDevice = gameOptions.mute;
  // Without pads the game is played on the keyboard as ever.
  platform::StartPads();
  return GameMain();
}
