#!/usr/bin/env bash
# Records the reference hashes of the recorded games (tests/replays/*.txt) anew. Run it only when
# a rule, a constant or an order of the game has changed on purpose, and say so in the commit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target corvane_tests
CORVANE_RECORD_REPLAYS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  "$build/corvane_tests" --gtest_filter='Games/ReplayTest.*'
git -C "$root" status --short tests/replays
