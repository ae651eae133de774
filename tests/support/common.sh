# shellcheck shell=bash
# Sourced by the shell tests: how a test fails, what it cleans up when it ends, a private X
# server, waits, and windows found by their name or class. Sourcing it sets the EXIT trap.

test_name=$(basename "$0" .sh)
failure_hooks=() owned_processes=() owned_folders=() owned_prefixes=()

# Ends the test: its name and the message on stderr, then what the test asked to show.
#   fail MESSAGE...
fail() {
  echo "FAIL: $test_name: $*" >&2
  local hook
  for hook in "${failure_hooks[@]}"; do eval "$hook" >&2 || true; done
  exit 1
}

# Shell code that fail runs before the test ends, to show what went wrong (a log, the screen).
#   on_failure CODE
on_failure() { failure_hooks+=("$1"); }

# Fails unless every TOOL is on the PATH; INSTALLER names what installs them.
#   needs INSTALLER TOOL...
needs() {
  local installer=$1 tool
  shift
  for tool; do command -v "$tool" >/dev/null || fail "needs $tool ($installer installs it)"; done
}

# When the test fails, a picture of its X server's screen is left in WORK/failed.png.
#   screen_on_failure WORK
screen_on_failure() {
  # shellcheck disable=SC2034 # read by the hook
  failed_screen=$1/failed.png
  on_failure '[ -n "${DISPLAY:-}" ] && import -window root "$failed_screen" 2>/dev/null &&
    echo "the screen at that moment: $failed_screen"'
}

# The numbers the reels stopped on, as the copy command (Ctrl+C in the focused window) puts them
# on the clipboard: waits until they hold a line for GAME ("ﾛﾄ6 7 ? 12 ...") and prints it.
#   copied_line GAME
copied_line() {
  local copied game=$1
  xdotool key ctrl+c || return 1
  wait_for 'copied=$(timeout 5 xclip -selection clipboard -o 2>/dev/null | tr -d "\r") &&
            grep -q "^$game " <<<"$copied"' 20 || return 1
  grep "^$game " <<<"$copied"
}

# What the test started or made, undone however the test ends: its processes by their ids (the
# last started ends first), the Wine prefixes' servers (and with them the prefixes' programs),
# then its folders. A process the test has waited for is forgotten, so that its id, free again,
# is never taken for it.
#   owns_process PID...    owns_folder FOLDER...    owns_wine_prefix PREFIX...
#   forget_process PID
owns_process() { owned_processes+=("$@"); }
owns_folder() { owned_folders+=("$@"); }
owns_wine_prefix() { owned_prefixes+=("$@"); }
forget_process() {
  local i
  for i in "${!owned_processes[@]}"; do
    [ "${owned_processes[i]}" = "$1" ] && unset 'owned_processes[i]'
  done
  return 0
}

# A process that runs, not one that has ended and waits for its parent to hear of it.
alive() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

clean_up() {
  local prefix pid i folder
  for prefix in "${owned_prefixes[@]}"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; done
  local pids=("${owned_processes[@]}")
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null || continue
    wait_for "! alive $pid" 5 || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  for folder in "${owned_folders[@]}"; do rm -rf "$folder"; done
}
trap clean_up EXIT

# Polls CONDITION (shell code, evaluated afresh each time) until it holds, for TIMEOUT whole
# seconds; fails (status 1) when it did not. The last look is taken once the time is up.
# CONDITION sees the caller's variables, but not its positional parameters.
#   wait_for CONDITION TIMEOUT
wait_for() {
  local wait_for_until=$((${EPOCHREALTIME/[.,]/} + $2 * 1000000))
  until eval "$1"; do
    [ "${EPOCHREALTIME/[.,]/}" -lt "$wait_for_until" ] || return 1
    sleep 0.1
  done
}

# Starts Xvfb on the first free display (it writes the display's number when ready), owned by
# the test, and exports DISPLAY. Fails when it did not start.
#   start_xserver FOLDER [SCREEN]
start_xserver() {
  local folder=$1 screen=${2:-1024x768x24}
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "$screen" 3>"$folder/display" >/dev/null 2>&1 &
  owns_process $!
  wait_for '[ -s "$folder/display" ]' 10 || return 1
  DISPLAY=":$(head -n1 "$folder/display")"
  export DISPLAY
}

# The ids of the shown windows that xdotool's search finds, one a line (none: nothing). A window
# that closes while xdotool walks the windows (a menu's popup) makes the search die of an X
# error (BadWindow): it asks again then, and fails when every try did.
#   visible_windows SEARCH-OPTIONS...
visible_windows() {
  local found
  for _ in 1 2 3 4 5; do
    found=$(timeout 5 xdotool search --onlyvisible "$@" 2>&1) || true
    grep -qv '^[0-9]*$' <<<"$found" && continue
    [ -z "$found" ] || echo "$found"
    return 0
  done
  return 1
}

# The first shown window that the search finds within SECONDS (20 if not given).
#   first_window [--within SECONDS] SEARCH-OPTIONS...
first_window() {
  local seconds=20 found
  [ "$1" = --within ] && { seconds=$2; shift 2; }
  local search=("$@")
  wait_for 'found=$(visible_windows "${search[@]}") && [ -n "$found" ]' "$seconds" || return 1
  echo "${found%%$'\n'*}"
}

