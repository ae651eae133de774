#!/usr/bin/env bash
# The real TH.exe writes nothing under Wine: one run used as a person would (reels stopped by a
# click and by Space, a start button, the About box and its system-information button with the
# message that follows, F1 and the help viewer, Ctrl+Q) leaves its Wine prefix as it was.
#
#   nothing_written_windows_test.sh TH.exe layout_probe.exe WORK
#
# The prefix's files (each one's size and modification time) and its whole registry (exported by
# regedit) are taken before the run and after it, and compared. What Wine itself writes as
# programs run is left out, each by name with its reason (below); anything else that changed
# fails the test. WORK gets a new Wine prefix, and both snapshots.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
# shellcheck source=support/wine.sh
source "$(dirname "$0")/support/wine.sh"
exe=$(realpath "$1") layout=$(realpath "$2") work=$3

needs scripts/test-windows wine wineserver Xvfb xdotool iconv import
mkdir -p "$work"
work=$(realpath "$work")
rm -rf "$work/wine" "$work"/*.txt
screen_on_failure "$work"

# What Wine writes by itself, by name (extended regular expressions), with the reason.
# Files, by their path in the prefix:
wine_files=(
  '^(system|user|userdef)\.reg\|' "Wine's registry, saved by its server whenever it likes; compared through regedit's export instead"
)
# Registry keys (and all below them), as regedit names them (the current control set under
# either of its names):
wine_keys=(
  'HKEY_LOCAL_MACHINE\\System\\(CurrentControlSet|ControlSet[0-9]+)\\Control\\DeviceClasses\\'
  "Wine's plug and play marks the interfaces of its own virtual devices (input, display) live or gone as its services start and stop"
  'HKEY_LOCAL_MACHINE\\System\\(CurrentControlSet|ControlSet[0-9]+)\\Control\\ServiceCurrent\]'
  "Wine's service manager counts the services it starts"
  'HKEY_LOCAL_MACHINE\\Software\\(Wow6432Node\\)?Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\'
  "Wine lists the machine's network adapters when its network service first starts"
  'HKEY_USERS\\[^\\]+\\Software\\Wine\\Temporary System Parameters\\'
  "Wine's copy of the session's system parameters, filled in as programs read them"
)

# The prefix's files and folders: "PATH|SIZE|MODIFIED", less Wine's own.
files() {
  local pattern i
  pattern=$(for ((i = 0; i < ${#wine_files[@]}; i += 2)); do echo "${wine_files[i]}"; done)
  find "$WINEPREFIX" -mindepth 1 -printf '%P|%s|%T@\n' | grep -v -E -f <(echo "$pattern") | sort
}
# The whole registry, one "[KEY] VALUE" line for each value (and each key, alone), less Wine's
# own keys. regedit writes UTF-16.
registry() {
  local pattern i export="$work/export.reg"
  pattern=$(for ((i = 0; i < ${#wine_keys[@]}; i += 2)); do echo "^\\[${wine_keys[i]}"; done)
  rm -f "$export"
  wine regedit /E "$(winepath -w "$export")" >/dev/null 2>&1 || return 1
  iconv -f UTF-16 -t UTF-8 "$export" | tr -d '\r' | awk '
    /^\[/ { key = $0; print key; next }
    NF && key != "" { print key " " $0 }' | grep -v -E -f <(echo "${pattern:-^$}") | sort
}
snapshot() { # NAME
  files >"$work/files-$1.txt" && registry >"$work/registry-$1.txt" ||
    fail "could not take the prefix's $1 snapshot"
}

start_wine_desktop "$work" "$(dirname "$0")/support/japanese-desktop.reg"
load_layout wine "$layout" || fail "$layout printed no layout"
# A new prefix's first window brings up what Wine keeps for every program that shows one (its
# desktop, services and system parameters): Wine's own notepad shows one first and is closed.
wine notepad >/dev/null 2>&1 &
owns_process $!
notepad=$(first_window --within 60 --class 'notepad') || fail "Wine's notepad showed no window"
focus_window "$notepad" || fail "Wine's notepad takes no focus"
xdotool key alt+F4
wait_for '! alive "$!"' 20 || fail "Wine's notepad did not close"
snapshot before

title='ﾀﾏﾋﾛｲ'
about_title='ﾀﾏﾋﾛｲのﾊﾞｰｼﾞｮﾝ情報'
help_title='ﾀﾏﾋﾛｲのﾍﾙﾌﾟ'
windows_named() { visible_windows --name "^$1\$" | grep -c . || true; }
(cd "$work" && wine "$exe") >"$work/program.log" 2>&1 &
program=$!
owns_process "$program"
main=$(first_window --within 60 --name "^$title\$") || fail "the window did not open"
focus_window "$main" || fail "the window takes no focus"
# A stop by a click, one by Space on the reel the focus moved on to, a game started again.
click_control "$main" reel 1
xdotool key space
click_control "$main" start 0
# The About box, its system-information button (no tool is registered: a message says so), the
# message closed with Enter, the box with Esc.
xdotool key alt+h a
first_window --within 20 --name "^$about_title\$" >/dev/null || fail "Alt+H, A opened no About box"
xdotool key alt+s
wait_for '[ "$(windows_named "$title")" -eq 2 ]' 20 || fail "the system-information button said nothing"
xdotool key Return
wait_for '[ "$(windows_named "$title")" -eq 1 ]' 10 || fail "Enter did not close the message"
focus_window "$(visible_windows --name "^$about_title\$" | head -n1)" || true
xdotool key Escape
wait_window_gone 10 --name "^$about_title\$" || fail "Esc did not close the About box"
# The help, closed with Esc; then Ctrl+Q.
focus_window "$main" || fail "the window takes no focus again"
xdotool key F1
help=$(first_window --within 30 --name "^$help_title\$") || fail "F1 opened no help"
focus_window "$help" || fail "the help takes no focus"
xdotool key Escape
wait_window_gone 10 --name "^$help_title\$" || fail "Esc did not close the help"
focus_window "$main" || fail "the window takes no focus at the end"
xdotool key ctrl+q
wait_for '! alive "$program"' 20 || fail "Ctrl+Q did not end the program"
wait "$program" || fail "the program ended with an error"
forget_process "$program"

snapshot after
changed=$(diff "$work/files-before.txt" "$work/files-after.txt" | grep '^[<>]' || true)
[ -z "$changed" ] || fail "the run changed files in the prefix:"$'\n'"$changed"
changed=$(diff "$work/registry-before.txt" "$work/registry-after.txt" | grep '^[<>]' || true)
[ -z "$changed" ] || fail "the run changed the registry:"$'\n'"$changed"
echo "the run left $(wc -l <"$work/files-after.txt") files and folders and" \
  "$(wc -l <"$work/registry-after.txt") registry lines as they were; Wine's own, left out:"
for ((i = 0; i < ${#wine_files[@]}; i += 2)); do echo "  ${wine_files[i]}: ${wine_files[i + 1]}"; done
for ((i = 0; i < ${#wine_keys[@]}; i += 2)); do echo "  [${wine_keys[i]}]: ${wine_keys[i + 1]}"; done
echo "PASS"
