#!/usr/bin/env bash
# The Linux build of the game starting up. Without a display it must say
# what is missing and how to run without a window, and exit non-zero at
# once, never run unseen; headless runs only when asked for. On a display,
# with one picture missing, the loader's message box is the platform's own:
# exactly the picture MessageBoxA draws (the Hangul text and caption, not
# the font's missing-glyph boxes, not replacement characters), over a bare
# X server and under openbox, and Enter closes it and the game goes on.
#
# Usage: hops_start_up_test.sh <hops> <IMG folder> <message_box_dump>
set -euo pipefail
export LC_ALL=C.UTF-8
hops=$1
pictures=$2
message_box_dump=$3
source "$(dirname "$0")/../wine/wine_env.sh"
hops_require Xvfb xdotool xprop import convert compare openbox

game_dir="$hops_workdir/game"
mkdir -p "$game_dir"
cp -r "$pictures" "$game_dir/IMG"
rm "$game_dir/IMG/IMG_BULLET.bmp"
# No Wayland socket to be found either: the rows below have no display at all.
no_runtime="$hops_workdir/runtime"
mkdir -m 700 "$no_runtime"

# host setting | what the game does without a display
rows=(
  "HOPS_HOST=|refuses"
  "HOPS_HOST=sdl|refuses"
  "HOPS_HOST=sdl SDL_VIDEODRIVER=offscreen|refuses"
  "HOPS_HOST=sdl SDL_VIDEODRIVER=dummy|refuses"
  "HOPS_HOST=headless|runs"
)
for row in "${rows[@]}"; do
  setting=${row%%|*}
  expected=${row##*|}
  status=0
  (cd "$game_dir" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$no_runtime" $setting \
    timeout 2 "$hops") >"$hops_workdir/out.log" 2>"$hops_workdir/err.log" || status=$?
  if [ "$expected" = runs ]; then
    # Still running when the time ran out, without a word about the display.
    [ "$status" -eq 124 ] && ! grep -q 'display' "$hops_workdir/err.log" ||
      { echo "FAIL: $setting without a display: exit $status"; cat "$hops_workdir/err.log"; exit 1; }
  else
    if [ "$status" -eq 0 ] || [ "$status" -eq 124 ] || ! grep -q 'no display' "$hops_workdir/err.log" ||
      ! grep -q 'HOPS_HOST=headless' "$hops_workdir/err.log"; then
      echo "FAIL: $setting without a display: exit $status with"; cat "$hops_workdir/err.log"; exit 1
    fi
  fi
  echo "$setting without a display: $expected (exit $status)"
done

caption="실패"
text="비트맵 로드 실패"
read -r ok_x ok_y < <("$message_box_dump" "$caption" "$text" "$hops_workdir/box.ppm")
"$message_box_dump" "$caption" "${text//[^ ]/$'\uFFFD'}" "$hops_workdir/replaced.ppm" >/dev/null
"$message_box_dump" "$caption" "${text//[^ ]/$'\U0010FFFD'}" "$hops_workdir/missing.ppm" >/dev/null
for other in replaced missing; do
  pixels=$(compare -metric AE "$hops_workdir/box.ppm" "$hops_workdir/$other.ppm" null: 2>&1 || true)
  [ "$pixels" -gt 200 ] || { echo "FAIL: the text draws like $other glyphs ($pixels pixels differ)"; exit 1; }
done

wm_pid=""
stop_display() {
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; wait "$wm_pid" 2>/dev/null || true; fi
  if [ -n "$hops_xvfb_pid" ]; then kill "$hops_xvfb_pid" 2>/dev/null || true; wait "$hops_xvfb_pid" 2>/dev/null || true; fi
  wm_pid=""
  hops_xvfb_pid=""
}
trap 'stop_display; hops_cleanup' EXIT

# The box on a screen of $1 (WxH), under openbox when $2 is "openbox",
# closed with the key $3 or, when $3 is "click", a click on OK.
box_on_screen() {
  local screen=$1 manager=$2 close=$3
  hops_start_xvfb "$screen"
  if [ "$manager" = openbox ]; then
    openbox --sm-disable >"$hops_workdir/openbox.log" 2>&1 &
    wm_pid=$!
    hops_wait_for 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
      { echo "FAIL: openbox did not start"; cat "$hops_workdir/openbox.log"; return 1; }
  fi
  (cd "$game_dir" && env -u HOPS_WINDOWED HOPS_HOST=sdl SDL_VIDEODRIVER=x11 "$hops") \
    >"$hops_workdir/game.log" 2>&1 &
  local game_pid=$!
  # The box is the game's only visible window titled with the caption (in
  # _NET_WM_NAME: xdotool's --name matches only the Latin-1 WM_NAME).
  box_window() {
    local candidate
    for candidate in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
      if [ "$(xprop -id "$candidate" _NET_WM_NAME)" = "_NET_WM_NAME(UTF8_STRING) = \"$caption\"" ]; then
        echo "$candidate"
      fi
    done
  }
  box_shown() { [ -n "$(box_window)" ]; }
  box_gone() { [ -z "$(box_window)" ]; }
  hops_wait_for 30 box_shown || { echo "FAIL: no message box on $screen $manager"; cat "$hops_workdir/game.log"; return 1; }
  local window x y
  window=$(box_window)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  x=$X
  y=$Y
  # The picture is drawn once the window is mapped: wait for it to match.
  box_matches() {
    import -window root "$hops_workdir/screen.png"
    convert "$hops_workdir/screen.png" -crop "${WIDTH}x${HEIGHT}+$x+$y" +repage "$hops_workdir/shown.png"
    [ "$(compare -metric AE "$hops_workdir/shown.png" "$hops_workdir/box.ppm" null: 2>&1 || true)" = 0 ]
  }
  hops_wait_for 10 box_matches ||
    { echo "FAIL: the box at ${WIDTH}x${HEIGHT}+$x+$y on $screen $manager is not MessageBoxA's picture"; return 1; }
  if [ -n "${HOPS_KEEP_SHOTS:-}" ]; then cp "$hops_workdir/screen.png" "$HOPS_KEEP_SHOTS/box_${screen}_$manager.png"; fi
  echo "$screen $manager: the box at ${WIDTH}x${HEIGHT}+$x+$y shows MessageBoxA's picture; $close closes it"

  if [ "$close" = click ]; then
    xdotool mousemove $((x + ok_x)) $((y + ok_y)) click 1
  else
    # The box has the keyboard wherever the pointer is.
    xdotool mousemove 0 0 key "$close"
  fi
  hops_wait_for 10 box_gone || { echo "FAIL: $close did not close the box"; return 1; }
  # The game's window appears and has the keyboard back.
  game_focused() {
    local game_window
    game_window=$(xdotool search --name '^Drel_HOPS$' | head -n 1)
    [ -n "$game_window" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$game_window" ]
  }
  hops_wait_for 10 game_focused ||
    { echo "FAIL: the game's window did not get the keyboard after the box"; cat "$hops_workdir/game.log"; return 1; }
  # SDL takes a moment after the window gets the focus before it passes keys on.
  esc_ends_game() {
    xdotool key Escape
    sleep 0.5
    ! kill -0 "$game_pid" 2>/dev/null
  }
  local status=0
  hops_wait_for 10 esc_ends_game || { echo "FAIL: Esc did not end the game"; return 1; }
  wait "$game_pid" || status=$?
  grep -qx "MessageBox \[$caption\]: $text" "$hops_workdir/game.log" ||
    { echo "FAIL: the box's line is missing from standard error"; cat "$hops_workdir/game.log"; return 1; }
  [ "$status" -eq 0 ] || { echo "FAIL: exit code $status"; return 1; }
  stop_display
}

box_on_screen 1024x768 bare Return
box_on_screen 1920x1080 openbox Return
box_on_screen 1920x1080 bare click
