#include <cstdio>

#include "shell/options.h"
#include "shell/shell.h"
#include "sound/effects.h"

int main(int argc, char** argv) {
  const int status = ParseCommandLine(argc, argv, stdout, stderr);
  if (status >= 0) return status;
  noSoundDevice = gameOptions.mute;
  return GameMain();
}
