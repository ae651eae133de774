#!/usr/bin/env bash
# The Debian package as a user meets it. Installs and purges it system-wide, so it is for a
# machine that may be changed (CI's), never a developer's; scripts/test-packages runs it.
#
#   package_deb_test.sh PATH/TO/tamahiroi_VERSION_ARCH.deb
#
# lintian finds no error or warning; apt installs the package with what it needs, a Japanese
# font included (the one scripts/test installs is removed first, so apt must bring one); the
# desktop entry, its icon and the manual page are where the desktop and man look; the program
# starts from the PATH as the entry says and shows its window in a private X server; and a purge
# leaves none of the package's files behind.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
deb=$(realpath "$1")
package=tamahiroi
work=$(mktemp -d "${TMPDIR:-/tmp}/th-deb-test.XXXXXX")
owns_folder "$work"
apt=(apt-get -o DPkg::Lock::Timeout=600 -y -qq)
export DEBIAN_FRONTEND=noninteractive
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

tags=$(lintian --fail-on error,warning "$deb" 2>&1) || { echo "$tags"; fail "lintian reports errors or warnings"; }
tags=$(grep -v 'running with root privileges' <<<"$tags" || true)
echo "ok: lintian reports no error or warning${tags:+; it says:}"
[ -z "$tags" ] || echo "$tags"

fonts=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | grep -E '^ *fonts-' | tr -d ' ')
if installed fonts-vlgothic; then
  # dpkg, unlike apt, refuses to remove what another package needs rather than removing that too.
  dpkg --remove fonts-vlgothic >/dev/null || fail "could not remove fonts-vlgothic to start without it"
fi
"${apt[@]}" install "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
installed "$package" || fail "$package is not installed"
font_found=""
for font in ${fonts//|/ }; do installed "$font" && font_found=$font; done
[ -n "$font_found" ] || fail "none of the fonts $fonts came with the package"
[ -n "$(fc-list :lang=ja family)" ] || fail "fontconfig knows no Japanese font"
echo "ok: apt installed the package and $font_found"

files=$(dpkg -L "$package")

# Where the desktop looks: the entry by its id, the icon it names in the hicolor theme, and the
# program it runs on the PATH.
entry=/usr/share/applications/jp.tamahiroi.TH.desktop
[ -f "$entry" ] || fail "no desktop entry at $entry"
desktop-file-validate "$entry" || fail "the installed desktop entry is not valid"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 32 128; do
  [ -f "/usr/share/icons/hicolor/${size}x$size/apps/$icon.png" ] || fail "no ${size}x$size icon $icon"
done
[ -f /usr/share/metainfo/jp.tamahiroi.TH.metainfo.xml ] || fail "no AppStream record"
[ -f /usr/share/man/man1/TH.1.gz ] || fail "no manual page"
command=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ *%[a-zA-Z]//g')
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
[ "$(PATH=$path command -v "${command%% *}")" = /usr/bin/TH ] || fail "Exec=$command is not /usr/bin/TH"
echo "ok: desktop entry, icons $icon, AppStream record and manual page in place"

start_xserver "$work" || fail "Xvfb did not start"

# As a desktop starts it: the entry's command line, found on the PATH, in a clean environment.
mkdir -m 700 "$work/home" "$work/runtime"
env -i HOME="$work/home" PATH="$path" LANG=C.UTF-8 DISPLAY="$DISPLAY" \
  XDG_RUNTIME_DIR="$work/runtime" sh -c "exec $command" >"$work/output" 2>&1 &
program=$!
owns_process "$program"
window=$(first_window --class '^TH$') || { cat "$work/output"; fail "the installed program showed no window"; }
title=$(xdotool getwindowname "$window")
[ "$title" = "ﾀﾏﾋﾛｲ" ] || fail "the window's title is '$title'"
focus_window "$window" && xdotool key ctrl+q || fail "could not press Ctrl+Q"
status=0
wait_for "! alive $program" 10 || fail "the program did not end on Ctrl+Q"
wait "$program" || status=$?
forget_process "$program"
[ "$status" -eq 0 ] || { cat "$work/output"; fail "the program ended with $status"; }
echo "ok: '$command' from the PATH showed the window '$title' and ended on Ctrl+Q"

"${apt[@]}" purge "$package" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get purge"; }
[ -z "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -v not-installed)" ] ||
  fail "dpkg still knows $package after the purge"
# What is left of the package's paths must belong to another package (shared folders).
left=$(while read -r file; do
  [ "$file" = /. ] && continue
  [ -e "$file" ] && ! dpkg -S "$file" >/dev/null 2>&1 && echo "$file"
done <<<"$files" || true)
[ -z "$left" ] || fail "the purge left behind: $left"
echo "ok: the purge removed all $(wc -l <<<"$files") paths of the package"
