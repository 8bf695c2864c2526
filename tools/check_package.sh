#!/usr/bin/env bash
# Checks the licences of every file (reuse lint), builds the Debian package
# (RelWithDebInfo, so its debug package has the symbols; warnings as errors)
# and checks it as a distribution would: lintian (any error or warning
# fails), hardening-check on its binary, appstreamcli and desktop-file-validate
# on the metainfo and desktop entry it installs, mandoc on its man page. Then
# installs it with apt-get, plays a shipped level's solution with the
# installed game from a folder outside the repository (HOME a temp folder),
# checks the win and that the chooser marks the level won, and removes the
# package again. Installs the checkers it misses.
# Usage: tools/check_package.sh [build-dir]   (default build-pkg; run as root)
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="${1:-build-pkg}"

export DEBIAN_FRONTEND=noninteractive
# dpkg-shlibdeps (dpkg-dev) works out the package's library dependencies;
# hardening-check comes with devscripts.
. tools/packages.sh
install_missing dpkg-dev lintian appstream desktop-file-utils reuse devscripts mandoc

# Every file of the repository has a licence (LICENSES/ and .reuse/dep5).
reuse lint

tools/setup.sh --game "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/kelvod_*.deb "$build"/kelvod-dbgsym_*.ddeb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/kelvod_*_*.deb)
ddeb=$(ls "$build"/kelvod-dbgsym_*_*.ddeb)
echo "package: $deb, $(stat -c %s "$deb") bytes; debug symbols: $ddeb, $(stat -c %s "$ddeb") bytes"
dpkg-deb -f "$deb" Depends

# lintian with every tag it has (experimental, info, pedantic), on the game's
# package and its debug package: an error or a warning fails; what it says at
# the info level is shown.
lintian -EviIL +pedantic --fail-on error,warning "$deb" "$ddeb"

# The files as installed: a stripped, hardened binary in /usr/games whose
# symbols are in the debug package, and valid desktop metadata.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
dpkg-deb -x "$ddeb" "$unpacked/dbgsym"
exe="$unpacked/usr/games/kelvod"
file -b "$exe" | grep -q ', stripped' || { echo "$exe is not stripped" >&2; exit 1; }
build_id=$(readelf -n "$exe" | sed -n 's/^ *Build ID: //p')
[ -s "$unpacked/dbgsym/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug" ] ||
  { echo "the debug package has no symbols for build id $build_id" >&2; exit 1; }
# Control-flow protection is left out: Debian 12's C start files (crt1.o,
# crti.o) lack it, so no binary linked there has it (cmake/Hardening.cmake).
hardening-check --nocfprotection "$exe"
for entry in "$unpacked"/usr/share/applications/*.desktop; do
  out=$(desktop-file-validate "$entry" 2>&1) || { echo "$out" >&2; exit 1; }
  [ -z "$out" ] || { echo "desktop-file-validate: $out" >&2; exit 1; }
done
# The id "kelvod" is no reverse domain name: that note stays (renaming the
# id and the desktop entry would orphan what desktops know of the game).
version=$(dpkg-deb -f "$deb" Version)
for metainfo in "$unpacked"/usr/share/metainfo/*.xml; do
  newest=$(python3 -c 'import sys, xml.etree.ElementTree as E
print(E.parse(sys.argv[1]).find("releases/release").get("version"))' "$metainfo")
  [ "$newest" = "$version" ] ||
    { echo "$metainfo: the newest release is $newest, the package $version" >&2; exit 1; }
  out=$(appstreamcli validate --no-net --pedantic --explain "$metainfo" 2>&1) || true
  echo "$out"
  if echo "$out" | grep -E '^[EWIP]: ' | grep -qv ': cid-desktopapp-is-not-rdns '; then
    echo "appstreamcli validate: $metainfo has more than the accepted note" >&2
    exit 1
  fi
done
for page in "$unpacked"/usr/share/man/man*/*.gz; do
  zcat "$page" | mandoc -Tlint -W warning
done
rm -rf "$unpacked"
trap - EXIT
echo "package files checked"

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
export PATH="$PATH:/usr/games"   # root's PATH lacks it, a user's has it
[ "$(command -v kelvod)" = /usr/games/kelvod ]
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
if [ -e /usr/games/kelvod ]; then
  echo "/usr/games/kelvod is still there after removing the package" >&2
  exit 1
fi
echo "package checked and removed"
