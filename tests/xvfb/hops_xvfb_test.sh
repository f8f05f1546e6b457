#!/usr/bin/env bash
# The Linux build of the game on the SDL2 host under Xvfb, on a bare X server
# and under a window manager (openbox), or on a Wayland compositor; Esc ends
# every run with exit code 0.
#
# display: with one picture missing, the loader's message box is the
# platform's own, exactly the picture MessageBoxA draws (the Hangul text and
# caption); a click on OK or Enter closes it and the game's window gets the
# keyboard. Then full screen covers the whole screen, the 4:3 picture whole
# between black bars; Alt+Enter makes a 1024 x 768 window and F11 full screen
# again, by the window's geometry; a resized window keeps the picture 4:3
# between bars; the status text's red is at the picture's top-left in each
# (at 1:1 the play-through compares the picture itself).
#
# wayland: weston nested in Xvfb (with its X11 backend: its headless one
# makes SDL's own start-up crash), the game on SDL's wayland video driver,
# where its window has no pixels of its own and the picture goes through
# SDL's renderer. The title screen inside weston's window must be the
# headless build's first frame below the status text, exactly; S starts
# play, Esc (keys sent to weston's X window reach the game through the
# compositor) ends the game with exit code 0. Where the game cannot be shown
# at all (SDL without EGL has no wayland windows), it says so and exits 1 at
# once. Skipped only where weston cannot start.
#
# Usage: hops_xvfb_test.sh display|wayland <hops> <IMG folder> <frame_dump>
set -euo pipefail
export LC_ALL=C.UTF-8
source "$(dirname "$0")/../support/harness.sh"
cp -r "$3" "$hops_workdir/IMG"
hops=$2
run=(env -u HOPS_WINDOWED -u HOPS_SCALE -u HOPS_VSYNC HOPS_HOST=sdl SDL_VIDEODRIVER=x11)

if [ "$1" = wayland ]; then
  hops_require Xvfb weston xdotool import compare
  (cd "$hops_workdir" && HOPS_HOST=headless "$4" first_frame.ppm)
  hops_start_xvfb
  export XDG_RUNTIME_DIR=$hops_workdir/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  weston --backend=x11-backend.so --use-pixman --socket=hops --width=1024 --height=768 >"$hops_workdir/weston.log" 2>&1 &
  compositor() { [ -S "$XDG_RUNTIME_DIR/hops" ] && window=$(xdotool search --classname weston 2>/dev/null | head -n 1); }
  hops_wait_for 20 compositor || { echo "SKIPPED: weston cannot start: $(tail -n 3 "$hops_workdir/weston.log")"; exit 77; }
  run+=(WAYLAND_DISPLAY=hops SDL_VIDEODRIVER=wayland)
  status=0
  "${run[@]}" SDL_VIDEO_EGL_DRIVER=/nonexistent timeout 10 "$hops" >"$hops_workdir/unseen.log" 2>&1 || status=$?
  [ "$status" = 1 ] && grep -q '^hops: the game cannot be shown: ' "$hops_workdir/unseen.log" ||
    fail "without EGL the game ended with $status: $(cat "$hops_workdir/unseen.log")"

  hops_start "$hops_workdir" "${run[@]}" "$hops"
  xdotool windowfocus --sync "$window" mousemove --window "$window" 512 384 2>/dev/null || true
  hops_wait_for 30 shown title "$hops_workdir/first_frame.ppm" 0 || fail "weston's window does not show the title screen"
  playing() { ! shown play "$hops_workdir/first_frame.ppm" 10000; }
  press s 0.2 3 playing || fail "S did not start play"
  echo "the title screen inside weston's window, play after $presses S"
  hops_quit
  exit 0
fi
hops_require Xvfb xdotool xwininfo xprop import convert compare openbox

# The box is the game's only visible window titled with the caption (in
# _NET_WM_NAME: xdotool's --name matches only the Latin-1 WM_NAME).
box_shown() {
  local candidate
  box=""
  for candidate in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
    [ "$(xprop -id "$candidate" _NET_WM_NAME)" != "_NET_WM_NAME(UTF8_STRING) = \"$caption\"" ] || box=$candidate
  done
  [ -n "$box" ]
}
# The picture is drawn once the window is mapped: wait for it to match.
box_matches() {
  shot screen
  [ "$(compare -metric AE \( "$hops_workdir/screen.ppm" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage \) \
    "$hops_workdir/box.ppm" null: 2>&1 || true)" = 0 ]
}
game_focused() { game_window && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ]; }

# The game's window on the screen as WxH+X+Y (xwininfo counts a window
# manager's frame right), and whether it is $1, or of size $1 when a window.
geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'
}
window_is() { [[ $(geometry) == "$1" || $(geometry) == "$1"+* ]]; }
# check <xdotool command, or nothing> <window> <picture>: after the command,
# the window, the bounding box of what is not black in it, and red status
# text at that picture's top-left.
check() {
  local picture red window_shot
  [ -z "$1" ] || xdotool $1
  hops_wait_for 5 window_is "$2" || fail "the window is $(geometry), not $2"
  sleep 1
  shot screen
  window_shot=("$hops_workdir/screen.ppm" -crop "$(geometry)" +repage)
  picture=$(convert "${window_shot[@]}" -bordercolor black -border 1 -format '%@' info: |
    awk -F'[x+]' '{ printf "%sx%s+%d+%d\n", $1, $2, $3 - 1, $4 - 1 }')
  red=$(convert "${window_shot[@]}" -crop "$picture" +repage -crop 300x64+0+0 +repage \
    -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' -format '%[fx:round(mean * w * h)]' info:)
  echo "${1:-start}: window $(geometry), picture $picture, $red red pixels at its top-left"
  [ "$picture" = "$3" ] || fail "the picture should be $3"
  [ "$red" -gt 100 ] || fail "no status text at the picture's top-left"
}

rm "$hops_workdir/IMG/IMG_BULLET.bmp"
caption="실패" text="비트맵 로드 실패"
read -r ok_x ok_y < <("$4" "$hops_workdir/box.ppm" "$caption" "$text")
for case in "bare click" "openbox Return"; do
  read -r manager close <<<"$case"
  hops_start_xvfb 1920x1080 "$manager"
  hops_start "$hops_workdir" "${run[@]}" "$hops"
  hops_wait_for 30 box_shown || fail "no message box on $case"
  eval "$(xdotool getwindowgeometry --shell "$box")"
  hops_wait_for 10 box_matches || fail "the box at ${WIDTH}x${HEIGHT}+$X+$Y on $case is not MessageBoxA's"
  echo "$case: the box at ${WIDTH}x${HEIGHT}+$X+$Y shows MessageBoxA's picture"
  # The box has the keyboard wherever the pointer is.
  closing=(mousemove 0 0 key "$close")
  [ "$close" != click ] || closing=(mousemove $((X + ok_x)) $((Y + ok_y)) click 1)
  xdotool "${closing[@]}"
  hops_wait_for 10 eval '! box_shown' || fail "$close did not close the box"
  hops_wait_for 10 game_focused || fail "the game's window did not get the keyboard after the box"
  check "" 1920x1080+0+0 1440x1080+240+0
  check "key alt+Return" 1024x768 1024x768+0+0
  check "windowsize $window 1200 600" 1200x600 800x600+200+0
  check "key F11" 1920x1080+0+0 1440x1080+240+0
  hops_quit
  grep -qx "MessageBox \[$caption\]: $text" "$hops_workdir/game.log" || fail "no line of the box on stderr"
done
