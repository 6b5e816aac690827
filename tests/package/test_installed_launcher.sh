#!/usr/bin/env bash
# `cmake --install` into a fresh prefix lays out a working game: the launcher, started from
# another directory, runs the installed binary in the installed data directory and shows the
# menu; the menu entry, icons, manual page, AppStream
# metadata and documents come along.
source "$(dirname "$0")/install_lib.sh" "$@"

prefix="$WORK/prefix with space"
cmake --install "$BUILD_DIR" --prefix "$prefix" >"$WORK/install.log" 2>&1 ||
  fail "cmake --install: $(cat "$WORK/install.log")"
head -n 1 "$prefix/bin/corvane-altor" | grep -qx '#!/bin/sh' || fail "the launcher is no sh script"
for f in "${DATA_FILES[@]}"; do
  cmp -s "$DATA_DIR/$f" "$prefix/share/corvane-altor/$f" || fail "share/corvane-altor/$f differs"
done
for s in 32 64 128; do
  cmp -s "$DATA_DIR/icon/corvane-altor-$s.png" \
    "$prefix/share/icons/hicolor/${s}x$s/apps/corvane-altor.png" || fail "no ${s}x$s icon"
done
appstream_id=$(sed -n 's/^CORVANE_APPSTREAM_ID:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
for f in applications/corvane-altor.desktop "metainfo/$appstream_id.metainfo.xml" \
  doc/corvane-altor/copyright doc/corvane-altor/changelog.gz; do
  [ -f "$prefix/share/$f" ] || fail "no share/$f"
done
# The manual page names this layout's folders.
MANWIDTH=100 man -l "$prefix/share/man/man6/corvane-altor.6.gz" 2>&1 |
  grep -q '^ *lib/corvane-altor/corvane-altor$' || fail "the manual page misses lib/corvane-altor/"

start_xvfb
play_installed "$prefix/bin/corvane-altor" "$prefix/lib/corvane-altor/corvane-altor" \
  "$prefix/share/corvane-altor"
echo "ok: the game installed under $prefix starts from / and Escape ends it with status 0"
