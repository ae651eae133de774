#!/usr/bin/env bash
# Without a display each program ends at once with exit status 1 and one line in Japanese that
# names what is missing: no abort, no core file, none of the toolkit's English advice.
#   no_display_test.sh PROGRAM...
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/th-no-display.XXXXXX")
owns_folder "$work"
mkdir "$work/cwd"
cd "$work/cwd"
ulimit -c unlimited
# A display that nothing answers: a number no X server serves now.
nobody=$(unused_display) || fail "found no unused display number"
for program in "$@"; do
  name=$(basename "$program")
  for display in unset "$nobody"; do
    if [ "$display" = unset ]; then
      setting=(-u DISPLAY) expected="DISPLAY が設定されていません"
    else
      setting=("DISPLAY=$display") expected="DISPLAY=$display の画面に接続できません"
    fi
    status=0
    timeout 20 env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${setting[@]}" "$program" \
      >"$work/out" 2>"$work/err" || status=$?
    said=$(cat "$work/err")
    [ "$status" -eq 1 ] || fail "$name, DISPLAY $display: exit status $status, not 1: $said"
    [ "$said" = "$name: 画面を開けないため起動できません ($expected)" ] ||
      fail "$name, DISPLAY $display: said $said"
    [ ! -s "$work/out" ] || fail "$name, DISPLAY $display: wrote to stdout"
    left=$(find . -mindepth 1)
    [ -z "$left" ] || fail "$name, DISPLAY $display: left $left"
  done
  # A Wayland session where the toolkit has no Wayland plugin names the package to install,
  # whether or not a compositor runs there. A copy of the program whose qt.conf points the
  # toolkit at an empty plugin folder stands for a machine without the package.
  mkdir -p "$work/bin" "$work/no-plugins"
  cp "$program" "$work/bin/$name"
  printf '[Paths]\nPlugins=%s\n' "$work/no-plugins" >"$work/bin/qt.conf"
  status=0
  timeout 20 env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=wayland-th "$work/bin/$name" \
    >"$work/out" 2>"$work/err" || status=$?
  said=$(cat "$work/err")
  [ "$status" -eq 1 ] || fail "$name, no Wayland plugin: exit status $status, not 1: $said"
  expected="WAYLAND_DISPLAY=wayland-th の画面に要る Qt の Wayland プラグインがありません。"
  expected+="Debian: apt install qt6-wayland"
  [ "$said" = "$name: 画面を開けないため起動できません ($expected)" ] ||
    fail "$name, no Wayland plugin: said $said"
  rm -r "${work:?}/bin"
done
echo "PASS: without a display, $# programs ended with status 1 and their line"
