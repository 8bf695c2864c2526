#!/usr/bin/env bash
# Re-makes the README's screenshots in docs/screenshots/ with a built game
# (default build/kelvod): the main menu, the start of level 1021 with its
# hint, and the editor with a block selected beside a bomb.
# Usage: tools/screenshots.sh [KELVOD]
set -euo pipefail
cd "$(dirname "$0")/.."
exe="$(realpath "${1:-build/kelvod}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r data "$work/data"  # the runs never touch the repository's data
run() { "$exe" --headless --data "$work/data" --state "$work/state" "$@"; }

run --ticks 60 --screenshot docs/screenshots/menu.png
run --level 20 --ticks 2 --screenshot docs/screenshots/level.png
# The editor: a block, a bomb, then the arrow and a click on the block.
cat >"$work/editor.replay" <<'REPLAY'
1 move 512 388
1 click left
110 move 50 180
112 click left
115 move 389 314
117 click left
120 move 132 100
122 click left
125 move 458 242
127 click left
130 move 50 100
132 click left
135 move 389 314
137 click left
140 move 600 500
REPLAY
run --ticks 150 --replay "$work/editor.replay" --screenshot docs/screenshots/editor.png
echo "docs/screenshots: menu.png level.png editor.png"
