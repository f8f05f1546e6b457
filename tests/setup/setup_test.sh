#!/usr/bin/env bash
# scripts/setup against fake dpkg-query, apt-get, sudo, id, locale and
# localedef: which packages it finds missing (dpkg may never have heard of
# them), what it asks apt for, and how it fails. Each row of the table runs it
# once in a PATH of fakes and compares its exit code, the commands it ran
# and the first line of its standard error.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy of the script in a tree of its own, whose web/ has a lock file and
# nothing fetched yet.
mkdir -p "$work/tree/scripts" "$work/tree/web"
cp "$(dirname "$0")/../../scripts/setup" "$work/tree/scripts/setup"
touch "$work/tree/web/package-lock.json"
setup=$work/tree/scripts/setup

# The fakes log each call; FAKE_* say what the machine is like.
mkdir "$work/bin" "$work/bin-sudo"
for tool in bash grep awk sed; do ln -s "$(command -v "$tool")" "$work/bin/$tool"; done
fake() { printf '#!/bin/bash\n%s\n' "$2" >"$work/$1" && chmod +x "$work/$1"; }
fake bin/dpkg-query 'status=0
for p in "${@:3}"; do
  case " $FAKE_UNKNOWN " in *" $p "*) echo "dpkg-query: no packages found matching $p" >&2; status=1; continue ;; esac
  case " $FAKE_REMOVED " in *" $p "*) echo "$p deinstall ok config-files"; continue ;; esac
  echo "$p install ok installed"
done
exit $status'
fake bin/apt-get 'echo "apt-get $*" >>"$FAKE_LOG"; [ "$1" != update ] || exit "$FAKE_UPDATE_STATUS"; exit "$FAKE_INSTALL_STATUS"'
fake bin/id 'echo "$FAKE_UID"'
fake bin/locale 'printf "C\nC.utf8\n%s\n" "$FAKE_LOCALES"'
fake bin/localedef 'echo "localedef $*" >>"$FAKE_LOG"'
fake bin/npm 'echo "npm $*" >>"$FAKE_LOG"'
fake bin-sudo/sudo 'echo -n "sudo " >>"$FAKE_LOG"; "$@"'

install='install -y -q --no-install-recommends'
# set | unknown to dpkg | removed | uid | sudo | update, install status | locales
#   -> exit code | commands run, ';' between | how the first line of stderr starts
rows=(
  "play|||0|no|0 0|-> 0||"
  "play|fonts-unifont|cmake|0|no|0 0|-> 0|apt-get update -q;apt-get $install cmake fonts-unifont|"
  "test|lintian fonts-nanum||0|no|0 0|ko_KR.utf8 -> 0|apt-get update -q;apt-get $install fonts-nanum lintian;npm ci --no-audit --no-fund|"
  "play|fonts-unifont||1000|yes|0 0|-> 0|sudo apt-get update -q;sudo apt-get $install fonts-unifont|"
  "play|fonts-unifont||1000|no|0 0|-> 1||setup: installing fonts-unifont needs root, and there is no sudo here"
  "play||g++|0|no|100 0|-> 1|apt-get update -q|setup: 'apt-get update' failed"
  "play||g++|0|no|0 100|-> 1|apt-get update -q;apt-get $install g++|setup: 'apt-get install' failed for g++"
  "windows|||0|no|0 0|-> 0|localedef -i ko_KR -f UTF-8 ko_KR.UTF-8|"
  "windows|||1000|yes|0 0|ko_KR.UTF-8 -> 0||"
  "windows|||1000|no|0 0|-> 1||setup: making the Korean locale ko_KR.UTF-8 needs root"
  "web-and-more|||0|no|0 0|-> 2||usage: scripts/setup"
)
failed=0
for row in "${rows[@]}"; do
  IFS='|' read -r set unknown removed uid sudo statuses rest want_log want_err <<<"$row"
  path=$work/bin
  [ "$sudo" = no ] || path=$path:$work/bin-sudo
  : >"$work/log"
  status=0
  env -i PATH="$path" FAKE_LOG="$work/log" FAKE_UNKNOWN="$unknown" FAKE_REMOVED="$removed" FAKE_UID="$uid" \
    FAKE_UPDATE_STATUS="${statuses% *}" FAKE_INSTALL_STATUS="${statuses#* }" FAKE_LOCALES="${rest% -> *}" \
    bash "$setup" "$set" >/dev/null 2>"$work/err" || status=$?
  got="-> $status|$(paste -sd';' "$work/log")|$(head -n1 "$work/err")"
  # An empty stderr is wanted as it stands, any other as the start of its first line.
  if [[ $got != "-> ${rest#*-> }|$want_log|$want_err"${want_err:+*} ]]; then
    echo "FAIL: $row, got $got"
    failed=1
  fi
done
exit "$failed"
