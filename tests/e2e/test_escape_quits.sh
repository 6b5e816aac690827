#!/usr/bin/env bash
# Escape ends the game with status 0, from the menu.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
shot menu >/dev/null
key Escape
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after Escape"
echo "ok: Escape ended the game with status 0"
