#!/usr/bin/env bash
# A blind player hears where a reel stopped: the real screen reader (Orca) on a private desktop
# (an X server, a session bus and an accessibility bus of its own), the real program, Tab from
# OK to the first Loto 6 reel and Space. What Orca said (its debug file records every utterance)
# must then hold the reel and the number it drew, as the program's own copy command (Ctrl+C)
# tells it, said after the focus has moved on to the next reel and without moving it again. Space
# on the other five Loto 6 reels: after the sixth stop Orca says the game's whole set. A click on
# the first Numbers 4 reel is spoken the same way as a stop.
#
#   orca_stop_test.sh PATH/TO/TH PATH/TO/layout_probe
#
# Needs unshare, script, Xvfb, xdotool, xclip, dbus-daemon, at-spi2-core and orca (scripts/test
# installs them). Every step has a time limit. Everything but the X server runs in a process
# namespace of its own, as root or as a user: Orca will not start while another Orca of the same
# user runs anywhere on the machine (it looks for one by name, so one left behind would stop
# every later run), and what the buses start on demand is ended by its id there, each process
# being this test's; should this test be killed, whatever is left in it dies with the namespace.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"

if [ "${1:-}" != --inside ]; then
  needs scripts/test unshare script Xvfb xdotool xclip dbus-daemon dbus-send orca \
    /usr/libexec/at-spi-bus-launcher
  work=$(mktemp -d "${TMPDIR:-/tmp}/th-orca.XXXXXX")
  owns_folder "$work"
  # Outside the namespace, where an X server judges which displays are taken by the processes it
  # can see.
  start_xserver "$work" 1280x1024x24 || fail "Xvfb did not start"
  as_user=()
  [ "$(id -u)" -eq 0 ] || as_user=(--user --map-root-user)
  status=0
  unshare "${as_user[@]}" --pid --fork --kill-child --mount-proc "$0" --inside "$work" "$@" ||
    status=$?
  exit "$status"
fi

work=$2 program=$3
load_layout "$4" || fail "$4 printed no layout"

# The processes of this namespace but this script (its first) and the shell asking, that have
# not ended: all of them this test's.
others() {
  local pid state
  for pid in /proc/[0-9]*; do
    pid=${pid#/proc/}
    [ "$pid" = 1 ] || [ "$pid" = "$BASHPID" ] && continue
    state=$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null) || continue
    [ "$state" = Z ] || echo "$pid"
  done
}
end_everything() {
  local status=$? pid
  clean_up
  for pid in $(others); do kill "$pid" 2>/dev/null || true; done
  if ! wait_for '[ -z "$(others)" ]' 5; then
    for pid in $(others); do kill -KILL "$pid" 2>/dev/null || true; done
  fi
  exit "$status"
}
trap end_everything EXIT

# A desktop of its own: Orca keeps its settings in the home, the buses their sockets in the
# runtime folder.
mkdir -m 700 "$work/home" "$work/runtime"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
log=$work/orca.txt
# Orca's utterances, one a line.
said() {
  { tr -d '\r' <"$log"; } 2>/dev/null | grep -o "SPEECH OUTPUT: '[^']*'" |
    sed "s/^SPEECH OUTPUT: '//; s/'\$//"
}
on_failure 'echo "Orca said:"; said; tail -n 5 "$work/orca-output" "$work/output"'

dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" --print-address=3 \
  3>"$work/bus-address" >/dev/null 2>&1 &
owns_process $!
wait_for '[ -s "$work/bus-address" ]' 20 || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
owns_process $!
bus_named() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}
wait_for 'bus_named org.a11y.Bus' 30 || fail "the accessibility bus did not start"

# Orca writes its debug file through a buffer that it empties only when full, except into a
# terminal, where it writes each line at once: so a terminal it has, whose output is the log.
# In English, whatever the machine's language, so its words are known.
LC_ALL=C.UTF-8 LANGUAGE='' script -qfec 'exec orca --debug-file=/dev/tty' "$log" \
  </dev/null >"$work/orca-output" 2>&1 &
