#!/usr/bin/env bash
# Builds kelvod for the browser into build-web/: kelvod.html, kelvod.js,
# kelvod.wasm and kelvod.data (the game's data folder with its font).
# Usage: tools/web/build.sh [build-dir]
#
# Installs what it needs from Debian (emscripten, the source package index,
# build tools), then builds SDL2, SDL2_image, SDL2_ttf, SDL2_mixer, FreeType, Box2D,
# nlohmann-json and zlib from Debian's own source packages into a cache folder:
# $KELVOD_WEB_CACHE, else ~/.cache/kelvod-web. That build takes a few minutes
# and is reused as long as the package versions, the compiler and
# tools/web/deps.sh stay the same.
set -euo pipefail
cd "$(dirname "$0")/../.."
source_dir="$PWD"
out="${1:-build-web}"
cache="${KELVOD_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvod-web}"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# apt-get source needs deb-src entries; add them beside the binary ones.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "Adding the Debian source package index"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $sudo tee /etc/apt/sources.list.d/kelvod-deb-src.sources >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/kelvod-deb-src.list >/dev/null
  fi
  $sudo apt-get update -qq
fi

packages=(emscripten dpkg-dev cmake make xz-utils fonts-dejavu-core gettext fonttools)
. tools/packages.sh
install_missing "${packages[@]}"

# emscripten's JavaScript tools need Debian's node modules (acorn) even when
# the machine's node is not Debian's own.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# The cache key: the source package versions, the compiler and the recipe.
versions=""
for p in libsdl2 freetype libsdl2-ttf libsdl2-image libsdl2-mixer box2d nlohmann-json3 zlib; do
  dsc="$(apt-get source --print-uris -qq "$p" | grep -o "[^/']*\.dsc'" | tr -d "'")"
  [ -n "$dsc" ] || { echo "tools/web/build.sh: no Debian source package \"$p\"" >&2; exit 1; }
  versions+="$dsc "
done
key="$( { echo "$versions"; emcc --version | head -1; cat tools/web/deps.sh; } | sha256sum | cut -c1-16)"
deps="$cache/deps-$key"
if [ ! -f "$deps/.complete" ]; then
  echo "Building the libraries from Debian's sources into $deps (a few minutes, once)"
  start=$SECONDS
  bash tools/web/deps.sh "$deps" "$cache/work"
  touch "$deps/.complete"
  rm -rf "$cache/work"
  echo "Libraries built in $((SECONDS - start)) s"
fi

start=$SECONDS
emcmake cmake -S "$source_dir" -B "$out" -DCMAKE_BUILD_TYPE=Release -DKELVOD_TESTS=OFF \
  -DKELVOD_WERROR=ON -DCMAKE_FIND_ROOT_PATH="$deps" -DCMAKE_PREFIX_PATH="$deps" \
  -DSDL2_DIR="$deps/lib/cmake/SDL2" -DKELVOD_WEB_FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
  >/dev/null
cmake --build "$out" --target kelvod -j "$(nproc)"
echo "Game built in $((SECONDS - start)) s:"
(cd "$out" && ls -l kelvod.html kelvod.js kelvod.wasm kelvod.data | awk '{print "  " $5 "\t" $9}')
