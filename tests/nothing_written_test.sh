#!/usr/bin/env bash
# The program writes nothing: runs the real executable in a private X server under strace, stops
# a few reels with the mouse, opens and closes the About box and quits with Ctrl+Q, then fails if
# the program, or anything it started, opened a file for writing or created, renamed or removed
# one. Failed attempts count too: an attempt is a write the program meant to do.
#
# Two calls of the toolkit's are allowed, each exactly, because neither stores anything:
# - Qt makes sure its runtime folder ($XDG_RUNTIME_DIR) exists by trying to create it; the
#   session's folder is there already, so the call fails with EEXIST and creates nothing.
# - With no session bus running (as on a build machine), the D-Bus library that Qt loads forks a
#   child to run "dbus-launch --autolaunch"; before its exec (which fails: dbus-launch is not
#   installed) the child opens /dev/null read-write for its standard streams. The null device
#   keeps nothing.
#
#   nothing_written_test.sh PATH/TO/TH
#
# Needs Xvfb, xdotool and strace (scripts/test installs them). Every step has a time limit, and
# the X server, the program and the scratch folder are gone when the script ends, however it ends.
set -euo pipefail
source "$(dirname "$0")/support/xserver.sh"
program=$1

for tool in Xvfb xdotool strace timeout; do
  command -v "$tool" >/dev/null || { echo "FAIL: needs $tool (scripts/test installs it)"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/th-nothing-written.XXXXXX")
xserver="" traced=""
cleanup() {
  [ -n "$traced" ] && kill -KILL "$traced" 2>/dev/null && wait "$traced" 2>/dev/null
  [ -n "$xserver" ] && kill "$xserver" 2>/dev/null && wait "$xserver" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

start_xserver "$work" || fail "Xvfb did not start"

# A desktop session has its own private runtime folder; without one the toolkit would make
# /tmp/runtime-$USER itself. Given one, it must not write there either.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=xcb
# A sanitizer build's leak check cannot run under a tracer; it is not what this test is about.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Every call that writes, creates, renames or removes a file by name. Calls on descriptors the
# program already holds (write, ftruncate) need one of these first.
calls=open,openat,openat2,creat,rename,renameat,renameat2,unlink,unlinkat,mkdir,mkdirat,rmdir
calls+=,link,linkat,symlink,symlinkat,truncate,mknod,mknodat
# One trace file per process and thread (-ff), so no call is split across lines.
timeout -k 5 30 strace -f -ff -qq -o "$work/trace" -e trace="$calls" "$program" \
  >"$work/output" 2>&1 &
traced=$!

window=$(first_window --class '^TH$') || { cat "$work/output"; fail "the window did not appear"; }
timeout 5 xdotool windowfocus --sync "$window" || fail "the window took no focus"
eval "$(xdotool getwindowgeometry --shell "$window")"
menu=$((HEIGHT - 410)) # the client area is 571 x 410 below the menu bar

# The centres of reels 1 and 3 (Loto 6), 8 (Mini Loto) and 16 (Numbers 3), in the window,
# clicked half a second apart while the others spin.
for reel in "45 55" "165 55" "165 145" "225 325"; do
  read -r x y <<<"$reel"
  sleep 0.5
  timeout 5 xdotool mousemove --window "$window" "$x" $((menu + y)) click 1 ||
    fail "could not click at $x,$y"
done

# The About box through the help menu's access keys, then closed with Esc.
timeout 5 xdotool key --clearmodifiers alt+h a || fail "could not type"
about=$(first_window --name 'ﾊﾞｰｼﾞｮﾝ情報') || fail "the About box did not appear"
timeout 5 xdotool windowfocus --sync "$about" key Escape || fail "could not close the About box"
for _ in $(seq 50); do
  xdotool search --onlyvisible --name 'ﾊﾞｰｼﾞｮﾝ情報' >/dev/null 2>&1 || break
  sleep 0.1
done

timeout 5 xdotool windowfocus --sync "$window" key ctrl+q || fail "could not press Ctrl+Q"
status=0
wait "$traced" || status=$?
traced=""
[ "$status" -eq 0 ] || { cat "$work/output"; fail "the program did not end cleanly on Ctrl+Q ($status)"; }

# Opens for writing, and every call that changes the file tree, less the two allowed above.
cat "$work"/trace.* >"$work/calls"
runtime=$(printf '%s' "$XDG_RUNTIME_DIR" | sed 's/[][\.*^$()+?{}|]/\\&/g')
found=$({
  grep -E '^(open|openat|openat2)\(' "$work/calls" | grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC'
  grep -E '^(creat|rename|renameat|renameat2|unlink|unlinkat|mkdir|mkdirat|rmdir|link|linkat|symlink|symlinkat|truncate|mknod|mknodat)\(' "$work/calls"
} | grep -vE \
  -e '^openat\(AT_FDCWD, "/dev/null", O_RDWR\) += [0-9]+$' \
  -e "^mkdir\\(\"$runtime\", 0700\\) += -1 EEXIST \\(File exists\\)\$" || true)
if [ -n "$found" ]; then
  echo "The program wrote to the file system:"
  echo "$found"
  fail "files written"
fi
opens=$(grep -cE '^open(at2?)?\(' "$work/calls" || true)
echo "PASS: $opens opens traced, none for writing; nothing created, renamed or removed"
