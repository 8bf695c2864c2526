#!/usr/bin/env bash
# The CPU share of a window that shows the main menu and nothing else: the
# game runs in a window of its own X server (Xvfb, when DISPLAY is not set),
# and after a few seconds to settle, the CPU time it uses over SECONDS is
# printed as a share of one core. The goal is under 3%.
# Usage: tests/bench/idle_window.sh [KELVOD] [SECONDS]
# SDL_RENDER_DRIVER=software measures the renderer of a machine without a GPU.
set -euo pipefail
cd "$(dirname "$0")/../.."
exe="$(realpath "${1:-build/kelvod}")"
seconds="${2:-10}"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cp -r data "$work/data"  # the run never touches the repository's data
if [ -z "${DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "idle_window: needs Xvfb (apt-get install xvfb)" >&2; exit 1; }
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  sleep 1
fi
"$exe" --data "$work/data" --state "$work/state" --lang ru >"$work/log" 2>&1 &
game=$!
pids+=("$game")
sleep 3
kill -0 "$game" 2>/dev/null || { cat "$work/log" >&2; echo "idle_window: the game did not start" >&2; exit 1; }
# utime and stime, fields 14 and 15 of /proc/PID/stat, in clock ticks.
cpu() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
before=$(cpu)
sleep "$seconds"
after=$(cpu)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "idle window: %.1f%% of a core (%.2f s of CPU in %d s)\n", 100 * t / hz / s, t / hz, s }'
