# shellcheck shell=bash
# Shared by the tests of the installed game and its package, which `make test-package` runs with
# three arguments: the build's game, its data directory, and the package's build folder.
# Brings tests/e2e/lib.sh's screen and game helpers, a scratch folder, and keeps the build's list
# of installed files as it was (cmake --install rewrites build/install_manifest.txt, which a user
# may still need to uninstall a source install).
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh" "$1" "$2"
BUILD_DIR=$(dirname "$GAME_BIN")
PKG_DIR=$(realpath "$3")
SRC_DIR=$(realpath "$E2E_DIR/../..")
WORK=$(mktemp -d)
MANIFEST="$BUILD_DIR/install_manifest.txt"
if [ -f "$MANIFEST" ]; then cp -p "$MANIFEST" "$WORK/manifest.kept"; fi

test_cleanup() { :; }  # a test's own undoing, run first
install_cleanup() {
  test_cleanup
  cleanup
  rm -f "$MANIFEST"
  if [ -f "$WORK/manifest.kept" ]; then cp -p "$WORK/manifest.kept" "$MANIFEST"; fi
  rm -rf "$WORK"
}
trap install_cleanup EXIT

# The files the game reads from its data directory, as the build generated them.
mapfile -t DATA_FILES < <(cd "$DATA_DIR" && find gfx sounds -type f | sort)
[ ${#DATA_FILES[@]} -eq 14 ] || fail "the build's data has ${#DATA_FILES[@]} files, not 14"

# play_installed LAUNCHER GAME DATA: the launcher, started from /, runs the program GAME (it
# execs it, so the game keeps its process) in the folder DATA and shows the menu, whose picture
# fills the screen's top-left corner (within the 16-bit display's rounding); Escape ends it with
# status 0. The screenshot's path is left in LAST_SHOT.
play_installed() {
  cd /
  start_command "$1"
  [ "$(readlink "/proc/$GAME_PID/exe")" = "$(realpath "$2")" ] || fail "$1 does not run $2"
  [ "$(readlink "/proc/$GAME_PID/cwd")" = "$(realpath "$3")" ] || fail "$1 does not work in $3"
  LAST_SHOT=$(shot "installed-$GAME_PID")
  [ "$(compare -metric AE -fuzz 2% -extract 32x32+0+0 "$LAST_SHOT" "$DATA_DIR/gfx/camain.bmp" \
    null: 2>&1)" = 0 ] || fail "$1: the screen's top-left corner is not the menu picture"
  key Escape
  wait_exit 10
  [ "$GAME_STATUS" -eq 0 ] || fail "$1: exit status $GAME_STATUS after Escape"
}
