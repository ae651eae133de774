#!/usr/bin/env bash
# Files planted where the real TH.exe runs, as the picker and as the help viewer, under Wine in a
# private X server:
#
#   planted_files_windows_test.sh TH.exe PLANTED_DIR LOAD_PROBE START_PROBE WORK
#
# PLANTED_DIR holds a library for each name that the programs delay-load (authz.dll ...), each
# leaving "<its path>.loaded" when loaded; LOAD_PROBE loads libraries with the default search,
# START_PROBE records it was started. With Wine told to search the program's folder first for
# those names, as Windows does for names that are not known DLLs:
# - the probe beside the planted libraries loads every one of them (so they lie where a careless
#   program finds them);
# - TH.exe and its help viewer (TH.exe again, in its help mode), started from a working folder
#   that holds the same libraries, open their windows and load none of them;
# - TH.exe beside a planted winhlp32.exe, and with another in its working folder, starts itself
#   as the help viewer on F1, and neither planted one.
# WORK gets a Wine prefix of its own (kept between runs) and pictures of the screen.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
# shellcheck source=support/wine.sh
source "$(dirname "$0")/support/wine.sh"
exe=$(realpath "$1") planted=$(realpath "$2") load_probe=$(realpath "$3")
start_probe=$(realpath "$4") work=$5
needs scripts/test-windows wine wineserver Xvfb xdotool import
mkdir -p "$work"
work=$(realpath "$work")
screen_on_failure "$work"

start_wine_desktop "$work"

libraries=()
for library in "$planted"/*.dll; do libraries+=("$(basename "$library")"); done
[ "${#libraries[@]}" -ge 12 ] || fail "only ${#libraries[@]} planted libraries in $planted"
names=$(printf '%s\n' "${libraries[@]}" | sed 's/\.dll$//' | paste -sd, -)
# Native first for these names: Wine then looks for them as Windows does.
planting="$WINEDLLOVERRIDES;$names=n,b"
# Two names cannot be proven under Wine, for Wine's own sake: its user32.dll imports version.dll
# (Windows' does not), and when the first window opens it loads uxtheme.dll by itself, both with
# the plain search (seen with WINEDEBUG=+loaddll), whatever the program asked. The programs run
# without those two told native-first; they delay-load them all the same (pe_checks_test), and
# the careless probe shows the planted ones are loadable.
program_names=$(tr , '\n' <<<"$names" | grep -vx -e version -e uxtheme | paste -sd, -)
program_planting="$WINEDLLOVERRIDES;$program_names=n,b"
[ "$(tr , '\n' <<<"$program_names" | wc -l)" -eq $((${#libraries[@]} - 2)) ] ||
  fail "version and uxtheme are not among the planted libraries"

# A fresh folder holding the planted libraries.
plant() {
  rm -rf "$1"
  mkdir -p "$1"
  cp "$planted"/*.dll "$1/"
}
loaded() { find "$@" -name '*.loaded' -printf '%f\n' | sort | paste -sd' ' -; }
# What ran (WHAT) showed its windows and loaded none of the planted libraries beside the program
# or in its working folder; then the prefix's programs are ended.
#   nothing_loaded WHAT
nothing_loaded() {
  [ -z "$(loaded "$program" "$work/current")" ] ||
    fail "$1 loaded planted libraries: $(loaded "$program" "$work/current")"
  echo "ok: $1 showed the windows and loaded none of them"
  wineserver -k
  wait_window_gone 10 --name . || true
}

# The planting works: the careless probe beside the libraries loads every one.
plant "$work/careless"
cp "$load_probe" "$work/careless/"
(cd "$work/careless" && WINEDLLOVERRIDES=$planting wine load_probe.exe "${libraries[@]}") \
  >"$work/careless.log" 2>&1 || { cat "$work/careless.log"; fail "the probe could not load them"; }
[ "$(find "$work/careless" -name '*.loaded' | wc -l)" -eq "${#libraries[@]}" ] ||
  { cat "$work/careless.log"; fail "the probe loaded only: $(loaded "$work/careless")"; }
echo "ok: a program without the defence loads all ${#libraries[@]} planted libraries from its folder"

# The program as in the zip, the same libraries beside it and in its working folder.
program="$work/program"
plant "$program"
plant "$work/current"
cp "$exe" "$program/"
cp -R "$(dirname "$exe")/help" "$program/"
title='ﾀﾏﾋﾛｲ'
help_title='ﾀﾏﾋﾛｲのﾍﾙﾌﾟ'
(cd "$work/current" && WINEDLLOVERRIDES=$program_planting wine "$program/TH.exe") >"$work/program.log" 2>&1 &
owns_process $!
main=$(first_window --within 60 --name "^$title\$") || fail "the window \"$title\" did not open"
focus_window "$main" || true
xdotool key F1
first_window --within 30 --name "^$help_title\$" >/dev/null || fail "F1 opened no help window"
import -window root "$work/planted-program.png"
nothing_loaded "TH.exe and the viewer it started"

# The viewer started alone: TH.exe in its help mode.
prepare_wine_prefix "$work/wine" || fail "could not set up the Wine prefix again"
(cd "$work/current" && WINEDLLOVERRIDES=$program_planting wine "$program/TH.exe" --help-viewer) \
  >"$work/viewer.log" 2>&1 &
owns_process $!
first_window --within 60 --name "^$help_title\$" >/dev/null || fail "the viewer showed no window"
nothing_loaded "the viewer started alone"

# TH.exe with a planted winhlp32.exe beside it and another in its working folder: F1 starts
# TH.exe itself, by its own path, as the help viewer (here without its help folder, so its window
# says it has no help to show), and neither planted one.
alone="$work/alone"
rm -rf "$alone" "$work/alone-current"
mkdir -p "$alone" "$work/alone-current"
cp "$exe" "$alone/"
cp "$start_probe" "$alone/winhlp32.exe"
cp "$start_probe" "$work/alone-current/winhlp32.exe"
prepare_wine_prefix "$work/wine" || fail "could not set up the Wine prefix again"
(cd "$work/alone-current" && wine "$alone/TH.exe") >"$work/alone.log" 2>&1 &
owns_process $!
main=$(first_window --within 60 --name "^$title\$") || fail "the window \"$title\" did not open"
focus_window "$main" || true
xdotool key F1
first_window --within 30 --name "^$help_title\$" >/dev/null || fail "F1 opened no help window"
import -window root "$work/planted-winhlp32.png"
for probe in "$alone/winhlp32.exe" "$work/alone-current/winhlp32.exe"; do
  [ ! -e "$probe.started" ] || fail "F1 started the planted $probe"
done
# Under Wine a process shows the command line it was given.
# shellcheck disable=SC2009 # a Windows program's command line under Wine shows only here
ps -eo args= | grep -F -- '--help-viewer TH.hlp' | grep -qF "$(winepath -w "$alone/TH.exe")" ||
  fail "F1 did not start $alone/TH.exe --help-viewer TH.hlp"
echo "ok: F1 started TH.exe itself as the viewer, neither planted winhlp32.exe"
