# Sourced by the Xvfb scripts: find_window sets win_x and win_y to the
# place of the visible main window "TRX770". A window of that name can come
# and go while the program starts, so the search is repeated (20 s at most)
# until one answers; fails when none did.
find_window() {
  local try w geo
  for try in $(seq 1 40); do
    for w in $(xdotool search --onlyvisible --name '^TRX770$' 2>/dev/null); do
      if geo=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null); then
        eval "$(echo "$geo" | sed -n 's/^X=/win_x=/p;s/^Y=/win_y=/p')"
        return 0
      fi
    done
    sleep 0.5
  done
  return 1
}
