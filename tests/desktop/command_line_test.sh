#!/usr/bin/env bash
# The game binary's own command line: help and version print and exit 0, a
# bad command line exits 2 with GNU's message, and in none of these cases
# does the game start (run headless in a folder without pictures, a started
# game would neither print these lines nor end).
#
# Usage: command_line_test.sh <hops binary> <project version>
set -uo pipefail
hops=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

# A stream matches an empty pattern only when it is empty.
matches() {
  if [ -z "$1" ]; then [ ! -s "$2" ]; else grep -Eq "$1" "$2"; fi
}

# expect <exit code> <stdout pattern> <stderr pattern> <argument>...
expect() {
  local code=$1 out_pattern=$2 err_pattern=$3
  shift 3
  local status=0
  HOPS_HOST=headless timeout 10 "$hops" "$@" >out 2>err || status=$?
  if [ "$status" -ne "$code" ] || ! matches "$out_pattern" out || ! matches "$err_pattern" err; then
    echo "FAIL: hops $* exited $status (expected $code)"; echo "-- stdout:"; cat out; echo "-- stderr:"; cat err
    failures=$((failures + 1))
  fi
}

expect 0 '^Usage: hops \[OPTION\]\.\.\.$' '' --help
expect 0 '^  --scale=MODE ' '' --windowed --help
expect 0 "^hops $version\$" '' --version
expect 2 '' "^hops: unrecognized option '--bogus'\$" --bogus
expect 2 '' "^Try 'hops --help' for more information\.\$" --fullscreen --bogus
expect 2 '' "^hops: invalid argument 'huge' for '--scale'\$" --scale=huge
expect 2 '' "^hops: unexpected argument 'IMG'\$" IMG

[ "$failures" -eq 0 ] || exit 1
echo "command line: help, version and errors handled before the game starts"
