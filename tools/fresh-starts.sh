#!/usr/bin/env bash
# Fresh starts in a row, as a new user's first start: a fresh home, a fresh
# simulator state, Xvfb with openbox (so the program-link monitors run), no
# input. Each start runs the program on a simulated mouse, keyboard and pad
# until all three are connected and SETTLE seconds more (at most
# SECONDS_PER_START in all), then ends it with SIGTERM and waits for it to
# leave (the simulator saves its memory then); the memory of each device it
# leaves (--sim-state) must equal the memory of a factory-new simulated
# device byte for byte, the tool's dump of each must equal the factory's
# dump, and the mouse's must show the factory DPI levels
# 800/1600/3200/6400 at 1000 Hz.
#
#   tools/fresh-starts.sh [BUILD_DIR] [STARTS] [SECONDS_PER_START]
#
# Without Xvfb or openbox (or with FRESH_HEADLESS=1) the starts run without
# a screen (QT_QPA_PLATFORM=offscreen): the same check, with the program
# links idle. The test suite runs three starts this way or the other
# (app_fresh_starts); the full run is 30.
#
# Prints one line per start and "fresh starts: K of N left the devices as
# the factory made them"; exit status 1 when any start changed one (its
# debug output and state are kept in OUT_DIR, default
# /tmp/trx770-fresh-starts).
set -euo pipefail
BUILD=$(realpath "${1:-build}")
STARTS=${2:-30}
SECONDS_PER_START=${3:-20}
SETTLE=${SETTLE:-3}
OUT=${OUT_DIR:-/tmp/trx770-fresh-starts}
rm -rf "$OUT" && mkdir -p "$OUT"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

