#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on its seed corpus.
set -euo pipefail
build=$(realpath -m "${1:-build-fuzz}")
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON \
  -DCORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON >/dev/null
shopt -s nullglob
targets=()
for src in "$root"/tests/fuzz/fuzz_*.cpp; do
  targets+=("$(basename "$src" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets"
  exit 0
fi
cmake --build "$build" --target "${targets[@]}"
for t in "${targets[@]}"; do
  corpus_seed="$root/tests/fuzz/corpus_${t#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus_seed" ] && cp -r "$corpus_seed"/. "$work"/
  echo "== $t: ${seconds}s"
  (cd "$work" && SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy \
    "$build/$t" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$work" \
    2>&1 | tail -n 12)
  rm -rf "$work"
done