owns_process $!
wait_for 'said | grep -qx "Screen reader on."' 60 || fail "Orca did not start"

# The program finds the accessibility bus through the session bus, as in a desktop session (an
# address given directly would be connected to without its tree being registered).
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/output" 2>&1 &
owns_process $!
window=$(first_window --within 60 --class '^TH$') || fail "the window did not appear"
focus_window "$window" || fail "the window took no focus"
button='(push )?button\.?$'
wait_for 'said | grep -qE "^OK,? $button"' 60 || fail "Orca did not read the focused OK button"

# Whether Orca said that REEL stopped on NUMBER (the whole number, not its first digits).
#   said_stop REEL NUMBER
said_stop() { said | grep -qE "(^|[^0-9])$1 は $2([^0-9]|\$)"; }

# Tab to the first Loto 6 reel, Space stops it.
xdotool key Tab || fail "could not press Tab"
wait_for 'said | grep -qE "^ﾛﾄ6 1,? $button"' 20 || fail "Orca did not read the first reel"
xdotool key space || fail "could not press Space"
wait_for 'said | grep -qE "ﾛﾄ6 1 は [0-9]"' 20 || fail "Orca did not say where the first reel stopped"
line=$(copied_line ﾛﾄ6) || fail "the copy command gave no Loto 6 numbers"
drawn=$(cut -d' ' -f2 <<<"$line")
said_stop "ﾛﾄ6 1" "$drawn" || fail "Orca did not say the number drawn ($line)"
# The focus had moved on to the next reel, and the number came after it, not before (where the
# reading of the focus would cut it off).
after_space=$(said | sed -n '/^space *$/,$p')
focus=$(grep -nE "^ﾛﾄ6 2,? $button" <<<"$after_space" | head -n1 | cut -d: -f1)
spoken=$(grep -nE "ﾛﾄ6 1 は $drawn" <<<"$after_space" | head -n1 | cut -d: -f1)
[ -n "$focus" ] && [ -n "$spoken" ] && [ "$spoken" -gt "$focus" ] ||
  fail "the stop was not said after the focus moved on to the next reel"
[ "$(grep -cE "$button" <<<"$after_space")" -eq 1 ] || fail "the focus moved again"

# Space on the other five: after the sixth stop, the game's set, once, in reel order, as the
# copy command gives it.
for reel in 2 3 4 5 6; do
  xdotool key space || fail "could not press Space"
  wait_for 'said | grep -qE "ﾛﾄ6 $reel は [0-9]"' 20 || fail "Orca did not say where reel $reel stopped"
done
line=$(copied_line ﾛﾄ6) || fail "the copy command gave no Loto 6 numbers"
read -r _ n1 n2 n3 n4 n5 n6 <<<"$line"
set="ﾛﾄ6 は $n1、$n2、$n3、$n4、$n5、$n6"
wait_for 'said | grep -qF "$set"' 20 || fail "Orca did not say the set ($set)"
said | sed -n "/ﾛﾄ6 6 は $n6/,\$p" | grep -qF "$set" || fail "the set was not said after the sixth stop"
[ "$(said | grep -o "ﾛﾄ6 は " | wc -l)" -eq 1 ] || fail "the set was said more than once"

# A click on the first Numbers 4 reel.
click_control "$window" reel 12 || fail "could not click reel 12"
wait_for 'said | grep -qE "ﾅﾝﾊﾞｰｽﾞ4 1 は [0-9]"' 20 ||
  fail "Orca did not say where a clicked reel stopped"
line=$(copied_line ﾅﾝﾊﾞｰｽﾞ4) || fail "the copy command gave no Numbers 4 numbers"
drawn=$(cut -d' ' -f2 <<<"$line")
said_stop "ﾅﾝﾊﾞｰｽﾞ4 1" "$drawn" || fail "Orca did not say the number drawn ($line)"
echo "PASS: Orca said: $(said | grep ' は ' | paste -sd '|')"
