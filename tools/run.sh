#!/usr/bin/env bash
# Installs what the project needs, builds the program and runs it. With no
# TRX770 device plugged in (no hidraw node of vendor 0C45 with one of the
# family's product ids) it runs on simulated devices (--simulate).
# Arguments are passed on to the program (e.g. --simulate=mouse).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${TRX770_SKIP_DEPS:-}" ]; then tools/install-deps.sh; fi
tools/build.sh build trx770

device_present() {
  local uevent
  for uevent in /sys/class/hidraw/*/device/uevent; do
    [ -r "$uevent" ] || continue
    # HID_ID=0003:00000C45:0000652C  (bus:vendor:product)
    if grep -qiE '^HID_ID=[0-9a-f]+:00000C45:0000(652C|6556|8611|7200|6758)$' "$uevent"; then
      return 0
    fi
  done
  return 1
}

if [ $# -eq 0 ] && ! device_present; then
  echo "No TRX770 device found: running on simulated devices (tray menu: plug, unplug, press buttons)." >&2
  set -- --simulate
fi
exec build/bin/trx770 "$@"
