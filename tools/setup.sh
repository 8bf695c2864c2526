#!/usr/bin/env bash
# Installs the Debian packages kelvod needs (only those missing) and builds it.
# Usage: tools/setup.sh [--game] [build-dir] [extra cmake arguments...]
#   --game   only what playing needs: no test framework, and only the game is built
set -euo pipefail
cd "$(dirname "$0")/.."

game_only=0
if [ "${1:-}" = "--game" ]; then
  game_only=1
  shift
fi

packages=(cmake g++ make pkg-config libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev libpng-dev
          libbox2d-dev fonts-dejavu-core nlohmann-json3-dev zlib1g-dev gettext)
# libebur128 measures the sounds' loudness when the tests check them against assets/sounds.py.
[ $game_only -eq 1 ] || packages+=(libgtest-dev libebur128-1)
. tools/packages.sh
install_missing "${packages[@]}"

build="${1:-build}"
shift || true
if [ $game_only -eq 1 ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVOD_WERROR=ON -DKELVOD_TESTS=OFF "$@" >/dev/null
  cmake --build "$build" --target kelvod -j "$(nproc)"
else
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVOD_WERROR=ON -DKELVOD_TESTS=ON "$@" >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi
