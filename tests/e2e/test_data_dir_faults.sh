#!/usr/bin/env bash
# The data directory and the sound device broken from outside: the game either runs (and closes
# with status 0 when asked) or ends with status 1 saying what it could not read. Never a crash,
# never a hang.
source "$(dirname "$0")/lib.sh" "$@"
source "$E2E_DIR/headless.sh"

# ---- A read-only data directory: the game writes nothing, so it runs as usual ----
dir=$(copy_data readonly)
before=$(cd "$dir" && find . -printf '%p %s %T@\n' | sort)
if unshare -m true 2>/dev/null; then
  # A read-only mount binds even root, for whom file permissions do not.
  how="a read-only mount"
  set +e
  (cd "$HEADLESS_TMP" && exec unshare -m bash -c '
    mount --bind "$1" "$1" && mount -o remount,ro,bind "$1" || exit 99
    touch "$1/probe" 2>/dev/null && exit 98
    cd "$1" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec "$2"' _ "$dir" "$GAME_BIN") \
    >/dev/null 2>"$RUN_ERR" &
  HEADLESS_PID=$!
  set -e
else
  how="write permission removed"
  chmod -R a-w "$dir"
  start_headless "$dir"
fi
still_running 1.5
stop_headless
[ "$RUN_STATUS" -eq 0 ] || fail "read-only data ($how): exit status $RUN_STATUS"
! grep -q 'Error' "$RUN_ERR" || fail "read-only data ($how) gave messages: $(cat "$RUN_ERR")"
after=$(cd "$dir" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "the data directory changed"
echo "ok: read-only data directory ($how): the game runs, writes nothing and closes with status 0"

# ---- Data the game cannot read ----
# File permissions do not stop root, who runs these tests here; the directory is broken in ways
# that stop everyone instead, and by permissions only when not root.
dir=$(copy_data broken)
mv "$dir/gfx" "$dir/gfx.real"
echo "not a directory" >"$dir/gfx"
run_to_end 15 "$dir"
[ "$RUN_STATUS" -eq 1 ] || fail "gfx is a file: exit status $RUN_STATUS"
err_has "Error: Cannot load gfx/bg.bmp (Not a directory) from $dir."
echo "ok: gfx a plain file: status 1, 'Cannot load gfx/bg.bmp (Not a directory) from $dir'"
rm "$dir/gfx"
mv "$dir/gfx.real" "$dir/gfx"

rm "$dir/gfx/plane.bmp"
mkdir "$dir/gfx/plane.bmp"
run_to_end 15 "$dir"
[ "$RUN_STATUS" -eq 1 ] || fail "gfx/plane.bmp is a directory: exit status $RUN_STATUS"
err_has "Error: Cannot load gfx/plane.bmp (a directory, not a picture file) from $dir."
echo "ok: gfx/plane.bmp a directory: status 1, the message says so"
rmdir "$dir/gfx/plane.bmp"
cp "$DATA_DIR/gfx/plane.bmp" "$dir/gfx/plane.bmp"

printf 'BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xff\xff\xff\x7f\x01\0\0\0\x01\0\x18\0' \
  >"$dir/gfx/cloud.bmp"
run_to_end 15 "$dir"
[ "$RUN_STATUS" -eq 1 ] || fail "gfx/cloud.bmp claiming 2147483647 x 1: exit status $RUN_STATUS"
err_has "Error: Cannot load gfx/cloud.bmp (unusable picture size 2147483647 x 1) from $dir."
echo "ok: gfx/cloud.bmp claiming to be 2147483647 pixels wide: status 1, refused before reading"
cp "$DATA_DIR/gfx/cloud.bmp" "$dir/gfx/cloud.bmp"

if [ "$(id -u)" -ne 0 ]; then
  chmod 000 "$dir/gfx"
  run_to_end 15 "$dir"
  chmod 755 "$dir/gfx"
  [ "$RUN_STATUS" -eq 1 ] || fail "unreadable gfx: exit status $RUN_STATUS"
  err_has "Error: Cannot load gfx/bg.bmp (Permission denied) from $dir."
  echo "ok: unreadable gfx (chmod 000): status 1, 'Permission denied'"
else
  echo "note: running as root, where chmod 000 does not stop reading; that case is skipped"
fi

# ---- Sounds that cannot be read, and no sound device: reported, and the game runs on ----
mv "$dir/sounds" "$dir/sounds.real"
start_headless "$dir"
still_running 1.5
stop_headless
[ "$RUN_STATUS" -eq 0 ] || fail "no sounds directory: exit status $RUN_STATUS"
[ "$(grep -c '^Error: LoadDirectSound mmioOpen$' "$RUN_ERR")" -eq 2 ] ||
  fail "no sounds directory: expected two mmioOpen messages, got: $(cat "$RUN_ERR")"
echo "ok: no sounds directory: two 'LoadDirectSound mmioOpen' messages, the game runs"
mv "$dir/sounds.real" "$dir/sounds"

start_headless "$dir" SDL_AUDIODRIVER=nonexistent
still_running 1.5
stop_headless
[ "$RUN_STATUS" -eq 0 ] || fail "no sound device: exit status $RUN_STATUS"
expected=$'Error: InitDirectSound DirectSoundCreate\nError: LoadDirectSound CreateSoundBuffer\nError: LoadDirectSound CreateSoundBuffer'
[ "$(grep '^Error' "$RUN_ERR")" = "$expected" ] ||
  fail "no sound device: messages were: $(cat "$RUN_ERR")"
echo "ok: no sound device: DirectSoundCreate and two CreateSoundBuffer messages, the game runs"
