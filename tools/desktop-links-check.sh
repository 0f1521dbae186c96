#!/usr/bin/env bash
# Program links on real compositors: GNOME Shell (headless, its own
# Xwayland) and KWin (kwin_wayland --virtual --xwayland), each in a private
# session bus. The program runs on a simulated mouse with profile2 linked
# to the window "alpha" and profile3 to "beta" (tools/link-demo-window.c,
# X clients through Xwayland); each window is brought to the front by
# mapping it, and the debug output must show the linked profile selected.
#
# GNOME: the first start finds no extension, writes the form the running
# shell loads to the user's folder and says "log in again"; the shell is
# restarted (the login), the extension is enabled over the shell's own
# D-Bus interface while the program keeps running, and the links must
# come on without restarting the program.
#
#   tools/desktop-links-check.sh [BUILD_DIR] [OUT_DIR] [gnome|kwin|both]
#
# Needs gnome-shell, gjs (a stand-in logind, tools/desktop-links-logind.js),
# kwin-wayland, dbus-daemon, a C compiler with libxcb. Not in
# tools/install-deps.sh: CI does not run this check; a missing compositor is
# skipped with a message (exit 0 when nothing could run, 1 on a failure).
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" != "--inner" ]; then
  BUILD=$(realpath "${1:-$HERE/../build}")
  OUT=${2:-/tmp/trx770-desktop-links}
  WHICH=${3:-both}
  rm -rf "$OUT" && mkdir -p "$OUT"
  OUT=$(realpath "$OUT")
  export OUT
  cc -O2 -o "$OUT/alpha" "$HERE/link-demo-window.c" -lxcb || exit 1
  cp "$OUT/alpha" "$OUT/beta"
fi
FAILED=0
RAN=0

have() { command -v "$1" >/dev/null 2>&1; }

# The profiles: profile2 linked to alpha, profile3 to beta (as link-demo.sh).
prepare_profiles() {  # HOME
  local home=$1 dir ini
  ini="$home/Documents/Dirari DovevO1/ms/msProfile.ini"
  dir=$(dirname "$ini")
  # A first start makes the index and profile1.
  QT_QPA_PLATFORM=offscreen WAYLAND_DISPLAY= XDG_CURRENT_DESKTOP= "$BUILD/bin/trx770" --simulate=mouse --sim-state "$home/sim" >/dev/null 2>&1 &
  local p=$!
  for _ in $(seq 100); do [ -f "$dir/profile1.config" ] && break; sleep 0.2; done
  sleep 1; kill $p; wait $p 2>/dev/null
  python3 "$HERE/link-profiles-setup.py" "$dir" "$ini" "$OUT"
}

# Waits up to $2 s for a line matching $1 in the program's debug output.
wait_line() {
  for _ in $(seq $(( $2 * 10 ))); do grep -aq -- "$1" "$DEBUG" && return 0; sleep 0.1; done
  return 1
}
check() {  # description, pattern, seconds
  if wait_line "$2" "$3"; then echo "  ok: $1"; else echo "  FAILED: $1 (no \"$2\")"; FAILED=1; fi
}
# Maps window $1 (which takes the focus) and waits for profile $2.
front() {
  DISPLAY=$XDISPLAY "$OUT/$1" "$1" & WINDOWS+=($!)
  check "$1 in front selects profile $2" "program link: ms_device.*profile $2 selected" 10
}
count() { grep -ac -- "$1" "$DEBUG" 2>/dev/null || true; }
# Maps window $1 (a new window takes the focus) and waits for profile $2.
front() {
  local before
  before=$(count "program link: ms_device_profile_combo profile $2 selected")
  DISPLAY=$XDISPLAY "$OUT/$1" "$1" & WINDOWS+=($!)
  wait_more "$1 in front selects profile $2" "program link: ms_device_profile_combo profile $2 selected" "$before"
}
wait_more() {  # description, pattern, count before
  local start=$(date +%s%N)
  for _ in $(seq 100); do
    if [ "$(count "$2")" -gt "$3" ]; then
      echo "  ok: $1 ($(( ($(date +%s%N) - start) / 1000000 )) ms)"; return 0
    fi
    sleep 0.1
  done
  echo "  FAILED: $1 (no new \"$2\")"; FAILED=1
}
start_program() {
  TRX770_DEBUG=1 QT_QPA_PLATFORM=offscreen "$BUILD/bin/trx770" --simulate=mouse --sim-state "$HOME/sim" >>"$DEBUG" 2>&1 &
  PROGRAM=$!
}

