#!/usr/bin/env bash
# What a screen reader on Windows finds in the real TH.exe, read from outside the program through
# UI Automation's client, under Wine in a private X server:
#
#   uia_windows_test.sh TH.exe layout_probe.exe UIA_CLIENT TABLE WORK
#
# - The picker's tree and the About box's hold exactly the elements that TABLE (the configured
#   support/accessible-tree.tsv.in) lists for them, each with its name and control type: the
#   reels, the start buttons, OK, the menu bar's items, the About box's buttons, banner and
#   labels. Both trees are printed.
# - Tab moves UI Automation's focus along each window's tab order, and back to the first.
# - A click on the first Loto 6 reel, then Space on the second (the focus moved on to it), raise
#   UI Automation's notification event with the reel's name and the number that the copy command
#   gives for it, the result kind (action completed), the most-recent processing and the
#   program's activity id: Wine's stub for the event writes what it was given to its log.
#
# UIA_CLIENT (tests/uia/) is built by scripts/test-windows-wine10 with Debian 13's mingw-w64.
# Wine 8 has neither a UI Automation client nor the notification event: under it the test skips
# (status 77, allowed in tests/allowed-skips.txt), and announcer_win32_test's stand-ins check
# what the program hands to the event. WORK gets a Wine prefix of its own and the trees.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
# shellcheck source=support/wine.sh
source "$(dirname "$0")/support/wine.sh"
exe=$(realpath "$1") layout=$(realpath "$2") client=$3 table=$(realpath "$4") work=$5

needs scripts/test-windows wine wineserver Xvfb xdotool xclip import
wine=$(wine_major)
if [ "${wine:-0}" -le 8 ]; then
  echo "SKIP: Wine $wine has no UI Automation client and no notification event"
  exit 77
fi
[ -f "$client" ] || fail "no UI Automation client at $client (scripts/test-windows-wine10 builds it)"
mkdir -p "$work"
work=$(realpath "$work")
screen_on_failure "$work"

start_wine_desktop "$work" "$(dirname "$0")/support/japanese-desktop.reg"
load_layout wine "$layout" || fail "$layout printed no layout"

# UI Automation's control types that the table names.
types='50000=Button 50006=Image 50010=MenuBar 50011=MenuItem 50020=Text 50026=Group 50032=Window'

# The client's answer: lines "AUTOMATION-ID TYPE NAME FOCUSABLE", tab-separated.
uia() { wine "$client" "$@" 2>/dev/null | tr -d '\r'; }
# The object an automation id names: its last part (the toolkit joins the object names from the
# window down), "-" where there is none.
object_of() {
  awk -F'\t' -v OFS='\t' '{ n = split($1, part, "."); $1 = part[n] == "" ? "-" : part[n]; print }'
}
# A window's elements as "OBJECT | TYPE | NAME" lines, sorted; a type the table does not name
# stays a number.
elements_of() {
  uia tree "$1" | object_of | awk -F'\t' -v types="$types" '
    BEGIN { n = split(types, each, " "); for (i = 1; i <= n; i++) { split(each[i], kv, "="); name[kv[1]] = kv[2] } }
    { print $1 " | " ($2 in name ? name[$2] : $2) " | " $3 }' | sort
}
expected_of() { # WINDOW
  awk -F'\t' -v window="$1" '$1 == window { print $2 " | " $4 " | " $6 }' "$table" | sort
}
# The table's objects of WINDOW in its tab order.
tab_order_of() {
  awk -F'\t' -v window="$1" '$1 == window && $5 != "-" { print $5 "\t" $2 }' "$table" | sort -n | cut -f2
}
# The element of the window titled TITLE that UI Automation says has the focus, as its object.
focused() { uia focus "$1" | object_of | cut -f1; }

