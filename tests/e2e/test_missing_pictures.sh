#!/usr/bin/env bash
# Each of the twelve pictures missing in turn: the game ends with status 1 and a message that
# names the picture and the directory it looked in, and does not go on to anything else.
source "$(dirname "$0")/lib.sh" "$@"
source "$E2E_DIR/headless.sh"

pictures=(bg blank camain right buttons bullet plane fire cloud tower letters numbers)
[ "$(ls "$DATA_DIR"/gfx/*.bmp | wc -l)" -eq ${#pictures[@]} ] ||
  fail "expected exactly ${#pictures[@]} pictures in $DATA_DIR/gfx"
dir=$(copy_data missing)
for name in "${pictures[@]}"; do
  mv "$dir/gfx/$name.bmp" "$HEADLESS_TMP/aside.bmp"
  run_to_end 15 "$dir"
  mv "$HEADLESS_TMP/aside.bmp" "$dir/gfx/$name.bmp"
  [ "$RUN_STATUS" -eq 1 ] || fail "gfx/$name.bmp missing: exit status $RUN_STATUS, not 1"
  err_has "Error: Cannot load gfx/$name.bmp (not found) from $dir. Start the game with"
  [ "$(grep -c 'Cannot load' "$RUN_ERR")" -eq 1 ] || fail "more than one picture reported"
  echo "ok: gfx/$name.bmp missing ends the game with status 1, naming the file and $dir"
done
