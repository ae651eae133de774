#!/usr/bin/env bash
# The Windows installer and zip as a user meets them, under Wine in a private X server:
#
#   package_windows_test.sh PRODUCT MSI ZIP STAGE WORK
#
# STAGE is the install tree the packages were made from; WORK a folder of the caller's for the
# Wine prefix, which is made anew. Wine runs in a Japanese locale, like the Windows of the
# program's users (and so that its shortcuts can name the Japanese install folder): the locale
# is generated when missing, which needs root, so this is for CI's machine; scripts/test-packages
# runs it.
#
# The MSI installs quietly; the files, the Start-menu shortcut with the light bulb and the
# installed-programs entry are there; the shortcut starts the installed TH.exe, whose window
# opens and closes; F1 in the installed program, started from another working folder, opens
# its help once however often it is pressed; the uninstall leaves the prefix as it found it. A
# build of a newer version replaces an installed one. The zip's TH.exe starts from a folder
# whose path has blanks, is the zip's one executable, and opens its help the same way. The
# installer for one user (MSI-per-user.msi beside MSI) asks for no administrator rights, installs
# into the user's own programs folder, with the shortcut and the entry the user's; F1 opens the
# help there too, and its uninstall leaves nothing.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
# shellcheck source=support/wine.sh
source "$(dirname "$0")/support/wine.sh"
product=$(realpath "$1") # the build's packaging/product.env
# shellcheck source=/dev/null
version=$(source "$product" && echo "$version")
# shellcheck source=/dev/null
vendor=$(source "$product" && echo "$vendor")
msi=$(realpath "$2")
zip=$(realpath "$3")
stage=$(realpath "$4")
work=$(realpath "$5")
root=$(cd "$(dirname "$0")/.." && pwd)

if ! locale -a | grep -qix 'ja_JP.utf-\?8'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || fail "could not generate the locale ja_JP.UTF-8"
fi
export LC_ALL=ja_JP.UTF-8

# A Wine of its own, made anew. The X server comes first: Wine's desktop, which the prefix's
# set-up starts, stays on the display it was started with, and a program's windows show only
# there.
rm -rf "$work"
mkdir -p "$work"
start_xserver "$work" || fail "Xvfb did not start"
owns_wine_prefix "$work/wine"
prepare_wine_prefix "$work/wine" || fail "could not set up the Wine prefix"

drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/ﾀﾏﾋﾛｲ"
installed_exe='C:\Program Files\ﾀﾏﾋﾛｲ\TH.exe'
# Every file of the prefix's C: drive, to compare before and after, less what Wine itself makes
# as programs run: logs, temporary files, and the driver-information cache (*.pnf) it writes when
# a program first opens a window.
snapshot() {
  (cd "$drive" && find . -path ./windows/logs -prune -o -path './users/*/Temp' -prune -o -print |
    grep -v -e '^\./windows/Installer$' -e '^\./windows/inf/.*\.pnf$' | sort)
}
# Each entry of the installed-programs list that has a name: NAME|VERSION|PUBLISHER.
entries() {
  rm -f "$work/uninstall.reg"
  wine regedit /E "$(winepath -w "$work/uninstall.reg")" \
    'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall' >/dev/null 2>&1 ||
    fail "regedit could not export the installed-programs list"
  iconv -f UTF-16 -t UTF-8 "$work/uninstall.reg" | tr -d '\r' | awk -F'"="' '
    /^\[/ { if (name != "") print name "|" ver "|" pub; name = ver = pub = "" }
    /^"DisplayName"=/ { name = $2 } /^"DisplayVersion"=/ { ver = $2 } /^"Publisher"=/ { pub = $2 }
    END { if (name != "") print name "|" ver "|" pub }' | tr -d '"'
}
msiexec() {
  wine msiexec "$1" "$(winepath -w "$2")" /qn >/dev/null 2>&1 || fail "msiexec $1 $(basename "$2")"
}
# Waits until the program's window shows: its X window is named by the window's title.
window_of() { first_window --within 30 --name '^ﾀﾏﾋﾛｲ$'; }
running() { ps -eo args= | grep -Fxq "$1"; }
# Closes the program as its close box would (WM_CLOSE) and waits for it to end.
close_program() {
  # shellcheck disable=SC2034 # read by the condition
  local exe=$1
  wine taskkill /im TH.exe >/dev/null 2>&1 || fail "taskkill found no TH.exe"
  wait_for '! running "$exe"' 10 || fail "TH.exe did not end on WM_CLOSE"
}

# F1 in the program's window opens our help from beside it: one window "ﾀﾏﾋﾛｲのﾍﾙﾌﾟ" showing
# the page's first heading (the viewer says what it shows in the program's output), and F1 twice
# more leaves that one window, the later viewers handing over to it. Esc closes it. A picture
# of the screen is left in WORK/NAME.png.
#   check_help WINDOW OUTPUT NAME
heading=$(grep -o '<h1>.*</h1>' "$stage/help/TH.html" | head -n1 | sed 's/<[^>]*>//g')
help_search=(--name '^ﾀﾏﾋﾛｲのﾍﾙﾌﾟ$')
check_help() {
  local main=$1 output=$2 help pressed
  # In the Japanese code page.
  said() { debugger_output "$output" | iconv -f CP932 -t UTF-8 2>/dev/null | grep -c "$1" || true; }
  focus_window "$main" || true
  xdotool key F1
  help=$(first_window --within 30 "${help_search[@]}") || fail "F1 opened no help window"
  wait_for '[ "$(said "first heading: $heading\$")" -eq 1 ]' 10 ||
    fail "the help does not show \"$heading\""
  import -window root "$work/$3.png"
  # The help is the active window now and may cover much of the program's: a click on a bare
  # part of the program's window that the help leaves free makes the program active again
  # before each F1, as a user would (a first click may only activate it, and nothing outside
  # Wine shows when it has: when no viewer hands over, the user clicks and presses again).
  local point
  point=$(picker_margin_point "$main" "$help") || fail "the help covers all of the program's window"
  # shellcheck disable=SC2034 # read by the condition
  for pressed in 1 2; do
    for _ in 1 2 3; do
      # shellcheck disable=SC2086 # the point is two numbers
      xdotool mousemove --window "$main" $point click 1
      focus_window "$main" || true
      xdotool key F1
      wait_for '[ "$(said "handed over to the viewer")" -ge "$pressed" ]' 5 && break
    done
  done
  [ "$(said 'handed over to the viewer')" -ge 2 ] || fail "the later viewers did not hand over"
  [ "$(visible_windows "${help_search[@]}")" = "$help" ] ||
    fail "F1 three times left more than one help window"
  focus_window "$help" || true
  xdotool key Escape
  wait_window_gone 10 "${help_search[@]}" || fail "Esc did not close the help"
}
# The viewer says what it shows when asked, to the debugger's output, which Wine logs with the
# program's output.
export WINEQT_LOGGING_RULES="tamahiroi.help.info=true" WINEDEBUG=-all,warn+seh

# Nothing but the prefix itself must be left after an uninstall.
before=$(snapshot)
entries_before=$(entries)
clean_after_uninstall() {
  [ ! -e "$folder" ] || fail "the uninstall left $folder"
  diff <(echo "$before") <(snapshot) >"$work/left" || { cat "$work/left"; fail "the uninstall left files"; }
  [ "$(entries)" = "$entries_before" ] || fail "the uninstall left its installed-programs entry"
}

msiexec /i "$msi"
diff -r "$stage" "$folder" || fail "the installed folder differs from the install tree"
# Wine puts a per-machine install's shortcuts in the installing user's menu, Windows in the menu
# of all users.
shortcut=$(find "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs" \
  "$drive/users/"*/AppData/Roaming/Microsoft/Windows/"Start Menu/Programs" -name 'ﾀﾏﾋﾛｲ.lnk')
[ "$(wc -l <<<"$shortcut")" -eq 1 ] && [ -n "$shortcut" ] || fail "shortcuts found: '$shortcut'"
# The shortcut's icon is the light bulb, which the installer keeps in its own folder.
icon=$(find "$drive/windows/Installer" -name TH.ico)
cmp -s "$icon" "$root/pictures/icons/TH.ico" || fail "the installer keeps no light bulb for the shortcut"
LC_ALL=C grep -qaP 'T\x00H\x00\.\x00i\x00c\x00o\x00' "$shortcut" || fail "the shortcut names no TH.ico"
[ "$(entries | grep '^ﾀﾏﾋﾛｲ|')" = "ﾀﾏﾋﾛｲ|$version|$vendor" ] ||
  fail "installed-programs entries: $(entries)"
echo "ok: msiexec /i installed the files, the shortcut and the entry ﾀﾏﾋﾛｲ $version by $vendor"

wine start /unix "$shortcut" >/dev/null 2>&1 || fail "the shortcut did not start"
window_of >/dev/null || fail "the program started by the shortcut showed no window"
running "$installed_exe" || fail "the window is not the installed TH.exe's"
close_program "$installed_exe"
echo "ok: the shortcut started $installed_exe; its window opened and closed"

# Started from another working folder, the installed program finds its help all the same.
#   help_of_installed FOLDER WINDOWS-PATH NAME
help_of_installed() {
  local started window
  (cd "$work" && wine "$1/TH.exe" >"$work/$3-output" 2>&1) &
  started=$!
  window=$(window_of) || fail "$2 showed no window"
  check_help "$window" "$work/$3-output" "$3-help"
  close_program "$2"
  wait "$started" || true
  echo "ok: F1 in $2 opened its help, one window however often pressed"
}
help_of_installed "$folder" "$installed_exe" msi

msiexec /x "$msi"
clean_after_uninstall
echo "ok: msiexec /x removed the files, the shortcut and the entry"

# A newer version replaces the one installed, and leaves nothing of it behind either.
next=${version%.*}.$((${version##*.} + 1))
sed "s/^version=.*/version='$next'/" "$product" >"$work/next.env"
"$root/packaging/windows/make-msi" "$stage" "$work/next.env" "$work/next.msi"
msiexec /i "$msi"
msiexec /i "$work/next.msi"
[ "$(entries | grep '^ﾀﾏﾋﾛｲ|')" = "ﾀﾏﾋﾛｲ|$next|$vendor" ] ||
  fail "after installing $next over $version: $(entries)"
msiexec /x "$work/next.msi"
clean_after_uninstall
echo "ok: $next replaced $version, and its uninstall removed everything"

# The zip, unpacked where a path has blanks.
unpacked="$work/zip test/my programs"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
program="$unpacked/tamahiroi-$version"
[ -f "$program/README.txt" ] || fail "the zip has no README.txt"
# One executable shows both the picker and the help.
[ "$(find "$program" -iname '*.exe' -printf '%f\n')" = TH.exe ] ||
  fail "the zip holds these executables: $(find "$program" -iname '*.exe' -printf '%f ')"
diff -r -x README.txt "$stage" "$program" || fail "the zip differs from the install tree"
wine "$program/TH.exe" >"$work/zip-output" 2>&1 &
started=$!
window=$(window_of) || fail "the zip's TH.exe showed no window"
check_help "$window" "$work/zip-output" zip-help
close_program "$program/TH.exe"
status=0
wait "$started" || status=$?
[ "$status" -eq 0 ] || { cat "$work/zip-output"; fail "the zip's TH.exe ended with $status"; }
echo "ok: the zip's TH.exe ran from '$program', opened its help and ended cleanly"

# The installer for one user, beside the one for all users.
user_msi=${msi%.msi}-per-user.msi
[ -f "$user_msi" ] || fail "no installer for one user: $user_msi"
! msiinfo export "$user_msi" Property | grep -q '^ALLUSERS' ||
  fail "the installer for one user sets ALLUSERS"
# Its summary's word count says no administrator rights are needed (bit 8).
word_count=$(msiinfo suminfo "$user_msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')
[ $((word_count & 8)) -eq 8 ] || fail "the installer for one user asks for elevation ($word_count)"
user_programs=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")/Programs
user_folder="$user_programs/ﾀﾏﾋﾛｲ"
user_entries() {
  local key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  # None while the user's list does not exist: reg says so quietly, where Wine 10's regedit
  # would say it in a message box and wait for it to be closed.
  wine reg query "$key" >/dev/null 2>&1 || return 0
  rm -f "$work/user-uninstall.reg"
  wine regedit /E "$(winepath -w "$work/user-uninstall.reg")" "$key" >/dev/null 2>&1 || return 0
  iconv -f UTF-16 -t UTF-8 "$work/user-uninstall.reg" | tr -d '\r' |
    sed -n 's/^"DisplayName"="\(.*\)"$/\1/p'
}
user_before=$(user_entries)
msiexec /i "$user_msi"
diff -r "$stage" "$user_folder" || fail "the folder installed for one user differs from the tree"
[ ! -e "$folder" ] || fail "the installer for one user installed into $folder"
user_shortcut=$(find "$drive/users/"*/AppData/Roaming/Microsoft/Windows/"Start Menu/Programs" \
  -name 'ﾀﾏﾋﾛｲ.lnk')
[ -n "$user_shortcut" ] || fail "no shortcut in the user's Start menu"
# Windows lists a per-user install in the user's own list; Wine 8 may keep it in the machine's.
{ user_entries; entries | cut -d'|' -f1; } | grep -qx 'ﾀﾏﾋﾛｲ' ||
  fail "the installed programs do not list ﾀﾏﾋﾛｲ"
echo "ok: msiexec /i for one user installed into $user_folder, with the user's shortcut and entry"
wine start /unix "$user_shortcut" >/dev/null 2>&1 || fail "the user's shortcut did not start"
window_of >/dev/null || fail "the program started by the user's shortcut showed no window"
user_exe="$(winepath -w "$user_folder")\\TH.exe"
running "$user_exe" || fail "the window is not that of $user_exe"
close_program "$user_exe"
echo "ok: the user's shortcut started $user_exe; its window opened and closed"
help_of_installed "$user_folder" "$user_exe" user
msiexec /x "$user_msi"
[ "$(user_entries)" = "$user_before" ] || fail "the uninstall for one user left its entry"
# Also the folders and the shortcut as they were before, less the user's own installer cache,
# which Windows keeps as Wine does (as the machine's in windows/Installer).
[ ! -e "$user_folder" ] || fail "the uninstall for one user left $user_folder"
diff <(echo "$before") <(snapshot | grep -v '^\./users/[^/]*/AppData/Roaming/Microsoft/Installer$') \
  >"$work/left" || { cat "$work/left"; fail "the uninstall for one user left files"; }
echo "ok: msiexec /x for one user removed the files, the shortcut and the entry"
