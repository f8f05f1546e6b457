#!/usr/bin/env bash
# The Windows zip holds hops.exe and the seven pictures under IMG/.
set -euo pipefail
zip=$(ls "$1"/hops-*-win64.zip)
listing=$(cmake -E tar tf "$zip")
echo "$listing"
for name in hops.exe IMG/IMG_{BACK,BACKGROUND,PLAYER,BULLET,BALL,LOADING,ENDING}.bmp; do
  grep -q "/$name\$" <<<"$listing" || { echo "FAIL: $name missing from $zip"; exit 1; }
done
