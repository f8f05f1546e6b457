#!/usr/bin/env bash
# The game in a real X window on Xvfb, played from the title to Esc: the
# Linux build installed with cmake --install and started through its launcher
# from another folder on the SDL2 host ("native"), or the Windows build under
# Wine ("wine"). The title screen must be the headless build's first frame
# below the status text (exactly natively, within 100 pixels under Wine's
# DirectDraw); then S starts play, space fires a bullet, the Right arrow
# moves the player, and Esc ends the process with exit code 0. How fast it
# plays is the pacing benchmark's to measure (bench/pacing.sh), not a test's.
#
# "probe" runs the DirectDraw probe on our platform layer and on Wine's
# DirectDraw: every observation (result codes, hashes of keyed and stretched
# blits, rejected rectangles, the flip) must agree; the Windows probe writes
# text-mode lines.
#
# Usage: play_through.sh native <build dir> <frame_dump>
#        play_through.sh wine <hops.exe> <IMG folder> <frame_dump>
#        play_through.sh probe <ddraw_probe.exe> <ddraw_probe>
set -euo pipefail
source "$(dirname "$0")/harness.sh"
hops_require Xvfb xdotool import convert compare
hops_start_xvfb
if [ "$1" = native ]; then
  cmake --install "$2" --prefix "$hops_workdir" >/dev/null
  game_dir="$hops_workdir/lib/hops" frame_dump=$3 patience=10 tolerance=0 move=0.3
  # From the prefix, a folder without pictures: the launcher must find them itself.
  hops_start_game "$hops_workdir" env -u HOPS_WINDOWED -u HOPS_VSYNC HOPS_HOST=sdl SDL_VIDEODRIVER=x11 \
    "$hops_workdir/bin/hops"
else
  hops_require wine
  [ -f "$2" ] || { echo "SKIPPED: no Windows build at $2"; exit 77; }
  # A fresh prefix; LANG=ko_KR.UTF-8 makes the ANSI code page 949.
  export WINEPREFIX="$hops_workdir/pfx" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ko_KR.UTF-8
  wineboot -i >/dev/null 2>&1
  wineserver -w
  if [ "$1" = probe ]; then
    HOPS_HOST=headless "$3" "$hops_workdir/native.txt"
    # Wine on a loaded machine has once been killed mid-run from outside
    # (status 137, nothing of the probe's own): such a death is run again once.
    probe() { (cd "$(dirname "$2")" && timeout 180 wine ddraw_probe.exe "$hops_workdir/wine.txt"); }
    probe "$@" || {
      status=$?
      [ "$status" -gt 128 ] || fail "the Windows probe exited $status"
      echo "the Windows probe died of signal $((status - 128)); running it again"
      probe "$@"
    }
    diff "$hops_workdir/native.txt" <(tr -d '\r' <"$hops_workdir/wine.txt")
    exit 0
  fi
  # Wine's DirectDraw may draw as few as 15 frames a second on a busy machine.
  game_dir=$hops_workdir frame_dump=$4 patience=30 tolerance=99 move=1.5
  cp -r "$2" "$3" "$game_dir/"
  hops_start_game "$game_dir" wine hops.exe
fi
(cd "$game_dir" && HOPS_HOST=headless "$frame_dump" "$hops_workdir/first_frame.ppm")
# What the play field is without anything on it: IMG_BACK under IMG_BACKGROUND.
convert "$game_dir/IMG/IMG_BACK.bmp" \( "$game_dir/IMG/IMG_BACKGROUND.bmp" -transparent '#FF00FF' \) -composite \
  "$hops_workdir/field.png"

hops_wait_for $((3 * patience)) shown title "$hops_workdir/first_frame.ppm" "$tolerance" ||
  fail "the title screen is not the headless first frame"
if [ "$1" = native ] && [ -s "$hops_workdir/game.log" ]; then fail "the game reported:"; fi
# The pieces of what differs from the empty play field above the player's
# picture (at x 80 at the start), one WxH+X+Y a line; the bullet is one no
# wider than its 16 pixels, rising from the left of the player's rectangle
# (20 right of its picture).
column() {
  shot fired
  pieces=$(convert \( "$hops_workdir/fired.ppm" -crop 60x537+80+64 +repage \) \
    \( "$hops_workdir/field.png" -crop 60x537+80+64 +repage \) -compose difference -composite -threshold 4% \
    -fill white +opaque black -define connected-components:verbose=true -connected-components 8 null: |
    awk '/255,255,255/ { print $2 }')
}
column_clear() { column && [ -z "$pieces" ]; }
bullet_shown() {
  column
  bullet=$(awk -F'[x+]' '$1 <= 16 && $2 >= 8 && $3 >= 20 && $3 + $1 <= 36' <<<"$pieces")
  [ -n "$bullet" ]
}
# The player: the bounding box of what differs from the empty play field in
# its rows, when alone there (the ball may cross them at any time): no wider
# than its 91-pixel picture, and moved right off where that picture starts.
player_moved() {
  shot moved
  IFS='x+' read -r w h x y < <(convert \( "$hops_workdir/moved.ppm" -crop 1024x150+0+550 +repage \) \
    \( "$hops_workdir/field.png" -crop 1024x150+0+550 +repage \) -compose difference -composite -threshold 4% \
    -format '%@' info: 2>/dev/null) || true
  [ "$w" -gt 0 ] && [ "$w" -le 91 ] && [ "$x" -gt 171 ]
}
# Space fires a bullet once the ball has left the player's column for the
# right; the Right arrow moves the player at once, before any piece of a
# ball the bullet split can come down on it.
press s 0.2 "$patience" column_clear || fail "S did not start play, or the ball stays over the player"
echo "play after $presses S"
press space 0.1 1 bullet_shown || fail "no bullet over the player's picture after S and space"
press Right "$move" 3 player_moved || fail "the Right arrow did not move the player's figure right of x 171"
echo "a bullet at $bullet over the player's picture; then the player's figure at ${w}x$h+$x+$y"
hops_quit
