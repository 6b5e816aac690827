#!/usr/bin/env bash
# The Debian package `make package` built: its control fields and files, Debian's own checks
# (lintian, the desktop entry, AppStream), its data equal to the build's, the unpacked tree runs;
# and, as root where it is not installed, installing, starting, removing and purging it leave
# nothing of it behind.
source "$(dirname "$0")/install_lib.sh" "$@"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$PKG_DIR/CMakeCache.txt")
appstream_id=$(sed -n 's/^CORVANE_APPSTREAM_ID:STRING=//p' "$PKG_DIR/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb="$PKG_DIR/corvane-altor_${version}_$arch.deb"
[ -f "$deb" ] || fail "no $deb"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "Section: $(dpkg-deb -f "$deb" Section)"
depends=$(dpkg-deb -f "$deb" Depends | sed 's/ *([^)]*)//g; s/ *[,|] */\n/g')
for lib in libsdl2-2.0-0 libc6 libstdc++6; do
  grep -qxF "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

# Every file, with its mode: the command in /usr/games, the data in /usr/share/games.
{
  echo "-rwxr-xr-x /usr/games/corvane-altor"
  echo "-rwxr-xr-x /usr/libexec/corvane-altor/corvane-altor"
  printf -- '-rw-r--r-- /usr/share/games/corvane-altor/%s\n' "${DATA_FILES[@]}"
  printf -- '-rw-r--r-- /usr/share/icons/hicolor/%s/apps/corvane-altor.png\n' 32x32 64x64 128x128
  printf -- '-rw-r--r-- /usr/share/%s\n' applications/corvane-altor.desktop \
    metainfo/$appstream_id.metainfo.xml man/man6/corvane-altor.6.gz \
    doc/corvane-altor/copyright doc/corvane-altor/changelog.gz
} | sort >"$WORK/expected"
dpkg-deb -c "$deb" | awk '!/^d/ { print $1, substr($6, 2) }' | sort | diff "$WORK/expected" - ||
  fail "the package's files differ from the list above"

lintian --fail-on error,warning -I "$deb" >"$WORK/lintian" 2>&1 ||
  fail "lintian: $(cat "$WORK/lintian")"
# Each informational tag that stays has its reason in the README's packaging notes.
for tag in $(sed -n 's/^I: [^ ]*: \([^ ]*\).*/\1/p' "$WORK/lintian"); do
  grep -q "\`$tag\`" "$SRC_DIR/README.md" || fail "lintian: $tag is not explained in README.md"
done
root="$WORK/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/corvane-altor.desktop" || fail "desktop entry"
# The whole tree: the metadata, and the desktop entry and icons it points to.
appstreamcli validate-tree --no-net "$root" >"$WORK/appstream" 2>&1 ||
  fail "appstreamcli: $(cat "$WORK/appstream")"
doc="$root/usr/share/doc/corvane-altor"
[ "$(zcat "$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version)" = "$version" ] ||
  fail "the changelog's last entry is not version $version"
grep -q "<release version=\"$version\"" "$root"/usr/share/metainfo/*.xml ||
  fail "the AppStream metadata does not list release $version"
# The copyright file's licence paragraph carries LICENSE's terms.
awk -v RS= 'END { print }' "$doc/copyright" | tail -n +2 | sed 's/^ //; s/^\.$//' |
  diff - <(tail -n +5 "$SRC_DIR/LICENSE") || fail "the copyright file's terms differ from LICENSE"
for f in "${DATA_FILES[@]}"; do
  cmp -s "$DATA_DIR/$f" "$root/usr/share/games/corvane-altor/$f" || fail "packaged $f differs"
done

start_xvfb
play_installed "$root/usr/games/corvane-altor" "$root/usr/libexec/corvane-altor/corvane-altor" \
  "$root/usr/share/games/corvane-altor"
echo "ok: $(basename "$deb") passes lintian and AppStream and runs from its unpacked tree"

skip() { echo "skipped: installing $(basename "$deb") into /usr: $*"; exit 0; }
[ "$(id -u)" -eq 0 ] || skip "that needs root"
! dpkg-query -W corvane-altor >/dev/null 2>&1 || skip "it is installed here already (left alone)"
apt=(apt-get -y -q -o DPkg::Lock::Timeout=300)
[ "$("${apt[@]}" -s install "$deb" | grep -c '^Inst ')" -eq 1 ] ||
  skip "it would bring other packages too"
# What of ours exists: the package's paths (shared folders included) and anything of its name.
ours() {
  for p in $(dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }'); do
    [ ! -e "$p" ] || echo "$p"
  done
  find /usr /etc /var/lib/dpkg/info -name '*corvane*'
}
ours >"$WORK/before"
test_cleanup() { dpkg --purge corvane-altor >/dev/null 2>&1 || true; }
step() { "$@" >"$WORK/step.log" 2>&1 || fail "$*: $(cat "$WORK/step.log")"; }
step "${apt[@]}" install "$deb"
diff <(dpkg -L corvane-altor | grep -vx '/\.' | sort) \
  <(dpkg-deb -c "$deb" | awk '{ sub(/\/$/, "", $6); print substr($6, 2) }' | sort) ||
  fail "dpkg installed other files than the package lists"
play_installed /usr/games/corvane-altor /usr/libexec/corvane-altor/corvane-altor \
  /usr/share/games/corvane-altor
step "${apt[@]}" remove corvane-altor
ours | diff "$WORK/before" - || fail "after the removal, these differ from before the install"
step dpkg --purge corvane-altor
ours | diff "$WORK/before" - || fail "after the purge, these differ from before the install"
test_cleanup() { :; }
! dpkg-query -W corvane-altor 2>/dev/null || fail "dpkg still knows corvane-altor after the purge"
echo "ok: installed, started, removed and purged, nothing of it is left"
