#!/usr/bin/env bash
# The game in a real X window on Xvfb, played from the title to Esc: the
# Linux build installed with cmake --install and started through its launcher
# from another folder on the SDL2 host ("native"), or the Windows build under
# Wine ("wine"). The title screen must be the headless build's first frame
# below the status text (exactly natively, within 100 pixels under Wine's
# DirectDraw); then space fires a bullet, the Right arrow moves the player,
# and Esc ends the process with exit code 0. Natively a second run, left to
# play undisturbed by screenshots for a few seconds, keeps the designed pace:
# HOPS_STATS=1's line after Esc reports at least 95 frames a second (100 is
# the design; the bound is loose for a shared machine).
#
# "probe" runs the DirectDraw probe on our platform layer and on Wine's
# DirectDraw: every observation (result codes, hashes of keyed and stretched
# blits, rejected rectangles, the flip) must agree; the Windows probe writes
# text-mode lines.
#
# Usage: play_through.sh native <build dir> <frame_dump> [folder to keep the screenshots in]
#        play_through.sh wine <hops.exe> <IMG folder> <frame_dump>
#        play_through.sh probe <ddraw_probe.exe> <ddraw_probe>
set -euo pipefail
source "$(dirname "$0")/../wine/wine_env.sh"
hops_require Xvfb xdotool import convert compare
if [ "$1" = native ]; then
  export HOPS_KEEP_SHOTS=${4:-}
  cmake --install "$2" --prefix "$hops_workdir" >/dev/null
  game_dir="$hops_workdir/lib/hops" frame_dump=$3 patience=10 tolerance=0
  # From a folder without pictures: the launcher must find them itself.
  mkdir "$hops_workdir/elsewhere"
  run=(env -u HOPS_WINDOWED -u HOPS_VSYNC HOPS_HOST=sdl SDL_VIDEODRIVER=x11 "$hops_workdir/bin/hops")
  hops_start_xvfb
  hops_start_game "$hops_workdir/elsewhere" "${run[@]}"
else
  hops_require wine
  [ -f "$2" ] || { echo "SKIPPED: no Windows build at $2"; exit 77; }
  hops_start_xvfb
  hops_wine_prefix
  if [ "$1" = probe ]; then
    HOPS_HOST=headless "$3" "$hops_workdir/native.txt"
    (cd "$(dirname "$2")" && timeout 180 wine ddraw_probe.exe "$hops_workdir/wine.txt")
    diff "$hops_workdir/native.txt" <(tr -d '\r' <"$hops_workdir/wine.txt")
    exit 0
  fi
  game_dir="$hops_workdir/game" frame_dump=$4 patience=30 tolerance=99
  mkdir "$game_dir"
  cp -r "$2" "$3" "$game_dir/"
  hops_start_game "$game_dir" wine hops.exe
fi
(cd "$game_dir" && HOPS_HOST=headless "$frame_dump" "$hops_workdir/title.ppm")
# What the play field is without anything on it: IMG_BACK under IMG_BACKGROUND.
convert "$game_dir/IMG/IMG_BACK.bmp" \( "$game_dir/IMG/IMG_BACKGROUND.bmp" -transparent '#FF00FF' \) -composite \
  "$hops_workdir/field.png"

# shown <shot> <reference> <most pixels>: the pixels of a screenshot below
# the status text that differ from a reference are few enough.
shown() {
  shot "$1"
  [ "$(compare -metric AE -fuzz 1% \( "$hops_workdir/$1.ppm" -crop 1024x704+0+64 +repage \) \
    \( "$2" -crop 1024x704+0+64 +repage \) null: 2>&1 | cut -d' ' -f1)" -le "$3" ]
}
# figure <shot> <region>: the bounding box of what differs from the empty play
# field inside a region of a new screenshot, relative to it, as w h x y (w 0: nothing).
figure() {
  shot "$1"
  IFS='x+' read -r w h x y < <(convert \( "$hops_workdir/$1.ppm" -crop "$2" +repage \) \
    \( "$hops_workdir/field.png" -crop "$2" +repage \) -compose difference -composite -threshold 4% \
    -format '%@' info: 2>/dev/null) || true
}
hops_wait_for $((3 * patience)) shown title "$hops_workdir/title.ppm" "$tolerance" ||
  fail "the title screen is not the headless first frame"
if [ "$1" = native ] && [ -s "$hops_workdir/game.log" ]; then fail "the game reported:"; fi
hold s
hops_wait_for "$patience" shown play "$hops_workdir/field.png" 120000 || fail "S did not start play"
# The ball may cross the player's region at any time: the player is
# measured when alone, its figure no wider than its 91-pixel picture, and
# after the move exactly as large as before.
player_alone() {
  figure moved 1024x150+0+550
  [ "$w" -gt 0 ] && [ "$w" -le 91 ] && [ "${w}x$h" = "${size:-${w}x$h}" ]
}
hops_wait_for 5 player_alone || fail "no player in the play field"
start=$x size=${w}x$h
# The player's picture starts at x 80 (20 left of its rectangle).
[ "$start" -ge 80 ] && [ "$start" -le 171 ] || fail "the player starts at x $start, not in 80..171"
# Once the ball has bounced off the floor and flown off to the right, space
# fires a bullet: a figure no wider than its 16 pixels, rising from the left
# of the player's rectangle (20 right of its picture); then the Right arrow
# moves the player. A busy machine may take both key messages between two
# frames: each key gets more tries.
sleep 1
bullet_shown() { [ "$w" -gt 0 ] && [ "$w" -le 16 ] && [ "$x" -ge 20 ] && [ $((x + w)) -le 36 ]; }
for _ in 1 2 3; do
  hold space 0.1
  sleep 0.2
  figure fired 60x537+80+64
  ! bullet_shown || break
done
bullet="${w}x$h+$x+$y"
bullet_shown || fail "no bullet over the player's picture after space ($bullet)"
for _ in 1 2 3; do
  hold Right 0.3
  hops_wait_for 5 player_alone && [ "$x" -gt "$start" ] && break
done
echo "a bullet at $bullet over the player's picture; the player from x $start to $x"
[ "${w}x$h" = "$size" ] && [ "$x" -gt "$start" ] || fail "the Right arrow did not move the player from x $start"
hops_quit
[ "$1" = native ] || exit 0

hops_start_xvfb
hops_start_game "$hops_workdir/elsewhere" env HOPS_STATS=1 "${run[@]}"
hold s
sleep 4
hops_quit
grep '^hops: ' "$hops_workdir/game.log" || true
rate=$(sed -nE 's/^hops: [0-9]+ frames in [0-9.]+ s \(([0-9.]+) a second\), [0-9]+ shown, CPU [0-9.]+ s \([0-9.]+ % of one core\)$/\1/p' \
  "$hops_workdir/game.log")
[ -n "$rate" ] || fail "no statistics line in the form asked for"
awk -v r="$rate" 'BEGIN { exit !(r >= 95) }' || fail "$rate frames a second, not the designed 100"
