#!/usr/bin/env bash
# The game as a desktop program: `cpack -G DEB` packs the game, its pictures,
# launcher, menu entry, icons of every size, AppStream metainfo and manual
# page with their dependencies declared; the freedesktop validators accept
# the entry and the metainfo, lintian finds no errors, and the unpacked
# package starts the game through the menu entry's own command. Skipped (77)
# when a tool it needs is missing.
#
# Usage: package_test.sh <build dir> <application id>
set -euo pipefail
build_dir=$(cd "$1" && pwd)
app_id=$2
source "$(dirname "$0")/../support/harness.sh"
hops_require desktop-file-validate appstreamcli cpack dpkg-deb lintian file
cd "$hops_workdir"

cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B deb >cpack.log || { cat cpack.log; fail "cpack -G DEB failed"; }
deb=$(ls "$PWD"/deb/hops_*.deb)
root="$PWD/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
for path in bin/hops games/hops lib/hops/hops share/man/man6/hops.6.gz \
  lib/hops/IMG/IMG_{BACK,BACKGROUND,PLAYER,BULLET,BALL,LOADING,ENDING}.bmp; do
  [ -f "$root/usr/$path" ] || fail "the package lacks /usr/$path"
done
for size in 48 64 128 256; do
  icon="$share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "icon $size: $(file "$icon")"
done
desktop="$share/applications/$app_id.desktop"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry names another icon"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli rejects the metainfo"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libsdl2 libfreetype libfontconfig libpng fonts-unifont; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends ($depends) lacks $needed"
done
lintian --no-tag-display-limit "$deb" >lintian.log 2>&1 || true
if grep -q '^E:' lintian.log; then cat lintian.log; fail "lintian reports errors"; fi

# The menu entry's command, run as a desktop would (through PATH, from the
# home folder): the game starts, finds its pictures and keeps running,
# headless here, silent, until it is stopped.
command=$(sed -n 's/^Exec=//p' "$desktop")
status=0
PATH="$root/usr/bin:$PATH" HOPS_HOST=headless timeout 3 $command >game.log 2>&1 || status=$?
[ "$status" -eq 124 ] && [ ! -s game.log ] || fail "$command ended with $status"
echo "desktop: $(basename "$deb") holds a valid entry, icons, metainfo and manual; Depends: $depends"