# ---------------------------------------------------------------- GNOME
start_shell() {
  gnome-shell --wayland --headless --virtual-monitor 1280x800 >>"$W/shell.log" 2>&1 &
  SHELL_PID=$!
  for _ in $(seq 100); do
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.freedesktop.DBus.Properties.Get \
      org.gnome.Shell.Extensions ShellVersion >/dev/null 2>&1 && break
    sleep 0.2
  done
  # The overview shown at start would keep the windows from the focus.
  gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.freedesktop.DBus.Properties.Set \
    org.gnome.Shell OverviewActive '<false>' >/dev/null
  XDISPLAY=$(grep -ao "Using public X11 display :[0-9]*" "$W/shell.log" | tail -1 | grep -o ":[0-9]*")
  XAUTHORITY=$(ls -t "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
  export XAUTHORITY
}
gnome_inner() {
  export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0
  WINDOWS=()
  prepare_profiles "$HOME"
  start_shell
  echo "  $(gnome-shell --version), X display $XDISPLAY"
  start_program
  check "first start: the form for this shell is written, the reason says to log in again" \
    "program links off (gnome):.*written to the user's folder" 20
  grep -q "function init()" "$XDG_DATA_HOME/gnome-shell/extensions/trx770-foreground@trx770.org/extension.js" 2>/dev/null &&
    echo "  ok: the user's folder holds the GNOME 43 form" || echo "  (the user's folder holds the GNOME 45 form)"
  # The login: the shell starts again and finds the extension, not enabled.
  kill "$SHELL_PID"; wait "$SHELL_PID" 2>/dev/null
  # The shell removes this a minute after a start; a start that finds it
  # (a crash soon after the last one) leaves every extension off.
  rm -f "$XDG_RUNTIME_DIR/gnome-shell-disable-extensions"
  start_shell
  check "after the login the reason says the extension is not enabled" "program links off (gnome):.*extension state [26] " 20
  # The shell enables extensions once its start is complete: ask until it
  # reports the extension running (up to 30 s).
  local state=""
  for _ in $(seq 30); do
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Extensions.EnableExtension \
      trx770-foreground@trx770.org >/dev/null 2>&1
    state=$(gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
      -m org.gnome.Shell.Extensions.GetExtensionInfo trx770-foreground@trx770.org | grep -o "'state': <[0-9.]*>")
    [ "$state" = "'state': <1.0>" ] && break
    sleep 1
  done
  echo "  enabled through the shell's own interface; the shell says $state"
  # The overview comes up when the start completes: hide it again.
  gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.freedesktop.DBus.Properties.Set \
    org.gnome.Shell OverviewActive '<false>' >/dev/null
  check "enabled while the program runs: the links come on without a restart" "program in front from the gnome backend" 20
  front alpha 1
  front beta 2
  kill "${WINDOWS[-1]}"
  wait_more "beta closed: alpha in front again selects profile 1" "program link: ms_device_profile_combo profile 1 selected" 1
  kill "$PROGRAM" "${WINDOWS[@]}" 2>/dev/null; wait "$PROGRAM" 2>/dev/null
  kill "$SHELL_PID"; wait "$SHELL_PID" 2>/dev/null
  [ $FAILED = 0 ]
}

# ---------------------------------------------------------------- KWin
kwin_apps() {  # started by KWin: DISPLAY (its Xwayland) and WAYLAND_DISPLAY set
  exec >>"$W/report.txt" 2>&1
  export XDISPLAY=$KWIN_DISPLAY
  WINDOWS=()
  echo "  $("$W/kwin_wayland" --version 2>/dev/null), X display $XDISPLAY"
  check "KWin started after the program: the script is loaded without a restart" "program in front from the kwin backend" 20
  echo "  KWin says the script is loaded: $(gdbus call --session -d org.kde.KWin -o /Scripting \
    -m org.kde.kwin.Scripting.isScriptLoaded trx770-foreground-running 2>&1)"
  front alpha 1
  front beta 2
  kill "${WINDOWS[-1]}"
  wait_more "beta closed: alpha in front again selects profile 1" "program link: ms_device_profile_combo profile 1 selected" 1
  kill "${WINDOWS[@]}" 2>/dev/null
  [ $FAILED = 0 ] && touch "$W/passed"
}
kwin_inner() {
  export XDG_CURRENT_DESKTOP=KDE WAYLAND_DISPLAY=wayland-trx770
  prepare_profiles "$HOME"
  # The program first (as at a login where it starts before KWin answers).
  start_program
  check "before KWin runs the reason says the script is not loaded" "program links off (kwin):" 20
  # A copy without the file capability the installed binary carries, which
  # a container may refuse to execute.
  cp "$(command -v kwin_wayland)" "$W/kwin_wayland"
  "$W/kwin_wayland" --virtual --xwayland --width 1280 --height 800 --no-lockscreen --no-global-shortcuts \
    --socket wayland-trx770 --exit-with-session "$0 --inner kwin_apps $W $DEBUG $BUILD" >>"$W/kwin.log" 2>&1
  cat "$W/report.txt" 2>/dev/null
  kill "$PROGRAM" 2>/dev/null; wait "$PROGRAM" 2>/dev/null
  [ -f "$W/passed" ]
}

# ---------------------------------------------------------------- driver
if [ "${1:-}" = "--inner" ]; then  # inside the private session bus
  FN=$2 W=$3 DEBUG=$4 BUILD=$5
  export HOME=$W/home XDG_DATA_HOME=$W/home/.local/share XDG_CONFIG_HOME=$W/home/.config XDG_RUNTIME_DIR=$W/run \
    TRX770_MACHINE_STORE=$W/machine
  KWIN_DISPLAY=${DISPLAY:-}
  unset DISPLAY SWAYSOCK
  "$FN"
  exit $?
fi

run_desktop() {  # name, inner function
  local W=$OUT/$1
  mkdir -p "$W/home" "$W/run" && chmod 700 "$W/run"
  echo "$1:"
  # A system bus of our own with a stand-in logind (GNOME Shell asks it).
  dbus-daemon --config-file=/usr/share/dbus-1/system.conf --address="unix:path=$W/system_bus" --nofork --nopidfile \
    >/dev/null 2>"$W/system-bus.log" &
  local sysbus=$!
  sleep 0.5
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$W/system_bus
  gjs "$HERE/desktop-links-logind.js" 2>"$W/logind.log" &
  local logind=$!
  RAN=1
  timeout 180 dbus-run-session -- "$0" --inner "$2" "$W" "$W/debug.txt" "$BUILD" || FAILED=1
  kill $logind $sysbus 2>/dev/null
  wait $logind $sysbus 2>/dev/null
  echo "  (debug output $W/debug.txt)"
}

if [ "$WHICH" != kwin ]; then
  if have gnome-shell && have gjs && have gdbus; then run_desktop gnome gnome_inner
  else echo "gnome: skipped: gnome-shell, gjs or gdbus is missing (apt-get install gnome-shell gjs)"; fi
fi
if [ "$WHICH" != gnome ]; then
  if have kwin_wayland && have gjs; then run_desktop kwin kwin_inner
  else echo "kwin: skipped: kwin_wayland or gjs is missing (apt-get install kwin-wayland gjs)"; fi
fi
[ $RAN = 1 ] || { echo "nothing could run"; exit 0; }
[ $FAILED = 0 ] && echo "passed" || { echo "FAILED"; exit 1; }
