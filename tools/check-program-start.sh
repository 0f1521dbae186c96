#!/usr/bin/env bash
# Checks that the program target alone carries everything a first start
# needs (the skin, the default profile files, the default routine files):
# a fresh build folder builds only `trx770` (nothing else, no tests), then
# the program starts without a screen on simulated devices as a new user
# would (an empty home) and must
#   - show no message box (e.g. "A profile file is missing ..."),
#   - fill every device's profile lists (profile1 written for each family),
#   - connect the simulated devices.
#   tools/check-program-start.sh            fresh build in build-program/
#   BUILD_DIR=dir CMAKE_ARGS=... tools/check-program-start.sh
#   CHECK_ONLY=1 tools/check-program-start.sh   start the program built before
# Exit status 0 when the start is clean, 1 otherwise (the program's debug
# output is printed then).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${BUILD_DIR:-build-program}
if [ -z "${CHECK_ONLY:-}" ]; then
  rm -rf "$dir"
  # Tests and benchmarks off: the check is that `trx770` builds what it needs.
  cmake -S . -B "$dir" -G Ninja ${CMAKE_ARGS:-} -DTRX770_TESTS=OFF -DTRX770_BENCH=OFF >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target trx770
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
log="$home/debug.log"
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}
env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME="$home/.config" \
  XDG_DATA_HOME="$home/.local/share" TRX770_MACHINE_STORE="$home/machine" LSAN_OPTIONS="$LSAN_OPTIONS" \
  QT_QPA_PLATFORM=offscreen TRX770_DEBUG=1 \
  "$dir/bin/trx770" --simulate >"$log" 2>&1 &
pid=$!
trap 'kill -TERM "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
# The start is done once the six families' first profiles are written
# (mouse device, light and key; keyboard light and key; pad light) and a
# simulated device is connected, or after 60 s.
data="$home/Documents/Dirari DovevO1"
for _ in $(seq 1 120); do
  n=$(find "$data" -name 'profile1.*' 2>/dev/null | wc -l || true)
  if [ "$n" -ge 6 ] && grep -q "device connected" "$log" 2>/dev/null; then break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
sleep 1
kill -TERM "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?

fail=0
say() { echo "check-program-start: $*" >&2; fail=1; }
if grep -q "^message box: " "$log"; then say "a message box was shown: $(grep '^message box: ' "$log" | head -1)"; fi
if grep -q "not initialised" "$log"; then say "$(grep 'not initialised' "$log" | head -1)"; fi
n=$(find "$data" -name 'profile1.*' 2>/dev/null | wc -l || true)
if [ "$n" -lt 6 ]; then say "only $n first profiles were written under $data"; fi
if ! grep -q "device connected" "$log"; then say "no simulated device connected"; fi
if [ "$status" -ne 0 ]; then say "the program ended with status $status"; fi
if [ "$fail" -ne 0 ]; then
  echo "---- debug output" >&2
  cat "$log" >&2
  exit 1
fi
echo "check-program-start: the program target alone starts cleanly ($n first profiles, no message box)"
