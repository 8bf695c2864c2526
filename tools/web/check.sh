#!/usr/bin/env bash
# Checks the browser build in Debian's chromium, headless, served from
# 127.0.0.1: every campaign solution must win through the page, and the page
# opened normally must draw the main menu. Screenshots go to BUILD_DIR/checks/.
# Share links travel both ways between the page and the desktop game built by
# ./test.sh (build/kelvod, or the one KELVOD_DESKTOP names), when there is one.
# Usage: tools/web/check.sh [build-dir]   (after tools/web/build.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build-web}"
[ -f "$build/kelvod.html" ] || { echo "tools/web/check.sh: no $build/kelvod.html; run tools/web/build.sh first" >&2; exit 1; }

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q "install ok installed" || missing+=(chromium)
command -v npm >/dev/null || missing+=(npm)
command -v node >/dev/null || missing+=(nodejs)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }
fi

# playwright-core drives the system's chromium; it downloads no browser.
(cd tools/web/check && npm ci --no-audit --no-fund --silent)
desktop="${KELVOD_DESKTOP:-build/kelvod}"
if [ -x "$desktop" ]; then
  KELVOD_DESKTOP="$(realpath "$desktop")"
  export KELVOD_DESKTOP
else
  unset KELVOD_DESKTOP
fi
node tools/web/check/check.mjs "$build" . "$build/checks"
