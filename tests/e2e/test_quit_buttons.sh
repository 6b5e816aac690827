#!/usr/bin/env bash
# "Quit" ends the program with status 0: the panel's button in a running match, the same button
# in a paused match (it acts when the mouse button is let go), and the menu's own "Quit".
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb

echo "the panel's \"Quit\" in a running match"
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame menu 5
press_at 330 160
xdotool mousemove 5 300
{
  match_static_drawings 0 0
  echo "region 564 0 640 480"  # a bullet at the panel edge may cover its first columns
} | wait_screen frame running 5
press_at 600 460
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after the panel's Quit"

echo "the panel's \"Quit\" in a paused match: held down, the game waits; let go, it ends"
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame menu_2 5
key p
press_at 330 160
xdotool mousemove 5 300
echo "text 272 176 2 4 PAUSED" | wait_screen check paused 5
xdotool mousemove 600 460
sleep 0.15
xdotool mousedown 1
sleep 0.6
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before the mouse button was let go"
xdotool mouseup 1
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after the paused panel's Quit"

echo "the menu's \"Quit\""
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame menu_3 5
press_at 330 430
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after the menu's Quit"
echo "ok: every Quit ends the game with status 0"
