#!/usr/bin/env bash
# The game's picture on screens and windows of several shapes, on the SDL2
# host under Xvfb, with and without a window manager (openbox). Full screen
# covers the whole screen, the 4:3 picture whole between black bars (the
# status text's red at its top-left); Alt+Enter makes a 1024 x 768 window
# and F11 full screen again, from xdotool's geometry; a resized window keeps
# the picture 4:3 between bars; HOPS_SCALE=integer draws every pixel of the
# title exactly once or exactly as a 2 x 2 block. Esc ends each run with 0.
#
# Usage: hops_display_test.sh <hops> <IMG folder> <frame_dump>
set -euo pipefail
hops=$1
pictures=$2
frame_dump=$3
source "$(dirname "$0")/../wine/wine_env.sh"
hops_require Xvfb xdpyinfo xdotool xwininfo xprop import convert compare openbox

game_dir="$hops_workdir/game"
mkdir -p "$game_dir"
cp -r "$pictures" "$game_dir/IMG"
(cd "$game_dir" && HOPS_HOST=headless "$frame_dump" "$hops_workdir/title.ppm")
convert "$hops_workdir/title.ppm" "$hops_workdir/title1.png"
convert "$hops_workdir/title.ppm" -sample 200% "$hops_workdir/title2.png"

game_pid=""
wm_pid=""
window=""
fail() {
  echo "FAIL: $*"
  cat "$hops_workdir/game.log" 2>/dev/null || true
  exit 1
}

# start <screen> <openbox|bare> [variable=value...]: the game on a fresh X
# server, its title screen shown.
start() {
  local screen=$1 manager=$2
  shift 2
  hops_start_xvfb "$screen"
  if [ "$manager" = openbox ]; then
    openbox >"$hops_workdir/openbox.log" 2>&1 &
    wm_pid=$!
    hops_wait_for 10 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
      fail "openbox did not start"
  fi
  (cd "$game_dir" && exec env -u HOPS_WINDOWED -u HOPS_SCALE -u HOPS_VSYNC "$@" HOPS_HOST=sdl SDL_VIDEODRIVER=x11 \
    "$hops") >"$hops_workdir/game.log" 2>&1 &
  game_pid=$!
  hops_wait_for 20 bash -c "xdotool search --name '^Drel_HOPS$' >/dev/null" || fail "no window on $screen"
  window=$(xdotool search --name '^Drel_HOPS$' | head -n 1)
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 1
}

finish() {
  xdotool key Escape
  hops_wait_for 10 bash -c "! kill -0 $game_pid 2>/dev/null" || fail "Esc did not end the game"
  local status=0
  wait "$game_pid" || status=$?
  [ "$status" -eq 0 ] || fail "the game ended with $status"
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; wait "$wm_pid" 2>/dev/null || true; fi
  wm_pid=""
  kill "$hops_xvfb_pid" 2>/dev/null || true
  wait "$hops_xvfb_pid" 2>/dev/null || true
  hops_xvfb_pid=""
}

shot() { import -window root "$hops_workdir/$1.png"; }
# The window's size (xdotool's) and place on the screen as WxH+X+Y; the place
# comes from xwininfo, which counts a window manager's frame right.
geometry() {
  local size place
  size=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
  place=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                                       END { print x "+" y }')
  echo "$size+$place"
}
# Bounding box (WxH+X+Y) of what is not black in a region of a screenshot,
# relative to the region.
picture_box() {
  local box
  box=$(convert "$hops_workdir/$1.png" -crop "$2" +repage -bordercolor black -border 1 -format '%@' info:)
  awk -F'[x+]' '{ printf "%sx%s+%d+%d\n", $1, $2, $3 - 1, $4 - 1 }' <<<"$box"
}
# Pure red pixels (the status text) in a region of a screenshot.
red_pixels() {
  convert "$hops_workdir/$1.png" -crop "$2" +repage -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -format '%[fx:round(mean * w * h)]' info:
}
# Pixels of a screenshot region that differ from a picture below its status text.
differing() {
  local region=$2 reference=$3 skip=$4
  compare -metric AE \( "$hops_workdir/$1.png" -crop "$region" +repage -crop "+0+$skip" +repage \) \
    \( "$reference" -crop "+0+$skip" +repage \) null: 2>&1 | cut -d' ' -f1
}
expect() {
  local what=$1 got=$2 want=$3
  echo "$what: $got"
  [ "$got" = "$want" ] || fail "$what should be $want"
}
wait_geometry() {
  local want=$1
  hops_wait_for 5 bash -c "[ \"\$(xdotool getwindowgeometry $window | awk '/Geometry/ { print \$2 }')\" = $want ]" ||
    true
}

full_screen_fits() {
  local name=$1
  expect "$name: window" "$(geometry)" "1920x1080+0+0"
  shot "$name"
  expect "$name: picture between the bars" "$(picture_box "$name" 1920x1080+0+0)" "1440x1080+240+0"
  local red
  red=$(red_pixels "$name" 300x64+240+0)
  echo "$name: red status text pixels at the picture's top-left: $red"
  [ "$red" -gt 100 ] || fail "no status text at the picture's top-left"
}

for manager in bare openbox; do
  start 1920x1080 "$manager"
  full_screen_fits "$manager full screen"
  xdotool key alt+Return
  wait_geometry 1024x768
  window_geometry=$(geometry)
  echo "$manager Alt+Enter: window $window_geometry"
  [ "${window_geometry%%+*}" = 1024x768 ] || fail "Alt+Enter should make a 1024x768 window"
  shot windowed
  expect "$manager window: picture" "$(picture_box windowed "$window_geometry")" "1024x768+0+0"
  xdotool windowsize "$window" 1200 600
  wait_geometry 1200x600
  sleep 0.5
  resized=$(geometry)
  shot resized
  expect "$manager resized to ${resized%%+*}: picture" "$(picture_box resized "$resized")" "800x600+200+0"
  xdotool key F11
  wait_geometry 1920x1080
  sleep 0.5
  full_screen_fits "$manager F11"
  finish
done

# screen | picture box | reference title
for row in "1920x1080|1024x768+448+156|title1|64" "2560x1600|2048x1536+256+32|title2|128"; do
  IFS='|' read -r screen box reference skip <<<"$row"
  start "$screen" bare HOPS_SCALE=integer
  shot integer
  expect "integer on $screen: picture" "$(picture_box integer "${screen}+0+0")" "$box"
  expect "integer on $screen: pixels unlike the title's" \
    "$(differing integer "$box" "$hops_workdir/$reference.png" "$skip")" 0
  finish
done
