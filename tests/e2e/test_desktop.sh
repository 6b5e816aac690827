#!/usr/bin/env bash
# On a 1920x1080 desktop with another program's window: while that window has the keyboard the
# game stands still, in the menu and in a match, and goes on when the keyboard comes back; a click
# in the black bar beside the picture does nothing; a held panel button gives way when the player
# switches away, and to a close request.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb 1920x1080
# The other program, started first so that the game's window covers it.
xmessage -geometry 200x60+10+10 elsewhere >/dev/null 2>&1 &
OTHER_PID=$!
trap 'kill "$OTHER_PID" 2>/dev/null || true; cleanup' EXIT
for _ in $(seq 50); do
  OTHER=$(xdotool search --class xmessage 2>/dev/null | head -n 1 || true)
  [ -n "$OTHER" ] && break
  sleep 0.1
done
[ -n "$OTHER" ] || fail "no other window to switch to"
start_game
xdotool mousemove 100 100

# The picture is 1440x1080 at x 240 (2.25 screen pixels a game pixel).
PICTURE=1440x1080+240+0
differ() { compare -metric AE -extract "$PICTURE" "$1" "$2" null: 2>&1 || true; }
away() { xdotool windowfocus "$OTHER"; sleep 0.3; }
back() { xdotool windowfocus "$GAME_WINDOW"; sleep 0.3; }

echo "the menu, switched away: the mouse over \"Play!\" lights nothing until the game is back"
away
before=$(shot menu_away)
xdotool mousemove 1000 360
sleep 0.5
[ "$(differ "$before" "$(shot menu_away_hover)")" = "0" ] || fail "a menu frame ran while away"
back
sleep 0.3
[ "$(differ "$before" "$(shot menu_back)")" != "0" ] || fail "the menu did not come back to life"

echo "a match, switched away: nothing moves for a second; back: play goes on"
xdotool click 1
xdotool mousemove 100 100
sleep 1
away
first=$(shot match_away)
sleep 1
[ "$(differ "$first" "$(shot match_away_later)")" = "0" ] || fail "the match ran on while away"
back
sleep 0.5
[ "$(differ "$first" "$(shot match_back)")" != "0" ] || fail "the match did not go on"

echo "a click in the right-hand bar at the height of \"Quit\" does nothing"
click_at 1800 1040
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "a click in the bar beside the picture ended the game"

echo "\"Quit\" held down: the game waits; switched away and back, play goes on, button still held"
xdotool mousemove 1590 1046
sleep 0.2
xdotool mousedown 1
sleep 0.5
held=$(shot held)
sleep 0.5
[ "$(differ "$held" "$(shot held_later)")" = "0" ] || fail "the game ran on while the button was held"
away
back
sleep 0.5
[ "$(differ "$held" "$(shot held_back)")" != "0" ] || fail "the game still waits for the release"
xdotool mouseup 1
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the release after switching away ended the game"

echo "\"Quit\" held down again, and the game is asked to close: it ends with status 0"
xdotool mousedown 1
sleep 0.5
kill -TERM "$GAME_PID"
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after the close request"
xdotool mouseup 1
echo "ok: switching away stops the game, the bars take no clicks, a held button gives way"
