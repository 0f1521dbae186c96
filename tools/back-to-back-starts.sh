#!/usr/bin/env bash
# Starts in quick succession, as a user clicking the launcher again while
# the last copy is still closing: one fresh home and runtime folder shared
# by every start, Xvfb with openbox. Each start runs the program on the
# simulated devices until its window "TRX770" shows, is sent SIGTERM at
# once, and the next start begins without waiting for it to leave.
#
#   tools/back-to-back-starts.sh [BUILD_DIR] [STARTS] [SECONDS_PER_START]
#
# Prints one line per start that did not show a window (it left first, or
# none showed within SECONDS_PER_START) and "back-to-back starts: K of N
# showed a window"; exit status 1 when any did not (their output is kept in
# OUT_DIR, default /tmp/trx770-back-to-back).
set -euo pipefail
BUILD=$(realpath "${1:-build}")
STARTS=${2:-30}
SECONDS_PER_START=${3:-30}
OUT=${OUT_DIR:-/tmp/trx770-back-to-back}
rm -rf "$OUT" && mkdir -p "$OUT"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

XVFB= WM=
cleanup() {
  [ -n "$WM" ] && kill "$WM" 2>/dev/null || true
  # Waited for, so that a run right after this one finds the display free.
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null && wait "$XVFB" 2>/dev/null || true
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$OUT/display" >/dev/null 2>&1 &
XVFB=$!
for _ in $(seq 100); do [ -s "$OUT/display" ] && break; sleep 0.1; done
[ -s "$OUT/display" ] || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$(head -n1 "$OUT/display")"
openbox >/dev/null 2>&1 &
WM=$!
sleep 1

home="$OUT/home"
mkdir -p -m 700 "$home/run"
# Nothing of the caller's desktop or session bus reaches the program (see
# fresh-starts.sh for why the bus address names a missing socket).
run_clean() {
  exec env -i PATH="$PATH" LANG="${LANG:-C.UTF-8}" HOME="$home" XDG_RUNTIME_DIR="$home/run" \
    XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_STATE_HOME="$home/.local/state" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$home/run/no-session-bus" DISPLAY="$DISPLAY" \
    TRX770_MACHINE_STORE="$home/machine" TRX770_DEBUG=1 ASAN_OPTIONS="$ASAN_OPTIONS" "$@"
}

# True once a visible window of that process is named "TRX770".
window_of() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = TRX770 ] && return 0
  done
  return 1
}

shown=0
pids=()
for i in $(seq "$STARTS"); do
  (run_clean "$BUILD/bin/trx770" --simulate --sim-state "$home/sim" >"$OUT/start-$i.txt" 2>&1) &
  program=$!
  pids+=("$program")
  end=$((SECONDS + SECONDS_PER_START))
  result="no window within ${SECONDS_PER_START} s"
  while [ "$SECONDS" -lt "$end" ]; do
    if window_of "$program"; then
      result=shown
      break
    fi
    if ! kill -0 "$program" 2>/dev/null; then
      result="left without showing a window"
      break
    fi
    sleep 0.05
  done
  kill -TERM "$program" 2>/dev/null || true
  if [ "$result" = shown ]; then
    shown=$((shown + 1))
    [ -n "${KEEP:-}" ] || rm -f "$OUT/start-$i.txt"
  else
    echo "start $i: $result (output in $OUT/start-$i.txt)"
  fi
done
# Every copy must leave after its SIGTERM.
for program in "${pids[@]}"; do
  for _ in $(seq 150); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$program" 2>/dev/null; then
    echo "process $program: did not leave within 30 s of SIGTERM"
    kill -9 "$program" 2>/dev/null || true
  fi
  wait "$program" 2>/dev/null || true
done
echo "back-to-back starts: $shown of $STARTS showed a window"
[ "$shown" -eq "$STARTS" ]
