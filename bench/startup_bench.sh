#!/usr/bin/env bash
# Start-up time: starts `trx770 --simulate` under Xvfb with a throw-away
# home that already holds the profiles of an earlier run, and measures the
# time from exec to the main window being mapped (polled with xdotool every
# 5 ms), and the CPU time the process had used by then (user + system, from
# /proc, 10 ms ticks; less affected by other work on the machine). Prints
# the medians of N runs for the program under test and, when a baseline
# program is given, for the baseline, runs of the two interleaved, and the
# ratios.
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
# Xvfb picks a free display (a number of our choosing may be another
# Xvfb's on a shared machine) and writes it once it listens. -noreset: the
# readiness probe below is its first client, and a server that resets when
# that client leaves refuses the program connecting during the reset.
Xvfb -noreset -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XVFB=$!
cleanup() { kill $XVFB 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT
for _ in $(seq 400); do [ -s "$WORK/display" ] && break; sleep 0.05; done
DISPLAY_NUM=$(head -1 "$WORK/display")
[ -n "$DISPLAY_NUM" ] || { echo "startup_bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$DISPLAY_NUM QT_QPA_PLATFORM=xcb

now_ms() { date +%s%N | cut -b1-13; }

TICK_MS=$((1000 / $(getconf CLK_TCK)))

# One start: "<ms from exec to the mapped window> <CPU ms by then>", then
# the program is ended.
one_start() {
  local bin=$1 home=$2
  local t0 t1 pid cpu
  t0=$(now_ms)
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run "$bin/trx770" --simulate >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^TRX770$' >/dev/null 2>&1; do
    if ! kill -0 $pid 2>/dev/null; then echo "startup_bench: $bin/trx770 exited early" >&2; return 1; fi
    sleep 0.005
  done
  t1=$(now_ms)
  cpu=$(awk -v t=$TICK_MS '{print ($14 + $15) * t}' /proc/$pid/stat)
  kill -TERM $pid; wait $pid 2>/dev/null || true
  echo "$((t1 - t0)) $cpu"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

prepare() {
  local home="$WORK/$2"
  mkdir -p "$home/run" && chmod 700 "$home/run"
  one_start "$1" "$home" >/dev/null  # the first run creates the profiles
}

prepare "$BIN" current
[ -z "$BASE" ] || prepare "$BASE" baseline
: >"$WORK/current.txt"
: >"$WORK/baseline.txt"
for _ in $(seq "$RUNS"); do
  one_start "$BIN" "$WORK/current" >>"$WORK/current.txt" || true
  [ -z "$BASE" ] || one_start "$BASE" "$WORK/baseline" >>"$WORK/baseline.txt" || true
done
cur=$(awk '{print $1}' "$WORK/current.txt" | median)
cur_cpu=$(awk '{print $2}' "$WORK/current.txt" | median)
echo "start to window, median of $(wc -l <"$WORK/current.txt"): $cur ms wall, $cur_cpu ms CPU ($BIN)"
if [ -n "$BASE" ]; then
  base=$(awk '{print $1}' "$WORK/baseline.txt" | median)
  base_cpu=$(awk '{print $2}' "$WORK/baseline.txt" | median)
  echo "baseline, median of $(wc -l <"$WORK/baseline.txt"): $base ms wall, $base_cpu ms CPU ($BASE)"
  awk -v c="$cur" -v b="$base" -v cc="$cur_cpu" -v bc="$base_cpu" \
    'BEGIN { printf "ratio current/baseline: %.2f wall, %.2f CPU\n", c / b, (bc > 0 ? cc / bc : 0) }'
fi
