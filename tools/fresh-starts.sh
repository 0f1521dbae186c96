#!/usr/bin/env bash
# Fresh starts in a row, as a new user's first start: a fresh home, a fresh
# simulator state, Xvfb with openbox (so the program-link monitors run), no
# input. Each start runs the program on a simulated mouse for a few seconds
# and ends it with SIGTERM; the mouse's memory it leaves (--sim-state) must
# equal the memory of a factory-new simulated mouse byte for byte.
#
#   tools/fresh-starts.sh [BUILD_DIR] [STARTS] [SECONDS_PER_START]
#
# Prints one line per start and "fresh starts: K of N left the mouse as the
# factory made it"; exit status 1 when any start changed it (its debug
# output and state are kept in OUT_DIR, default /tmp/trx770-fresh-starts).
set -euo pipefail
BUILD=$(realpath "${1:-build}")
STARTS=${2:-30}
SECONDS_PER_START=${3:-4}
OUT=${OUT_DIR:-/tmp/trx770-fresh-starts}
rm -rf "$OUT" && mkdir -p "$OUT"
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP SWAYSOCK
export LANG=${LANG:-en_US.UTF-8}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
for n in $(seq 400 499); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { export DISPLAY=":$n"; break; }
done
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
WM=
cleanup() {
  [ -n "$WM" ] && kill "$WM" 2>/dev/null || true
  kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
sleep 1
openbox >/dev/null 2>&1 &
WM=$!
sleep 1

# The factory: a simulated mouse nobody talked to but the tool's listing.
HOME="$OUT/factory-home" "$BUILD/bin/trx770ctl" --simulate=mouse --sim-state "$OUT/factory" devices >/dev/null
[ -f "$OUT/factory/mouse.mem" ] || { echo "no factory memory written" >&2; exit 2; }

kept=0
for i in $(seq "$STARTS"); do
  run="$OUT/start-$i"
  mkdir -p "$run/home"
  HOME="$run/home" XDG_CONFIG_HOME="$run/home/.config" XDG_DATA_HOME="$run/home/.local/share" TRX770_DEBUG=1 \
    "$BUILD/bin/trx770" --simulate=mouse --sim-state "$run/sim" >"$run/debug.txt" 2>&1 &
  program=$!
  sleep "$SECONDS_PER_START"
  kill "$program" 2>/dev/null || true
  wait "$program" || true
  if cmp -s "$OUT/factory/mouse.mem" "$run/sim/mouse.mem"; then
    kept=$((kept + 1))
    echo "start $i: mouse as the factory made it"
    rm -rf "$run"
  else
    echo "start $i: mouse CHANGED (kept in $run)"
  fi
done
echo "fresh starts: $kept of $STARTS left the mouse as the factory made it"
[ "$kept" -eq "$STARTS" ]