# A window's tree is the table's, once the toolkit has brought up its provider.
#   check_tree TITLE WINDOW-OBJECT
check_tree() {
  local title=$1 expected shown focusable nameless
  expected=$(expected_of "$2")
  [ -n "$expected" ] || fail "the table has no elements of $2"
  wait_for 'shown=$(elements_of "$title") && [ "$shown" = "$expected" ]' 30 ||
    fail "UI Automation shows \"$title\" otherwise than the table:" \
      "$(diff <(echo "$expected") <(echo "$shown") | grep '^[<>]')"
  # Besides, whatever can take the focus has a name to say.
  focusable=$(uia tree "$title" | object_of | awk -F'\t' '$4 == "focusable"')
  [ -n "$focusable" ] || fail "UI Automation says nothing in \"$title\" takes the focus"
  nameless=$(awk -F'\t' '$3 == "" { print $1 }' <<<"$focusable")
  [ -z "$nameless" ] || fail "in \"$title\" these take the focus without a name: $nameless"
  echo "UI Automation's tree of \"$title\": $(wc -l <<<"$shown") elements, of which" \
    "$(wc -l <<<"$focusable") take the focus, each with a name (object | control type | name):"
  sed 's/^/  /' <<<"$shown"
}
# Tab moves UI Automation's focus along the window's tab order, from its first stop round to it.
#   check_tab_order TITLE WINDOW-OBJECT
check_tab_order() {
  local title=$1 stops now stop
  mapfile -t stops < <(tab_order_of "$2")
  stops+=("${stops[0]}")
  wait_for 'now=$(focused "$title") && [ "$now" = "${stops[0]}" ]' 20 ||
    fail "UI Automation's focus is on \"$now\", not on ${stops[0]}, as \"$title\" opens"
  for stop in "${stops[@]:1}"; do
    xdotool key Tab
    wait_for 'now=$(focused "$title") && [ "$now" = "$stop" ]' 10 ||
      fail "Tab moved UI Automation's focus to \"$now\", not to $stop"
  done
  echo "Tab moves UI Automation's focus along the tab order of \"$title\": ${stops[*]}"
}

# Wine's stub for the notification event logs its arguments, text and activity id as Wine
# writes wide strings: in quotes, with a \XXXX for each character outside ASCII.
WINEDEBUG=-all,fixme+uiautomation wine "$exe" >/dev/null 2>"$work/program.log" &
program=$!
owns_process "$program"
title='ﾀﾏﾋﾛｲ'
main=$(first_window --within 60 --name "^$title\$") || fail "the window \"$title\" did not open"
focus_window "$main" || fail "the window takes no focus"
check_tree "$title" frmMain
check_tab_order "$title" frmMain

# The notifications raised: "KIND PROCESSING TEXT|ACTIVITY", one a line.
notifications() {
  local line
  grep -a 'UiaRaiseNotificationEvent' "$work/program.log" | tr -d '\r' |
    sed -n 's/.*UiaRaiseNotificationEvent ([^,]*, \([0-9]*\), \([0-9]*\), L"\(.*\)", L"\(.*\)"): stub$/\1 \2 \3|\4/p' |
    sed 's/\\\([0-9a-f]\{4\}\)/\\u\1/g' | while IFS= read -r line; do printf '%b\n' "$line"; done
}
# The number the copy command gives for the reel at POSITION of the first game ("?" spinning).
copied_number() { copied_line ﾛﾄ6 | cut -d' ' -f$(($1 + 1)); }
# The notification for the reel at POSITION of the first game: the result kind (2, action
# completed), the most-recent processing (3), the reel's name and the copied number, and the
# program's activity id.
check_notification() { # POSITION HOW
  # shellcheck disable=SC2034 # read by the condition
  local position=$1 number expected
  wait_for 'notifications | grep -q "ﾛﾄ6 $position は "' 20 || fail "$2 raised no notification"
  number=$(copied_number "$1") || fail "the copy command gave no Loto 6 numbers"
  [[ $number =~ ^[0-9]+$ ]] || fail "the copy command gave \"$number\" for ﾛﾄ6 $1"
  expected="2 3 ﾛﾄ6 $1 は $number|jp.tamahiroi.TH.result"
  [ "$(notifications | grep "ﾛﾄ6 $1 は ")" = "$expected" ] ||
    fail "$2: UI Automation was given \"$(notifications | grep "ﾛﾄ6 $1 は ")\", not \"$expected\""
  echo "$2: UI Automation was given kind 2, processing 3, \"ﾛﾄ6 $1 は $number\", the activity id"
}

click_control "$main" reel 1
check_notification 1 "a click on the first reel"
wait_for '[ "$(focused "$title")" = Command2 ]' 10 || fail "the focus did not move on to the second reel"
xdotool key space
check_notification 2 "Space on the second reel"
[ "$(notifications | wc -l)" -eq 2 ] || fail "more notifications than stops: $(notifications)"

# The About box: its tree and its tab order.
about_title='ﾀﾏﾋﾛｲのﾊﾞｰｼﾞｮﾝ情報'
xdotool key alt+h a
about=$(first_window --within 20 --name "^$about_title\$") || fail "Alt+H, A opened no About box"
focus_window "$about" || fail "the About box takes no focus"
check_tree "$about_title" frmAbout
check_tab_order "$about_title" frmAbout
xdotool key Escape
wait_window_gone 10 --name "^$about_title\$" || fail "Esc did not close the About box"
focus_window "$main" || fail "the window takes no focus again"
xdotool key ctrl+q
wait_for '! alive "$program"' 20 || fail "Ctrl+Q did not end the program"
echo "PASS"
