# Runs of the real game on SDL's headless drivers, without Xvfb, from a copy of the data directory
# that a test may break. Sourced after lib.sh. With the dummy video driver there are no message
# boxes: the game's messages go to standard error, which lands in RUN_ERR.
#
# SIGTERM reaches the game as the window's close request, so a game that is still running ends
# with status 0 when asked; one that hangs is killed after a bounded wait.

HEADLESS_TMP=$(mktemp -d)
RUN_ERR="$HEADLESS_TMP/stderr.txt"
HEADLESS_PID=""

headless_cleanup() {
  if [ -n "$HEADLESS_PID" ] && kill -0 "$HEADLESS_PID" 2>/dev/null; then
    kill -9 "$HEADLESS_PID" 2>/dev/null || true
  fi
  # A read-only or emptied-out copy must still be removable.
  chmod -R u+rwX "$HEADLESS_TMP" 2>/dev/null || true
  rm -rf "$HEADLESS_TMP"
}
trap 'headless_cleanup; cleanup' EXIT

# copy_data NAME: a fresh copy of the game's data; prints its path.
copy_data() {
  local dir="$HEADLESS_TMP/$1"
  rm -rf "$dir"
  cp -r "$DATA_DIR" "$dir"
  echo "$dir"
}

# run_to_end SECONDS DIR [ENV=VALUE ...]: the game started in DIR must end by itself within
# SECONDS; its status lands in RUN_STATUS.
run_to_end() {
  local limit=$1 dir=$2
  shift 2
  set +e
  (cd "$dir" && exec timeout -s KILL "$limit" env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    "$@" "$GAME_BIN") >/dev/null 2>"$RUN_ERR"
  RUN_STATUS=$?
  set -e
  [ "$RUN_STATUS" -ne 137 ] || fail "the game in $dir did not end within $limit s"
}

# start_headless DIR [ENV=VALUE ...]: starts the game in DIR in the background.
start_headless() {
  local dir=$1
  shift
  (cd "$dir" && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$@" "$GAME_BIN") \
    >/dev/null 2>"$RUN_ERR" &
  HEADLESS_PID=$!
}

# still_running SECONDS: the game started by start_headless is alive after SECONDS.
still_running() {
  sleep "$1"
  kill -0 "$HEADLESS_PID" 2>/dev/null || {
    cat "$RUN_ERR" >&2
    fail "the game ended by itself"
  }
}

# stop_headless: asks the game to close and waits up to 5 s; its status lands in RUN_STATUS.
stop_headless() {
  kill -TERM "$HEADLESS_PID"
  local i
  for i in $(seq 50); do
    kill -0 "$HEADLESS_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$HEADLESS_PID" 2>/dev/null; then
    kill -9 "$HEADLESS_PID" 2>/dev/null || true
    fail "the game did not end within 5 s of being asked to close"
  fi
  set +e
  wait "$HEADLESS_PID"
  RUN_STATUS=$?
  set -e
  HEADLESS_PID=""
}

# err_has TEXT: standard error holds TEXT as a line of its own, or a line starting with it.
err_has() {
  grep -qF -- "$1" "$RUN_ERR" || {
    sed 's/^/  stderr: /' "$RUN_ERR" >&2
    fail "standard error lacks: $1"
  }
}
