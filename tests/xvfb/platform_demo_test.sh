#!/usr/bin/env bash
# Runs the platform demo in a real X window (Xvfb, 1024x768) on the SDL2
# host, holds keys down with xdotool, and checks both what the program saw
# (WM_KEYDOWN/WM_KEYUP and GetKeyState, printed by the demo) and what
# reached the screen (screenshots sampled at the quadrants' centres, so the
# check holds however the picture is scaled).
#
# Usage: platform_demo_test.sh <hops_platform_demo>
set -euo pipefail

demo=$1
for tool in Xvfb xdotool import convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=
demo_pid=
cleanup() {
  if [ -n "$demo_pid" ]; then kill "$demo_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

out=$work/out.txt
err=$work/err.txt
touch "$out" "$err"

fail() {
  echo "FAIL: $*"
  echo "--- demo output"
  cat "$out"
  echo "--- demo errors"
  cat "$err"
  exit 1
}

# Polls until the command succeeds: wait_for <seconds> <what> <command...>
wait_for() {
  local deadline=$((SECONDS + $1)) what=$2
  shift 2
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.1
  done
}

has_line() { grep -qxF -- "$1" "$out"; }
last_flip() { grep '^flip ' "$out" | tail -n 1 | cut -d' ' -f3-; }
last_flip_is() { [ "$(last_flip)" = "$1" ]; }

# The colour at (x, y) of a screenshot, as 0xRRGGBB.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/0x\1/p' | head -n 1 | tr 'a-f' 'A-F'
}

# Takes a screenshot and compares the quadrants' centres with the picture
# "TL TR BL BR" (0xRRGGBB each).
screen_shows() {
  local shot=$work/screen.png
  import -window root "$shot" 2>/dev/null || return 1
  local width height
  read -r width height < <(identify -format '%w %h' "$shot")
  local seen
  seen="$(pixel "$shot" $((width / 4)) $((height / 4))) $(pixel "$shot" $((width * 3 / 4)) $((height / 4)))"
  seen="$seen $(pixel "$shot" $((width / 4)) $((height * 3 / 4))) $(pixel "$shot" $((width * 3 / 4)) $((height * 3 / 4)))"
  last_seen=$seen
  [ "$seen" = "$1" ]
}

# The demo flipped this picture, and it is what the screen shows.
expect_picture() {
  wait_for 10 "the demo to flip '$1' (last flip: '$(last_flip)')" last_flip_is "$1"
  last_seen=
  if ! wait_for_screen "$1"; then
    fail "the screen shows '$last_seen', the demo flipped '$1'"
  fi
}
wait_for_screen() {
  local deadline=$((SECONDS + 10))
  until screen_shows "$1"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

expect_line() { wait_for 10 "the demo to print '$1'" has_line "$1"; }

# Xvfb chooses a free display itself and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_ready() { [ -s "$work/display" ]; }
wait_for 20 "Xvfb to start" display_ready
export DISPLAY=":$(head -n 1 "$work/display")"
echo "Xvfb on $DISPLAY"

# Desktop full screen on the SDL2 host (the default when a display exists).
env -u HOPS_WINDOWED HOPS_HOST=sdl SDL_VIDEODRIVER=x11 "$demo" alpha beta >"$out" 2>"$err" &
demo_pid=$!

find_window() { window=$(xdotool search --name '^HOPS platform demo$' 2>/dev/null | head -n 1) && [ -n "$window" ]; }
wait_for 20 "the demo's window" find_window
timeout 10 xdotool windowfocus --sync "$window" || fail "the demo's window cannot take the keyboard"

expect_line "command line: [alpha beta]"
expect_picture "0xFF0000 0x00FF00 0x0000FF 0xFFFFFF"

# Space held across frames: down (and toggled) while held, repeating as
# Windows repeats (WM_KEYDOWN again, previous-state bit set) once the X
# server's autorepeat starts, then up.
xdotool keydown space
expect_line "WM_KEYDOWN vk=0x20 repeat=0 state=0xFF81"
expect_picture "0xFF0000 0x00FF00 0x0000FF 0xFFFF00"
expect_line "WM_KEYDOWN vk=0x20 repeat=1 state=0xFF81"
xdotool keyup space
expect_line "WM_KEYUP vk=0x20 repeat=1 state=0x0001"
expect_picture "0xFF0000 0x00FF00 0x0000FF 0x00FFFF"

# Left and Right held together are both down.
xdotool keydown Left
expect_line "WM_KEYDOWN vk=0x25 repeat=0 state=0xFF81"
xdotool keydown Right
expect_line "WM_KEYDOWN vk=0x27 repeat=0 state=0xFF81"
expect_picture "0xFF8000 0x00FF00 0x0000FF 0x00FFFF"
sleep 0.2
xdotool keyup Left
expect_line "WM_KEYUP vk=0x25 repeat=1 state=0x0001"
expect_picture "0xFF0000 0x00FF00 0x0000FF 0x00FFFF"
xdotool keyup Right
expect_line "WM_KEYUP vk=0x27 repeat=1 state=0x0001"

# A second press of Space clears its toggle again.
xdotool keydown space
expect_line "WM_KEYDOWN vk=0x20 repeat=0 state=0xFF80"
sleep 0.2
xdotool keyup space
expect_line "WM_KEYUP vk=0x20 repeat=1 state=0x0000"
expect_picture "0xFF0000 0x00FF00 0x0000FF 0xFFFFFF"

# Letters arrive as their capital's virtual key.
xdotool key s
expect_line "WM_KEYDOWN vk=0x53 repeat=0 state=0xFF81"

# Esc: WM_DESTROY posted, the quit message ends the loop with 0.
xdotool key Escape
expect_line "WM_KEYDOWN vk=0x1B repeat=0 state=0xFF81"
demo_ended() { ! kill -0 "$demo_pid" 2>/dev/null; }
wait_for 10 "the demo to exit after Esc" demo_ended
status=0
wait "$demo_pid" || status=$?
demo_pid=
[ "$status" -eq 0 ] || fail "the demo exited with $status after Esc"
expect_line "exit 0"
echo "PASS: keys, key state and screen of the platform demo under Xvfb"
