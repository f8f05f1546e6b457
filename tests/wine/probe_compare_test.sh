#!/usr/bin/env bash
# Runs the DirectDraw probe on our platform layer and on Wine's DirectDraw
# and compares what each read back, line by line.
set -euo pipefail
native_probe=$1
windows_probe=$2
source "$(dirname "$0")/wine_env.sh"
hops_require wine Xvfb xdpyinfo
[ -f "$windows_probe" ] || hops_skip "no Windows probe at $windows_probe"

HOPS_HOST=headless "$native_probe" "$hops_workdir/native.txt"
hops_start_xvfb
hops_wine_prefix
cp "$windows_probe" "$hops_workdir/ddraw_probe.exe"
(cd "$hops_workdir" && timeout 180 wine ddraw_probe.exe wine.crlf.txt)
# The Windows probe writes text-mode lines.
tr -d '\r' <"$hops_workdir/wine.crlf.txt" >"$hops_workdir/wine.txt"

# Every observation must agree exactly: result codes, same-size and
# stretched blits (nearest-neighbour stepping from the top-left source
# pixel), keys set without DDCKEY_COLORSPACE (one colour, the low value),
# rejected rectangles and flips.
diff "$hops_workdir/native.txt" "$hops_workdir/wine.txt"
echo "all $(wc -l <"$hops_workdir/native.txt") observations agree"
