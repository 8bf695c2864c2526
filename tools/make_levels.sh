#!/usr/bin/env bash
# Rebuilds data/level/*.map from the level scripts in levels/*.lvl and copies
# each level's hints (levels/NNNN.hint, and NNNN.<lang>.hint for the other
# languages, e.g. NNNN.en.hint) beside its level file.
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
for hint in levels/*.hint; do
  cp "$hint" data/level/
done
echo "built $(( ${#args[@]} / 2 )) levels"
