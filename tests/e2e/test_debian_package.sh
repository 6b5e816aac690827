#!/usr/bin/env bash
# The Debian package built by cpack: its control fields, its file list and modes, a desktop
# entry desktop-file-validate accepts, data equal to the build's, and the unpacked tree runs.
source "$(dirname "$0")/lib.sh" "$@"
source "$E2E_DIR/install_lib.sh"

cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$WORK/cpack.log")"
# Packaging must not touch the list a source install left for uninstalling.
if [ -f "$WORK/manifest.kept" ]; then
  cmp -s "$WORK/manifest.kept" "$MANIFEST" || fail "cpack rewrote $MANIFEST"
else
  [ ! -e "$MANIFEST" ] || fail "cpack wrote $MANIFEST"
fi
debs=("$WORK"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made ${#debs[@]} packages"
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "corvane-altor_${version}_$arch.deb" ] || fail "named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = corvane-altor ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), the project is $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
# The package names alone, one a line, versions and alternatives' bars dropped.
sed 's/ *([^)]*)//g; s/ *[,|] */\n/g' <<<"$depends" >"$WORK/depends"
for lib in libsdl2-2.0-0 libc6 libstdc++6; do
  grep -qxF "$lib" "$WORK/depends" || fail "Depends lacks $lib: $depends"
done
grep -q "Depends: .*libsdl2-2.0-0" <<<"$(dpkg-deb -I "$deb")" || fail "dpkg-deb -I shows no SDL2"

# Every entry lies under /usr; the programs are executable, the rest plain readable files.
dpkg-deb -c "$deb" | awk '{print $1, $6}' >"$WORK/list"
grep -v ' \./usr/' "$WORK/list" && fail "files outside /usr"
expect_entry() {
  grep -qxF -- "$1 ./usr/$2" "$WORK/list" || fail "no $2 with mode $1 in the package"
}
expect_entry -rwxr-xr-x bin/corvane-altor
expect_entry -rwxr-xr-x lib/corvane-altor/corvane-altor
for f in "${DATA_FILES[@]}"; do expect_entry -rw-r--r-- "share/corvane-altor/$f"; done
expect_entry -rw-r--r-- share/applications/corvane-altor.desktop
for s in "${ICON_SIZES[@]}"; do
  expect_entry -rw-r--r-- "share/icons/hicolor/${s}x$s/apps/corvane-altor.png"
done

root="$WORK/root"
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/corvane-altor.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the entry"
grep -qx 'Exec=corvane-altor' "$desktop" || fail "Exec does not name the launcher"
grep -qx 'Icon=corvane-altor' "$desktop" || fail "Icon does not name the icon"
for f in "${DATA_FILES[@]}"; do
  cmp -s "$DATA_DIR/$f" "$root/usr/share/corvane-altor/$f" || fail "packaged $f differs"
done
file "$root/usr/lib/corvane-altor/corvane-altor" | grep -q 'ELF.*, stripped' ||
  fail "the packaged binary is not a stripped ELF program"

# The unpacked tree is a whole game, wherever it lies.
start_xvfb
cd /
start_command "$root/usr/bin/corvane-altor"
expect_game_in "$root/usr"
expect_menu_picture "$(shot menu)"
key Escape
wait_exit 10
[ "$GAME_STATUS" -eq 0 ] || fail "exit status $GAME_STATUS after Escape"
echo "ok: $(basename "$deb") holds the launcher, the game, its data, menu entry and icons"
