#!/usr/bin/env bash
# The real TH.exe at 100, 150 and 200 % (96, 144 and 192 dots per inch) under Wine, in a private
# X server large enough for both windows at 200 %:
#
#   dpi_windows_test.sh TH.exe layout_probe.exe PICTURES WORK
#
# At each scale the picker window and the About box are their design size times the scale
# (within a pixel; the picker's menu bar as tall as it is at 100 %, times the scale), and a
# stopped reel shows the picture drawn for that scale: the 2x drawing (PICTURES/numbers/NN@2x.png)
# at 200 %, resampled from it at 150 %, not the 1x picture stretched. The program lays itself out
# for the scale, as its PerMonitorV2 manifest asks; a program that declares no awareness is
# stretched as a bitmap by Wine 10 (Wine 8 scales nothing), and its pictures would match the
# stretched one. WORK gets a Wine prefix of its own and pictures of both windows at each scale.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
# shellcheck source=support/wine.sh
source "$(dirname "$0")/support/wine.sh"
exe=$(realpath "$1") layout=$(realpath "$2") pictures=$(realpath "$3") work=$4

needs scripts/test-windows wine wineserver Xvfb xdotool xclip import convert compare
mkdir -p "$work/x"
work=$(realpath "$work")
rm -f "$work"/*.png
screen_on_failure "$work"
owns_folder "$work/x"
start_xserver "$work/x" 2560x1600x24 || fail "Xvfb did not start"
owns_wine_prefix "$work/wine"
prepare_wine_prefix "$work/wine" "$(dirname "$0")/support/japanese-desktop.reg" ||
  fail "could not set up the Wine prefix"
load_layout wine "$layout" || fail "$layout printed no layout"
title='ﾀﾏﾋﾛｲ'
about_title='ﾀﾏﾋﾛｲのﾊﾞｰｼﾞｮﾝ情報'

# Whether MEASURED is DESIGNED times the scale PERCENT, within a pixel.
scaled() { # MEASURED DESIGNED PERCENT
  local want=$((($2 * $3 + 50) / 100))
  (($1 - want <= 1 && want - $1 <= 1))
}
# How far the best place of PICTURE inside IMAGE is from it (root mean square, 0 to 1).
distance() { # IMAGE PICTURE
  # compare says 1 for pictures that differ at all.
  { compare -metric RMSE -subimage-search "$1" "$2" null: 2>&1 || true; } |
    sed -n 's/.*(\([0-9.e-]*\)).*/\1/p' | head -n1
}

# The first reel's button at this scale, kept in reel-PERCENT.png; prints its fingerprint.
shot() {
  import -window "$main" -crop "$box" +repage "$work/reel-$percent.png" 2>/dev/null &&
    md5sum <"$work/reel-$percent.png"
}

picker_height=""
for percent in 100 150 200; do
  set_wine_scale "$percent" || fail "could not set the desktop's scale to $percent %"
  wine "$exe" >"$work/program-$percent.log" 2>&1 &
  program=$!
  owns_process "$program"
  main=$(first_window --within 60 --name "^$title\$") ||
    fail "the window did not open at $percent %"
  focus_window "$main" || fail "the window takes no focus at $percent %"

  # Without a window manager the X window is the Win32 client area: the menu bar, then the
  # picker's client area.
  eval "$(xdotool getwindowgeometry --shell "$main")"
  scaled "$WIDTH" "$client_width" "$percent" ||
    fail "at $percent % the picker is $WIDTH pixels wide, not $client_width times the scale"
  if [ -z "$picker_height" ]; then
    picker_height=$HEIGHT
    menu=$((HEIGHT - client_height))
    [ "$menu" -ge 15 ] && [ "$menu" -le 40 ] ||
      fail "at 100 % the picker is $WIDTH x $HEIGHT: no $client_height-pixel area under a menu bar"
  fi
  scaled "$HEIGHT" "$picker_height" "$percent" ||
    fail "at $percent % the picker is $HEIGHT pixels high, not $picker_height times the scale"
  picker="$WIDTH x $HEIGHT"

  # The first reel, stopped, against its number's picture as drawn for this scale and as the 1x
  # picture stretched to it.
  menu_here=$((HEIGHT - (client_height * percent + 50) / 100))
  read -r x y <<<"$(centre_of reel 1)"
  xdotool mousemove --window "$main" $((x * percent / 100)) $((menu_here + y * percent / 100)) \
    click 1
  number=$(copied_line ﾛﾄ6 | cut -d' ' -f2)
  [[ $number =~ ^[0-9]+$ ]] || fail "the copy command gave \"$number\" for the first reel"
  name=$(printf 'n%02d' "$number")
  side=$((40 * percent / 100))
  case $percent in
    100) cp "$pictures/numbers/$name.png" "$work/sharp.png" ;;
    200) cp "$pictures/numbers/$name@2x.png" "$work/sharp.png" ;;
    *) convert "$pictures/numbers/$name@2x.png" -scale "${side}x$side!" "$work/sharp.png" ;;
  esac
  convert "$pictures/numbers/$name.png" -filter Triangle -resize "${side}x$side!" \
    "$work/stretched.png"
  # The reel's button, a pixel more on each side for the rounding of its place.
  box="$(((reel_width[1] * percent + 99) / 100 + 2))x$(((reel_height[1] * percent + 99) / 100 + 2))"
  box+="+$((reel_x[1] * percent / 100 - 1))+$((menu_here + reel_y[1] * percent / 100 - 1))"
  # The stopped reel's picture stands still once it shows.
  wait_for '[ "$(distinct_looks 3 shot)" -eq 1 ]' 10 || fail "the stopped reel does not stand still"
  sharp=$(distance "$work/reel-$percent.png" "$work/sharp.png")
  stretched=$(distance "$work/reel-$percent.png" "$work/stretched.png")
  # Sharp: close to the picture drawn for this scale, and at other than 100 % farther from the
  # stretched one.
  awk -v sharp="$sharp" -v stretched="$stretched" -v percent="$percent" 'BEGIN {
    exit !(sharp != "" && sharp < 0.01 && (percent == 100 || stretched > 3 * sharp)) }' ||
    fail "at $percent % the first reel's picture is $sharp from $name drawn for the scale and" \
      "$stretched from $name stretched: not the sharp picture"

  import -window "$main" "$work/picker-$percent-percent.png"
  xdotool key alt+h a
  about=$(first_window --within 20 --name "^$about_title\$") || fail "no About box at $percent %"
  eval "$(xdotool getwindowgeometry --shell "$about")"
  scaled "$WIDTH" "$about_client_width" "$percent" &&
    scaled "$HEIGHT" "$about_client_height" "$percent" ||
    fail "at $percent % the About box is $WIDTH x $HEIGHT, not $about_client_width x" \
      "$about_client_height times the scale"
  import -window "$about" "$work/about-$percent-percent.png"
  echo "$percent %: the picker $picker, the About box $WIDTH x $HEIGHT; the stopped reel's" \
    "picture is $sharp from $name drawn for the scale, $stretched from $name stretched"
  focus_window "$about" || fail "the About box takes no focus"
  xdotool key Escape
  wait_window_gone 10 --name "^$about_title\$" || fail "Esc did not close the About box"
  focus_window "$main" || fail "the window takes no focus again"
  xdotool key ctrl+q
  wait_for '! alive "$program"' 20 || fail "Ctrl+Q did not end the program at $percent %"
  wait "$program" || true
  forget_process "$program"
done
echo "PASS"
