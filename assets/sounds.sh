#!/bin/sh
# Synthesise data/sound/*.wav from assets/sounds.py (needs only python3). Pass --verify to
# compare a fresh render with the committed sounds instead of writing them.
exec python3 "$(dirname "$0")/sounds.py" "$@"
