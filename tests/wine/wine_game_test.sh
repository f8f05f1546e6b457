#!/usr/bin/env bash
# The Windows build of the game under Wine on a 1024 x 768 x 24 X server:
# the title screen appears (and matches, outside the status text, the first
# frame of the native build), S shows the play field, the Right arrow moves
# the player, space fires a bullet, and Esc ends the process with exit code 0.
set -euo pipefail
hops_exe=$1
img_dir=$2
frame_dump=$3
source "$(dirname "$0")/wine_env.sh"
hops_require wine Xvfb xdpyinfo xdotool import convert compare
[ -f "$hops_exe" ] || hops_skip "no Windows build at $hops_exe"

game_dir="$hops_workdir/game"
mkdir -p "$game_dir"
cp "$hops_exe" "$game_dir/"
cp -r "$img_dir" "$game_dir/IMG"

# The native build's first frame, the reference for the title screen.
(cd "$game_dir" && HOPS_HOST=headless "$frame_dump" "$hops_workdir/native_title.ppm")

# What the play field is without anything on it: IMG_BACK under IMG_BACKGROUND.
convert "$img_dir/IMG_BACK.bmp" \( "$img_dir/IMG_BACKGROUND.bmp" -transparent '#FF00FF' \) -composite \
  "$hops_workdir/field.png"

hops_start_xvfb
hops_wine_prefix

shot() { import -window root "$hops_workdir/$1.png"; }
# Pixels of a screenshot that differ from a reference, below the status text.
differing() {
  compare -metric AE -fuzz 1% \( "$hops_workdir/$1.png" -crop 1024x704+0+64 +repage \) \
    \( "$2" -crop 1024x704+0+64 +repage \) null: 2>&1 | cut -d' ' -f1
}
# Bounding box (WxH+X+Y) of what differs from the empty play field inside a region.
figure_box() {
  convert \( "$hops_workdir/$1.png" -crop "$2" +repage \) \( "$hops_workdir/field.png" -crop "$2" +repage \) \
    -compose difference -composite -threshold 4% -format '%@' info:
}

(cd "$game_dir" && exec wine hops.exe) >"$hops_workdir/wine.log" 2>&1 &
game_pid=$!

title_shown() {
  kill -0 "$game_pid" 2>/dev/null || return 2
  shot title
  [ "$(differing title "$hops_workdir/native_title.ppm")" -lt 100 ]
}
if ! hops_wait_for 90 title_shown; then
  echo "FAIL: the title screen did not appear"; cat "$hops_workdir/wine.log"; exit 1
fi
echo "title screen: $(differing title "$hops_workdir/native_title.ppm") pixels differ from the native build's first frame below the status text"

window=$(xdotool search --name Drel_HOPS | head -n 1)
[ -n "$window" ] || { echo "FAIL: no window named Drel_HOPS"; exit 1; }
xdotool windowfocus --sync "$window" || true

hold() { xdotool keydown "$1"; sleep "${2:-0.2}"; xdotool keyup "$1"; }

hold s
field_shown() {
  shot play
  [ "$(differing play "$hops_workdir/field.png")" -lt 120000 ]
}
if ! hops_wait_for 30 field_shown; then
  echo "FAIL: S did not start play"; exit 1
fi
start_box=$(figure_box play 400x150+0+550)
echo "player at start: $start_box (region 400x150+0+550)"

# Let the ball fly off to the right before the player moves under where it was.
sleep 1
hold Right
shot moved
moved_box=$(figure_box moved 400x150+0+550)
echo "player after Right: $moved_box"
start_x=$(sed -E 's/.*\+([0-9]+)\+[0-9]+$/\1/' <<<"$start_box")
moved_x=$(sed -E 's/.*\+([0-9]+)\+[0-9]+$/\1/' <<<"$moved_box")
# The picture starts at x 80 (20 left of the player's rectangle); its figure lies inside it.
if [ "$start_x" -lt 80 ] || [ "$start_x" -gt 171 ] || [ "$moved_x" -le "$start_x" ]; then
  echo "FAIL: the player should start inside x 80..171 and move right (start $start_x, after $moved_x)"; exit 1
fi

hold space 0.1
sleep 0.3
shot fired
bullet_box=$(figure_box fired 400x480+0+64)
echo "above the player after space: $bullet_box"
[ "$bullet_box" != "0x0+0+0" ] || { echo "FAIL: no bullet above the player"; exit 1; }

hold Escape
status=0
if hops_wait_for 30 bash -c "! kill -0 $game_pid 2>/dev/null"; then
  wait "$game_pid" || status=$?
else
  echo "FAIL: Esc did not end the game"; exit 1
fi
echo "exit code $status"
[ "$status" -eq 0 ]
