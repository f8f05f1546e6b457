# Sourced by the Wine tests: a private X server of 1024 x 768 x 24 (the only
# size at which Wine's DirectDraw can set the game's mode) and a fresh Wine
# prefix with the Korean code page. Everything is torn down on exit.

hops_skip() {
  echo "SKIPPED: $*"
  exit 77
}

hops_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || hops_skip "$tool is not installed"
  done
}

hops_workdir=$(mktemp -d)
hops_xvfb_pid=""

hops_cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$hops_xvfb_pid" ]; then kill "$hops_xvfb_pid" 2>/dev/null || true; wait "$hops_xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$hops_workdir"
}
trap hops_cleanup EXIT

# Starts Xvfb on a display it picks itself (-displayfd) and exports DISPLAY;
# the screen is $1 (WxH) or 1024x768. -noreset: otherwise the server resets
# when its last client (the readiness probe) leaves, and a client connecting
# meanwhile is refused.
hops_start_xvfb() {
  local fifo="$hops_workdir/display"
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$fifo" >"$hops_workdir/xvfb.log" 2>&1 &
  hops_xvfb_pid=$!
  local n=""
  read -r -t 20 n <"$fifo" || true
  if [ -z "$n" ]; then
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    if xdpyinfo >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "Xvfb on $DISPLAY does not answer" >&2
  return 1
}

# A fresh prefix; LANG=ko_KR.UTF-8 makes the ANSI code page 949.
hops_wine_prefix() {
  export WINEPREFIX="$hops_workdir/pfx"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=ko_KR.UTF-8
  wineboot -i >"$hops_workdir/wineboot.log" 2>&1
  wineserver -w
}

# Polls a command every 0.5 s until it succeeds or the seconds run out.
hops_wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.5
  done
}
