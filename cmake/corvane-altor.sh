#!/bin/sh
# Starts Corvane Altor from its data directory: the game reads gfx/ and sounds/ from the working
# directory. Everything is found from where this script lies, so the installed tree works under
# any prefix and may be moved as a whole.
self=$0
# Follow links (one in ~/bin, say) to the script inside the installed tree.
while [ -L "$self" ]; do
  target=$(readlink "$self") || break
  case $target in
    /*) self=$target ;;
    *) self=$(dirname "$self")/$target ;;
  esac
done
# CDPATH must not send a relative cd elsewhere (and make cd print where it went).
prefix=$(CDPATH='' cd -- "$(dirname -- "$self")/.." && pwd -P) || exit 1
data=$prefix/share/corvane-altor
cd "$data" 2>/dev/null || {
  echo "corvane-altor: cannot enter the game's data directory $data" >&2
  exit 1
}
exec "$prefix/lib/corvane-altor/corvane-altor" "$@"
