#!/usr/bin/env bash
# Runs the program natively on Wayland under a headless weston and checks:
#  - it starts on Qt's Wayland platform and paints its window (simulated
#    devices: the window stays up); a later copy passes its activation
#    token and exits at once; screenshot.png shows the desktop;
#  - with no device and no tray (weston has none) the window hides after
#    its first paint, and starting the program again shows it:
#    notray-before.png and notray-after.png must differ.
#   tools/wayland-check.sh [BIN_DIR] [OUT_DIR]
# Needs weston and qt6-wayland (not in tools/install-deps.sh: CI does not
# run this check).
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${1:-build/bin}
OUT=${2:-build/wayland-check}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
for tool in weston weston-screenshooter; do
  command -v $tool >/dev/null || { echo "wayland-check: $tool is missing (apt-get install weston)"; exit 2; }
done
WORK=$(mktemp -d /tmp/trx770-wayland-XXXXXX)
export XDG_RUNTIME_DIR=$WORK/run HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY=wayland-trx770 QT_QPA_PLATFORM=wayland
unset DISPLAY
weston --backend=headless-backend.so --use-pixman --width=1024 --height=700 --socket=$WAYLAND_DISPLAY \
       --shell=desktop-shell.so --idle-time=0 --debug >"$OUT/weston.log" 2>&1 &
WESTON=$!
PROGRAM=""
cleanup() {
  [ -n "$PROGRAM" ] && kill -TERM "$PROGRAM" 2>/dev/null && wait "$PROGRAM" 2>/dev/null
  kill -TERM $WESTON 2>/dev/null || true
  wait $WESTON 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { echo "wayland-check: weston did not start"; cat "$OUT/weston.log"; exit 1; }

TRX770_DEBUG=1 "$BIN/trx770" --simulate >"$OUT/trx770.log" 2>&1 &
PROGRAM=$!
for _ in $(seq 100); do grep -q windowinit "$OUT/trx770.log" && break; sleep 0.05; done
grep -q windowinit "$OUT/trx770.log" || { echo "wayland-check: no first paint"; cat "$OUT/trx770.log"; exit 1; }
sleep 1
# The later copy wakes the first with its token and exits with 0 at once.
t0=$(date +%s%N)
XDG_ACTIVATION_TOKEN=wayland-check-token "$BIN/trx770" || { echo "wayland-check: the second start failed"; exit 1; }
echo "second start returned after $(( ($(date +%s%N) - t0) / 1000000 )) ms"
sleep 1.5
(cd "$OUT" && rm -f wayland-screenshot-*.png && weston-screenshooter) || echo "wayland-check: no screenshot"
shot=$(ls -t "$OUT"/wayland-screenshot-*.png 2>/dev/null | head -1 || true)
[ -n "$shot" ] && mv "$shot" "$OUT/screenshot.png" && echo "screenshot: $OUT/screenshot.png"
kill -0 $PROGRAM || { echo "wayland-check: the program ended"; cat "$OUT/trx770.log"; exit 1; }
if grep -E "qt.qpa.wayland|Wayland.*(error|failed)|could not be created" "$OUT/trx770.log"; then
  echo "wayland-check: Wayland errors above"; exit 1
fi
kill -TERM $PROGRAM; wait $PROGRAM 2>/dev/null || true
PROGRAM=""

# No device, no tray: the second start is the way back to the window.
shoot() { (cd "$OUT" && rm -f wayland-screenshot-*.png && weston-screenshooter >/dev/null 2>&1) && mv "$(ls -t "$OUT"/wayland-screenshot-*.png | head -1)" "$OUT/$1"; }
TRX770_HID_ROOT=$WORK/no-devices TRX770_DEBUG=1 "$BIN/trx770" >"$OUT/trx770-notray.log" 2>&1 &
PROGRAM=$!
for _ in $(seq 100); do grep -q windowinit "$OUT/trx770-notray.log" && break; sleep 0.05; done
sleep 1.5
shoot notray-before.png
"$BIN/trx770" || { echo "wayland-check: the second start failed"; exit 1; }
sleep 1.5
shoot notray-after.png
if cmp -s "$OUT/notray-before.png" "$OUT/notray-after.png"; then
  echo "wayland-check: the window did not come up on the second start without a tray"; exit 1
fi
echo "wayland-check: ok (logs and pictures: $OUT)"
