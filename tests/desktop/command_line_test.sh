#!/usr/bin/env bash
# The game binary's own command line and its start without a display, run
# in a folder without pictures: help and version print and exit 0, a bad
# command line exits 2 with GNU's message on standard error (each bad option
# or value's own words are the settings test's), and in none of these cases
# does the game start. Without a display the game says what is missing and how to
# run without a window and exits 1 at once, never running unseen on SDL's
# drivers that show nothing; headless, it starts (and looks for its pictures).
#
# Usage: command_line_test.sh <hops binary> <project version>
set -uo pipefail
hops=$1
source "$(dirname "$0")/../support/harness.sh"
cd "$hops_workdir"
refusal='^hops: no display to show the game on \(SDL2.*\): start it from a desktop session .* HOPS_HOST=headless$'

# A stream matches an empty pattern only when it is empty.
matches() {
  if [ -z "$1" ]; then [ ! -s "$2" ]; else grep -Eq "$1" "$2"; fi
}

# expect <exit code> <stdout pattern> <stderr pattern> <environment> <argument>...
expect() {
  local code=$1 out_pattern=$2 err_pattern=$3 settings=$4 status=0
  shift 4
  env -u DISPLAY -u WAYLAND_DISPLAY -u HOPS_HOST XDG_RUNTIME_DIR="$hops_workdir" $settings \
    timeout 3 "$hops" "$@" >out 2>err || status=$?
  [ "$status" -eq "$code" ] && matches "$out_pattern" out && matches "$err_pattern" err ||
    fail "$settings hops $* exited $status (expected $code): $(cat out err)"
}

expect 0 '^Usage: hops \[OPTION\]\.\.\.$' '' '' -h
expect 0 "^hops $2\$" '' '' --vers
expect 2 '' "^Try 'hops --help' for more information\.\$" '' --fullscreen --bogus
expect 1 '' "$refusal" ''
expect 1 '' "$refusal" "HOPS_HOST=sdl SDL_VIDEODRIVER=offscreen"
expect 1 '' "$refusal" "HOPS_HOST=sdl SDL_VIDEODRIVER=dummy"
expect 124 '' '^hops: cannot open IMG/IMG_BACK.bmp: No such file' HOPS_HOST=headless
