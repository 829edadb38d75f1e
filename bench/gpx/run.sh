#!/usr/bin/env bash
# GPX to OziExplorer conversion, Trovik beside gpsbabel, on a generated
# pocket-query style file of COUNT caches (default 50,000: about 64 MB,
# pretty-printed), and for information "trovik-cli caches", the window's open
# command, which also keeps the re-encoded GPX text for the "HTML" tab.
#
#   bench/gpx/run.sh [BUILD_DIR]      (default: build/default)
#
# Medians of RUNS runs (default 5) taken by bench/cli's runner; bench/cli/run.sh
# holds the goals of the conversion row.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build/default}"
bin="$build/bin"
runs="${RUNS:-5}"
work="${BENCH_WORK:-${TMPDIR:-/tmp}/trovik-bench-gpx}"
count="${COUNT:-50000}"

command -v gpsbabel >/dev/null || "$root/scripts/install-deps"
cmake --build "$build" --target trovik-cli gen_gpx bench_cli_measure >/dev/null

mkdir -p "$work"
cd "$work"
gpx="caches-$count.gpx"
[ -s "$gpx" ] || "$bin/gen_gpx" "$gpx" "$count"
cat "$gpx" >/dev/null  # in the page cache for every tool alike
export TROVIK_NOW="2026-01-01T12:00:00"

"$bin/bench_cli_measure" "$runs" gpsbabel -i gpx -f "$gpx" -o ozi -F gpsbabel.wpt \
  :: "$bin/trovik-cli" gpx2wpt "$gpx" -o trovik.wpt :: "$bin/trovik-cli" caches "$gpx" >rows.txt

echo "Input: $work/$gpx ($count caches, $(awk "BEGIN { printf \"%.1f\", $(stat -c %s "$gpx") / 1048576 }") MB); medians of $runs runs"
echo "Waypoint lines: gpsbabel $(($(wc -l <gpsbabel.wpt) - 4)), trovik $(($(wc -l <trovik.wpt) - 4))"
awk 'BEGIN { printf "%-34s %10s %10s %10s\n", "", "wall ms", "CPU ms", "peak MB" }
  { name[NR] = NR == 1 ? "gpsbabel -i gpx -o ozi" : NR == 2 ? "trovik-cli gpx2wpt" : "trovik-cli caches (open command)"
    w[NR] = $1; c[NR] = $2; k[NR] = $3
    printf "%-34s %10.1f %10.1f %10.1f\n", name[NR], $1, $2, $3 / 1024 }
  END {
    printf "gpx2wpt: %.1fx faster than gpsbabel (%.1fx in CPU time), peak memory %.3f of gpsbabel\n", w[1] / w[2], c[1] / c[2], k[2] / k[1]
    printf "open command: %.1fx faster (%.1fx in CPU time), peak memory %.3f of gpsbabel\n", w[1] / w[3], c[1] / c[3], k[3] / k[1]
  }' rows.txt
