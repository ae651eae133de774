# shellcheck shell=bash
# Sourced by what runs the Windows programs under Wine (scripts/test-windows, the Windows tests,
# bench/measure_windows.py through bash): a Wine prefix of its own. Sets no trap.

# Points Wine at PREFIX and makes it ready: a 64-bit prefix, quiet, without Mono or Gecko
# (nothing here uses .NET or HTML) and without menu entries for the prefix's programs in the
# host's desktop menus. Starts one wineserver that outlives each program (else a caller waits on
# the helper processes that Wine's first program leaves behind); the caller ends it with
# `wineserver -k`. Then wineboot sets up a new prefix, or in one made before brings up the
# services that Wine's programs share before the first of them runs (a second; without it, tests
# run side by side were seen to hang at a program's end); its chatter goes to
# PREFIX/wineboot.log, shown only when it fails. Then each registry file given is imported.
# Programs that open windows need DISPLAY set before this: Wine's desktop stays on the display it
# started with.
#   prepare_wine_prefix PREFIX [REG-FILE...]
prepare_wine_prefix() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  shift
  mkdir -p "$WINEPREFIX"
  wineserver -p || return 1
  wineboot -i >"$WINEPREFIX/wineboot.log" 2>&1 ||
    { cat "$WINEPREFIX/wineboot.log" >&2; echo "wineboot failed in $WINEPREFIX" >&2; return 1; }
  local file
  for file in "$@"; do
    wine regedit /S "$(winepath -w "$file")" >/dev/null 2>&1 ||
      { echo "could not import $file into $WINEPREFIX" >&2; return 1; }
  done
}

# For the shell tests (with support/common.sh): a private X server and a Wine prefix of the
# test's own, in WORK/x and WORK/wine, both ended when the test ends; each registry file given is
# imported into the prefix. Fails the test when either does not come up.
#   start_wine_desktop WORK [REG-FILE...]
start_wine_desktop() {
  local work=$1
  shift
  mkdir -p "$work/x"
  owns_folder "$work/x"
  start_xserver "$work/x" || fail "Xvfb did not start"
  owns_wine_prefix "$work/wine"
  prepare_wine_prefix "$work/wine" "$@" || fail "could not set up the Wine prefix"
}

# The major version of the Wine on the PATH (10 for "wine-10.0 (Debian 10.0~repack-6)"): where
# Wine versions differ in what a test may expect, the test chooses by it and says so.
#   wine_major
wine_major() { wine --version 2>/dev/null | sed -n 's/^wine-\([0-9]*\).*/\1/p'; }

# Sets the desktop's scale for the programs started next, PERCENT of 96 dots per inch, and makes
# it hold: Wine 8 reads it as each program starts, Wine 10 only as its desktop starts, so the
# prefix's server (and with it every program of the prefix) is ended and started again.
#   set_wine_scale PERCENT
set_wine_scale() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((96 * $1 / 100)) /f \
    >/dev/null 2>&1 || return 1
  wineserver -k
  prepare_wine_prefix "$WINEPREFIX"
}

# What the programs of a run said to the debugger's output (where Qt sends its messages when no
# console is attached), read from Wine's log of its "seh" channel (WINEDEBUG=warn+seh): one
# message a line, in the bytes of the system's ANSI code page. A program that another starts (our
# help viewer) gets no standard handles from it under Wine 10, as on Windows, so its messages
# come out only this way (Wine 8 handed it the starter's standard error).
#   debugger_output LOG
debugger_output() {
  local line
  grep -a ':warn:seh:OutputDebugStringA "' "$1" | tr -d '\r' | sed 's/^[^"]*"//; s/"$//' |
    while IFS= read -r line; do printf '%b' "$line"; done
}
