# shellcheck shell=bash
# For the packaging tests: a private Xvfb screen, the game started and waited for, keys and
# screenshots. Usage: source lib.sh GAME_BINARY DATA_DIR
set -euo pipefail
GAME_BIN=$(realpath "$1")
DATA_DIR=$(realpath "$2")
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SHOT_DIR="$(dirname "$GAME_BIN")/e2e-shots/$(basename "$0" .sh)"
GAME_PID="" XVFB_PID=""
mkdir -p "$SHOT_DIR"
fail() { echo "FAIL: $*" >&2; exit 1; }
cleanup() { kill -9 $GAME_PID $XVFB_PID 2>/dev/null || true; }
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it takes clients.
start_xvfb() {
  : >"$SHOT_DIR/display"
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$SHOT_DIR/display" 2>/dev/null &
  XVFB_PID=$!
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

start_game() { cd "$DATA_DIR" && start_command "$GAME_BIN" && cd - >/dev/null; }

# wait_exit SECONDS: the game's status lands in GAME_STATUS.
wait_exit() {
  timeout "$1" tail --pid=$GAME_PID -s 0.1 -f /dev/null || fail "the game runs on after $1 s"
  GAME_STATUS=0
  wait $GAME_PID || GAME_STATUS=$?
  GAME_PID=""
}

shot() { import -depth 8 -window root "$SHOT_DIR/$1.ppm" && echo "$SHOT_DIR/$1.ppm"; }
key() { xdotool key --delay 30 "$@"; }
