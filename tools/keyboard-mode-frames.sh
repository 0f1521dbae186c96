#!/usr/bin/env bash
# One preview frame of every mode of both keyboard mode lists, as the
# program shows them: the program runs under Xvfb + openbox on a simulated
# keyboard of each product id, each mode is chosen on the keyboard
# lighting page in turn and the keyboard picture is cut out of a
# screenshot taken a moment later. The frames become two contact sheets:
#
#   docs/keyboard-modes-full-colour.png    (product 0x8611, sixteen modes)
#   docs/keyboard-modes-single-colour.png  (product 0x6556, eleven modes)
#
#   tools/keyboard-mode-frames.sh [build dir] [output folder]
#       (defaults: build-asan, docs)
#
# Needs Xvfb, openbox, xdotool and ImageMagick (tools/install-deps.sh), and
# trx770 and trx770-skin-tool built in the build dir.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
out=${2:-docs}
bin=$build/bin
for tool in Xvfb openbox xdotool import montage convert; do
  command -v "$tool" >/dev/null || { echo "keyboard-mode-frames: $tool is missing (tools/install-deps.sh)" >&2; exit 2; }
done
for program in trx770 trx770-skin-tool; do
  [ -x "$bin/$program" ] || { echo "keyboard-mode-frames: build $program in $build first" >&2; exit 2; }
done
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

work=$(mktemp -d)
xvfb_pid="" wm_pid="" app_pid=""
stop() {
  for pid in $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  for pid in $app_pid $wm_pid $xvfb_pid; do wait "$pid" 2>/dev/null; done
  app_pid="" wm_pid="" xvfb_pid=""
}
trap 'stop; rm -rf "$work"' EXIT

rects="$work/kb.txt"
QT_QPA_PLATFORM=offscreen "$bin/trx770-skin-tool" shot --skin skin --lang en --out "$work/rects.png" \
  --show kb_tab --page tab_switch=0 --select kb_tab --rects "$rects" >/dev/null
rect_of() { grep -m1 "^$1 " "$rects"; }  # name x1 y1 x2 y2

. tools/find-window.sh

click() {  # <control>
  local line
  line=$(rect_of "$1") || { echo "  (no control $1)" >&2; return 1; }
  set -- $line
  xdotool mousemove $((win_x + ($2 + $4) / 2)) $((win_y + ($3 + $5) / 2)) click 1
  sleep 0.8
}

# session <product>: the program on that simulated keyboard, on its lighting page.
session() {
  local home="$work/home_$1"
  mkdir -p "$home/Documents/Dirari DovevO1" "$home/runtime"
  chmod 700 "$home/runtime"
  printf '[SKINIMAGE]\r\nLANGUAGE=0\r\n' >"$home/Documents/Dirari DovevO1/main.ini"
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/runtime LANG=en_US.UTF-8 QT_QPA_PLATFORM=xcb \
    "$bin/trx770" --simulate="keyboard:$1" --sim-state "$home/state" >"$home/app.log" 2>&1 &
  app_pid=$!
  sleep 2
  find_window || { echo "  the window did not appear" >&2; return 1; }
  click kb_tab
  click kb_deng_Op_tab
}

# The picture: the keys' bounding box and a margin.
picture=$(awk '/^kb_dkey_/ && $4 > $2 { if (!n++ || $2 < x1) x1 = $2; if ($3 < y1 || n == 1) y1 = $3;
                if ($4 > x2) x2 = $4; if ($5 > y2) y2 = $5 }
                END { print x2 - x1 + 16 "x" y2 - y1 + 16, x1 - 8, y1 - 8 }' "$rects")

# frame <mode> <file>: chooses `mode` in the list (both lists sit in the
# same place; the keys of the open list move the choice) and cuts the
# picture out of the screen a moment later.
frame() {
  local size x y i
  read -r size x y <<<"$picture"
  click kb_deng_combo_modeSelect
  for i in $(seq 1 20); do xdotool key Up; done
  for i in $(seq 1 "$1"); do xdotool key Down; done
  xdotool key Return
  sleep "${WAIT:-1.5}"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$size+$((win_x + x))+$((win_y + y))" +repage "$2"
}

display=":$((40 + RANDOM % 50))"
Xvfb "$display" -noreset -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1
export DISPLAY=$display
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 0.5

sheet() {  # <product> <output> <names...>
  local product=$1 output=$2 mode=0 name
  shift 2
  local tiles=()
  session "$product" || return 1
  for name in "$@"; do
    frame "$mode" "$work/${product}_$mode.png" || return 1
    echo "  $product mode $mode ($name)"
    tiles+=(-label "$mode $name" "$work/${product}_$mode.png")
    mode=$((mode + 1))
  done
  kill "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
  montage "${tiles[@]}" -tile 3x -geometry +6+6 -background '#202020' -fill white -pointsize 14 "$work/sheet.png"
  # Two thirds of the size, one palette without dithering: small for the docs.
  convert "$work/sheet.png" -resize 66% -strip +dither -colors 128 "PNG8:$output"
  echo "$output"
}

sheet 8611 "$out/keyboard-modes-full-colour.png" wave spectrum-cycle breathing static per-key-spectrum reactive-fade \
  light-show snake-wave custom-colours twinkle row-bands flashes snake ripple pattern reactive-trail
sheet 6556 "$out/keyboard-modes-single-colour.png" wave breathing steady reactive ripple twinkle row-bands snake \
  sparkle flashes sweep
