#!/usr/bin/env bash
# Reproducible: two clean clones of the last commit, in folders of different names and depths,
# each packaged by `make package` at its own time (the second later, in another time zone and
# locale, under a stricter umask), give the same .deb to the byte.
source "$(dirname "$0")/install_lib.sh" "$@"

head=$(git -C "$SRC_DIR" rev-parse HEAD)
dirs=("$WORK/a" "$WORK/elsewhere/much/deeper/corvane-altor")
for d in "${dirs[@]}"; do
  git clone -q --no-checkout "$SRC_DIR" "$d" && git -C "$d" checkout -q --detach "$head" ||
    fail "cannot clone $head into $d"
done
make -C "${dirs[0]}" package >"$WORK/a.log" 2>&1 || fail "make package: $(tail -n 30 "$WORK/a.log")"
(umask 027 && TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 make -C "${dirs[1]}" package) \
  >"$WORK/b.log" 2>&1 || fail "make package: $(tail -n 30 "$WORK/b.log")"
debs=("${dirs[0]}"/build-package/*.deb "${dirs[1]}"/build-package/*.deb)
[ ${#debs[@]} -eq 2 ] || fail "expected one package from each build: ${debs[*]}"
cmp "${debs[@]}" || fail "two builds of $head differ"
sha256sum "${debs[@]}" | sed "s|$WORK/||"
echo "ok: two builds of $head in two folders give the same package"
