#!/usr/bin/env bash
# Closing the window (the request a window manager sends for Alt+F4) ends the game with status 0.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
python3 "$E2E_DIR/close_window.py" "$GAME_WINDOW"
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after closing the window"
echo "ok: closing the window ended the game with status 0"
