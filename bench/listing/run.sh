#!/usr/bin/env bash
# Runs the listing benchmark from a build folder: bench/listing/run.sh [BUILD] [ENTRIES] [ROUNDS]
set -euo pipefail
build=${1:-build/release}
"$build/bin/bench_listing" "${2:-100000}" "${3:-5}"
