# Sourced by the real-window game tests (native under Xvfb, Windows under
# Wine) after wine_env.sh: screenshots of the X screen compared with the
# pictures, and the play-through from the title to Esc.
# Expects $hops_workdir/field.png (IMG_BACK under IMG_BACKGROUND) and, when
# HOPS_KEEP_SHOTS names a folder, copies every screenshot there.

shot() {
  import -window root "$hops_workdir/$1.png"
  if [ -n "${HOPS_KEEP_SHOTS:-}" ]; then cp "$hops_workdir/$1.png" "$HOPS_KEEP_SHOTS/"; fi
}
# Pixels of a screenshot that differ from a reference, below the status text.
differing() {
  compare -metric AE -fuzz 1% \( "$hops_workdir/$1.png" -crop 1024x704+0+64 +repage \) \
    \( "$2" -crop 1024x704+0+64 +repage \) null: 2>&1 | cut -d' ' -f1
}
# Bounding box (WxH+X+Y) of what differs from the empty play field inside a region.
figure_box() {
  convert \( "$hops_workdir/$1.png" -crop "$2" +repage \) \( "$hops_workdir/field.png" -crop "$2" +repage \) \
    -compose difference -composite -threshold 4% -format '%@' info:
}
hold() { xdotool keydown "$1"; sleep "${2:-0.2}"; xdotool keyup "$1"; }

# From the title screen of the game running as process $1: S shows the play
# field, Right moves the player, space fires a bullet, Esc ends the process
# with 0. $2 is how many seconds each step may take.
hops_play_through() {
  local game_pid=$1 patience=$2
  local window
  window=$(xdotool search --name '^Drel_HOPS$' | head -n 1)
  [ -n "$window" ] || { echo "FAIL: no window named Drel_HOPS"; return 1; }
  xdotool windowfocus --sync "$window" || true

  hold s
  field_shown() {
    shot play
    [ "$(differing play "$hops_workdir/field.png")" -lt 120000 ]
  }
  hops_wait_for "$patience" field_shown || { echo "FAIL: S did not start play"; return 1; }
  local start_box moved_box bullet_box start_x moved_x
  start_box=$(figure_box play 400x150+0+550)
  echo "player at start: $start_box (region 400x150+0+550)"

  # Let the ball fly off to the right before the player moves under where it was.
  sleep 1
  hold Right 0.3
  sleep 0.1
  shot moved
  moved_box=$(figure_box moved 400x150+0+550)
  echo "player after Right: $moved_box"
  start_x=$(sed -E 's/.*\+([0-9]+)\+[0-9]+$/\1/' <<<"$start_box")
  moved_x=$(sed -E 's/.*\+([0-9]+)\+[0-9]+$/\1/' <<<"$moved_box")
  # The picture starts at x 80 (20 left of the player's rectangle); its figure lies inside it.
  if [ "$start_x" -lt 80 ] || [ "$start_x" -gt 171 ] || [ "$moved_x" -le "$start_x" ]; then
    echo "FAIL: the player should start inside x 80..171 and move right (start $start_x, after $moved_x)"
    return 1
  fi

  hold space 0.1
  sleep 0.3
  shot fired
  bullet_box=$(figure_box fired 400x480+0+64)
  echo "above the player after space: $bullet_box"
  [ "$bullet_box" != "0x0+0+0" ] || { echo "FAIL: no bullet above the player"; return 1; }

  hold Escape
  local status=0
  if hops_wait_for "$patience" bash -c "! kill -0 $game_pid 2>/dev/null"; then
    wait "$game_pid" || status=$?
  else
    echo "FAIL: Esc did not end the game"
    return 1
  fi
  echo "exit code $status"
  [ "$status" -eq 0 ]
}
