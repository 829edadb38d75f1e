#!/usr/bin/env bash
# Runs the copy benchmark from a build folder: bench/device_copy/run.sh [BUILD] [MB] [ROUNDS]
set -euo pipefail
build=${1:-build/release}
"$build/bin/bench_device_copy" "${2:-50}" "${3:-7}"
