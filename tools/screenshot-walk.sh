#!/usr/bin/env bash
# A screenshot walk through the program as a user sees it: every page of
# the three devices, an open drop-down, the profile panel, a message box,
# a file dialog, the colour palette, the skin chooser, and (with a tray
# host) the tray menu and the about window, in English and Chinese, on a 1280x800 and a 1920x1080 screen. Each run is a short Xvfb
# session with openbox and the program on simulated devices; the clicks
# use the control rectangles trx770-skin-tool computes from the layout.
#
#   tools/screenshot-walk.sh [build dir] [output folder]
#       (defaults: build-asan, /tmp/trx770-walk)
#   SIZES="1280x800" LANGS="en" tools/screenshot-walk.sh   # a part of it
#
# Needs Xvfb, openbox, xdotool and ImageMagick's import, and trayer for the
# tray menu (all in tools/install-deps.sh; without trayer those two
# pictures are left out). Writes <size>_<lang>_<step>.png and lists them.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
out=${2:-/tmp/trx770-walk}
sizes=${SIZES:-"1280x800 1920x1080"}
langs=${LANGS:-"en cn"}
bin=$build/bin
for tool in Xvfb openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot-walk: $tool is missing (tools/install-deps.sh)" >&2; exit 2; }
done
[ -x "$bin/trx770" ] && [ -x "$bin/trx770-skin-tool" ] || {
  echo "screenshot-walk: build trx770 and trx770-skin-tool in $build first" >&2; exit 2; }
mkdir -p "$out"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
app_pid=""
tray_pid=""
stop_session() {
  for pid in $app_pid $tray_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  for pid in $app_pid $tray_pid $wm_pid $xvfb_pid; do wait "$pid" 2>/dev/null; done
  app_pid="" tray_pid="" wm_pid="" xvfb_pid=""
}
trap 'stop_session; rm -rf "$work"' EXIT

# Control rectangles of the main window in one state of its pages.
rects() {  # <lang> <file> [skin-tool options...]
  local lang=$1 file=$2
  shift 2
  QT_QPA_PLATFORM=offscreen "$bin/trx770-skin-tool" shot --skin skin --lang "$lang" --out "$work/rects.png" \
    --show kb_tab --show mp_tab --rects "$file" "$@" >/dev/null
}

# Clicks the centre of a control named in a rectangle file.
click() {  # <rects file> <name>
  local line
  line=$(grep -m1 "^$2 " "$1") || { echo "  (no control $2)"; return 1; }
  set -- $line
  xdotool mousemove $((win_x + ($2 + $4) / 2)) $((win_y + ($3 + $5) / 2)) click 1
  sleep 0.8
}

shot() {  # <step>
  local file="$out/${size}_${lang}_$1.png"
  import -window root "$file" && echo "  $file"
}

key() { xdotool key "$1"; sleep 0.6; }

. tools/find-window.sh

for size in $sizes; do
  for lang in $langs; do
    echo "== $size $lang"
    display=":$((40 + RANDOM % 50))"
    Xvfb "$display" -noreset -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    export DISPLAY=$display
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    if command -v trayer >/dev/null; then
      sleep 0.5
      trayer --edge bottom --align right --widthtype request --height 28 --SetDockType true \
        --transparent false --tint 0x303030 >/dev/null 2>&1 &
      tray_pid=$!
    fi
    home="$work/home_${size}_$lang"
    mkdir -p "$home/Documents/Dirari DovevO1"
    printf '[SKINIMAGE]\r\nLANGUAGE=%s\r\n' "$([ "$lang" = cn ] && echo 1 || echo 0)" \
      >"$home/Documents/Dirari DovevO1/main.ini"
    locale=$([ "$lang" = cn ] && echo zh_CN.UTF-8 || echo en_US.UTF-8)
    # A runtime folder of its own: a copy of the program running elsewhere
    # (its single-instance lock lives there) would take this one's start.
    mkdir -p -m 700 "$home/runtime"
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/runtime LANG=$locale QT_QPA_PLATFORM=xcb \
      "$bin/trx770" --simulate --sim-state "$home/state" >"$work/app_${size}_${lang}.log" 2>&1 &
    app_pid=$!
    sleep 2
    if ! find_window; then
      echo "  the window did not appear"
      stop_session
      continue
    fi

    ms="$work/ms.txt" kb="$work/kb.txt" mp="$work/mp.txt" panel="$work/panel.txt"
    rects "$lang" "$ms" --page tab_switch=1
    rects "$lang" "$kb" --page tab_switch=0 --select kb_tab
    rects "$lang" "$mp" --page tab_switch=2 --select mp_tab
    rects "$lang" "$panel" --page tab_switch=1 --show ms_profile_fun_spead_tab

    click "$ms" ms_tab
    for page in ms_deng_Op_tab ms_macro_Op_tab ms_key_Op_tab ms_rich_Op_tab ms_cursor_Op_tab; do
      click "$ms" "$page" && shot "$page"
    done
    # An open drop-down on the lighting page.
    click "$ms" ms_deng_Op_tab
    mode=$(grep -o -m1 '^ms_deng_combo_modeSelect[0-9]' "$ms")
    click "$ms" "$mode" && shot combo_open && key Escape
    # The palette from the performance page's first DPI colour.
    click "$ms" ms_rich_Op_tab
    rects "$lang" "$work/rich.txt" --page tab_switch=1 --page ms_tab_switch=3
    click "$work/rich.txt" ms_DPIcolor_btn_1 && shot palette && key Escape
    # The profile panel, its delete question and the export file dialog.
    click "$ms" ms_deng_Op_tab
    click "$ms" ms_profile_fun_spread_btn && shot profile_panel
    click "$panel" ms_pro_deng_sub_btn && shot message_box && key Escape
    click "$panel" ms_pro_deng_export_btn && sleep 1 && shot file_dialog && key Escape
    click "$ms" ms_profile_fun_spread_btn
    # Keyboard and mouse pad.
    click "$kb" kb_tab
    for page in kb_deng_Op_tab kb_macro_Op_tab kb_key_Op_tab; do
      click "$kb" "$page" && shot "$page"
    done
    click "$mp" mp_tab && shot mp_deng
    # The skin chooser last: it closes on the next click anywhere.
    click "$ms" skinbtn && shot skin_chooser && key Escape
    # The chooser takes no keys: a click on the caption closes it.
    xdotool mousemove $((win_x + 560)) $((win_y + 24)) click 1
    sleep 0.8
    # The tray menu (right click on the icon at the tray's right end) and,
    # from it, the about window: "About" is the fifth row, 578 pixels above
    # the menu's foot at the screen's bottom while three devices are there.
    if [ -n "$tray_pid" ]; then
      sw=${size%x*} sh=${size#*x}
      xdotool mousemove $((sw - 13)) $((sh - 14)) click 3
      sleep 1.2
      shot tray_menu
      xdotool mousemove $((sw - 200)) $((sh - 578)) click 1
      sleep 1.5
      shot about
      key Escape
    fi
    stop_session
  done
done
echo "pictures in $out"
