#!/usr/bin/env bash
# `cmake --install` into a fresh prefix lays out a working game: the launcher, started from
# another directory, runs the installed binary in the installed data directory, shows the menu
# (the same screen as the game in the build tree), and Escape ends it with status 0.
source "$(dirname "$0")/lib.sh" "$@"
source "$E2E_DIR/install_lib.sh"

prefix="$WORK/prefix with space"
cmake --install "$BUILD_DIR" --prefix "$prefix" >"$WORK/install.log" 2>&1 ||
  fail "cmake --install: $(cat "$WORK/install.log")"

for f in bin/corvane-altor lib/corvane-altor/corvane-altor; do
  [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
head -n 1 "$prefix/bin/corvane-altor" | grep -qx '#!/bin/sh' || fail "the launcher is no sh script"
for f in "${DATA_FILES[@]}"; do
  cmp -s "$DATA_DIR/$f" "$prefix/share/corvane-altor/$f" || fail "share/corvane-altor/$f differs"
done
[ -f "$prefix/share/applications/corvane-altor.desktop" ] || fail "no desktop entry"
for s in "${ICON_SIZES[@]}"; do
  cmp -s "$DATA_DIR/icon/corvane-altor-$s.png" \
    "$prefix/share/icons/hicolor/${s}x$s/apps/corvane-altor.png" || fail "no ${s}x$s icon"
done

start_xvfb
# The menu as the game in the build tree shows it, for comparison.
start_game
reference=$(shot build-menu)
key Escape
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "the build's game ended with status $GAME_STATUS"

cd /
start_command "$prefix/bin/corvane-altor"
expect_game_in "$prefix"
installed=$(shot installed-menu)
expect_menu_picture "$installed"
differing=$(compare -metric AE "$reference" "$installed" null: 2>&1 || true)
[ "$differing" = "0" ] || fail "the installed game's menu differs in $differing pixels"
key Escape
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after Escape"
echo "ok: the game installed under $prefix starts from / and Escape ends it with status 0"
