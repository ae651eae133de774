#!/usr/bin/env bash
# F1 in the real program opens our help viewer: runs the executable in a private X server with no
# "winhlp32.exe" on the PATH, presses F1, and checks that a window titled "ﾀﾏﾋﾛｲのﾍﾙﾌﾟ" appears,
# activated, from our viewer started with exactly "TH.hlp"; that it shows the help's first
# heading (the viewer reports what it shows when its log category is on); that the picker's
# reels go on spinning meanwhile; and that Esc closes the help while the picker runs on.
#
#   help_f1_test.sh PATH/TO/TH PATH/TO/VIEWER PATH/TO/window_probe PATH/TO/TH.html
#
# Needs Xvfb and xdotool (scripts/test installs them). Every step has a time limit, and the X
# server, both programs and the scratch folder are gone when the script ends, however it ends.
set -euo pipefail
program=$1 viewer=$2 probe=$3 page=$4

for tool in Xvfb xdotool timeout; do
  command -v "$tool" >/dev/null || { echo "FAIL: needs $tool (scripts/test installs it)"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/th-help-f1.XXXXXX")
xserver="" picker="" help_pid=""
cleanup() {
  [ -n "$help_pid" ] && kill "$help_pid" 2>/dev/null
  [ -n "$picker" ] && kill -KILL "$picker" 2>/dev/null && wait "$picker" 2>/dev/null
  [ -n "$xserver" ] && kill "$xserver" 2>/dev/null && wait "$xserver" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ -s "$work/output" ] && { echo "--- output of the programs:"; cat "$work/output"; }
  exit 1
}

# The heading the page starts with, as its source has it.
heading=$(grep -o '<h1>.*</h1>' "$page" | head -n1 | sed 's/<[^>]*>//g')
[ -n "$heading" ] || fail "no <h1> in $page"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
xserver=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
# The viewer says what it shows; it inherits the picker's output.
export QT_LOGGING_RULES="tamahiroi.help.info=true"
# No Windows help viewer to be found, whatever the machine has: the stand-in must step in.
export PATH=/usr/bin:/bin
command -v winhlp32.exe >/dev/null && fail "this machine has a winhlp32.exe on /usr/bin or /bin"

# The first window found (search prints every match; taken whole, so no pipe breaks).
first_window() {
  local found
  found=$(timeout 20 xdotool search --sync --onlyvisible "$@") || return 1
  echo "${found%%$'\n'*}"
}

"$program" >"$work/output" 2>&1 &
picker=$!
window=$(first_window --class '^TH$') || fail "the picker did not appear"
timeout 5 xdotool windowfocus --sync "$window" || fail "the picker took no focus"
eval "$(xdotool getwindowgeometry --shell "$window")"
menu=$((HEIGHT - 410)) # the client area is 571 x 410 below the menu bar
# The first Loto 6 reel, in the window's pixels.
reel=(20 $((menu + 30)) 51 51)

timeout 5 xdotool key F1 || fail "could not press F1"
help=$(first_window --name '^ﾀﾏﾋﾛｲのﾍﾙﾌﾟ$') || fail "no help window appeared"
help_pid=$(xdotool getwindowpid "$help") || fail "the help window has no process id"

# Our viewer, with the help file's name alone, as the command line gave it.
[ "$(readlink -f "/proc/$help_pid/exe")" = "$(readlink -f "$viewer")" ] ||
  fail "the help window belongs to $(readlink -f "/proc/$help_pid/exe")"
arguments=$(tr '\0' '\n' <"/proc/$help_pid/cmdline" | tail -n +2)
[ "$arguments" = "TH.hlp" ] || fail "the viewer was started with: $arguments"

# Activated: it holds the keyboard focus once it is up.
for _ in $(seq 50); do
  [ "$(xdotool getwindowfocus)" = "$help" ] && break
  sleep 0.1
done
[ "$(xdotool getwindowfocus)" = "$help" ] || fail "the help window was not activated"

for _ in $(seq 50); do
  grep -q "first heading: $heading\$" "$work/output" && break
  sleep 0.1
done
grep -q "showing .*/TH.html first heading: $heading\$" "$work/output" ||
  fail "the viewer did not show the page's first heading \"$heading\""

# The picker goes on: its reel shows another picture within a few frames. With no window manager
# both windows open at the top left; the help is moved aside so the reel can be seen.
timeout 5 xdotool windowmove --sync "$help" 640 0 || fail "could not move the help aside"
before=$("$probe" "$window" "${reel[@]}") || fail "could not read the picker's reel"
changed=""
for _ in $(seq 40); do
  sleep 0.05
  now=$("$probe" "$window" "${reel[@]}") || fail "could not read the picker's reel"
  [ "$now" != "$before" ] && { changed=yes; break; }
done
[ -n "$changed" ] || fail "the picker's reel stopped spinning behind the help"
kill -0 "$picker" 2>/dev/null || fail "the picker ended"

# Esc closes the help, and only the help.
timeout 5 xdotool key Escape || fail "could not press Esc in the help"
for _ in $(seq 50); do
  kill -0 "$help_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$help_pid" 2>/dev/null && fail "Esc did not close the help"
help_pid=""
kill -0 "$picker" 2>/dev/null || fail "closing the help ended the picker"

timeout 5 xdotool windowfocus --sync "$window" key ctrl+q || fail "could not press Ctrl+Q"
status=0
wait "$picker" || status=$?
picker=""
[ "$status" -eq 0 ] || fail "the picker did not end cleanly on Ctrl+Q ($status)"
echo "PASS: F1 opened \"$heading\" in our viewer while the reels spun; Esc closed it"