# A point on the picker window's bare margin that OTHER does not cover, as "X Y" in the picker
# window's own coordinates; fails when OTHER covers all of it. The picker's controls keep 9
# pixels or more clear of its client area's left, right and bottom edges, so a click 3 pixels in
# from them, below the menu bar, lands on the bare background and only makes the window active.
# Where a window system puts a second window is not fixed: this finds where the picker still
# shows, on the screen.
#   picker_margin_point PICKER OTHER
picker_margin_point() {
  local X Y WIDTH HEIGHT px py pw ph ox oy ow oh sw sh x y
  eval "$(xdotool getwindowgeometry --shell "$1")" || return 1
  px=$X py=$Y pw=$WIDTH ph=$HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$2")" || return 1
  ox=$X oy=$Y ow=$WIDTH oh=$HEIGHT
  read -r sw sh <<<"$(xdotool getdisplaygeometry)"
  while read -r x y; do
    ((px + x >= 0 && px + x < sw && py + y >= 0 && py + y < sh)) || continue
    ((px + x >= ox && px + x < ox + ow && py + y >= oy && py + y < oy + oh)) && continue
    echo "$x $y"
    return 0
  done < <(
    for ((y = ph - 3; y >= 50; y -= 20)); do echo "2 $y" && echo "$((pw - 3)) $y"; done
    for ((x = 2; x < pw; x += 20)); do echo "$x $((ph - 3))"; done
  )
  return 1
}

# A display that no X server serves now: neither its socket (in the file system or the abstract
# namespace), nor its lock file, nor its TCP port. For a test that wants a display nobody
# answers; the numbers from 100 up, where Xvfb -displayfd, which counts from 0, seldom gets.
#   unused_display
unused_display() {
  local n port
  for ((n = 100; n < 1000; n++)); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null && continue
    printf -v port '%04X' $((6000 + n))
    cat /proc/net/tcp /proc/net/tcp6 2>/dev/null | awk '{print $2}' | grep -qi ":$port\$" && continue
    echo ":$n"
    return 0
  done
  return 1
}

# How many different answers COMMAND gives in COUNT runs 70 ms apart: with a fingerprint of a
# part of a window, 1 means it stood still over the looks. Ten looks span more than ten of a
# spinning reel's 50 ms steps, so a spinning reel, even a digit reel that shows the same digit
# twice in a row one time in ten, all but never looks still over them.
#   distinct_looks COUNT COMMAND...
distinct_looks() {
  local count=$1
  shift
  for _ in $(seq "$count"); do
    "$@"
    sleep 0.07 # the time between looks, not a wait
  done | sort -u | wc -l
}

# Waits until no shown window matches the search, for SECONDS.
#   wait_window_gone SECONDS SEARCH-OPTIONS...
wait_window_gone() {
  local seconds=$1 found
  # shellcheck disable=SC2034 # read by the condition
  local search=("${@:2}")
  wait_for 'found=$(visible_windows "${search[@]}") && [ -z "$found" ]' "$seconds"
}

# Waits until WINDOW has the X input focus, for SECONDS (5 if not given).
#   wait_focus WINDOW [SECONDS]
wait_focus() {
  # shellcheck disable=SC2034 # read by the condition
  local window=$1
  wait_for '[ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ]' "${2:-5}"
}

# Gives WINDOW the X input focus and waits until it has it. Without a window manager, keys go to
# the window that has it.
#   focus_window WINDOW
focus_window() {
  xdotool windowfocus "$1" 2>/dev/null || true
  wait_focus "$1"
}

# Sets the windows' layout as the probe (layout_probe, or `wine layout_probe.exe`) prints it: client_width, client_height and
# each control's NAME_x, NAME_y, NAME_width and NAME_height, in logical pixels of the window's
# client area; arrays for the reels (by number, 1 to 18) and start buttons (by panel from the
# top), plain values for ok (the picker's OK) and about_ok (the About box's), and the About
# box's about_client_width and about_client_height.
#   load_layout PROBE-COMMAND...
# shellcheck disable=SC2034 # for the tests that source this
load_layout() {
  local text
  # A Windows build's probe under Wine ends its lines as Windows does.
  text=$("$@" | tr -d '\r') || return 1
  declare -g client_width client_height ok_x ok_y ok_width ok_height
  declare -g about_ok_x about_ok_y about_ok_width about_ok_height about_client_width
  declare -g about_client_height
  declare -g -a reel_x reel_y reel_width reel_height start_x start_y start_width start_height
  eval "$text"
}

# The centre of a control of the layout that layout_probe prints: "X Y" in its window's client
# area. NAME is the probe's prefix (reel, start, ok, about_ok), INDEX its array index if any.
#   centre_of NAME [INDEX]
centre_of() {
  local suffix=${2:+[$2]}
  local x="${1}_x$suffix" y="${1}_y$suffix" width="${1}_width$suffix" height="${1}_height$suffix"
  echo "$((${!x} + ${!width} / 2)) $((${!y} + ${!height} / 2))"
}

# Clicks the centre of a control of the layout in WINDOW, a window of the program without a
# window manager: its X window is the client area, menu bar first.
#   click_control WINDOW NAME [INDEX]
click_control() {
  # shellcheck disable=SC2034 # set by xdotool's answer, kept from the caller's
  local x y WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  read -r x y <<<"$(centre_of "$2" "${3:-}")"
  timeout 5 xdotool mousemove --window "$1" "$x" $((HEIGHT - client_height + y)) click 1
}
