#!/usr/bin/env bash
# --windowed on a 1920x1080 screen: a window smaller than the screen, the picture letterboxed at
# any size with clicks landing on it, and Alt+Enter to full screen and back with the match going on.
source "$(dirname "$0")/lib.sh" "$@"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$SHOT_DIR/display" 2>/dev/null &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$SHOT_DIR/display" ] && break || sleep 0.1; done
export DISPLAY=":$(cat "$SHOT_DIR/display")"
(cd "$DATA_DIR" && exec env SDL_AUDIODRIVER=dummy "$GAME_BIN" --windowed) >"$GAME_LOG" 2>&1 &
GAME_PID=$!
WIN=$(timeout 30 xdotool search --sync --onlyvisible --name Corvane | head -n 1) || fail "no window"
sleep 0.7

# size WxH: the window's size must be that; sets the picture's place and size (SDL's letterbox).
size() {
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  [ "${WIDTH}x$HEIGHT" = "$1" ] || fail "a ${WIDTH}x$HEIGHT window, not $1"
  PW=$((WIDTH * 480 <= HEIGHT * 640 ? WIDTH : HEIGHT * 640 / 480)) && PH=$((PW * 3 / 4))
  PX=$((X + (WIDTH - PW) / 2)) && PY=$((Y + (HEIGHT - PH) / 2))
}
# click GX GY: a click on the game's pixel (GX, GY).
click() {
  xdotool mousemove $((PX + (2 * $1 + 1) * PW / 1280)) $((PY + (2 * $2 + 1) * PH / 960))
  sleep 0.2 && xdotool click 1 && sleep 0.5
}
# picture NAME: the game's picture on the screen now, at 640x480 (see it), and in 8x8 blocks.
picture() {
  convert "$(shot "$1")" -crop "${PW}x$PH+$PX+$PY" +repage -sample '640x480!' "$SHOT_DIR/$1.png"
  convert "$SHOT_DIR/$1.png" -scale 12.5% "$SHOT_DIR/$1.b.png" && echo "$SHOT_DIR/$1.b.png"
}
# differ A B: blocks (of 4800) that differ more than a picture scaled and taken back may.
differ() { compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 || true; }
same() { [ "$(differ "$1" "$2")" -lt 20 ] || fail "$3: $(differ "$1" "$2") blocks differ"; }
moving() { sleep 1 && [ "$(differ "$1" "$(picture "$2")")" -gt 50 ] || fail "$3"; }

size 1280x960 && menu=$(picture menu)
# In the middle of the screen, each game pixel a square of 2x2 screen pixels of one colour.
[ "$(convert "$SHOT_DIR/menu.ppm" -crop 1280x960+320+60 \( "$SHOT_DIR/menu.png" -sample 200% \) \
  -metric AE -compare -format %[distortion] info:)" = 0 ] || fail "not in the middle, or blurred"
# 1000x500: "Play!" starts a match; paused, Alt+Enter: the same match on the whole screen
xdotool windowsize "$WIN" 1000 500 && sleep 0.5 && size 1000x500 && click 330 165
moving "$menu" match "no match started"
xdotool key p && sleep 0.3 && paused=$(picture paused)
xdotool key alt+Return && sleep 1 && size 1920x1080
same "$paused" "$(picture full_paused)" "the match is not as it was"
xdotool key p && moving "$paused" full_going "the match does not go on"
# Alt+Enter: the window as it was; the bar beside the picture, then "Main Menu"
xdotool key alt+Return && sleep 1 && size 1000x500 && click 650 460
kill -0 "$GAME_PID" || fail "a click beside the picture ended the game"
click 600 440 && same "$menu" "$(picture menu_again)" "not back in the menu"
# Alt+Enter: "Quit" on the whole screen
xdotool key alt+Return && sleep 1 && size 1920x1080 && click 335 435
timeout 10 tail --pid="$GAME_PID" -f /dev/null || fail "the game did not end"
wait "$GAME_PID" || fail "the game ended with status $?"
echo "ok: a window, letterboxed clicks, Alt+Enter both ways with the match going on"
