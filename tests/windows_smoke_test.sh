#!/usr/bin/env bash
# The real TH.exe under Wine, in a private X server with no window manager, used as a person
# would: the window opens at its size, the reels turn and a click stops one, the About box opens
# from the menu and closes with Esc, its system-information button starts the tool that the
# registry names (or says there is none), F1 opens our help viewer (once, however often it is
# pressed) from beside TH.exe, and Ctrl+Q ends the program with exit code 0.
#
#   windows_smoke_test.sh TH.exe start_probe.exe WORK_FOLDER
#
# WORK_FOLDER gets a Wine prefix of its own (made on the first run) and, after each run, pictures
# of the screen at each step (*.png) to look at. Without a window manager a top-level X window is
# the Win32 client area: the menu bar, then the window's 571 x 410 pixels.
# Needs Wine, Xvfb, xdotool and ImageMagick (scripts/test-windows installs them).
set -euo pipefail
# shellcheck source=support/xserver.sh
source "$(dirname "$0")/support/xserver.sh"
exe=$(realpath "$1") probe=$(realpath "$2") work=$3

for tool in wine wineserver Xvfb xdotool import convert timeout; do
  command -v "$tool" >/dev/null || { echo "FAIL: needs $tool (scripts/test-windows installs it)"; exit 1; }
done

