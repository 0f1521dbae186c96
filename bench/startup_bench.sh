#!/usr/bin/env bash
# Start-up time: starts `trx770 --simulate` under Xvfb with a throw-away
# home that already holds the profiles of an earlier run, and measures the
# time from exec to the main window being mapped (polled with xdotool every
# 5 ms). Prints the median of N runs for the program under test and, when a
# baseline program is given, for the baseline in the same run, and their
# ratio.
#
#   bench/startup_bench.sh [-n RUNS] [-b BASELINE_BIN_DIR] [BIN_DIR]
#
# BIN_DIR defaults to build/bin. A baseline of an earlier commit is built with
#   bench/build_baseline.sh REV   (into build/bench-base, prints its bin dir)
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=7
BASE=""
while getopts "n:b:" opt; do
  case $opt in
    n) RUNS=$OPTARG ;;
    b) BASE=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
BIN=${1:-build/bin}
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "startup_bench: $tool is missing (tools/install-deps.sh)"; exit 2; }
done

WORK=$(mktemp -d /tmp/trx770-startup-XXXXXX)
DISPLAY_NUM=$((90 + RANDOM % 100))
Xvfb :$DISPLAY_NUM -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
cleanup() { kill $XVFB 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT
export DISPLAY=:$DISPLAY_NUM QT_QPA_PLATFORM=xcb
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done

now_ms() { date +%s%N | cut -b1-13; }

# One start: ms from exec to the mapped window, then the program is ended.
one_start() {
  local bin=$1 home=$2
  local t0 t1 pid
  t0=$(now_ms)
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run "$bin/trx770" --simulate >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^TRX770$' >/dev/null 2>&1; do
    if ! kill -0 $pid 2>/dev/null; then echo "startup_bench: $bin/trx770 exited early" >&2; return 1; fi
    sleep 0.005
  done
  t1=$(now_ms)
  kill -TERM $pid; wait $pid 2>/dev/null || true
  echo $((t1 - t0))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

measure() {
  local bin=$1 name=$2 home="$WORK/$2"
  mkdir -p "$home/run" && chmod 700 "$home/run"
  one_start "$bin" "$home" >/dev/null  # first run creates the profiles
  local times=()
  for _ in $(seq "$RUNS"); do times+=("$(one_start "$bin" "$home")"); done
  printf '%s\n' "${times[@]}" | median
}

cur=$(measure "$BIN" current)
echo "start to window, median of $RUNS: $cur ms ($BIN)"
if [ -n "$BASE" ]; then
  base=$(measure "$BASE" baseline)
  echo "baseline: $base ms ($BASE)"
  awk -v c="$cur" -v b="$base" 'BEGIN { printf "ratio current/baseline: %.2f\n", c / b }'
fi