screen=()
XVFB= WM=
cleanup() {
  [ -n "$WM" ] && kill "$WM" 2>/dev/null || true
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${FRESH_HEADLESS:-}" ] && command -v Xvfb >/dev/null && command -v openbox >/dev/null; then
  # The server picks a free display itself and names it once it listens.
  Xvfb -noreset -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$OUT/display" >/dev/null 2>&1 &
  XVFB=$!
  for _ in $(seq 100); do [ -s "$OUT/display" ] && break; sleep 0.1; done
  [ -s "$OUT/display" ] || { echo "Xvfb did not start" >&2; exit 2; }
  display=":$(head -n1 "$OUT/display")"
  DISPLAY="$display" openbox >/dev/null 2>&1 &
  WM=$!
  sleep 1
  screen=(DISPLAY="$display")
  echo "fresh starts on $display with openbox (program links active)"
else
  screen=(QT_QPA_PLATFORM=offscreen)
  echo "fresh starts without a screen (program links idle)"
fi

# A clean environment per start: nothing of the caller's desktop, session
# bus or settings reaches the program. It replaces the calling shell, so it
# runs in a subshell: "( run_clean ... ) &" gives the program's own pid.
# The session bus it names is not there: without an address the D-Bus
# library would autolaunch one, forking a helper out of a threaded process;
# under the sanitizers that child can hang, and with it the tray icon's bus
# look-up on the UI thread (seen once in about twenty starts).
run_clean() {
  local home=$1
  shift
  exec env -i PATH="$PATH" LANG="${LANG:-C.UTF-8}" HOME="$home" XDG_RUNTIME_DIR="$home/run" \
    XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_STATE_HOME="$home/.local/state" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$home/run/no-session-bus" \
    TRX770_MACHINE_STORE="$home/machine" TRX770_DEBUG=1 ASAN_OPTIONS="$ASAN_OPTIONS" "${screen[@]}" "$@"
}

DEVICES=(mouse keyboard pad)
# The tool's dump of each device, as JSON, into DIR/dump-DEVICE.json.
dump_all() {
  local home=$1 state=$2 to=$3 device
  for device in "${DEVICES[@]}"; do
    (run_clean "$home" "$BUILD/bin/trx770ctl" --simulate --sim-state "$state" --json dump "$device" >"$to/dump-$device.json" 2>&1) || true
  done
}

# The factory: simulated devices nobody talked to but the tool's listing.
mkdir -p -m 700 "$OUT/factory-home/run"
(run_clean "$OUT/factory-home" "$BUILD/bin/trx770ctl" --simulate --sim-state "$OUT/factory" devices >/dev/null)
for device in "${DEVICES[@]}"; do
  [ -f "$OUT/factory/$device.mem" ] || { echo "no factory memory written for the $device" >&2; exit 2; }
done
cp -r "$OUT/factory" "$OUT/factory-dumped"
dump_all "$OUT/factory-home" "$OUT/factory-dumped" "$OUT/factory"

# What the tool shows of a mouse as the factory made it (active profile).
factory_dump() {
  grep -q '^  dpi: 800 #[0-9a-f]* 1600 #[0-9a-f]* 3200 #[0-9a-f]* 6400 ' "$1" && grep -q '^  report rate: 1000 Hz' "$1"
}

# The devices whose memory or dump differs from the factory's (none: "").
changed_devices() {
  local run=$1 device out=""
  for device in "${DEVICES[@]}"; do
    if ! cmp -s "$OUT/factory/$device.mem" "$run/sim/$device.mem" ||
      ! cmp -s "$OUT/factory/dump-$device.json" "$run/dump-$device.json"; then
      out="$out $device"
    fi
  done
  echo "${out# }"
}

all_connected() {
  local device
  for device in "${DEVICES[@]}"; do grep -q "device connected: $device" "$1" 2>/dev/null || return 1; done
}

# Every thread's stack of a running program into a file (when gdb is there).
threads_of() {
  command -v gdb >/dev/null || return 0
  timeout 60 gdb -p "$1" -batch -ex "thread apply all bt" >"$2" 2>&1 || true
}

kept=0
for i in $(seq "$STARTS"); do
  run="$OUT/start-$i"
  mkdir -p -m 700 "$run/home/run"
  (run_clean "$run/home" "$BUILD/bin/trx770" --simulate --sim-state "$run/sim" >"$run/debug.txt" 2>&1) &
  program=$!
  # Connected, then a few seconds for what follows a connect (links, sends).
  end=$((SECONDS + SECONDS_PER_START))
  while [ "$SECONDS" -lt "$end" ] && kill -0 "$program" 2>/dev/null; do
    if all_connected "$run/debug.txt"; then
      end=$((SECONDS + SETTLE < end ? SECONDS + SETTLE : end))
      break
    fi
    sleep 0.2
  done
  while [ "$SECONDS" -lt "$end" ] && kill -0 "$program" 2>/dev/null; do sleep 0.2; done
  connected=yes
  all_connected "$run/debug.txt" || connected=no
  # A start that never connected: where every thread stood, before the end.
  [ "$connected" = no ] && threads_of "$program" "$run/threads-at-timeout.txt"
  kill "$program" 2>/dev/null || true
  # A program that does not leave within 10 s of SIGTERM is a fault of its
  # own: its threads are kept and it is killed, so the run never hangs.
  ended=yes
  for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$program" 2>/dev/null; then
    ended=no
    threads_of "$program" "$run/threads-at-exit.txt"
    kill -9 "$program" 2>/dev/null || true
  fi
  wait "$program" || true
  [ -d "$run/sim" ] && dump_all "$run/home" "$run/sim" "$run"
  changed=$(changed_devices "$run")
  (run_clean "$run/home" "$BUILD/bin/trx770ctl" --simulate=mouse --sim-state "$run/sim" dump mouse >"$run/dump.txt" 2>&1) || true
  if [ "$ended" = no ]; then
    echo "start $i: DID NOT END within 10 s of SIGTERM (threads and state kept in $run)"
  elif [ "$connected" = yes ] && [ -z "$changed" ] && factory_dump "$run/dump.txt"; then
    kept=$((kept + 1))
    echo "start $i: mouse, keyboard and pad as the factory made them"
    rm -rf "$run"
  elif [ "$connected" = no ]; then
    echo "start $i: not every device connected (kept in $run)"
  else
    echo "start $i: CHANGED: ${changed:-mouse dump} (kept in $run)"
  fi
done
echo "fresh starts: $kept of $STARTS left the devices as the factory made them"
[ "$kept" -eq "$STARTS" ]
