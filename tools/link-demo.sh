#!/usr/bin/env bash
# Program-linked profiles, end to end: the program on a simulated mouse
# under Xvfb with openbox (which sets _NET_ACTIVE_WINDOW), two mouse device
# profiles linked to two small windowed programs, each brought to the front
# with xdotool, then a third, unlinked one.
#
#   tools/link-demo.sh [BUILD_DIR] [OUT_DIR]
#
# Needs Xvfb, openbox, xdotool, a C compiler with libxcb, ImageMagick's
# import for the screenshots. Prints what was selected and the light colour
# of each settings frame the simulated mouse received; leaves the debug
# output, frame trace and screenshots in OUT_DIR.
set -euo pipefail
BUILD=$(realpath "${1:-build}")
OUT=${2:-/tmp/trx770-link-demo}
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$OUT" && mkdir -p "$OUT/home"
export HOME="$OUT/home" XDG_CONFIG_HOME="$OUT/home/.config" XDG_DATA_HOME="$OUT/home/.local/share"
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP SWAYSOCK
export LANG=${DEMO_LANG:-en_US.UTF-8}
# A display number nobody uses (others may run Xvfb on this machine too).
for n in $(seq 300 399); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { export DISPLAY=":$n"; break; }
done

cc -O2 -o "$OUT/alpha" "$HERE/link-demo-window.c" -lxcb
cp "$OUT/alpha" "$OUT/beta"
cp "$OUT/alpha" "$OUT/gamma"

Xvfb "$DISPLAY" -noreset -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
PIDS=()
cleanup() {
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
sleep 1
openbox >/dev/null 2>&1 &
PIDS+=($!)
sleep 1

run_program() {  # the program until SIGTERM, debug lines and frames kept
  TRX770_DEBUG=1 TRX770_TRACE="$OUT/trace.txt" "$BUILD/bin/trx770" --simulate=mouse --sim-state "$OUT/sim" \
    >>"$OUT/debug.txt" 2>&1 &
  PROGRAM=$!
}
INI="$HOME/Documents/Dirari DovevO1/ms/msProfile.ini"
DIR="$(dirname "$INI")"

# First start: the profile index and "profile1" are created.
run_program
for _ in $(seq 50); do [ -f "$DIR/profile1.config" ] && break; sleep 0.2; done
sleep 1
kill "$PROGRAM"; wait "$PROGRAM" || true

# profile2 (blue light) linked to alpha, profile3 (green light) to beta;
# profile1 stays the user's choice.
python3 "$HERE/link-profiles-setup.py" "$DIR" "$INI" "$OUT" --colours

: >"$OUT/debug.txt"
: >"$OUT/trace.txt"
run_program
sleep 4
for w in alpha beta gamma; do "$OUT/$w" "$w" & PIDS+=($!); done
sleep 1

selected() { grep -a "program link: ms_device" "$OUT/debug.txt" | tail -1 || true; }
seen=$(grep -ac " > mouse" "$OUT/trace.txt" || true)
for w in alpha beta gamma alpha; do
  before=$(grep -ac "program link: ms_device" "$OUT/debug.txt" || true)
  xdotool search --name "^$w\$" windowactivate --sync 2>/dev/null || xdotool search --name "^$w\$" windowactivate
  start=$(date +%s%N)
  waited="no selection within 3000 ms"
  for _ in $(seq 60); do  # one cycle is 2000 ms + 100 ms + the selection itself
    if [ "$(grep -ac "program link: ms_device" "$OUT/debug.txt" || true)" != "$before" ]; then
      waited="selected after $(( ($(date +%s%N) - start) / 1000000 )) ms"
      break
    fi
    sleep 0.05
  done
  sleep 0.3  # timer 2 sends the record within 100 ms
  echo "front: $w -> $(selected) ($waited); INI $(grep -A1 '^\[PROFILEDEVICESELECT\]' "$INI" | tail -1)"
  # The settings frame that starts at record byte 0 carries the light colour (bytes 6-8).
  grep -a " > mouse" "$OUT/trace.txt" | awk -v after="$seen" '{f=$4; if (NR > after && substr(f,7,2)=="06" && substr(f,11,4)=="0000") print "  simulated mouse took Write settings bytes at 0, light colour " substr(f,29,6)}'
  seen=$(grep -ac " > mouse" "$OUT/trace.txt" || true)
done
echo "(profile1 ff0000, profile2 0000ff, profile3 00ff00; debug output $OUT/debug.txt, frames $OUT/trace.txt)"
kill "$PROGRAM"; wait "$PROGRAM" || true
