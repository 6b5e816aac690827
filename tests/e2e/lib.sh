# Shared helpers for the end-to-end tests: a private Xvfb screen, the real game binary started
# from its data directory, xdotool input, screenshots and pixel probes.
# Usage from a test: source "$(dirname "$0")/lib.sh" "$@"   (arguments: game binary, data dir)
set -euo pipefail

GAME_BIN=$(realpath "$1")
DATA_DIR=$(realpath "$2")
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TEST_NAME=$(basename "$0" .sh)
SHOT_DIR="$(dirname "$GAME_BIN")/e2e-shots/$TEST_NAME"
mkdir -p "$SHOT_DIR"
GAME_PID=""
XVFB_PID=""
GAME_LOG="$SHOT_DIR/game.log"

fail() {
  echo "FAIL: $*" >&2
  [ -f "$GAME_LOG" ] && sed 's/^/  game: /' "$GAME_LOG" >&2
  exit 1
}

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then kill -9 "$GAME_PID" 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

# start_xvfb [WIDTHxHEIGHT]
start_xvfb() {
  local size=${1:-640x480}
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  fail "no Xvfb display could be started"
}

# start_game [ENV=VALUE ...]: the game from its data directory, like `make run` does.
start_game() {
  (cd "$DATA_DIR" && exec env SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$@" "$GAME_BIN") \
    >"$GAME_LOG" 2>&1 &
  GAME_PID=$!
  wait_for_window
}

# start_command COMMAND [ARG ...]: the game started by another command (an installed launcher,
# say) from the current directory; GAME_PID becomes the game once the command execs it.
start_command() {
  (exec env SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" "$@") >"$GAME_LOG" 2>&1 &
  GAME_PID=$!
  wait_for_window
}

wait_for_window() {
  local i
  for i in $(seq 100); do
    GAME_WINDOW=$(xdotool search --onlyvisible --name "Corvane Altor" 2>/dev/null | tail -n 1 || true)
    [ -n "$GAME_WINDOW" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
    sleep 0.1
  done
  [ -n "${GAME_WINDOW:-}" ] || fail "no game window appeared"
  # The window may be made anew while the renderer is set up: settle, then look again.
  sleep 0.7
  GAME_WINDOW=$(xdotool search --onlyvisible --name "Corvane Altor" 2>/dev/null | tail -n 1 || true)
  [ -n "$GAME_WINDOW" ] || fail "the game window went away"
}

# wait_exit SECONDS: waits for the game to end; its status lands in GAME_STATUS.
wait_exit() {
  local limit=$1 i
  for i in $(seq $((limit * 10))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      set +e
      wait "$GAME_PID"
      GAME_STATUS=$?
      set -e
      GAME_PID=""
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end within $limit s"
}

# shot NAME: a screenshot of the whole screen into the shots folder; prints its path.
shot() {
  local file="$SHOT_DIR/$1.png"
  import -depth 8 -window root "$file"
  echo "$file"
}

# pixel FILE X Y: the colour of one pixel as "R,G,B" (0..255).
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

key() { xdotool key --delay 30 "$@"; }
hold() { xdotool keydown "$@"; }
release() { xdotool keyup "$@"; }
click_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.15
  xdotool click 1
}
