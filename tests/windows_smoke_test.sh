#!/usr/bin/env bash
# The real TH.exe under Wine, in a private X server with no window manager, used as a person
# would: the window opens at its size, the reels turn and a click stops one, the About box opens
# from the menu and closes with Esc, its system-information button starts the tool that the
# registry names (or says there is none), F1 opens our help viewer (once, however often it is
# pressed), TH.exe in its help mode, and Ctrl+Q ends the program with exit code 0.
#
#   windows_smoke_test.sh TH.exe start_probe.exe layout_probe.exe WORK_FOLDER
#
# WORK_FOLDER gets a Wine prefix of its own (made on the first run) and, after each run, pictures
# of the screen at each step (*.png) to look at. Without a window manager a top-level X window is
# the Win32 client area: the menu bar, then the window's client area as layout_probe gives it.
# Needs Wine, Xvfb, xdotool and ImageMagick (scripts/test-windows installs them).
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
# shellcheck source=support/wine.sh
source "$(dirname "$0")/support/wine.sh"
exe=$(realpath "$1") probe=$(realpath "$2") layout=$(realpath "$3") work=$4

needs scripts/test-windows wine wineserver Xvfb xdotool import convert timeout

mkdir -p "$work"
work=$(realpath "$work")
rm -f "$work"/*.png
trap 'echo "FAIL: $test_name: a step failed at line $LINENO" >&2' ERR
screen_on_failure "$work"

# A desktop like a Japanese Windows one, so the pictures show what a user there sees. The prefix
# is kept between runs.
start_wine_desktop "$work" "$(dirname "$0")/support/japanese-desktop.reg"
load_layout wine "$layout" || fail "$layout printed no layout"

# The prefix is kept between runs: 100 % to start with (one step below sets 200 %).
set_wine_scale 100 || fail "could not set the desktop's scale"

# The places where the About box looks for the system-information tool, both empty to start.
msinfo_key='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'
location_key='HKLM\SOFTWARE\Microsoft\Shared Tools Location'
wine reg delete "$msinfo_key" /f >/dev/null 2>&1 || true
wine reg delete "$location_key" /f >/dev/null 2>&1 || true
tool_dir="$WINEPREFIX/drive_c/Program Files/Common Files/Microsoft Shared/MSInfo"
tool_path='C:\Program Files\Common Files\Microsoft Shared\MSInfo\MSINFO32.EXE'
mkdir -p "$tool_dir"
rm -f "$tool_dir"/MSINFO32.EXE*
cp "$probe" "$tool_dir/MSINFO32.EXE"

# Windows with this exact name that are shown.
windows_named() { visible_windows --name "^$1\$"; }
count_named() { windows_named "$1" | grep -c . || true; }
all_windows() { visible_windows --name '.' | sort; }
ended() { ! alive "$program"; }
# Types keys into the program. They go to the window with the X input focus, and Wine passes
# them on to the active Win32 window. With no window manager, the focus falls to nothing when
# the window that had it closes (a message box, say): it is given back to the main window then.
press() {
  local now
  now=$(xdotool getwindowfocus 2>/dev/null || true)
  grep -qx "${now:-none}" <<<"$(all_windows)" || focus "$main"
  xdotool key "$@"
}

# Gives a window the X input focus.
focus() { focus_window "$1" || fail "window $1 takes no focus"; }

title='ﾀﾏﾋﾛｲ'
cd "$work"
# The help viewer says what it shows, to the debugger's output, which Wine logs.
WINEDEBUG=-all,warn+seh WINEQT_LOGGING_RULES="tamahiroi.help.info=true" \
  wine "$exe" >"$work/program.log" 2>&1 &
program=$!
owns_process "$program"
main=$(first_window --within 60 --name "^$title\$") || fail "the window \"ﾀﾏﾋﾛｲ\" did not open"
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" -eq "$client_width" ] || fail "the window is $WIDTH pixels wide, not $client_width"
menu=$((HEIGHT - client_height))
# A menu bar of one line of text: anything else means the client area has another height.
[ "$menu" -ge 15 ] && [ "$menu" -le 40 ] ||
  fail "the window is $WIDTH x $HEIGHT: no $client_height-pixel area under a menu bar"
echo "window $WIDTH x $HEIGHT: the menu bar, then $client_width x $client_height"

# A fingerprint of reel N's picture.
reel_shot() { # N
  local box="${reel_width[$1]}x${reel_height[$1]}+${reel_x[$1]}+$((reel_y[$1] + menu))"
  import -window "$main" -crop "$box" +repage rgb:- 2>/dev/null | md5sum
}
# How many different pictures reel N shows in COUNT looks.
distinct_shots() { distinct_looks "$2" reel_shot "$1"; } # N count
stopped() { [ "$(distinct_shots "$1" 10)" -eq 1 ]; }
wait_for '[ "$(distinct_shots 1 6)" -gt 1 ]' 10 || fail "the first reel does not turn"
import -window root "$work/1-spinning.png"

read -r x y <<<"$(centre_of reel 1)"
xdotool mousemove --window "$main" "$x" $((menu + y)) click 1
wait_for 'stopped 1' 5 || fail "the first reel still turns after a click"
[ "$(distinct_shots 2 10)" -gt 1 ] || fail "the second reel stopped with the first"
echo "reels turn; a click stops one"

# A held key presses the focused button once: Space held on the second reel (the stopped first
# one handed it the focus) stops it and no other, though the focus moves on to the third; Enter
# then stops the third as Space would.
focus "$main"
xdotool keydown space
sleep 1.5 # the time the key is held, long enough for the keyboard's repeat to start
xdotool keyup space
wait_for 'stopped 2' 5 || fail "Space held on the second reel did not stop it"
[ "$(distinct_shots 3 10)" -gt 1 ] || fail "Space held on the second reel stopped the third"
[ "$(distinct_shots 4 10)" -gt 1 ] || fail "Space held on the second reel stopped the fourth"
press Return
wait_for 'stopped 3' 5 || fail "Enter did not stop the focused third reel"
[ "$(distinct_shots 4 10)" -gt 1 ] || fail "Enter stopped the fourth reel as well"
import -window root "$work/1-held-keys.png"
echo "a held Space stops one reel; Enter stops the focused one"

# The About box: Alt+H, A opens it; Esc closes it.
about_title='ﾀﾏﾋﾛｲのﾊﾞｰｼﾞｮﾝ情報'
open_about() {
  press alt+h a
  first_window --within 10 --name "^$about_title\$" >/dev/null ||
    fail "Alt+H, A did not open \"$about_title\""
}
close_about() {
  press Escape
  wait_window_gone 10 --name "^$about_title\$" || fail "Esc did not close the About box"
}
open_about
import -window root "$work/2-about.png"
close_about
echo "Alt+H, A opens the About box; Esc closes it"

# With neither place in the registry set, the button says the tool cannot be used.
open_about
press alt+s
wait_for '[ "$(count_named "$title")" -eq 2 ]' 10 || fail "no message when no tool is registered"
import -window root "$work/3-no-system-information.png"
[ ! -e "$tool_dir/MSINFO32.EXE.started" ] || fail "a tool started though none is registered"
press Return
wait_for '[ "$(count_named "$title")" -eq 1 ]' 10 || fail "Enter did not close the message"

# With the first place naming the tool, that exact program starts.
wine reg add "$msinfo_key" /v PATH /t REG_SZ /d "$tool_path" /f >/dev/null 2>&1
press alt+s
wait_for '[ -s "$tool_dir/MSINFO32.EXE.started" ]' 20 || fail "the registered tool did not start"
grep -qiF "module=$tool_path" "$tool_dir/MSINFO32.EXE.started" ||
  fail "another program started: $(cat "$tool_dir/MSINFO32.EXE.started")"
[ "$(count_named "$title")" -eq 1 ] || fail "a message appeared though the tool started"
# The started program took the foreground: once it has ended, the box is closed with its OK
# button. A click on a window that is not active may only activate it, as it may for a user:
# then the next click closes it.
wait_for '[ -e "$tool_dir/MSINFO32.EXE.done" ]' 20 || fail "the started tool did not end"
about=$(windows_named "$about_title" | head -n1)
read -r x y <<<"$(centre_of about_ok)"
for _ in 1 2 3; do
  xdotool mousemove --window "$about" "$x" "$y" click 1
  wait_window_gone 2 --name "^$about_title\$" && break
done
[ -z "$(windows_named "$about_title")" ] || fail "OK did not close the About box"
echo "the system-information button starts the registered tool, or says there is none"

# F1 starts our help viewer, TH.exe itself in its help mode, with the help from beside it, though
# the program runs from another working folder: one new window, "ﾀﾏﾋﾛｲのﾍﾙﾌﾟ", showing the page's
# first heading, and no box from Wine's own viewer ("Cannot find 'TH.hlp'"). F1 twice more: the
# later viewers hand over to the first and end, and that one window stays.
help_title='ﾀﾏﾋﾛｲのﾍﾙﾌﾟ'
viewer="$(winepath -w "$exe") --help-viewer"
# The viewer processes, by their Windows command line; not the grep that looks for them.
viewers() { ps -eo args= | grep -F -- "$viewer" | grep -vc '^grep ' || true; }
heading=$(grep -o '<h1>.*</h1>' "$(dirname "$exe")/help/TH.html" | head -n1 | sed 's/<[^>]*>//g')
[ -n "$heading" ] || fail "the built help has no heading"
windows_before=$(all_windows)
# The started tool took the foreground. Wine 8 gives it back to the picker once the About box has
# closed; Wine 10 leaves no window of the program active: a click on the picker's bare margin
# makes it active, as a user would.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" 2 $((HEIGHT - 3)) click 1
press F1
wait_for '[ "$(count_named "$help_title")" -eq 1 ]' 30 || fail "F1 opened no window \"$help_title\""
help=$(windows_named "$help_title")
log_has() { debugger_output "$work/program.log" | grep -ac "$1" || true; }
# The log comes in the prefix's code page, which is not a Japanese one here: the heading's
# letters may arrive as question marks, so a heading is looked for (the Linux test compares the
# text itself).
wait_for '[ "$(log_has "showing .*TH.html first heading: ..*")" -eq 1 ]' 10 ||
  fail "the help does not show its first heading \"$heading\""
[ "$(comm -13 <(echo "$windows_before") <(all_windows))" = "$help" ] ||
  fail "F1 opened another window besides the help"
import -window root "$work/4-help.png"
# The help is the active window now and may cover much of the program's: a click on a bare part
# of the program's window that the help leaves free makes the program active again before each
# F1, as a user would. A first click may only activate the window (as it may for a user under
# Wine), and nothing outside Wine shows when it has (the X focus stays with the program's
# window): when no viewer hands over, the user clicks and presses again.
point=$(picker_margin_point "$main" "$help") || fail "the help covers all of the program's window"
# shellcheck disable=SC2034 # read by the condition that wait_for evaluates
for pressed in 1 2; do
  for _ in 1 2 3; do
    # shellcheck disable=SC2086 # the point is two numbers
    xdotool mousemove --window "$main" $point click 1
    press F1
    wait_for '[ "$(log_has "handed over to the viewer that shows")" -ge "$pressed" ]' 5 && break
  done
done
wait_for '[ "$(log_has "handed over to the viewer that shows")" -ge 2 ]' 5 ||
  fail "the later viewers did not hand over to the first"
wait_for '[ "$(viewers)" -eq 1 ]' 10 || fail "F1 three times left $(viewers) viewers running"
[ "$(count_named "$help_title")" -eq 1 ] || fail "F1 three times left more than one help window"
echo "F1 opens our help, once however often it is pressed"

# Esc closes the viewer, as a user would; a click on the window's bare background makes the
# program's window active again.
focus "$help"
xdotool key Escape
wait_for '[ "$(viewers)" -eq 0 ]' 10 || fail "Esc did not close the help viewer"
# shellcheck disable=SC2086 # the point is two numbers
xdotool mousemove --window "$main" $point click 1
press ctrl+q
wait_for ended 20 || fail "Ctrl+Q did not end the program"
status=0
wait "$program" || status=$?
forget_process "$program"
[ "$status" -eq 0 ] || fail "the program ended with exit code $status"
echo "Ctrl+Q ends the program with exit code 0"

# At 200 % (192 dots per inch) the About box's designed place lies partly off this 1024 x 768
# screen: it stands wholly on it instead.
set_wine_scale 200 || fail "could not set the desktop's scale to 200 %"
wine "$exe" >"$work/program-2x.log" 2>&1 &
program=$!
owns_process "$program"
main=$(first_window --within 60 --name "^$title\$") || fail "the window did not open at 200 %"
focus "$main"
open_about
about=$(windows_named "$about_title" | head -n1)
eval "$(xdotool getwindowgeometry --shell "$about")"
import -window root "$work/5-about-200-percent.png"
screen_width=$(xdotool getdisplaygeometry | cut -d' ' -f1)
screen_height=$(xdotool getdisplaygeometry | cut -d' ' -f2)
[ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le "$screen_width" ] &&
  [ $((Y + HEIGHT)) -le "$screen_height" ] ||
  fail "at 200 % the About box stands at $X,$Y, $WIDTH x $HEIGHT: off the $screen_width x $screen_height screen"
echo "at 200 % the About box ($WIDTH x $HEIGHT at $X,$Y) lies on the screen"
close_about
press ctrl+q
wait_for ended 20 || fail "Ctrl+Q did not end the program at 200 %"
wait "$program" || true
forget_process "$program"
echo "PASS"
