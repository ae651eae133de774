#!/usr/bin/env bash
# F1 in the real program opens our help viewer. In a private X server, with no "winhlp32.exe"
# on the PATH, a window titled "ﾀﾏﾋﾛｲのﾍﾙﾌﾟ" must appear, activated, from our viewer started with
# exactly "TH.hlp" and showing the page's first heading (the viewer logs what it shows when
# asked to); F1 twice more brings that window forward and leaves it the only one; and the
# picker's first reel goes on changing behind it (read by window_probe where layout_probe
# places it).
#
#   help_f1_test.sh PATH/TO/TH PATH/TO/VIEWER PATH/TO/window_probe PATH/TO/layout_probe PATH/TO/TH.html
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
program=$1 viewer=$2 probe=$3 layout=$4 page=$5
load_layout "$layout" || fail "$layout printed no layout"

work=$(mktemp -d "${TMPDIR:-/tmp}/th-help-f1.XXXXXX")
owns_folder "$work"
on_failure 'cat "$work/output" 2>/dev/null'

start_xserver "$work" 1280x1024x24 || fail "Xvfb did not start"
chmod 700 "$work"
export XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
export QT_LOGGING_RULES="tamahiroi.help.info=true" PATH=/usr/bin:/bin

"$program" >"$work/output" 2>&1 &
th=$!
owns_process "$th"
picker=$(first_window --class '^TH$') || fail "the picker did not appear"
focus_window "$picker" && xdotool key F1 || fail "could not press F1"
help=$(first_window --name '^ﾀﾏﾋﾛｲのﾍﾙﾌﾟ$') || fail "no help window appeared"
pid=$(xdotool getwindowpid "$help")
owns_process "$pid"
[ "$(readlink -f "/proc/$pid/exe")" = "$(readlink -f "$viewer")" ] || fail "not our viewer"
[ "$(tr '\0' ' ' <"/proc/$pid/cmdline" | cut -d' ' -f2-)" = "TH.hlp " ] || fail "not TH.hlp"

heading=$(grep -o '<h1>.*</h1>' "$page" | head -n1 | sed 's/<[^>]*>//g')
[ -n "$heading" ] || fail "no <h1> in $page"
shown() { grep -q "showing .*/TH.html first heading: $heading\$" "$work/output"; }
wait_focus "$help" || fail "the help window was not activated"
wait_for shown 5 || fail "the viewer did not show the first heading \"$heading\""

# F1 twice more: each new viewer hands over to the first, which comes to the front, and ends.
for press in 2 3; do
  focus_window "$picker" && xdotool key F1 || fail "could not press F1 again"
  wait_focus "$help" || fail "F1 number $press did not bring the help forward"
done
wait_for '[ "$(pgrep -c -P "$th")" -eq 1 ]' 5 || fail "F1 three times left $(pgrep -c -P "$th") viewers"
[ "$(grep -c 'handed over to the viewer that shows .*/TH.html$' "$work/output")" -eq 2 ] ||
  fail "the later viewers did not hand over to the first"
[ "$(visible_windows --name '^ﾀﾏﾋﾛｲのﾍﾙﾌﾟ$' | wc -l)" -eq 1 ] ||
  fail "F1 three times left more than one help window"

# Without a window manager both windows open at the top left: the help moves aside.
timeout 5 xdotool windowmove --sync "$help" 640 0 || fail "could not move the help"
eval "$(xdotool getwindowgeometry --shell "$picker")"
menu=$((HEIGHT - client_height)) # the client area lies below the menus
reel=("$picker" "${reel_x[1]}" $((menu + reel_y[1])) "${reel_width[1]}" "${reel_height[1]}")
# shellcheck disable=SC2034 # read by the condition
before=$("$probe" "${reel[@]}") || fail "could not read the reel"
wait_for '[ "$("$probe" "${reel[@]}")" != "$before" ]' 2 ||
  fail "the picker's reel stopped spinning behind the help"
echo "PASS: \"$heading\" shown"
