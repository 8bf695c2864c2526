#!/usr/bin/env bash
# Installs what is missing, builds, and starts kelvod in a window.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh build
exec build/kelvod "$@"
