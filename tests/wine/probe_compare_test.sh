#!/usr/bin/env bash
# Runs the DirectDraw probe on our platform layer and on Wine's DirectDraw:
# every observation must agree exactly (result codes, keyed and stretched
# blits, rejected rectangles, the flip).
#
# Usage: probe_compare_test.sh <ddraw_probe> <ddraw_probe.exe>
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
hops_require wine Xvfb
[ -f "$2" ] || { echo "SKIPPED: no Windows probe at $2"; exit 77; }
HOPS_HOST=headless "$1" "$hops_workdir/native.txt"
hops_start_xvfb
hops_wine_prefix
cp "$2" "$hops_workdir/ddraw_probe.exe"
(cd "$hops_workdir" && timeout 180 wine ddraw_probe.exe wine.txt)
# The Windows probe writes text-mode lines.
diff "$hops_workdir/native.txt" <(tr -d '\r' <"$hops_workdir/wine.txt")
echo "all $(wc -l <"$hops_workdir/native.txt") observations agree"
