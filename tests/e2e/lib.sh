# shellcheck shell=bash
# Shared helpers for the end-to-end tests: a private Xvfb screen, the real game binary started
# from its data directory, xdotool input, screenshots and pixel probes.
# Usage from a test: source "$(dirname "$0")/lib.sh" "$@"   (arguments: game binary, data dir)
set -euo pipefail
# `drawings | wait_screen ...` must set LAST_SHOT in the test's own shell.
shopt -s lastpipe

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
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    # The socket appears before the server takes clients: a game started then finds no display.
    # Ready means answering a request.
    for i in $(seq 100); do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1 && break
      sleep 0.1
    done
    if kill -0 "$XVFB_PID" 2>/dev/null && DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
      export DISPLAY=":$n"
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
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
  # Generous: on a busy machine the renderer's set-up alone can take seconds.
  for i in $(seq 300); do
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

# shot NAME: a screenshot of the whole screen into the shots folder; prints its path. PPM, which
# is written and read far quicker than PNG (`convert NAME.ppm NAME.png` to look at it).
shot() {
  local file="$SHOT_DIR/$1.ppm"
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

# ---------------------------------------------------------------- predicted pictures
# screen.py predicts, from the game's own .bmp files, the pixels that a drawing puts on the screen;
# see its help for the drawing lines that the functions below read on their standard input.
SCREEN_PY="$E2E_DIR/screen.py"

# screen CMD ARGS...: runs screen.py with the data directory where it needs one.
screen() {
  local cmd=$1 file=$2
  shift 2
  case $cmd in
    diff | rgb) python3 "$SCREEN_PY" "$cmd" "$file" "$@" ;;
    *) python3 "$SCREEN_PY" "$cmd" "$file" "$DATA_DIR" "$@" ;;
  esac
}

# expect_screen MODE FILE < DRAWINGS: fails the test unless the drawings hold in the screenshot;
# MODE "check" compares each drawing's own pixels, "frame" the whole predicted picture.
expect_screen() {
  local out
  out=$(screen "$1" "$2" 2>&1) || fail "$out"
  echo "  $out"
}

now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }

# wait_screen MODE NAME SECONDS < DRAWINGS: screenshots NAME until the drawings hold (see
# expect_screen), for at most SECONDS; the last screenshot's path is left in LAST_SHOT.
wait_screen() {
  local mode=$1 name=$2 limit=$3 drawings out
  drawings=$(cat)
  local end=$(($(now_ms) + limit * 1000))
  while :; do
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while waiting for $name"
    LAST_SHOT=$(shot "$name")
    if out=$(screen "$mode" "$LAST_SHOT" <<<"$drawings" 2>&1); then
      echo "  $out"
      return 0
    fi
    [ "$(now_ms)" -lt "$end" ] || fail "within $limit s: $out"
    sleep 0.2
  done
}

# press_at X Y: the left button held down at (X, Y) for 0.15 s, longer than a menu frame.
press_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.15
  xdotool mousedown 1
  sleep 0.15
  xdotool mouseup 1
}

# tap_at X Y: a quick click, for the menu items that step a value in every frame the button is
# seen down: a click quicker than the menu's polling counts exactly once.
tap_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.15
  xdotool click 1
}

# menu_drawings SPEED HUMANS [HIGHLIGHTED LABEL]: the drawing lines of a whole menu frame.
menu_drawings() {
  local speed=$1 humans=$2 lit=${3:-}
  local label y
  echo "picture camain 0 0 640 480"
  local i=0 line
  for line in "  Player 1 Controls  " "---------------------" "Gas              CTRL" \
    "Fire            SHIFT" "Nose up    LEFT ARROW" "Nose down RIGHT ARROW" "---------------------"; do
    echo "text 10 $((410 + 10 * i)) 2 4 $line"
    i=$((i + 1))
  done
  i=0
  for line in "  Player 2 Controls  " "---------------------" "Gas               ALT" \
    "Fire                Z" "Nose up             C" "Nose down           V" "---------------------"; do
    echo "text 472 $((410 + 10 * i)) 2 4 $line"
    i=$((i + 1))
  done
  y=150
  for label in "Play!" "Video Resolution:" "Game Speed:" "Bullets" "Player(s)" "CPU Level" \
    "Player 1 Color:" "Player 2 Color:" "Score to win:" "Quit"; do
    if [ "$label" != "CPU Level" ] || [ "$humans" = 1 ]; then
      echo "text 320 $y 2 4 $label"
    fi
    y=$((y + 30))
  done
  echo "text 150 180 1 4 640x480x16"
  echo "number 160 210 1 4 $speed"
  echo "number 160 240 1 4 6"
  echo "number 160 270 1 4 $humans"
  [ "$humans" = 1 ] && echo "text 157 300 1 4 Easy"
  echo "plane 150 322 0 0"
  echo "plane 150 352 0 1"
  echo "number 160 390 1 4 5"
  if [ -n "$lit" ]; then
    y=150
    for label in "Play!" "Video Resolution:" "Game Speed:" "Bullets" "Player(s)" "CPU Level" \
      "Player 1 Color:" "Player 2 Color:" "Score to win:" "Quit"; do
      [ "$label" = "$lit" ] && echo "text 320 $y 6 4 $label"
      y=$((y + 30))
    done
  fi
  return 0
}

# match_static_drawings SCORE1 SCORE2: the parts of a match frame that no cloud can cover: the
# playfield below the clouds' lowest reach (y 204) with the tower but without planes or bullets,
# and the whole right panel. Scores from 0 up; a plane's line may follow (the runways lie clear of
# the tower).
match_static_drawings() {
  echo "picture bg 0 204 560 276"
  echo "picture right 560 0 80 480"
  echo "picture buttons 560 416 80 64"
  echo "tower 264 400"
  echo "text 5 465 2 4 640x480x16"
  echo "text 568 100 2 4 Player 1"
  echo "number 590 115 1 6 $1"
  echo "text 568 200 2 4 Player 2"
  echo "number 590 215 1 6 $2"
  echo "text 572 5 6 4 Corvane"
  echo "text 580 15 6 4 Altor"
  echo "text 576 380 2 4 To win:"
  echo "number 592 394 1 6 5"
  echo "text 564 428 1 4 Main Menu"
  echo "text 584 460 1 4 Quit"
}

# statistics_drawings: both players' statistics labels (their values are checked by the tests).
statistics_drawings() {
  local c
  for c in 186 373; do
    echo "text $((c - 62)) 0 2 4 Player $([ $c = 186 ] && echo 1 || echo 2)"
    echo "text $((c - 64)) 10 2 4 Kills:"
    echo "text $((c - 64)) 20 2 4 Crashes:"
    echo "text $((c - 64)) 30 2 4 Fired:"
    echo "text $((c - 64)) 40 2 4 Hit %:"
  done
}
