#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build, the game and its tests need.
# Does nothing when all of them are already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev make pkg-config
  libsdl2-dev libenet-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick sox
  desktop-file-utils dpkg-dev file lintian appstream git
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
