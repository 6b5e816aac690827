#!/usr/bin/env bash
# Takes the README's screenshots from the real game under Xvfb: the menu, and a match of one
# player against the computer a few seconds in, both planes in the air and bullets flying.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build; the game must be built there)
# Writes docs/screenshots/menu.png and docs/screenshots/match.png.
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
if [ ! -x "$build/corvane-altor" ]; then
  echo "no game in $build: build it first (make build)" >&2
  exit 1
fi
source "$root/tests/e2e/lib.sh" "$build/corvane-altor" "$build/data"
out="$root/docs/screenshots"
mkdir -p "$out"

start_xvfb
start_game
xdotool mousemove 330 160
menu_drawings 2 1 "Play!" | wait_screen frame menu 10
convert "$LAST_SHOT" -strip "$out/menu.png"
echo "wrote $out/menu.png"

# Play!, then take off, climb and fire in bursts until both planes are seen whole in the air with
# player 1's bullets on the way (or the time is up: the last picture is kept then).
press_at 330 160
xdotool mousemove 5 300
sleep 1
hold Control_L Left
sleep 0.45
release Left
picture=""
for try in $(seq 40); do
  hold Shift_L
  sleep 0.1
  release Shift_L
  candidate=$(shot "match_$try")
  read -r one _ _ m1 <<<"$(screen find-plane "$candidate" 0 0 0 560 400 || true)"
  read -r two _ _ m2 <<<"$(screen find-plane "$candidate" 1 0 0 560 400 || true)"
  read -r bullets _ <<<"$(screen count "$candidate" bullet:0 0 0 560 480)"
  picture=$candidate
  if [ "$one" != none ] && [ "$two" != none ] && [ "${m1%/*}" = "${m1#*/}" ] &&
    [ "${m2%/*}" = "${m2#*/}" ] && [ "$bullets" -gt 0 ]; then
    break
  fi
  # Back on the runway after a kill: off again.
  if echo "plane 10 420 0 0" | screen check "$candidate" >/dev/null 2>&1 ||
    screen find-plane "$candidate" 0 0 404 240 452 >/dev/null 2>&1; then
    hold Control_L Left
    sleep 0.45
    release Left
  fi
done
release Control_L
convert "$picture" -strip "$out/match.png"
echo "wrote $out/match.png"
key Escape
wait_exit 10
