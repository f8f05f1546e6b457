#!/usr/bin/env bash
# The browser build in headless Chromium (bench/web_bench.js): its files'
# sizes, the time to its first frame, its pace and the browser's CPU (all
# together and by process) over 10 s of play at a 1024 x 768 canvas, what
# handing frames to the page costs, putImageData against a WebGL texture
# upload, and the browser's floor for the page without the game's work.
#
# Usage: bench/web.sh <build dir> [seconds of play]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
site=$(cd "$1" && pwd)/web/site
[ -f "$site/hops.wasm" ] || { echo "web: no browser build in $site"; exit 1; }
modules=$(cd "$here/../web" && pwd)/node_modules
[ -d "$modules/puppeteer-core" ] || { echo "web: no puppeteer-core (bash scripts/setup test)"; exit 1; }
command -v chromium >/dev/null || { echo "web: no Chromium (bash scripts/setup web)"; exit 1; }
NODE_PATH=$modules exec node "$here/web_bench.js" "$site" "${2:-10}"
