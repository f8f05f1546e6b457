#!/usr/bin/env bash
# The game on a Wayland compositor: weston nested in Xvfb (with its X11
# backend: its headless one makes SDL's own start-up crash), the game on
# SDL's wayland video driver, where its window has no pixels of its own and
# the picture goes through SDL's renderer. The title screen inside weston's
# window must be the headless build's first frame below the status text,
# exactly; S starts play, Esc (keys sent to weston's X window reach the
# game through the compositor) ends the game with exit code 0. Where the
# game cannot be shown at all (SDL without EGL has no wayland windows), it
# says so and exits 1 at once. Skipped only where weston cannot start.
#
# Usage: hops_wayland_test.sh <hops> <IMG folder> <frame_dump> [folder to keep the screenshots in]
set -euo pipefail
source "$(dirname "$0")/../support/harness.sh"
hops_require Xvfb weston xdotool import compare
export HOPS_KEEP_SHOTS=${4:-}
cp -r "$2" "$hops_workdir/IMG"
(cd "$hops_workdir" && HOPS_HOST=headless "$3" first_frame.ppm)
hops_start_xvfb
export XDG_RUNTIME_DIR=$hops_workdir/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=x11-backend.so --use-pixman --socket=hops --width=1024 --height=768 >"$hops_workdir/weston.log" 2>&1 &
compositor() { [ -S "$XDG_RUNTIME_DIR/hops" ] && window=$(xdotool search --classname weston 2>/dev/null | head -n 1); }
hops_wait_for 20 compositor || { echo "SKIPPED: weston cannot start: $(tail -n 3 "$hops_workdir/weston.log")"; exit 77; }
run=(env -u HOPS_WINDOWED -u HOPS_SCALE -u HOPS_VSYNC WAYLAND_DISPLAY=hops SDL_VIDEODRIVER=wayland HOPS_HOST=sdl)

status=0
"${run[@]}" SDL_VIDEO_EGL_DRIVER=/nonexistent timeout 10 "$1" >"$hops_workdir/unseen.log" 2>&1 || status=$?
[ "$status" = 1 ] && grep -q '^hops: the game cannot be shown: ' "$hops_workdir/unseen.log" ||
  fail "without EGL the game ended with $status: $(cat "$hops_workdir/unseen.log")"

hops_start "$hops_workdir" "${run[@]}" "$1"
xdotool windowfocus --sync "$window" mousemove --window "$window" 512 384 2>/dev/null || true
hops_wait_for 30 shown title "$hops_workdir/first_frame.ppm" 0 || fail "weston's window does not show the title screen"
playing() { ! shown play "$hops_workdir/first_frame.ppm" 10000; }
press s 0.2 3 playing || fail "S did not start play"
echo "the title screen inside weston's window, play after $presses S"
hops_quit
