# Shared by the tests of the installed game, after lib.sh: the build directory, a scratch
# directory, and the build's list of installed files kept as it was (cmake --install rewrites
# build/install_manifest.txt, which a user may still need to uninstall a source install).
BUILD_DIR=$(dirname "$GAME_BIN")
WORK=$(mktemp -d)
MANIFEST="$BUILD_DIR/install_manifest.txt"
if [ -f "$MANIFEST" ]; then cp -p "$MANIFEST" "$WORK/manifest.kept"; fi

install_cleanup() {
  cleanup
  if [ -f "$WORK/manifest.kept" ]; then
    cp -p "$WORK/manifest.kept" "$MANIFEST"
  else
    rm -f "$MANIFEST"
  fi
  rm -rf "$WORK"
}
trap install_cleanup EXIT

# The fourteen files the game reads from its data directory.
DATA_FILES=(gfx/bg.bmp gfx/blank.bmp gfx/camain.bmp gfx/right.bmp gfx/buttons.bmp gfx/bullet.bmp
  gfx/plane.bmp gfx/fire.bmp gfx/cloud.bmp gfx/tower.bmp gfx/letters.bmp gfx/numbers.bmp
  sounds/fire.wav sounds/boom.wav)
ICON_SIZES=(32 64 128)

# expect_game_in DIR: the running game is DIR/lib/corvane-altor/corvane-altor, working in
# DIR/share/corvane-altor (the launcher execs it, so it keeps the launcher's process).
expect_game_in() {
  local prefix exe cwd
  prefix=$(realpath "$1")
  exe=$(readlink "/proc/$GAME_PID/exe") || fail "the game's process is gone"
  cwd=$(readlink "/proc/$GAME_PID/cwd") || fail "the game's process is gone"
  [ "$exe" = "$prefix/lib/corvane-altor/corvane-altor" ] || fail "running $exe"
  [ "$cwd" = "$prefix/share/corvane-altor" ] || fail "working directory $cwd"
}

# corner_pixels IMAGE: "R G B" of the top-left 32x32 pixels, row by row.
corner_pixels() {
  convert "$1" -alpha off -crop 32x32+0+0 +repage -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p'
}

# expect_menu_picture SHOT: the screenshot's top-left corner shows the menu's title picture
# (nothing is drawn over it there), each channel within 4 of the file's after the trip through
# the 16-bit display.
expect_menu_picture() {
  local bad
  bad=$(paste -d ' ' <(corner_pixels "$1") <(corner_pixels "$DATA_DIR/gfx/camain.bmp") |
    awk 'function d(a, b) { return a > b ? a - b : b - a }
         NF == 6 { n++; if (d($1, $4) > 4 || d($2, $5) > 4 || d($3, $6) > 4) bad++ }
         END { print (n == 1024 ? bad + 0 : "all " n) }')
  [ "$bad" = 0 ] || fail "the screen's top-left corner is not the menu picture ($bad pixels differ)"
}
