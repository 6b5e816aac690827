#!/usr/bin/env bash
# Builds the Debian package as a distribution builds it: a Release build with Debian's hardening
# flags, laid out as Debian's games are. Reproducible: the source folder is mapped out of the
# binary, and every time stamp in the package is the last commit's.
# Usage: scripts/build-package.sh [BUILD_DIR]  ->  BUILD_DIR/corvane-altor_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
# As dpkg-buildpackage does: cpack gives the folders it makes and the parts of the .deb the
# builder's umask, and a strict one (027) would make the installed game's folders unreadable.
umask 022

# The last commit's date; in a tree without its git history, the changelog's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null ||
  dpkg-parsechangelog -l dist/changelog -S Timestamp)
export SOURCE_DATE_EPOCH
# dpkg-buildflags maps the folder it runs in, the source, to "." in debug data and file names.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"

# Given on every run, so that a build folder configured otherwise before is set right again.
# Only the game, its data and its documents: cpack must not build the tests first.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCORVANE_GAMES_LAYOUT=ON -DCORVANE_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target corvane-altor data docs
cd "$build" && rm -f ./*.deb && cpack -G DEB
