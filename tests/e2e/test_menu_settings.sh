#!/usr/bin/env bash
# Clicks on the menu's settings: "Game Speed:" steps 2, 3, 4, 5, 1, 2; "Player(s)" switches to two
# humans (the "CPU Level" row goes away) and back. Every step is checked on the whole frame.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame start 5

echo "a click on \"Game Speed:\" shows 3, then 4, 5, 1 and 2 again"
for speed in 3 4 5 1 2; do
  tap_at 340 215
  menu_drawings "$speed" 1 "Game Speed:" | wait_screen frame "speed_$speed" 5
done

echo "a click on \"Player(s)\" shows 2 and takes the \"CPU Level\" row away"
tap_at 330 280
menu_drawings 2 2 "Player(s)" | wait_screen frame players_2 5
expect_screen check "$LAST_SHOT" <<'END'
number 160 270 1 4 2
notext 320 300 2 4 CPU Level
notext 157 300 1 4 Easy
picture camain 150 300 330 8
END

echo "a second click shows 1 and brings the row back"
tap_at 330 280
menu_drawings 2 1 "Player(s)" | wait_screen frame players_1 5

echo "a click on the lit but unclickable end of \"Player(s)\" (x = 385) changes nothing"
tap_at 385 280
sleep 0.4
menu_drawings 2 1 "Player(s)" | wait_screen frame players_end 5

key Escape
wait_exit 10
echo "ok: the menu's settings step as clicked"
