#!/usr/bin/env bash
# Resident memory of the running program (VmRSS from /proc/PID/status,
# libraries and fonts included) in three situations, each in a fresh
# program under its own Xvfb and throw-away home:
#   no device      an empty hidraw tree (TRX770_HID_ROOT): the window waits
#                  hidden behind its tray icon
#   window shown   `--simulate` (mouse, keyboard, mouse pad), one second
#                  after the main window shows (the keyboard page)
#   animating      the same after DURATION seconds of the keyboard page's
#                  lighting preview (its caches and pictures made)
# and prints each against the goal of 50 MB; with -b a baseline program is
# measured the same way, each situation alternating between the two.
#
#   bench/memory_rss.sh [-b BASELINE_BIN_DIR] [BIN_DIR]    (DURATION=10)
#
# BIN_DIR defaults to build/bin; bench/build_baseline.sh REV builds a
# baseline.
set -euo pipefail
BASELINE=
while getopts "b:" opt; do
  case $opt in
    b) BASELINE=$OPTARG ;;
    *) echo "usage: bench/memory_rss.sh [-b BASELINE_BIN_DIR] [BIN_DIR]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
BIN=${1:-build/bin}
DURATION=${DURATION:-10}
GOAL_KB=$((50 * 1024))
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "memory_rss: $tool is missing (tools/install-deps.sh)" >&2; exit 2; }
done

# rss BIN_DIR SITUATION: prints the resident kB
rss() {
  local bin=$1 situation=$2 work xvfb pid kb win
  work=$(mktemp -d /tmp/trx770-memory-XXXXXX)
  # -noreset: the readiness probe is the server's first client, and a
  # server that resets when it leaves refuses the program meanwhile.
  Xvfb -noreset -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 400); do [ -s "$work/display" ] && break; sleep 0.05; done
  export DISPLAY=:$(head -1 "$work/display") QT_QPA_PLATFORM=xcb
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
  mkdir -p "$work/run" "$work/hid" && chmod 700 "$work/run"
  if [ "$situation" = none ]; then
    TRX770_HID_ROOT=$work/hid HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work/run \
      "$bin/trx770" >/dev/null 2>&1 &
    pid=$!
    sleep 8
  else
    HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work/run "$bin/trx770" --simulate >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 600); do
      win=$(xdotool search --onlyvisible --name '^TRX770$' 2>/dev/null | head -1 || true)
      [ -n "$win" ] && break
      kill -0 $pid 2>/dev/null || break
      sleep 0.05
    done
    sleep 1
    [ "$situation" = animating ] && sleep "$DURATION"
  fi
  kb=$(awk '/^VmRSS:/ {print $2}' /proc/$pid/status 2>/dev/null || echo 0)
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  kill $xvfb 2>/dev/null || true
  wait $xvfb 2>/dev/null || true
  rm -rf "$work"
  echo "${kb:-0}"
}

mb() { awk -v k="$1" 'BEGIN {printf "%.1f MB", k / 1024}'; }
for situation in none shown animating; do
  case $situation in
    none) name="no device, hidden:          " ;;
    shown) name="three devices, window shown:" ;;
    animating) name="three devices, animating:   " ;;
  esac
  kb=$(rss "$BIN" $situation)
  line="$name $(mb "$kb") (goal < 50 MB: $([ "$kb" -gt 0 ] && [ "$kb" -lt $GOAL_KB ] && echo met || echo not met))"
  if [ -n "$BASELINE" ]; then
    base=$(rss "$BASELINE" $situation)
    line="$line; baseline $(mb "$base"), ratio $(awk -v a="$kb" -v b="$base" 'BEGIN {r = 0; if (b > 0) r = a / b; printf "%.3f", r}')"
  fi
  echo "$line"
done
