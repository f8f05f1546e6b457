#!/usr/bin/env bash
# Runs the DirectDraw probe on our platform layer and on Wine's DirectDraw
# and compares what each read back. Result codes, same-size blits, colour
# keys and rejected rectangles must agree exactly; stretched blits are
# compared pixel by pixel and the differences counted.
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
(cd "$hops_workdir" && timeout 180 wine ddraw_probe.exe wine.txt)

# Range keys: Wine honours only the low value of a range; ours keys the whole range.
exact_filter='^(pixels|digest)\.(stretch|sprite\.range)|^blt\.sprite\.range'
diff <(grep -Ev "$exact_filter" "$hops_workdir/native.txt") <(grep -Ev "$exact_filter" "$hops_workdir/wine.txt") \
  && echo "exact observations agree: $(grep -Evc "$exact_filter" "$hops_workdir/native.txt") lines"

# Stretched blits: same result codes, pixels counted where they differ (a
# quarter of a row differing would be a wrong mapping, not a rounding).
paste -d'\n' <(grep -E '^pixels\.stretch' "$hops_workdir/native.txt") <(grep -E '^pixels\.stretch' "$hops_workdir/wine.txt") |
  awk 'NR % 2 == 1 { split($0, ours, " "); next }
       { n = split($0, theirs, " ");
         name = theirs[1];
         for (i = 3; i <= n; i++) { total[name]++; if (ours[i] != theirs[i]) differ[name]++ } }
       END { bad = 0
             for (name in total) {
               printf "%s: %d of %d sampled pixels differ\n", name, differ[name] + 0, total[name]
               if (differ[name] * 4 > total[name]) bad = 1
             }
             exit bad }' |
  sort
grep -E '^blt\.stretch' "$hops_workdir/native.txt" | diff - <(grep -E '^blt\.stretch' "$hops_workdir/wine.txt")
echo "range key, ours:  $(grep -E '^pixels\.sprite\.range y=0' "$hops_workdir/native.txt" | cut -d' ' -f3-52 | tr ' ' '\n' | sort | uniq -c | tr '\n' ' ')"
echo "range key, Wine's: $(grep -E '^pixels\.sprite\.range y=0' "$hops_workdir/wine.txt" | cut -d' ' -f3-52 | tr ' ' '\n' | sort | uniq -c | tr '\n' ' ')"