mkdir -p "$work"
work=$(realpath "$work")
rm -f "$work"/*.png
export WINEPREFIX="$work/wine" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

xserver="" program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  wineserver -k 2>/dev/null || true
  [ -n "$xserver" ] && kill "$xserver" 2>/dev/null && wait "$xserver" 2>/dev/null
  rm -f "$work/display" "$work/search.err"
}
trap cleanup EXIT
trap 'echo "FAIL: a step failed at line $LINENO"' ERR

fail() {
  echo "FAIL: $*"
  [ -n "${DISPLAY:-}" ] && import -window root "$work/failed.png" 2>/dev/null &&
    echo "the screen at that moment: $work/failed.png"
  exit 1
}

# Waits up to $1 tenths of a second for the condition in $2 (shell code, evaluated afresh each
# time) to hold.
within() {
  for _ in $(seq "$1"); do
    eval "$2" && return 0
    sleep 0.1
  done
  eval "$2"
}

start_xserver "$work" || fail "Xvfb did not start"

# One wineserver for the whole run, started before anything else of Wine's.
mkdir -p "$WINEPREFIX"
wineserver -p
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "wineboot"; }
fi

# A desktop like a Japanese Windows one, so the pictures show what a user there sees.
wine regedit /S "$(winepath -w "$(dirname "$0")/support/japanese-desktop.reg")" >/dev/null 2>&1 ||
  fail "could not set up the desktop"

# The prefix is kept between runs: 100 % to start with (one step below sets 200 %).
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 ||
  fail "could not set the desktop's scale"

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
# A window that closes while xdotool walks the windows kills that search with an X error: ask
# again then.
windows_named() {
  local found
  for _ in 1 2 3 4 5; do
    found=$(xdotool search --onlyvisible --name "^$1\$" 2>"$work/search.err") || true
    [ -s "$work/search.err" ] || break
  done
  echo "$found"
}
count_named() { windows_named "$1" | grep -c . || true; }
all_windows() {
  local found
  for _ in 1 2 3 4 5; do
    found=$(xdotool search --onlyvisible --name '.' 2>"$work/search.err" | sort) || true
    [ -s "$work/search.err" ] || break
  done
  echo "$found"
}
ended() { ! kill -0 "$program" 2>/dev/null; }
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
focus() {
  local target=$1
  xdotool windowfocus "$target" 2>/dev/null || true
  within 20 'test "$(xdotool getwindowfocus 2>/dev/null)" = "$target"' ||
    fail "window $target takes no focus"
}

title='ﾀﾏﾋﾛｲ'
cd "$work"
# The help viewer says what it shows.
WINEQT_LOGGING_RULES="tamahiroi.help.info=true" WINEQT_FORCE_STDERR_LOGGING=1 \
  wine "$exe" >"$work/program.log" 2>&1 &
program=$!
within 600 'test -n "$(windows_named "$title")"' || fail "the window \"ﾀﾏﾋﾛｲ\" did not open"
main=$(windows_named "$title" | head -n1)
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" -eq 571 ] || fail "the window is $WIDTH pixels wide, not 571"
menu=$((HEIGHT - 410))
# A menu bar of one line of text: anything else means the window is not 410 pixels high.
[ "$menu" -ge 15 ] && [ "$menu" -le 40 ] || fail "the window is $WIDTH x $HEIGHT: no 410-pixel area under a menu bar"
echo "window $WIDTH x $HEIGHT: the menu bar, then 571 x 410"

# A fingerprint of a reel's picture; reels are 51 pixels square, at 20 + 60 k, 30 in the panel.
reel_shot() { # x y
  import -window "$main" -crop "51x51+$1+$(($2 + menu))" +repage rgb:- 2>/dev/null | md5sum
}
distinct_shots() { # x y count
  for _ in $(seq "$3"); do
    reel_shot "$1" "$2"
    sleep 0.07
  done | sort -u | wc -l
}
within 100 'test "$(distinct_shots 20 30 6)" -gt 1' || fail "the first reel does not turn"
import -window root "$work/1-spinning.png"

xdotool mousemove --window "$main" 45 $((menu + 55)) click 1
sleep 0.2
[ "$(distinct_shots 20 30 10)" -eq 1 ] || fail "the first reel still turns after a click"
[ "$(distinct_shots 80 30 10)" -gt 1 ] || fail "the second reel stopped with the first"
echo "reels turn; a click stops one"

# A held key presses the focused button once: Space held on the second reel (the stopped first
# one handed it the focus) stops it and no other, though the focus moves on to the third; Enter
# then stops the third as Space would.
focus "$main"
xdotool keydown space
sleep 1.5
xdotool keyup space
sleep 0.2
[ "$(distinct_shots 80 30 10)" -eq 1 ] || fail "Space held on the second reel did not stop it"
[ "$(distinct_shots 140 30 10)" -gt 1 ] || fail "Space held on the second reel stopped the third"
[ "$(distinct_shots 200 30 10)" -gt 1 ] || fail "Space held on the second reel stopped the fourth"
press Return
sleep 0.2
[ "$(distinct_shots 140 30 10)" -eq 1 ] || fail "Enter did not stop the focused third reel"
[ "$(distinct_shots 200 30 10)" -gt 1 ] || fail "Enter stopped the fourth reel as well"
import -window root "$work/1-held-keys.png"
echo "a held Space stops one reel; Enter stops the focused one"

# The About box: Alt+H, A opens it; Esc closes it.
about_title='ﾀﾏﾋﾛｲのﾊﾞｰｼﾞｮﾝ情報'
open_about() {
  press alt+h a
  within 100 'test -n "$(windows_named "$about_title")"' || fail "Alt+H, A did not open \"$about_title\""
}
close_about() {
  press Escape
  within 100 'test -z "$(windows_named "$about_title")"' || fail "Esc did not close the About box"
}
open_about
import -window root "$work/2-about.png"
close_about
echo "Alt+H, A opens the About box; Esc closes it"

# With neither place in the registry set, the button says the tool cannot be used.
open_about
press alt+s
within 100 'test "$(count_named "$title")" -eq 2' || fail "no message when no tool is registered"
import -window root "$work/3-no-system-information.png"
[ ! -e "$tool_dir/MSINFO32.EXE.started" ] || fail "a tool started though none is registered"
press Return
within 100 'test "$(count_named "$title")" -eq 1' || fail "Enter did not close the message"

# With the first place naming the tool, that exact program starts.
wine reg add "$msinfo_key" /v PATH /t REG_SZ /d "$tool_path" /f >/dev/null 2>&1
press alt+s
within 200 'test -s "$tool_dir/MSINFO32.EXE.started"' || fail "the registered tool did not start"
grep -qiF "module=$tool_path" "$tool_dir/MSINFO32.EXE.started" ||
  fail "another program started: $(cat "$tool_dir/MSINFO32.EXE.started")"
[ "$(count_named "$title")" -eq 1 ] || fail "a message appeared though the tool started"
# The started program took the foreground: once it has ended, the box is closed with its OK
# button. A click on a window that is not active may only activate it, as it may for a user:
# then the next click closes it.
within 200 'test -e "$tool_dir/MSINFO32.EXE.done"' || fail "the started tool did not end"
about=$(windows_named "$about_title" | head -n1)
for _ in 1 2 3; do
  xdotool mousemove --window "$about" 409 233 click 1
  within 20 'test -z "$(windows_named "$about_title")"' && break
done
[ -z "$(windows_named "$about_title")" ] || fail "OK did not close the About box"
echo "the system-information button starts the registered tool, or says there is none"

# F1 starts our help viewer from beside TH.exe, though the program runs from another working
# folder: one new window, "ﾀﾏﾋﾛｲのﾍﾙﾌﾟ", showing the page's first heading, and no box from Wine's
# own viewer ("Cannot find 'TH.hlp'"). F1 twice more: the later viewers hand over to the first
# and end, and that one window stays.
help_title='ﾀﾏﾋﾛｲのﾍﾙﾌﾟ'
viewer=$(winepath -w "$(dirname "$exe")/tamahiroi-help.exe")
# The viewer processes, by their Windows path; not the grep that looks for them.
viewers() { ps -eo args= | grep -F -- "$viewer" | grep -vc '^grep ' || true; }
heading=$(grep -o '<h1>.*</h1>' "$(dirname "$exe")/help/TH.html" | head -n1 | sed 's/<[^>]*>//g')
[ -n "$heading" ] || fail "the built help has no heading"
windows_before=$(all_windows)
press F1
within 300 'test "$(count_named "$help_title")" -eq 1' || fail "F1 opened no window \"$help_title\""
help=$(windows_named "$help_title")
log_has() { grep -ac "$1" "$work/program.log" || true; }
# The log comes in the prefix's code page, which is not a Japanese one here: the heading's
# letters may arrive as question marks, so a heading is looked for (the Linux test compares the
# text itself).
within 100 'test "$(log_has "showing .*TH.html first heading: ..*")" -eq 1' ||
  fail "the help does not show its first heading \"$heading\""
[ "$(comm -13 <(echo "$windows_before") <(all_windows))" = "$help" ] ||
  fail "F1 opened another window besides the help"
import -window root "$work/4-help.png"
# The help is the active window now and covers the program's but for its left edge: a click on
# that bare edge makes the program active again before each F1, as a user would. A first click
# may only activate the window (as it may for a user under Wine): then the user presses again.
# shellcheck disable=SC2034 # read by the condition that within evaluates
for pressed in 1 2; do
  for _ in 1 2 3; do
    xdotool mousemove --window "$main" 2 $((menu + 100)) click 1
    sleep 0.3
    press F1
    within 50 'test "$(log_has "handed over to the viewer that shows")" -ge "$pressed"' && break
  done
done
within 50 'test "$(log_has "handed over to the viewer that shows")" -ge 2' ||
  fail "the later viewers did not hand over to the first"
within 100 'test "$(viewers)" -eq 1' || fail "F1 three times left $(viewers) viewers running"
[ "$(count_named "$help_title")" -eq 1 ] || fail "F1 three times left more than one help window"
echo "F1 opens our help, once however often it is pressed"

# Esc closes the viewer, as a user would; a click on the window's bare background makes the
# program's window active again.
focus "$help"
xdotool key Escape
within 100 'test "$(viewers)" -eq 0' || fail "Esc did not close the help viewer"
xdotool mousemove --window "$main" 5 $((menu + 5)) click 1
press ctrl+q
within 200 'ended' || fail "Ctrl+Q did not end the program"
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || fail "the program ended with exit code $status"
echo "Ctrl+Q ends the program with exit code 0"

# At 200 % (192 dots per inch) the About box's designed place lies partly off this 1024 x 768
# screen: it stands wholly on it instead.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wine "$exe" >"$work/program-2x.log" 2>&1 &
program=$!
within 600 'test -n "$(windows_named "$title")"' || fail "the window did not open at 200 %"
main=$(windows_named "$title" | head -n1)
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
within 200 'ended' || fail "Ctrl+Q did not end the program at 200 %"
program=""
echo "PASS"
