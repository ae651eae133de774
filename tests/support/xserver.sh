# shellcheck shell=bash
# Sourced by the tests that drive a real window: a private X server, and a search for windows.

# Starts Xvfb on the first free display (it writes the display's number when ready), keeps its
# process in $xserver for the caller to stop, and exports DISPLAY. Fails when it did not start.
#   start_xserver FOLDER [SCREEN]
start_xserver() {
  local folder=$1 screen=${2:-1024x768x24}
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "$screen" 3>"$folder/display" >/dev/null 2>&1 &
  # shellcheck disable=SC2034 # the caller stops it
  xserver=$!
  for _ in $(seq 100); do
    [ -s "$folder/display" ] && break
    sleep 0.1
  done
  [ -s "$folder/display" ] || return 1
  DISPLAY=":$(head -n1 "$folder/display")"
  export DISPLAY
}

# The first shown window that xdotool's search finds within 20 s. It looks again and again
# rather than with --sync: a window (a menu's popup) that closes while xdotool walks the
# windows makes that search die of an X error (BadWindow).
#   first_window SEARCH-OPTIONS...
first_window() {
  local found
  for _ in $(seq 200); do
    found=$(timeout 5 xdotool search --onlyvisible "$@" 2>/dev/null) && [ -n "$found" ] &&
      { echo "${found%%$'\n'*}"; return 0; }
    sleep 0.1
  done
  return 1
}
