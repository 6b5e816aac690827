#!/usr/bin/env bash
# The first menu frame, predicted pixel for pixel from the game's pictures: the title picture, the
# key legends, every label and the start values, the two plane pictures; the item under the cursor
# lights up in the highlight band.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
xdotool mousemove 5 5

echo "the whole first frame: speed 2, one human against the computer at Easy, no CPU2 Level"
menu_drawings 2 1 | wait_screen frame menu 5
expect_screen check "$LAST_SHOT" <<'END'
text 320 150 2 4 Play!
text 150 180 1 4 640x480x16
number 160 210 1 4 2
number 160 240 1 4 6
number 160 270 1 4 1
text 157 300 1 4 Easy
number 160 390 1 4 5
plane 150 322 0 0
plane 150 352 0 1
notext 404 300 2 4 CPU2 Level
END
# The comparison is not blind: a frame with speed 3, or "Play!" lit up, is told apart.
if menu_drawings 3 1 | screen frame "$LAST_SHOT" >/dev/null 2>&1; then
  fail "a menu with speed 3 was taken for the first frame"
fi
if menu_drawings 2 1 "Play!" | screen frame "$LAST_SHOT" >/dev/null 2>&1; then
  fail "a lit \"Play!\" was taken for the first frame"
fi

echo "the cursor over \"Play!\" lights it up; the rest of the frame stays as it was"
xdotool mousemove 330 160
menu_drawings 2 1 "Play!" | wait_screen frame hover_play 5

echo "on the label column itself (x = 320) nothing lights up"
xdotool mousemove 320 160
menu_drawings 2 1 | wait_screen frame hover_column 5

echo "over the end of \"Player(s)\" (x = 385) it lights up, and over \"Quit\" too"
xdotool mousemove 385 280
menu_drawings 2 1 "Player(s)" | wait_screen frame hover_players 5
xdotool mousemove 340 430
menu_drawings 2 1 "Quit" | wait_screen frame hover_quit 5

key Escape
wait_exit 10
echo "ok: the menu shows what its pictures and settings predict"
