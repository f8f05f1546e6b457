#!/usr/bin/env bash
# Runs one browser test: run.sh <test script> <site folder> <frame_dump> <folder holding IMG/>.
# Skipped (exit code 77) where the browser build, Chromium, Node.js or the
# test's node modules are missing, saying which and how to get it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ -f "$2/hops.wasm" ] || skip "no browser build in '$2' (Emscripten and Debian's unifont: bash scripts/setup web)"
command -v chromium >/dev/null || skip "no Chromium (bash scripts/setup web)"
command -v node >/dev/null || skip "no Node.js (bash scripts/setup web)"
[ -d "$here/node_modules/puppeteer-core" ] || skip "no puppeteer-core in tests/web (cd tests/web && npm ci)"
exec node "$here/$1" "${@:2}"
