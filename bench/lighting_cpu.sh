#!/bin/bash
# CPU cost of the animated lighting preview: starts `trx770 --simulate`
# (all three simulated devices) under Xvfb, lets the keyboard page animate
# its effect, and reads the whole program's user+sys time from
# /proc/PID/stat over a window of DURATION seconds; then the same on a page
# without a preview and with the window hidden. Prints the share of one core.
# With SHOTS=dir it also saves three frames of each preview in dir.
#
# usage: bench/lighting_cpu.sh [build/bin] (DURATION=30 SHOTS=dir)
set -euo pipefail
BIN=${1:-build/bin}
DURATION=${DURATION:-30}
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "lighting_cpu: $tool is missing (tools/install-deps.sh)"; exit 2; }
done
WORK=$(mktemp -d /tmp/trx770-lighting-XXXXXX)
# Xvfb picks a free display (a number of our choosing may be another
# Xvfb's on a shared machine) and writes it once it listens. -noreset: the
# readiness probe below is its first client, and a server that resets when
# that client leaves refuses the program connecting during the reset.
Xvfb -noreset -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XVFB=$!
for _ in $(seq 400); do [ -s "$WORK/display" ] && break; sleep 0.05; done
DISPLAY_NUM=$(head -1 "$WORK/display")
PID=
cleanup() { [ -z "$PID" ] || kill $PID 2>/dev/null || true; kill $XVFB 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT
export DISPLAY=:$DISPLAY_NUM QT_QPA_PLATFORM=xcb
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
mkdir -p "$WORK/run" && chmod 700 "$WORK/run"
HOME=$WORK XDG_CONFIG_HOME=$WORK/.config XDG_RUNTIME_DIR=$WORK/run "$BIN/trx770" --simulate >/dev/null 2>&1 &
PID=$!
until WIN=$(xdotool search --onlyvisible --name '^TRX770$' 2>/dev/null | head -1) && [ -n "$WIN" ]; do
  kill -0 $PID 2>/dev/null || { echo "lighting_cpu: trx770 exited early" >&2; exit 1; }
  sleep 0.05
done
TICKS=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' /proc/$PID/stat; }
# Share of one core, in per cent, over DURATION seconds.
measure() {
  local c0 c1 t0 t1
  c0=$(cpu_ticks); t0=$(date +%s%N)
  sleep "$DURATION"
  c1=$(cpu_ticks); t1=$(date +%s%N)
  awk -v c=$((c1 - c0)) -v hz="$TICKS" -v ns=$((t1 - t0)) 'BEGIN {printf "%.2f", 100 * (c / hz) / (ns / 1e9)}'
}
shot() {  # name: the window's picture
  [ -n "${SHOTS:-}" ] || return 0
  mkdir -p "$SHOTS"; import -window "$WIN" "$SHOTS/$1.png"
}
click_tab() {  # x offset of a top tab in the window
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  xdotool mousemove $((X + $1)) $((Y + 24)) click 1
}
sleep 5  # start-up and the lighting threads' first 3 s wait
WIN=$(xdotool search --onlyvisible --name '^TRX770$' | head -1)
if [ -n "${SHOTS:-}" ]; then
  for tab in mouse:287 pad:390 keyboard:183; do
    click_tab "${tab#*:}"; sleep 1
    for i in 1 2 3; do shot "${tab%%:*}-$i"; sleep 0.3; done
  done
fi
shown=$(measure)
eval "$(xdotool getwindowgeometry --shell "$WIN")"
xdotool mousemove $((X + 75)) $((Y + 155)) click 1  # the keyboard's macro page: no preview
sleep 1
no_preview=$(measure)
xdotool mousemove $((X + 75)) $((Y + 111)) click 1  # back to the lighting page
sleep 1
xdotool mousemove $((X + 708)) $((Y + 24)) click 1  # the window's own minimise button
sleep 1
hidden=$(measure)
echo "keyboard page animating: ${shown} %; page without preview: ${no_preview} %; window hidden: ${hidden} % of one core (${DURATION} s each)"
