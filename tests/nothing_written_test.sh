#!/usr/bin/env bash
# The program writes nothing: runs the real executable in a private X server under strace, stops
# a few reels with the mouse, opens and closes the About box and quits with Ctrl+Q, then fails if
# the program, or anything it started, opened a file for writing or created, renamed or removed
# one, or left a process running. Failed attempts count too: an attempt is a write the program
# meant to do. It runs three times: in a desktop session (with a runtime folder and a session
# bus named), without a runtime folder (as under sudo, su or ssh -X), and without a session bus
# on a machine whose D-Bus could start one ("autolaunch", with dbus-launch installed).
#
# Two calls of the toolkit's are allowed, each exactly, because neither stores anything: it
# makes sure the runtime folder exists by trying to create it (the session's is there already,
# so the call fails with EEXIST); without one, it is pointed at a folder under the null device,
# where the attempt fails with ENOTDIR.
#
#   nothing_written_test.sh PATH/TO/TH PATH/TO/layout_probe PATH/TO/window_probe
#
# Needs Xvfb, xdotool, strace and dbus-launch (scripts/test installs them). Every step has a time
# limit, and the X server, the program and the scratch folder are gone when the script ends,
# however it ends.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
program=$1 probe=$3
load_layout "$2" || fail "$2 printed no layout"

needs scripts/test Xvfb xdotool strace timeout dbus-launch

work=$(mktemp -d "${TMPDIR:-/tmp}/th-nothing-written.XXXXXX")
owns_folder "$work"

start_xserver "$work" || fail "Xvfb did not start"

# A sanitizer build's leak check cannot run under a tracer; it is not what this test is about.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export QT_QPA_PLATFORM=xcb
# Every process the program starts inherits this mark; none may be left once it has ended.
mark="TH_NOTHING_WRITTEN_RUN=$work"

# Every call that writes, creates, renames or removes a file by name. Calls on descriptors the
# program already holds (write, ftruncate) need one of these first.
calls=open,openat,openat2,creat,rename,renameat,renameat2,unlink,unlinkat,mkdir,mkdirat,rmdir
calls+=,link,linkat,symlink,symlinkat,truncate,mknod,mknodat

# The probe's fingerprint of a part of a window. It is a toolkit program too, with a runtime
# folder of its own.
look() { XDG_RUNTIME_DIR="$work/probe-runtime" "$probe" "$@"; }

# Whether reel NUMBER of WINDOW (its client area MENU pixels down) has stopped: its picture stays
# the same over ten looks.
#   reel_stopped WINDOW NUMBER MENU
reel_stopped() {
  local box=("$1" "${reel_x[$2]}" $(($3 + reel_y[$2])) "${reel_width[$2]}" "${reel_height[$2]}")
  [ "$(distinct_looks 10 look "${box[@]}")" -eq 1 ]
}

# Runs the program once, as a user would, in the environment given (env's arguments), then
# checks what it did. The desktop-session run names a bus that is never there: no session bus
# runs on a build machine, and the program must not start one either way.
#   use_once NAME ENV-ARGUMENTS...
use_once() {
  local name=$1
  shift
  local trace="$work/$name"
  mkdir "$trace"
  # One trace file per process and thread (-ff), so no call is split across lines.
  timeout -k 5 30 env "$@" "$mark" strace -f -ff -qq -o "$trace/trace" -e trace="$calls" "$program" \
    >"$trace/output" 2>&1 &
  local traced=$!
  owns_process "$traced"

  local window about
  window=$(first_window --class '^TH$') || { cat "$trace/output"; fail "$name: the window did not appear"; }
  focus_window "$window" || fail "$name: the window took no focus"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local menu=$((HEIGHT - client_height)) # the client area lies below the menu bar

  # Reels 1 and 3 (Loto 6), 8 (Mini Loto) and 16 (Numbers 3) clicked in their centres while the
  # others spin, each once the one before has stopped.
  local reel
  for reel in 1 3 8 16; do
    click_control "$window" reel "$reel" || fail "$name: could not click reel $reel"
    wait_for "reel_stopped $window $reel $menu" 10 || fail "$name: reel $reel did not stop on a click"
  done

  # The About box through the help menu's access keys, then closed with Esc.
  timeout 5 xdotool key --clearmodifiers alt+h a || fail "$name: could not type"
  about=$(first_window --name 'ﾊﾞｰｼﾞｮﾝ情報') || fail "$name: the About box did not appear"
  focus_window "$about" && xdotool key Escape || fail "$name: could not close the About box"
  wait_window_gone 5 --name 'ﾊﾞｰｼﾞｮﾝ情報' || fail "$name: Esc did not close the About box"

  focus_window "$window" && xdotool key ctrl+q || fail "$name: could not press Ctrl+Q"
  local status=0
  wait "$traced" || status=$?
  forget_process "$traced"
  [ "$status" -eq 0 ] || { cat "$trace/output"; fail "$name: the program did not end cleanly on Ctrl+Q ($status)"; }

  # Opens for writing, and every call that changes the file tree, less the allowed ones.
  cat "$trace"/trace.* >"$trace/calls"
  local runtime found left
  runtime=$(printf '%s' "$work/runtime" | sed 's/[][\.*^$()+?{}|]/\\&/g')
  found=$({
    grep -E '^(open|openat|openat2)\(' "$trace/calls" | grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC'
    grep -E '^(creat|rename|renameat|renameat2|unlink|unlinkat|mkdir|mkdirat|rmdir|link|linkat|symlink|symlinkat|truncate|mknod|mknodat)\(' "$trace/calls"
  } | grep -vE \
    -e "^mkdir\\(\"$runtime\", 0700\\) += -1 EEXIST \\(File exists\\)\$" \
    -e '^mkdir\("/dev/null/runtime-[^/"]+", 0700\) += -1 ENOTDIR \(Not a directory\)$' || true)
  if [ -n "$found" ]; then
    echo "$name: the program wrote to the file system:"
    echo "$found"
    fail "$name: files written"
  fi
  left=$(grep -lsxzF "$mark" /proc/[0-9]*/environ || true)
  [ -z "$left" ] || fail "$name: processes outlived the program: $(for p in $left; do tr '\0' ' ' <"${p%environ}cmdline"; echo; done)"
  grep -q 'QStandardPaths' "$trace/output" && { cat "$trace/output"; fail "$name: the toolkit complained about the runtime folder"; }
  echo "$name: $(grep -cE '^open(at2?)?\(' "$trace/calls" || true) opens traced, none for writing; nothing created, renamed or removed; no process left"
}

# A desktop session has its own private runtime folder; given one, the program must not write
# there either.
mkdir -m 700 "$work/runtime" "$work/tmp" "$work/probe-runtime"
use_once session XDG_RUNTIME_DIR="$work/runtime" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
# Without one, the toolkit would make its own in the temporary folder.
use_once no-runtime-folder -u XDG_RUNTIME_DIR TMPDIR="$work/tmp" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
[ -z "$(ls -A "$work/tmp")" ] || fail "no-runtime-folder: the temporary folder holds $(ls -A "$work/tmp")"
# Without a bus, the D-Bus library would start one that writes files and outlives the program.
use_once no-session-bus -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
[ ! -e "$work/home" ] || fail "no-session-bus: the program wrote into its home: $(find "$work/home")"
echo "PASS: nothing written in any of the three runs"
