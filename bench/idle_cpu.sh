#!/usr/bin/env bash
# Idle cost of the running program: the CPU time the whole process uses over
# DURATION seconds while nothing happens, as a share of one core. The run
# time of each thread (/proc/PID/task/TID/schedstat, nanoseconds) is sampled
# every second and each thread's growth summed, threads started meanwhile
# counted from zero, so a thread that ends keeps what it used up to its last
# sample; /proc/PID/stat's user + system time counts 10 ms ticks, too coarse
# for 0.02 % of a minute, and is printed beside it as a check. Two
# situations are measured side by side:
#   no device     an empty hidraw tree (TRX770_HID_ROOT): the window waits
#                 hidden behind its tray icon;            goal under 0.02 %
#   three devices `--simulate` (mouse, keyboard, mouse pad, simulator
#                 included), the window minimised;        goal under 0.1 %
# CPU time used by the process is not inflated by other work on the machine,
# so the figure holds on a busy machine too. With -b the program of another
# build is measured at the same time (each copy under its own Xvfb and home)
# and the ratios are printed.
#
#   bench/idle_cpu.sh [-b BASELINE_BIN_DIR] [BIN_DIR]     (DURATION=60)
#
# A baseline of an earlier commit is built with bench/build_baseline.sh REV.
set -euo pipefail
cd "$(dirname "$0")/.."
BASE=""
while getopts "b:" opt; do
  case $opt in
    b) BASE=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
BIN=${1:-build/bin}
DURATION=${DURATION:-60}
for tool in Xvfb xdotool openbox; do
  command -v $tool >/dev/null || { echo "idle_cpu: $tool is missing (tools/install-deps.sh)"; exit 2; }
done
WORK=$(mktemp -d /tmp/trx770-idle-XXXXXX)
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

# start NAME BIN MODE: a display, a home and the program; prints its pid.
start() {
  local name=$1 bin=$2 mode=$3 home="$WORK/$1" display=""
  mkdir -p "$home/run" "$home/hid/sys/class/hidraw" "$home/hid/dev" && chmod 700 "$home/run"
  # Xvfb picks a free display and writes its number once it listens (a
  # display number of our own choosing may be another Xvfb's on a shared
  # machine, and the program would then run on that one).
  Xvfb -noreset -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$home/display" >/dev/null 2>&1 &
  PIDS+=($!)
  for _ in $(seq 400); do [ -s "$home/display" ] && break; sleep 0.05; done
  display=$(head -1 "$home/display")
  [ -n "$display" ] || { echo "idle_cpu: $name: Xvfb did not start" >&2; exit 1; }
  echo "$display" >"$home/display"
  # A window manager, so that minimising takes the window off the screen
  # (only there: with no device the window stays hidden on its own).
  if [ "$mode" = devices ]; then
    DISPLAY=:$display openbox >/dev/null 2>&1 &
    PIDS+=($!)
  fi
  local args=() env=(HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run DISPLAY=:$display
                     QT_QPA_PLATFORM=xcb)
  if [ "$mode" = devices ]; then args=(--simulate); else env+=(TRX770_HID_ROOT=$home/hid); fi
  env "${env[@]}" "$bin/trx770" "${args[@]}" >/dev/null 2>&1 &
  PIDS+=($!)
  echo $! >"$home/pid"
}

# window: the id of the program's visible main window on $DISPLAY (one whose
# geometry can be read: the search may list windows already gone).
window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^TRX770$' 2>/dev/null); do
    xdotool getwindowgeometry "$w" >/dev/null 2>&1 && { echo "$w"; return 0; }
  done
  return 1
}

