#!/usr/bin/env bash
# Rebuilds data/level/*.map from the level scripts in levels/*.lvl.
# Usage: tools/make_levels.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target kelvod_levelgen -j "$(nproc)" >/dev/null
mkdir -p data/level
args=()
for script in levels/*.lvl; do
  args+=("$script" "data/level/$(basename "${script%.lvl}").map")
done
"$build/kelvod_levelgen" "${args[@]}"
echo "built $(( ${#args[@]} / 2 )) levels"
