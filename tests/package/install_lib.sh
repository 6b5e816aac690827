# shellcheck shell=bash
# Shared by the tests of the installed game and its package, which `make test-package` runs with
# three arguments: the build's game, its data directory, and the package's build folder. Brings
# a private Xvfb screen, the game started and waited for, keys and screenshots, a scratch folder,
# and keeps the build's list of installed files as it was (cmake --install rewrites
# build/install_manifest.txt, which a user may still need to uninstall a source install).
set -euo pipefail
GAME_BIN=$(realpath "$1")
DATA_DIR=$(realpath "$2")
SHOT_DIR="$(dirname "$GAME_BIN")/e2e-shots/$(basename "$0" .sh)"
GAME_PID="" XVFB_PID=""
mkdir -p "$SHOT_DIR"
fail() { echo "FAIL: $*" >&2; exit 1; }
cleanup() { kill -9 $GAME_PID $XVFB_PID 2>/dev/null || true; }

# Xvfb picks a free display and writes its number once it takes clients.
start_xvfb() {
  : >"$SHOT_DIR/display"
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$SHOT_DIR/display" 2>/dev/null &
  XVFB_PID=$!
  disown  # killed at the end without a word from the shell
  for _ in $(seq 100); do [ -s "$SHOT_DIR/display" ] && break || sleep 0.1; done
  export DISPLAY=":$(cat "$SHOT_DIR/display")"
}

# start_command COMMAND...: the game, started by COMMAND (which may exec it) from here.
start_command() {
  (exec env SDL_AUDIODRIVER=dummy "$@") >"$SHOT_DIR/game.log" 2>&1 &
  GAME_PID=$!
  timeout 30 xdotool search --sync --onlyvisible --name "Corvane Altor" >/dev/null ||
    fail "no game window appeared: $(cat "$SHOT_DIR/game.log")"
  sleep 0.7  # the window may be made anew while the renderer is set up
}

# wait_exit SECONDS: the game's status lands in GAME_STATUS.
wait_exit() {
  timeout "$1" tail --pid=$GAME_PID -s 0.1 -f /dev/null || fail "the game runs on after $1 s"
  GAME_STATUS=0
  wait $GAME_PID || GAME_STATUS=$?
  GAME_PID=""
}

shot() { import -depth 8 -window root "$SHOT_DIR/$1.ppm" && echo "$SHOT_DIR/$1.ppm"; }
key() { xdotool key --delay 30 "$@"; }

BUILD_DIR=$(dirname "$GAME_BIN")
PKG_DIR=$(realpath "$3")
SRC_DIR=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../..")
WORK=$(mktemp -d)
MANIFEST="$BUILD_DIR/install_manifest.txt"
if [ -f "$MANIFEST" ]; then cp -p "$MANIFEST" "$WORK/manifest.kept"; fi

test_cleanup() { :; }  # a test's own undoing, run first
install_cleanup() {
  test_cleanup
  cleanup
  rm -f "$MANIFEST"
  if [ -f "$WORK/manifest.kept" ]; then cp -p "$WORK/manifest.kept" "$MANIFEST"; fi
  rm -rf "$WORK"
}
trap install_cleanup EXIT

# The files the game reads from its data directory, as the build generated them.
mapfile -t DATA_FILES < <(cd "$DATA_DIR" && find gfx sounds -type f | sort)
[ ${#DATA_FILES[@]} -eq 14 ] || fail "the build's data has ${#DATA_FILES[@]} files, not 14"

# play_installed LAUNCHER GAME DATA: the launcher, started from /, runs the program GAME (it
# execs it, so the game keeps its process) in the folder DATA and shows the menu, whose picture
# fills the screen's top-left corner (within the 16-bit display's rounding); Escape ends it with
# status 0.
play_installed() {
  cd /
  start_command "$1"
  [ "$(readlink "/proc/$GAME_PID/exe")" = "$(realpath "$2")" ] || fail "$1 does not run $2"
  [ "$(readlink "/proc/$GAME_PID/cwd")" = "$(realpath "$3")" ] || fail "$1 does not work in $3"
  [ "$(compare -metric AE -fuzz 2% -extract 32x32+0+0 "$(shot "installed-$GAME_PID")" \
    "$DATA_DIR/gfx/camain.bmp" null: 2>&1)" = 0 ] || fail "$1: the screen's top-left corner is not the menu picture"
  key Escape
  wait_exit 10
  [ "$GAME_STATUS" -eq 0 ] || fail "$1: exit status $GAME_STATUS after Escape"
}
