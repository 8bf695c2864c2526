#!/usr/bin/env bash
# Installs what is missing, builds the game alone (not the tests), and starts
# it in a window. The levels you save and your progress go to your home
# folder, as with the installed game.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh --game build
exec build/kelvod "$@"
