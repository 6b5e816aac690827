#!/usr/bin/env bash
# With no display to show itself on, the game ends at once and says why, instead of running
# unseen on SDL's offscreen driver, a whole processor busy, until someone kills it.
source "$(dirname "$0")/lib.sh" "$@"
n=4077
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
(cd "$DATA_DIR" && exec env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=":$n" \
  SDL_AUDIODRIVER=dummy "$GAME_BIN") >"$GAME_LOG" 2>&1 &
GAME_PID=$!
wait_exit 10
[ "$GAME_STATUS" -ne 0 ] || fail "the game reported success without a display"
grep -q "no display" "$GAME_LOG" || fail "the game did not say that it found no display"
echo "ok: without a display the game ends with status $GAME_STATUS:"
grep 'no display' "$GAME_LOG"
