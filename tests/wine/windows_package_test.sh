#!/usr/bin/env bash
# The Windows zip holds hops.exe and the seven pictures under IMG/.
set -euo pipefail
windows_dir=$1
zip=$(ls "$windows_dir"/hops-*-win64.zip 2>/dev/null | head -n 1)
[ -n "$zip" ] || { echo "FAIL: no package in $windows_dir"; exit 1; }
listing=$(cmake -E tar tf "$zip")
echo "$listing"
fail=0
for name in hops.exe IMG/IMG_BACK.bmp IMG/IMG_BACKGROUND.bmp IMG/IMG_PLAYER.bmp IMG/IMG_BULLET.bmp \
            IMG/IMG_BALL.bmp IMG/IMG_LOADING.bmp IMG/IMG_ENDING.bmp; do
  if ! grep -q "/$name\$" <<<"$listing"; then
    echo "FAIL: $name missing from $(basename "$zip")"
    fail=1
  fi
done
[ "$fail" -eq 0 ] && echo "package holds hops.exe and IMG/"
exit "$fail"
