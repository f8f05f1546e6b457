#!/usr/bin/env bash
# Runs one browser test: run.sh <test script> <site folder> <frame_dump> <folder holding IMG/>,
# with the node modules of web/ (puppeteer-core). Skipped (exit code 77)
# where the browser build, Chromium, Node.js or those modules are missing,
# saying which and how to get them.
set -euo pipefail
skip() { echo "SKIPPED: $*" && exit 77; }
[ -f "$2/hops.wasm" ] || skip "no browser build in '$2' (Emscripten and Debian's unifont: bash scripts/setup web)"
for tool in chromium node; do command -v $tool >/dev/null || skip "no $tool (bash scripts/setup web)"; done
modules=$(cd "$(dirname "$0")/../../web" && pwd)/node_modules
[ -d "$modules/puppeteer-core" ] || skip "no puppeteer-core in web/node_modules (bash scripts/setup test)"
NODE_PATH=$modules exec node "$(dirname "$0")/$1" "${@:2}"
