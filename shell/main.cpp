#include <cstdio>

#include "platform/system.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "sound/effects.h"

int main(int argc, char** argv) {
  const int status = ParseCommandLine(argc, argv, stdout, stderr);
  if (status >= 0) return status;
  platform::startWindowed = gameOptions.windowed;
  noSoundDevice = gameOptions.mute;
  return GameMain();
}