# minimise NAME: waits for the window and clicks its own minimise button.
minimise() {
  local home="$WORK/$1" win=""
  export DISPLAY=:$(cat "$home/display")
  for _ in $(seq 600); do
    win=$(window) && break
    sleep 0.05
  done
  [ -n "$win" ] || { echo "idle_cpu: $1: no window" >&2; return 1; }
  sleep 3  # the connect reads and the first paint
  win=$(window)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 708)) $((Y + 24)) click 1
  sleep 1
  if window >/dev/null; then echo "idle_cpu: $1: the window did not minimise" >&2; fi
}

# sample NAME: appends "TID NS" for every thread of the program to NAME/samples.
sample() {
  local pid
  pid=$(cat "$WORK/$1/pid")
  for f in /proc/"$pid"/task/*/schedstat; do
    [ -r "$f" ] || continue
    local tid=${f%/schedstat}
    echo "${tid##*/} $(cut -d' ' -f1 "$f" 2>/dev/null)"
  done >>"$WORK/$1/samples"
}
# grown NAME: nanoseconds used since the first sample (see above).
grown() {
  awk 'NR == FNR { if (!($1 in first)) first[$1] = $2; next }
       { last[$1] = $2 }
       END { for (t in last) s += last[t] - (t in first ? first[t] : 0); printf "%.0f", s }' \
    "$WORK/$1/first" "$WORK/$1/samples"
}
ticks() { awk '{print $14 + $15}' "/proc/$(cat "$WORK/$1/pid")/stat"; }

names=(current-none current-devices)
start current-none "$BIN" none
start current-devices "$BIN" devices
if [ -n "$BASE" ]; then
  names+=(baseline-none baseline-devices)
  start baseline-none "$BASE" none
  start baseline-devices "$BASE" devices
fi
for name in "${names[@]}"; do
  case $name in *-devices) minimise "$name" || echo "idle_cpu: $name is measured as it is" >&2 ;; esac
done
sleep 10  # settle: start-up work (threads started late would count from zero), the lighting threads' first waits
declare -A tick0
for name in "${names[@]}"; do
  : >"$WORK/$name/samples"
  sample "$name"
  mv "$WORK/$name/samples" "$WORK/$name/first"
  : >"$WORK/$name/samples"
  tick0[$name]=$(ticks "$name")
done
t0=$(date +%s%N)
for _ in $(seq "$DURATION"); do
  sleep 1
  for name in "${names[@]}"; do sample "$name"; done
done
t1=$(date +%s%N)
declare -A share tickshare
TICKS=$(getconf CLK_TCK)
for name in "${names[@]}"; do
  share[$name]=$(awk -v c="$(grown "$name")" -v ns=$((t1 - t0)) 'BEGIN {printf "%.4f", 100 * c / ns}')
  tickshare[$name]=$(awk -v c=$(($(ticks "$name") - ${tick0[$name]})) -v hz="$TICKS" -v ns=$((t1 - t0)) \
    'BEGIN {printf "%.3f", 100 * (c / hz) / (ns / 1e9)}')
done
secs=$(((t1 - t0) / 1000000000))
echo "idle, hidden, no device:           ${share[current-none]} % of one core over ${secs} s (goal < 0.02 %) ($BIN)"
echo "idle, minimised, three devices:    ${share[current-devices]} % of one core over ${secs} s (goal < 0.1 %)"
echo "  (ticks: ${tickshare[current-none]} % and ${tickshare[current-devices]} %)"
if [ -n "$BASE" ]; then
  echo "baseline, hidden, no device:       ${share[baseline-none]} % ($BASE)"
  echo "baseline, minimised, three devices: ${share[baseline-devices]} %"
  echo "  (ticks: ${tickshare[baseline-none]} % and ${tickshare[baseline-devices]} %)"
  awk -v a="${share[current-none]}" -v b="${share[baseline-none]}" -v c="${share[current-devices]}" \
    -v d="${share[baseline-devices]}" \
    'BEGIN { printf "ratio current/baseline: %.2f no device, %.2f three devices\n", (b > 0 ? a / b : 0), (d > 0 ? c / d : 0) }'
fi
