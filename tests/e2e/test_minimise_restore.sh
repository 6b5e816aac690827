#!/usr/bin/env bash
# The window taken off the screen and put back (what minimising does; without a window manager
# the window is unmapped and mapped again): the game survives, shows its menu again and its
# frames run again (the item under the mouse lights up), and Escape still ends it with status 0.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb 640x480
start_game
before=$(shot before)

# "Play!" at (320, 150): the label's cells, as the menu draws them.
label="40x8+320+150"
differ() { compare -metric AE -extract "$label" "$1" "$2" null: 2>&1 || true; }

xdotool windowunmap "$GAME_WINDOW"
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while its window was off the screen"
xdotool windowmap "$GAME_WINDOW"
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended when its window came back"
back=$(shot back)
# The whole picture is the menu again, as before.
whole=$(compare -metric AE "$before" "$back" null: 2>&1 || true)
[ "$whole" = "0" ] || fail "the menu came back different: $whole pixels differ"

# Frames run again: the mouse over "Play!" lights the label up.
xdotool mousemove 330 160
sleep 0.5
lit=$(shot lit)
changed=$(differ "$back" "$lit")
[ "$changed" != "0" ] || fail "no menu frame ran after the window came back"

xdotool windowfocus "$GAME_WINDOW"
sleep 0.2
key Escape
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after Escape"
echo "ok: off the screen and back: the menu shows again, frames run, Escape ends with status 0"
