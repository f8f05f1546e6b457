#!/usr/bin/env bash
# The real game under Xvfb: 10 seconds of play (S, then nothing), then Esc,
# on a private X server per run. For each case it prints the frames flipped
# a second and the frames shown a second (the game's own HOPS_STATS line),
# the CPU share of one core of the game and of the X server over the seconds
# of play and their sum (from /proc), the game's wake-ups a second (its
# threads' context switches), and the median and 99th percentile of the
# interval between flips (HOPS_FLIP_LOG). The default paced presentation at
# 1024 x 768 and at 1920 x 1080 full screen, and HOPS_VSYNC=1's waiting flip
# at 1024 x 768.
#
# Usage: bench/pacing.sh <build dir> [seconds of play]
set -euo pipefail
build_dir=$(cd "$1" && pwd)
play_seconds=${2:-10}
for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null 2>&1 || { echo "pacing: $tool is not installed"; exit 1; }
done
[ -x "$build_dir/hops" ] && [ -d "$build_dir/IMG" ] || { echo "pacing: no game in $build_dir"; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  if [ -n "$game_pid" ]; then kill "$game_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb() {
  rm -f "$work/display"
  mkfifo "$work/display"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  local n=""
  read -r -t 20 n <"$work/display" || true
  [ -n "$n" ] || { echo "pacing: Xvfb did not start"; exit 1; }
  export DISPLAY=":$n"
  until xdpyinfo >/dev/null 2>&1; do sleep 0.1; done
}

stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}

# cpu_ns <pid>: time its threads have run so far, in nanoseconds (the
# scheduler's own count, finer than the clock ticks of /proc/<pid>/stat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ n += $1 } END { printf "%d", n }'; }
# switches <pid>: context switches of all its threads so far.
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }'; }

# percentile <sorted file> <fraction>
percentile() {
  awk -v q="$2" '{ v[NR] = $1 } END { i = int(NR * q); if (i < 1) i = 1; printf "%.2f", v[i] / 1000 }' "$1"
}

run_case() {
  local name=$1 screen=$2
  shift 2
  start_xvfb "$screen"
  (cd "$build_dir" && exec env "$@" HOPS_HOST=sdl HOPS_STATS=1 HOPS_FLIP_LOG="$work/intervals" ./hops) \
    2>"$work/stderr" &
  game_pid=$!
  local window="" i
  for i in $(seq 1 100); do
    window=$(xdotool search --name '^Drel_HOPS$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    # SDL now and then finds no X display on a fresh server and goes on
    # without a window: that case is run once more.
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
    stop_xvfb
    return 1
  fi
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key s
  local game_before x_before woken_before started ended
  game_before=$(cpu_ns "$game_pid") x_before=$(cpu_ns "$xvfb_pid") woken_before=$(switches "$game_pid")
  started=$(date +%s.%N)
  sleep "$play_seconds"
  local game_cpu x_cpu woken
  game_cpu=$(($(cpu_ns "$game_pid") - game_before)) x_cpu=$(($(cpu_ns "$xvfb_pid") - x_before))
  woken=$(($(switches "$game_pid") - woken_before))
  ended=$(date +%s.%N)
  xdotool key Escape
  wait "$game_pid" || true
  game_pid=""
  stop_xvfb
  local stats
  stats=$(grep '^hops: ' "$work/stderr" | tail -n 1)
  [ -n "$stats" ] || { echo "pacing: no statistics line"; cat "$work/stderr"; exit 1; }
  local rate shown seconds
  rate=$(sed -E 's/.*\(([0-9.]+) a second\).*/\1/' <<<"$stats")
  shown=$(sed -E 's/.*, ([0-9]+) shown,.*/\1/' <<<"$stats")
  seconds=$(sed -E 's/.* frames in ([0-9.]+) s .*/\1/' <<<"$stats")
  sort -n "$work/intervals" >"$work/sorted"
  printf '%-16s %-10s %8s %8s %7s %7s %7s %8s %7s %7s\n' "$name" "$screen" "$rate" \
    "$(awk -v p="$shown" -v s="$seconds" 'BEGIN { printf "%.1f", p / s }')" \
    $(awk -v g="$game_cpu" -v x="$x_cpu" -v w="$woken" -v t=1000000000 -v a="$started" -v b="$ended" \
      'BEGIN { s = b - a; printf "%.1f %.1f %.1f %.0f", 100 * g / t / s, 100 * x / t / s, 100 * (g + x) / t / s, w / s }') \
    "$(percentile "$work/sorted" 0.5)" "$(percentile "$work/sorted" 0.99)"
}

printf '%-16s %-10s %8s %8s %7s %7s %7s %8s %7s %7s\n' case screen "frames/s" "shown/s" "game %" "X %" "both %" \
  "wakes/s" "p50 ms" "p99 ms"
# run_twice <case...>: a case that found no window is run once more.
run_twice() {
  run_case "$@" && return
  run_case "$@" || { echo "pacing: no game window"; cat "$work/stderr"; exit 1; }
}

run_twice default 1024x768
run_twice default 1920x1080
run_twice HOPS_VSYNC=1 1024x768 HOPS_VSYNC=1
