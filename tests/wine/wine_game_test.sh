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
source "$(dirname "$0")/../support/play_through.sh"
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

hops_play_through "$game_pid" 30
