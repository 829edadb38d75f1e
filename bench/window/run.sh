#!/usr/bin/env bash
# The window's time for a login, a listing, a batch of 10 caches and a nearby
# search with one next page, each beside trovik-cli doing the same work in
# the same run; and a page with 250 pictures over loopback HTTP beside the
# same page from a file.
#   bench/window/run.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/default}
cmake --build "$build" --target bench_window >/dev/null
exec "$build/bin/bench_window"
