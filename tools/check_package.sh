#!/usr/bin/env bash
# Builds the Debian package (Release, warnings as errors), installs it with
# apt-get, plays a shipped level's solution with the installed game from a
# folder outside the repository (HOME a temp folder), checks the win and that
# the chooser marks the level won, and removes the package again.
# Usage: tools/check_package.sh [build-dir]   (default build-pkg; run as root)
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="${1:-build-pkg}"

export DEBIAN_FRONTEND=noninteractive
# dpkg-shlibdeps (dpkg-dev) works out the package's library dependencies.
dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q "install ok installed" ||
  apt-get install -y --no-install-recommends dpkg-dev

tools/setup.sh --game "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/kelvod_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/kelvod_*_*.deb)
echo "package: $deb, $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Depends

if dpkg-query -W -f='${Status}' kelvod 2>/dev/null | grep -q "install ok installed"; then
  echo "kelvod is installed already; remove it first" >&2
  exit 1
fi
work=$(mktemp -d)
cleanup() {
  apt-get remove -y kelvod >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
apt-get install -y "./$deb" >/dev/null

cd "$work"
export HOME="$work/home"
unset XDG_DATA_HOME XDG_STATE_HOME
mkdir -p "$HOME"
[ "$(command -v kelvod)" = /usr/bin/kelvod ]
kelvod --version
kelvod --headless --seed 7 --level 0 --ticks 800 --replay "$repo/data/level/1001.solution" --dump won.json
printf '1 move 512 336\n1 click left\n' > chooser.replay
kelvod --headless --ticks 3 --replay chooser.replay --dump chooser.json
python3 - <<'PY'
import json
won = json.load(open('won.json'))
assert won['game']['win_visible'], 'the solution of level 1001 did not win it'
levels = json.load(open('chooser.json'))['level_menu']['levels']
assert levels[0]['won'] and not levels[1]['won'], 'the chooser does not mark the won level'
print(f'installed game: level {levels[0]["file_name"]} won and marked, {len(levels)} levels listed')
PY
cleanup
trap - EXIT
if [ -e /usr/bin/kelvod ]; then
  echo "/usr/bin/kelvod is still there after removing the package" >&2
  exit 1
fi
echo "package checked and removed"
