#!/usr/bin/env bash
# The Linux build of the game, installed with cmake --install and started
# through its launcher from another folder, on the SDL2 host in a real X
# window: the title screen (the native headless build's first frame), S shows
# the play field, the Right arrow moves the player, space fires a bullet, and
# Esc ends the process with exit code 0.
#
# Usage: hops_game_test.sh <build dir> <frame_dump> [folder to keep the screenshots in]
set -euo pipefail
build_dir=$1
frame_dump=$2
keep_dir=${3:-}
source "$(dirname "$0")/../wine/wine_env.sh"
hops_require Xvfb xdpyinfo xdotool import convert compare

prefix="$hops_workdir/prefix"
cmake --install "$build_dir" --prefix "$prefix" >"$hops_workdir/install.log"
launcher="$prefix/bin/hops"
[ -x "$launcher" ] || { echo "FAIL: no launcher at bin/hops"; exit 1; }
img_dir="$prefix/lib/hops/IMG"
[ "$(ls "$img_dir"/IMG_*.bmp | wc -l)" -eq 7 ] || { echo "FAIL: the seven pictures are not installed"; exit 1; }

(cd "$prefix/lib/hops" && HOPS_HOST=headless "$frame_dump" "$hops_workdir/native_title.ppm")
convert "$img_dir/IMG_BACK.bmp" \( "$img_dir/IMG_BACKGROUND.bmp" -transparent '#FF00FF' \) -composite \
  "$hops_workdir/field.png"

hops_start_xvfb

shot() {
  import -window root "$hops_workdir/$1.png"
  if [ -n "$keep_dir" ]; then cp "$hops_workdir/$1.png" "$keep_dir/"; fi
}
differing() {
  compare -metric AE -fuzz 1% \( "$hops_workdir/$1.png" -crop 1024x704+0+64 +repage \) \
    \( "$2" -crop 1024x704+0+64 +repage \) null: 2>&1 | cut -d' ' -f1
}
figure_box() {
  convert \( "$hops_workdir/$1.png" -crop "$2" +repage \) \( "$hops_workdir/field.png" -crop "$2" +repage \) \
    -compose difference -composite -threshold 4% -format '%@' info:
}

# From a folder without pictures: the launcher must find them itself.
elsewhere="$hops_workdir/elsewhere"
mkdir -p "$elsewhere"
(cd "$elsewhere" && env -u HOPS_WINDOWED HOPS_HOST=sdl SDL_VIDEODRIVER=x11 "$launcher") \
  >"$hops_workdir/game.log" 2>&1 &
game_pid=$!

title_shown() {
  kill -0 "$game_pid" 2>/dev/null || return 2
  shot title
  [ "$(differing title "$hops_workdir/native_title.ppm")" -eq 0 ]
}
if ! hops_wait_for 30 title_shown; then
  echo "FAIL: the title screen did not appear"; cat "$hops_workdir/game.log"; exit 1
fi
if grep -q . "$hops_workdir/game.log"; then
  echo "FAIL: the game reported:"; cat "$hops_workdir/game.log"; exit 1
fi
echo "title screen: identical to the headless build's first frame below the status text"

window=$(xdotool search --name '^Drel_HOPS$' | head -n 1)
[ -n "$window" ] || { echo "FAIL: no window named Drel_HOPS"; exit 1; }
xdotool windowfocus --sync "$window" || true

hold() { xdotool keydown "$1"; sleep "${2:-0.2}"; xdotool keyup "$1"; }

hold s
field_shown() {
  shot play
  [ "$(differing play "$hops_workdir/field.png")" -lt 120000 ]
}
hops_wait_for 10 field_shown || { echo "FAIL: S did not start play"; exit 1; }
start_box=$(figure_box play 400x150+0+550)
echo "player at start: $start_box (region 400x150+0+550)"

sleep 1
hold Right 0.3
sleep 0.1
shot moved
moved_box=$(figure_box moved 400x150+0+550)
echo "player after Right: $moved_box"
start_x=$(sed -E 's/.*\+([0-9]+)\+[0-9]+$/\1/' <<<"$start_box")
moved_x=$(sed -E 's/.*\+([0-9]+)\+[0-9]+$/\1/' <<<"$moved_box")
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
if hops_wait_for 10 bash -c "! kill -0 $game_pid 2>/dev/null"; then
  wait "$game_pid" || status=$?
else
  echo "FAIL: Esc did not end the game"; exit 1
fi
echo "exit code $status"
[ "$status" -eq 0 ]
