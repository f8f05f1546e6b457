#!/usr/bin/env bash
# The game as a desktop program: `cmake --install` lays out the menu entry,
# the icons of every size, the AppStream metainfo and the manual page, and
# the freedesktop validators accept them; `cpack -G DEB` packs the game, its
# pictures and launcher with their dependencies declared, lintian finds no
# errors in it, and the unpacked package starts the game through the menu
# entry's own command. Skipped (77) when a tool it needs is missing.
#
# Usage: package_test.sh <build dir> <application id>
set -euo pipefail
build_dir=$(cd "$1" && pwd)
app_id=$2
for tool in desktop-file-validate appstreamcli cpack dpkg-deb lintian file; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup test installs it)"; exit 77; }
done
work=$(mktemp -d)
game_pid=
cleanup() {
  [ -z "$game_pid" ] || kill -9 "$game_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix="$work/prefix"
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log"
desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -f "$desktop" ] || fail "no desktop entry at share/applications/$app_id.desktop"
[ -f "$metainfo" ] || fail "no metainfo at share/metainfo/$app_id.metainfo.xml"
[ -f "$prefix/share/man/man6/hops.6.gz" ] || fail "no manual page"
for size in 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "icon $size: $(file "$icon")"
done
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry names another icon"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"

(cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log") ||
  { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
deb=$(ls "$work"/deb/hops_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for path in ./usr/bin/hops ./usr/games/hops ./usr/lib/hops/hops "./usr/share/applications/$app_id.desktop" \
            "./usr/share/metainfo/$app_id.metainfo.xml" ./usr/share/man/man6/hops.6.gz; do
  grep -qx -- "$path" "$work/contents" || fail "the package lacks $path"
done
[ "$(grep -c '^\./usr/lib/hops/IMG/IMG_.*\.bmp$' "$work/contents")" -eq 7 ] || fail "the package lacks the seven pictures"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libsdl2 libfreetype libfontconfig libpng fonts-unifont; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends ($depends) lacks $needed"
done
lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
if grep -q '^E:' "$work/lintian.log"; then cat "$work/lintian.log"; fail "lintian reports errors"; fi

# The menu entry's command, run from the unpacked package as a desktop would
# (through PATH, from the home folder): the game starts, finds its pictures
# and keeps running, headless here, until it is stopped.
root="$work/root"
dpkg-deb -x "$deb" "$root"
command=$(sed -n 's/^Exec=//p' "$desktop")
(cd "$work" && PATH="$root/usr/bin:$PATH" HOPS_HOST=headless exec $command) >"$work/game.log" 2>&1 &
game_pid=$!
sleep 2
kill -0 "$game_pid" 2>/dev/null || { cat "$work/game.log"; fail "the menu entry's command ($command) ended at once"; }
[ ! -s "$work/game.log" ] || { cat "$work/game.log"; fail "the game started from the menu entry complained"; }
echo "desktop: entry, icons, metainfo and manual installed and valid; $(basename "$deb") holds $(wc -l <"$work/contents") paths, Depends: $depends"
