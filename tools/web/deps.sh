#!/usr/bin/env bash
# Builds the libraries kelvod needs for the browser from Debian's own source
# packages with emscripten, static, and installs them into one folder.
# Usage: tools/web/deps.sh PREFIX WORKDIR
# tools/web/build.sh calls this once per set of package versions; the result is
# kept and reused (its cache key includes this script, so changing it rebuilds).
set -euo pipefail

prefix="$1"
work="$2"
jobs="$(nproc)"

# Debian source package, then the folder dpkg-source unpacks it into (by glob).
packages=(libsdl2 freetype libsdl2-ttf libsdl2-image libsdl2-mixer box2d nlohmann-json3 zlib)

rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
# A mirror without the newest (security) upload of a source package still has
# the release's own.
release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
for p in "${packages[@]}"; do
  apt-get source -qq --download-only "$p" >>fetch.log 2>&1 ||
    apt-get source -qq --download-only "$p/$release" >>fetch.log 2>&1 || { cat fetch.log; exit 1; }
done
for dsc in *.dsc; do
  dpkg-source -q -x "$dsc" >>fetch.log 2>&1 || { cat fetch.log; exit 1; }
done

# Every library finds the others in $prefix only: the emscripten sysroot
# carries configs that point at its own downloadable ports, which are not
# reachable here.
common=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
        -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_PREFIX_PATH="$prefix"
        -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF)

build() {  # build <source glob> <cmake args...>
  local src
  src="$(echo $1)"
  shift
  echo "== $src"
  emcmake cmake -S "$src" -B "$src/build-web" "${common[@]}" "$@" >"$src/configure.log" 2>&1 ||
    { tail -40 "$src/configure.log"; return 1; }
  cmake --build "$src/build-web" -j "$jobs" >"$src/build.log" 2>&1 ||
    { tail -40 "$src/build.log"; return 1; }
  cmake --install "$src/build-web" >/dev/null
}

build "libsdl2-[0-9]*/" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
# zlib packs the share codes of levels, and FreeType
# uses it too (with its own copy of zlib inside, the two would clash at link time). Debian's source leaves out the Windows
# files its CMake build names, so it is built with its own configure script.
echo "== zlib"
(cd zlib-*/ && emconfigure ./configure --static --prefix="$prefix" >configure.log 2>&1 &&
  emmake make -j "$jobs" install >build.log 2>&1) || { tail -40 zlib-*/configure.log zlib-*/build.log; exit 1; }
build "freetype-*/" -DFT_REQUIRE_ZLIB=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" \
  -DZLIB_INCLUDE_DIR="$prefix/include" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
build "libsdl2-ttf-*/" -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2TTF_VENDORED=OFF \
  -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
# Vendored: PNG goes through the bundled stb_image (and miniz for saving), so
# neither libpng nor zlib is needed.
build "libsdl2-image-*/" -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2IMAGE_VENDORED=ON \
  -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_BACKEND_STB=ON \
  -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF
# The game's sounds are WAV files, which SDL2_mixer reads itself: no codec libraries.
build "libsdl2-mixer-*/" -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2MIXER_VENDORED=OFF \
  -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF \
  -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
  -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON
build "box2d-*/" -DBOX2D_BUILD_UNIT_TESTS=OFF -DBOX2D_BUILD_TESTBED=OFF -DBOX2D_BUILD_DOCS=OFF
build "nlohmann-json3-*/" -DJSON_BuildTests=OFF -DJSON_Install=ON
