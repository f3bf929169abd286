# Sourced by the Windows scripts that show a window under Wine: a virtual display (Xvfb) for the
# prefix's programs, and its end.

# start_wine_display FOLDER: an Xvfb of its own (its display number and log kept in FOLDER), made
# the display of $WINEPREFIX: the prefix's desktop process draws on the display it found when the
# Wine server started, so the server starts again on this one. Sets DISPLAY; fails when Xvfb does
# not start.
start_wine_display() {
  local display_file="$1/display"
  rm -f "$display_file"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$display_file" \
    >"$1/xvfb.log" 2>&1 &
  wine_display_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || return 1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  export DISPLAY=":$(cat "$display_file")"
}

# stop_wine_display: every program of the prefix ends (so none holds a file open afterwards),
# then the display goes.
stop_wine_display() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  unset DISPLAY
  kill "$wine_display_pid" 2>/dev/null || true
  wait "$wine_display_pid" 2>/dev/null || true
}
