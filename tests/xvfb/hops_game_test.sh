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
export HOPS_KEEP_SHOTS=${3:-}
source "$(dirname "$0")/../wine/wine_env.sh"
source "$(dirname "$0")/../support/play_through.sh"
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

hops_play_through "$game_pid" 10
