#!/bin/sh
# Render data/panel_r.png, data/m.png and docs/contact_sheet.png from the SVGs in assets/.
# Needs python3 and rsvg-convert (Debian package librsvg2-bin). Pass --verify to compare a
# fresh render with the committed pictures instead of writing them.
exec python3 "$(dirname "$0")/render.py" "$@"
