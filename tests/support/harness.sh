# Sourced by every script that runs the game (on a display, under Wine or
# from its package): a work folder, private X servers (the display picked by
# Xvfb itself), an optional window manager, the game started and ended, and
# screenshots. Everything, a Wine prefix too, is torn down on exit.

hops_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed"; exit 77; }
  done
}

hops_workdir=$(mktemp -d)
# Ends every process this script started in the background: the game, the
# window manager, the X server.
hops_stop() {
  kill $(jobs -p) 2>/dev/null || true
  wait 2>/dev/null || true
}
hops_cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  hops_stop
  rm -rf "$hops_workdir"
}
trap hops_cleanup EXIT
# A command of the script itself that ends it under set -e says so, instead
# of a silent exit (functions are left out: their failures are often tested).
trap 'status=$?; echo "FAIL: line $LINENO: $BASH_COMMAND exited $status"' ERR

fail() {
  echo "FAIL: $*"
  cat "$hops_workdir/game.log" 2>/dev/null || true
  exit 1
}

# Polls a command every 0.2 s until it succeeds or the seconds run out.
hops_wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# Xvfb with a screen of $1 (WxH, 1024x768 by default: the only size at which
# Wine's DirectDraw sets the game's mode), under openbox when $2 is "openbox".
# -noreset: otherwise the server resets when its last client leaves, and a
# client connecting meanwhile is refused.
hops_start_xvfb() {
  rm -f "$hops_workdir/display"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$hops_workdir/display" >/dev/null 2>&1 &
  hops_wait_for 20 grep -qs . "$hops_workdir/display" || fail "could not start Xvfb"
  export DISPLAY=":$(cat "$hops_workdir/display")"
  [ "${2:-}" = openbox ] || return 0
  openbox --sm-disable >/dev/null 2>&1 &
  hops_wait_for 10 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
    fail "openbox did not start"
}

# Runs a command in folder $1 into game.log; hops_start_game also waits for
# the game's window ($window) and gives it the keyboard.
hops_start() {
  (cd "$1" && shift && exec "$@") >"$hops_workdir/game.log" 2>&1 &
  game_pid=$!
}
game_window() {
  window=$(xdotool search --name '^Drel_HOPS$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
hops_start_game() {
  hops_start "$@"
  hops_wait_for 40 game_window || fail "no window named Drel_HOPS"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# press <key> <seconds held> <seconds to wait> <check>: the key is held across
# frames (a tap can come and go between two of them, as a busy machine may
# take both messages of a key at once), and a window that has just been given
# the keyboard may miss the first key, so the key gets three tries ($presses
# says how many it took).
press() {
  local key=$1 held=$2 wait=$3
  shift 3
  for presses in 1 2 3; do
    xdotool keydown "$key" sleep "$held" keyup "$key"
    ! hops_wait_for "$wait" "$@" || return 0
  done
  return 1
}

# Esc must end the game with exit code 0; then the X server goes too. Esc is
# pressed again until the game ends: SDL passes keys on only a moment after
# its window gets the focus.
hops_escape() {
  xdotool keydown Escape sleep 0.2 keyup Escape
  sleep 0.5
  ! kill -0 "$game_pid" 2>/dev/null
}
hops_quit() {
  hops_wait_for 20 hops_escape || fail "Esc did not end the game"
  wait "$game_pid" || fail "the game ended with $?"
  hops_stop
}

# A screenshot; a second try when the X server refuses the first (Wine
# changing its window).
shot() {
  import -window root "$hops_workdir/$1.ppm" 2>/dev/null || import -window root "$hops_workdir/$1.ppm"
}

# shown <shot> <reference> <most pixels>: the pixels of a screenshot below
# the status text (whose frame count varies) that differ from a reference
# are few enough.
shown() {
  shot "$1"
  [ "$(compare -metric AE -fuzz 1% \( "$hops_workdir/$1.ppm" -crop 1024x704+0+64 +repage \) \
    \( "$2" -crop 1024x704+0+64 +repage \) null: 2>&1 | cut -d' ' -f1)" -le "$3" ]
}
